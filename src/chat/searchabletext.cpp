#include "chat/searchabletext.h"

#include <QHash>

namespace {

constexpr int SenderQuestion = 0;

bool isNameCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char(':');
}

// Elements whose content is not text the user sees.
bool isHidden(QStringView name)
{
    return name.compare(QLatin1String("head"), Qt::CaseInsensitive) == 0
        || name.compare(QLatin1String("style"), Qt::CaseInsensitive) == 0
        || name.compare(QLatin1String("script"), Qt::CaseInsensitive) == 0
        || name.compare(QLatin1String("title"), Qt::CaseInsensitive) == 0;
}

// Elements that end a line of the shown text.
bool breaksLine(QStringView name)
{
    static const char* const names[] = {"p",   "br",    "li", "tr", "div",       "h1",
                                        "h2",  "h3",    "h4", "h5", "h6",        "hr",
                                        "pre", "table", "ul", "ol", "blockquote"};
    for (const char* candidate : names) {
        if (name.compare(QLatin1String(candidate), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// The code point of an entity given without its "&" and ";"; 0 when unknown.
uint entityValue(QStringView entity)
{
    static const QHash<QString, uint> named {
        {QStringLiteral("lt"), '<'},    {QStringLiteral("gt"), '>'},
        {QStringLiteral("amp"), '&'},   {QStringLiteral("quot"), '"'},
        {QStringLiteral("apos"), '\''}, {QStringLiteral("nbsp"), ' '},
    };
    if (entity.startsWith(QLatin1Char('#'))) {
        const bool hex = entity.size() > 1
            && (entity.at(1) == QLatin1Char('x') || entity.at(1) == QLatin1Char('X'));
        bool ok = false;
        const uint value = entity.mid(hex ? 2 : 1).toString().toUInt(&ok, hex ? 16 : 10);
        return ok && value > 0 && value <= 0x10FFFF ? value : 0;
    }
    return named.value(entity.toString(), 0);
}

// Skips a tag that starts at "<"; returns the position after it and its name.
int skipTag(QStringView html, int at, QStringView* name, bool* closing)
{
    int i = at + 1;
    *closing = i < html.size() && html.at(i) == QLatin1Char('/');
    if (*closing)
        ++i;
    const int nameStart = i;
    while (i < html.size() && isNameCharacter(html.at(i)))
        ++i;
    *name = html.mid(nameStart, i - nameStart);
    QChar quote;
    for (; i < html.size(); ++i) {
        const QChar c = html.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (c == QLatin1Char('>')) {
            return i + 1;
        }
    }
    return html.size();
}

bool startsTag(QStringView html, int at)
{
    if (at + 1 >= html.size())
        return false;
    const QChar next = html.at(at + 1);
    return next.isLetter() || next == QLatin1Char('/') || next == QLatin1Char('!')
        || next == QLatin1Char('?');
}

} // namespace

QString SearchableText::plainText(const QString& html)
{
    const QStringView view(html);
    QString text;
    text.reserve(html.size() / 2);
    int hiddenDepth = 0;
    int runStart = 0; // start of the text not yet copied
    int i = 0;
    const auto copyRun = [&](int end) {
        if (hiddenDepth == 0 && end > runStart)
            text.append(view.mid(runStart, end - runStart));
    };
    while (i < view.size()) {
        const QChar c = view.at(i);
        if (c == QLatin1Char('<') && startsTag(view, i)) {
            copyRun(i);
            if (view.mid(i, 4) == QLatin1String("<!--")) {
                const int end = html.indexOf(QLatin1String("-->"), i + 4);
                i = end < 0 ? view.size() : end + 3;
            } else {
                QStringView name;
                bool closing = false;
                i = skipTag(view, i, &name, &closing);
                if (isHidden(name))
                    hiddenDepth = qMax(0, hiddenDepth + (closing ? -1 : 1));
                else if (hiddenDepth == 0 && breaksLine(name) && !text.isEmpty()
                         && !text.endsWith(QLatin1Char('\n')))
                    text.append(QLatin1Char('\n'));
            }
            runStart = i;
            continue;
        }
        if (c == QLatin1Char('&')) {
            const int semicolon = html.indexOf(QLatin1Char(';'), i + 1);
            const uint value = semicolon > i && semicolon - i <= 10
                ? entityValue(view.mid(i + 1, semicolon - i - 1))
                : 0;
            if (value != 0) {
                copyRun(i);
                if (hiddenDepth == 0)
                    text.append(QString::fromUcs4(&value, 1));
                i = semicolon + 1;
                runStart = i;
                continue;
            }
        }
        ++i;
    }
    copyRun(view.size());
    return text;
}

QByteArray SearchableText::folded(const QString& text)
{
    return text.toCaseFolded().toUtf8();
}

QByteArray SearchableText::ofMessages(const QVector<ChatHistoryStore::Message>& messages)
{
    QString text;
    for (const ChatHistoryStore::Message& message : messages) {
        text += message.sender == SenderQuestion ? message.content : plainText(message.content);
        text += QLatin1Char('\n');
        if (!message.reasoningContent.isEmpty())
            text += plainText(message.reasoningContent) + QLatin1Char('\n');
    }
    return folded(text.simplified());
}
