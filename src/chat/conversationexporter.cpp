#include "chat/conversationexporter.h"

#include "chat/htmltomarkdown.h"
#include "core/atomicfile.h"

#include <QStringList>
#include <QUrl>

namespace {

constexpr int SenderQuestion = 0;

QString quoted(const QString& markdown)
{
    QStringList lines = markdown.split(QLatin1Char('\n'));
    for (QString& line : lines)
        line = line.isEmpty() ? QStringLiteral(">") : QStringLiteral("> ") + line;
    return lines.join(QLatin1Char('\n'));
}

} // namespace

QString ConversationExporter::markdown(const QString& title,
                                       const QVector<ChatHistoryStore::Message>& messages)
{
    QStringList parts {QStringLiteral("# ") + HtmlToMarkdown::escaped(title)};
    for (const ChatHistoryStore::Message& message : messages) {
        if (message.sender == SenderQuestion) {
            if (parts.size() > 1)
                parts.append(QStringLiteral("---"));
            parts.append(QStringLiteral("**") + tr("Question") + QStringLiteral("**"));
            parts.append(HtmlToMarkdown::escaped(message.content));
            continue;
        }
        parts.append(QStringLiteral("**") + tr("Answer") + QStringLiteral("**"));
        const QString reasoning = HtmlToMarkdown::convert(message.reasoningContent);
        if (!reasoning.trimmed().isEmpty())
            parts.append(quoted(QStringLiteral("*") + tr("Reasoning") + QStringLiteral("*\n\n")
                                + reasoning));
        const QString answer = HtmlToMarkdown::convert(message.content);
        if (!answer.trimmed().isEmpty())
            parts.append(answer);
    }
    return parts.join(QStringLiteral("\n\n")) + QLatin1Char('\n');
}

bool ConversationExporter::write(const QString& filePath, const QString& markdown)
{
    const QUrl url(filePath);
    const QString path = url.isLocalFile() ? url.toLocalFile() : filePath;
    return !path.isEmpty() && AtomicFile::replace(path, markdown.toUtf8());
}
