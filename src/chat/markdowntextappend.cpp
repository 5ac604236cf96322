#include "chat/markdowntextappend.h"

#include "chat/markdownline.h"

#include <algorithm>

std::optional<QString> MarkdownTextAppend::addedText(QStringView markdown, int from,
                                                     QStringView shownText)
{
    const QStringView before = markdown.left(from);
    const QStringView added = markdown.mid(from);
    const int lineStart = before.lastIndexOf(QLatin1Char('\n')) + 1;
    const QStringView line = before.mid(lineStart);
    // Words after the line's last space are the only ones the addition can join; they must
    // come after a word of the line's text, so that the kind of the line is settled.
    const int lastSpace = line.lastIndexOf(QLatin1Char(' '));
    const int textStart = MarkdownLine::contentStart(line);
    if (lastSpace <= textStart || isFenceOrCode(line.mid(textStart))
        || !shownText.endsWith(lastWord(line)))
        return std::nullopt;
    // Two spaces keep their width, one does not.
    const QStringView joined = markdown.mid(lineStart + lastSpace - 1);
    if (!std::all_of(joined.begin() + 1, joined.end(), isPlain)
        || joined.contains(QLatin1String("  "))
        || joined.contains(QLatin1String("www."), Qt::CaseInsensitive) // an autolink
        || hasNumberWithDot(joined)) // "- 1" + ". x" opens a nested list
        return std::nullopt;
    // Spaces at the end of a paragraph are dropped, so they show once words follow them.
    QStringView shown = added;
    while (shown.endsWith(QLatin1Char(' ')))
        shown.chop(1);
    if (shown.isEmpty())
        return QString();
    return before.endsWith(QLatin1Char(' ')) ? QLatin1Char(' ') + shown.toString()
                                             : shown.toString();
}

// A code fence's opening line shows nothing, an unfinished code span shows its text as it is.
bool MarkdownTextAppend::isFenceOrCode(QStringView text)
{
    return text.startsWith(QLatin1Char('`')) || text.startsWith(QLatin1Char('~'));
}

// The line's last word, whose text the block must end with if the line is the block's end.
QStringView MarkdownTextAppend::lastWord(QStringView line)
{
    QStringView text = line;
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text.mid(text.lastIndexOf(QLatin1Char(' ')) + 1);
}

bool MarkdownTextAppend::hasNumberWithDot(QStringView text)
{
    for (int i = 1; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('.') && text[i - 1].isDigit())
            return true;
    }
    return false;
}

// Letters, digits, single spaces and punctuation that Markdown gives no meaning mid-line and
// the HTML export writes as it is. Characters outside the Basic Multilingual Plane (emoji) are
// left to the full conversion.
bool MarkdownTextAppend::isPlain(QChar c)
{
    if (c.unicode() < 0x80)
        return c.isLetterOrNumber() || QLatin1String(" ,.;:!?'%").contains(c);
    return !c.isSurrogate() && (c.isLetterOrNumber() || c.isPunct());
}
