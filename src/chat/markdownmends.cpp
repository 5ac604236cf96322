#include "chat/markdownmends.h"

#include <QFont>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextFrame>
#include <QTextTable>
#include <QVector>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

const QString Monospace = QStringLiteral("monospace");

// The import sets a font family on code only (the system's fixed font), and so do the mends.
bool isCodeFormat(const QTextCharFormat& format)
{
    return format.hasProperty(QTextFormat::FontFamily);
}

bool isCodeLine(const QTextBlock& block)
{
    return block.blockFormat().hasProperty(QTextFormat::BlockCodeLanguage);
}

// Language names become part of an HTML attribute: only the characters of real names pass.
QString safeLanguage(const QString& language)
{
    static const QRegularExpression name(QStringLiteral("^[A-Za-z0-9_+#.-]{1,32}$"));
    return name.match(language).hasMatch() ? language.toLower() : QString();
}

QTextCharFormat monospaceFormat()
{
    QTextCharFormat format;
    format.setFontFamily(Monospace);
    format.setFontStyleHint(QFont::TypeWriter);
    return format;
}

// One tag of the inline HTML that answers may hold.
struct Tag
{
    int start = 0; // in the block's text
    int end = 0;
    QString name; // lower case; "br" for a line break
    bool closing = false;
};

QTextCharFormat formatOf(const QString& tag)
{
    QTextCharFormat format;
    if (tag == QLatin1String("b") || tag == QLatin1String("strong"))
        format.setFontWeight(QFont::Bold);
    else if (tag == QLatin1String("i") || tag == QLatin1String("em"))
        format.setFontItalic(true);
    else if (tag == QLatin1String("u"))
        format.setFontUnderline(true);
    else if (tag == QLatin1String("s"))
        format.setFontStrikeOut(true);
    else if (tag == QLatin1String("sub"))
        format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    else if (tag == QLatin1String("sup"))
        format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (tag == QLatin1String("kbd"))
        format = monospaceFormat();
    return format;
}

} // namespace

QString MarkdownMends::codeClass(const QString& language)
{
    const QString safe = safeLanguage(language);
    return safe.isEmpty() ? QStringLiteral("code") : QStringLiteral("code language-") + safe;
}

QStringList MarkdownMends::apply(QTextDocument& document)
{
    clearBlockCharFormats(document);
    mendCodeSpans(document);
    mendTables(document);
    applyInlineHtml(document);
    return mendCodeBlocks(document);
}

// A block's char format is what Qt uses for text typed into it and for its list marker; the
// import leaves whatever format the text before had there, and the export writes it onto the
// whole block.
void MarkdownMends::clearBlockCharFormats(QTextDocument& document)
{
    QTextCursor cursor(&document);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.charFormat().properties().isEmpty())
            continue;
        cursor.setPosition(block.position());
        cursor.setBlockCharFormat(QTextCharFormat());
    }
}

// The import gives code the system's fixed font, which the export leaves out when it shares
// its family with the default font (always so on some platforms); a generic family survives.
void MarkdownMends::mendCodeSpans(QTextDocument& document)
{
    QTextCursor cursor(&document);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid() || !isCodeFormat(fragment.charFormat()))
                continue;
            QTextCharFormat format = fragment.charFormat();
            format.clearProperty(QTextFormat::FontFamilies); // written instead of the family
            format.merge(monospaceFormat());
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(format);
        }
    }
}

// Whether two neighbouring code lines belong to the same code block. Two fences one right
// after the other in the same language and place cannot be told apart and read as one.
bool MarkdownMends::continuesCode(const QTextBlock& line, const QTextBlock& next)
{
    if (!isCodeLine(next))
        return false;
    const QTextBlockFormat a = line.blockFormat();
    const QTextBlockFormat b = next.blockFormat();
    for (const int property : {int(QTextFormat::BlockCodeLanguage),
                               int(QTextFormat::BlockCodeFence), int(QTextFormat::BlockQuoteLevel),
                               int(QTextFormat::BlockIndent), int(QTextFormat::BlockLeftMargin)}) {
        if (a.property(property) != b.property(property))
            return false;
    }
    return true;
}

// Code lines become "pre" blocks without the empty line the import adds after every code
// block. Returns one entry per code line, in document order: the class of its code block for
// the first line of each, empty for the others.
QStringList MarkdownMends::mendCodeBlocks(QTextDocument& document)
{
    QStringList marks;
    QTextCursor cursor(&document);
    QTextBlock block = document.begin();
    while (block.isValid()) {
        if (!isCodeLine(block)) {
            block = block.next();
            continue;
        }
        QVector<QTextBlock> lines {block};
        while (continuesCode(lines.constLast(), lines.constLast().next()))
            lines.append(lines.constLast().next());
        const bool emptyLineAfter = lines.size() > 1 && lines.constLast().length() == 1;
        if (emptyLineAfter)
            lines.removeLast();
        const QString language = block.blockFormat().stringProperty(QTextFormat::BlockCodeLanguage);
        for (const QTextBlock& line : qAsConst(lines)) {
            QTextBlockFormat format = line.blockFormat();
            format.setNonBreakableLines(true);
            cursor.setPosition(line.position());
            cursor.setBlockFormat(format);
            marks.append(line == block ? codeClass(language) : QString());
        }
        const int after = lines.constLast().position() + lines.constLast().length();
        if (emptyLineAfter) {
            // Joining the empty line to the last one leaves the joined line with its format.
            const QTextBlockFormat lastFormat = lines.constLast().blockFormat();
            cursor.setPosition(after - 1);
            cursor.deleteChar();
            cursor.setBlockFormat(lastFormat);
        }
        block = document.findBlock(after);
    }
    return marks;
}

// Every code line is exported as one "pre" element, in document order, and nothing else is.
void MarkdownMends::markCodeBlocks(QString& html, const QStringList& marks)
{
    static const QString Pre = QStringLiteral("<pre ");
    std::vector<int> at;
    for (int found = html.indexOf(Pre); found >= 0; found = html.indexOf(Pre, found + 1))
        at.push_back(found);
    if (int(at.size()) != marks.size())
        return;
    for (int line = marks.size() - 1; line >= 0; --line) {
        if (!marks.at(line).isEmpty())
            html.insert(at[line] + Pre.size(),
                        QStringLiteral("class=\"") + marks.at(line) + QStringLiteral("\" "));
    }
}

void MarkdownMends::mendTables(QTextDocument& document)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QTextCursor cursor(block);
        QTextTable* table = cursor.currentTable();
        if (table && table->cellAt(0, 0).firstCursorPosition().block() == block)
            mendTable(table);
    }
}

// The first row of a Markdown table is its header.
void MarkdownMends::mendTable(QTextTable* table)
{
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    for (int row = 0; row < table->rows(); ++row) {
        for (int column = 0; column < table->columns(); ++column) {
            const QTextTableCell cell = table->cellAt(row, column);
            QTextCursor cursor = cell.firstCursorPosition();
            cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
            QTextBlockFormat format = cursor.blockFormat();
            format.setTopMargin(0);
            format.setBottomMargin(0);
            const QTextBlockFormat body = table->cellAt(std::min(1, table->rows() - 1), column)
                                              .firstCursorPosition()
                                              .block()
                                              .blockFormat();
            if (row == 0 && body.hasProperty(QTextFormat::BlockAlignment))
                format.setAlignment(body.alignment());
            cursor.setBlockFormat(format);
            if (row == 0)
                cursor.mergeCharFormat(bold);
        }
    }
}

void MarkdownMends::applyInlineHtml(QTextDocument& document)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (!isCodeLine(block) && block.text().contains(QLatin1Char('<')))
            applyInlineHtml(block);
    }
}

// Pairs the opening and closing tags of one block (a tag without its partner stays text),
// formats what lies between them and removes the tags; line breaks become line separators.
void MarkdownMends::applyInlineHtml(const QTextBlock& block)
{
    static const QRegularExpression tagPattern(
        QStringLiteral("<(/?)(b|strong|i|em|u|s|sub|sup|kbd)>|<br\\s*/?>"),
        QRegularExpression::CaseInsensitiveOption);
    std::vector<Tag> used;
    std::vector<Tag> open;
    std::vector<std::pair<Tag, Tag>> pairs;
    for (auto it = tagPattern.globalMatch(block.text()); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        Tag tag {int(match.capturedStart()), int(match.capturedEnd()), match.captured(2).toLower(),
                 !match.captured(1).isEmpty()};
        QTextCursor probe(block);
        probe.setPosition(block.position() + tag.start + 1);
        if (isCodeFormat(probe.charFormat()))
            continue;
        if (tag.name.isEmpty()) {
            tag.name = QStringLiteral("br");
            used.push_back(tag);
        } else if (!tag.closing) {
            open.push_back(tag);
        } else {
            auto partner = std::find_if(open.rbegin(), open.rend(),
                                        [&](const Tag& o) { return o.name == tag.name; });
            if (partner == open.rend())
                continue;
            pairs.emplace_back(*partner, tag);
            used.push_back(*partner);
            used.push_back(tag);
            open.erase(std::next(partner).base());
        }
    }
    QTextCursor cursor(block);
    for (const auto& [opening, closing] : pairs) {
        cursor.setPosition(block.position() + opening.end);
        cursor.setPosition(block.position() + closing.start, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(formatOf(opening.name));
    }
    std::sort(used.begin(), used.end(),
              [](const Tag& a, const Tag& b) { return a.start > b.start; });
    for (const Tag& tag : used) {
        cursor.setPosition(block.position() + tag.start);
        cursor.setPosition(block.position() + tag.end, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        if (tag.name == QLatin1String("br"))
            cursor.insertText(QString(QChar::LineSeparator));
    }
}
