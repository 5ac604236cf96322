#include "chat/markdownrenderer.h"

#include "chat/markdownmends.h"

#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QUrl>

#include <utility>
#include <vector>

namespace {

// Every fragment of the document, each given as (position, length), in document order.
template<typename Predicate>
std::vector<std::pair<int, int>> findFragments(const QTextDocument& document, Predicate matches)
{
    std::vector<std::pair<int, int>> found;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.isValid() && matches(fragment))
                found.emplace_back(fragment.position(), fragment.length());
        }
    }
    return found;
}

} // namespace

QString MarkdownRenderer::toHtml(const QString& markdown)
{
    if (markdown.isEmpty())
        return QString();
    static const QRegularExpression bodyOpen(QStringLiteral("<body[^>]*>\\n?"),
                                             QRegularExpression::CaseInsensitiveOption);
    QString html = documentHtml(markdown);
    html.remove(bodyOpen);
    html.remove(QStringLiteral("</body>"));
    return html;
}

QString MarkdownRenderer::documentHtml(const QString& markdown)
{
    QTextDocument document;
    const QTextDocument::MarkdownFeatures features(QTextDocument::MarkdownDialectGitHub
                                                   | QTextDocument::MarkdownNoHTML);
    document.setMarkdown(markdown, features);
    neutralizeImages(document);
    neutralizeLinks(document);
    const QStringList codeMarks = MarkdownMends::apply(document);
    QString html = document.toHtml();
    MarkdownMends::markCodeBlocks(html, codeMarks);
    return html;
}

void MarkdownRenderer::neutralizeImages(QTextDocument& document)
{
    const auto images = findFragments(document, [](const QTextFragment& fragment) {
        const QTextCharFormat format = fragment.charFormat();
        return format.isImageFormat() && !isOwnResource(format.toImageFormat().name());
    });
    // From the end, so that the positions of the images still to come stay valid.
    for (auto it = images.rbegin(); it != images.rend(); ++it) {
        QTextCursor cursor(&document);
        cursor.setPosition(it->first);
        cursor.setPosition(it->first + it->second, QTextCursor::KeepAnchor);
        const QTextImageFormat image = cursor.charFormat().toImageFormat();
        QString alt = image.property(QTextFormat::ImageAltText).toString();
        if (alt.isEmpty())
            alt = image.name();
        QTextCharFormat plain;
        plain.setFontItalic(true);
        cursor.insertText(QLatin1Char('[') + alt + QLatin1Char(']'), plain);
    }
}

void MarkdownRenderer::neutralizeLinks(QTextDocument& document)
{
    const auto links = findFragments(document, [](const QTextFragment& fragment) {
        const QTextCharFormat format = fragment.charFormat();
        return format.isAnchor() && !isAllowedLink(format.anchorHref());
    });
    for (const auto& [position, length] : links) {
        QTextCursor cursor(&document);
        cursor.setPosition(position);
        cursor.setPosition(position + length, QTextCursor::KeepAnchor);
        QTextCharFormat format = cursor.charFormat();
        format.setAnchor(false);
        format.setAnchorHref(QString());
        format.setFontUnderline(false);
        format.clearForeground();
        cursor.setCharFormat(format);
    }
}

bool MarkdownRenderer::isOwnResource(const QString& source)
{
    return source.startsWith(QLatin1String("qrc:/")) || source.startsWith(QLatin1String(":/"));
}

bool MarkdownRenderer::isAllowedLink(const QString& href)
{
    const QString scheme = QUrl(href).scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https")
        || scheme == QLatin1String("mailto");
}
