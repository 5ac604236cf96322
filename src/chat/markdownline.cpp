#include "chat/markdownline.h"

#include <QString>

#include <algorithm>

int MarkdownLine::contentStart(QStringView line)
{
    int at = 0;
    for (;;) {
        while (at < line.size() && isBlank(line[at]))
            ++at;
        const int end = markerEnd(line, at);
        if (end < 0)
            return at;
        at = end;
    }
}

// The end of a block marker at at, or -1 when none starts there.
int MarkdownLine::markerEnd(QStringView line, int at)
{
    if (at >= line.size())
        return -1;
    const QChar c = line[at];
    if (c == QLatin1Char('>'))
        return at + 1;
    int end = at;
    if (c == QLatin1Char('-') || c == QLatin1Char('+') || c == QLatin1Char('*')) {
        ++end;
    } else if (c == QLatin1Char('#')) {
        while (end < line.size() && line[end] == QLatin1Char('#'))
            ++end;
    } else {
        while (end < line.size() && line[end].isDigit())
            ++end;
        if (end == at || end >= line.size()
            || (line[end] != QLatin1Char('.') && line[end] != QLatin1Char(')')))
            return -1;
        ++end;
    }
    return end == line.size() || isBlank(line[end]) ? end : -1;
}

bool MarkdownLine::isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

bool MarkdownLine::isBlankLine(QStringView line)
{
    return std::all_of(line.begin(), line.end(), [](QChar c) { return c.isSpace(); });
}

int MarkdownLine::fenceLength(QStringView line, QChar* fenceChar)
{
    int i = 0;
    while (i < line.size() && (line[i].isSpace() || line[i] == QLatin1Char('>')))
        ++i;
    if (i >= line.size() || (line[i] != QLatin1Char('`') && line[i] != QLatin1Char('~')))
        return 0;
    const QChar c = line[i];
    int n = 0;
    while (i + n < line.size() && line[i + n] == c)
        ++n;
    if (n < 3)
        return 0;
    *fenceChar = c;
    return n;
}

bool MarkdownLine::closesFence(QStringView line, QChar fenceChar, int openLength)
{
    QChar c;
    const int n = fenceLength(line, &c);
    return n >= openLength && c == fenceChar && isBlankLine(line.mid(line.indexOf(c) + n));
}

bool MarkdownLine::startsListItem(QStringView line)
{
    const QChar first = line[0];
    if (first == QLatin1Char('-') || first == QLatin1Char('*') || first == QLatin1Char('+'))
        return true;
    int i = 0;
    while (i < line.size() && line[i].isDigit())
        ++i;
    return i > 0 && i < line.size() && (line[i] == QLatin1Char('.') || line[i] == QLatin1Char(')'));
}

bool MarkdownLine::isEmptyHeading(QStringView line)
{
    return std::all_of(line.begin(), line.end(),
                       [](QChar c) { return c == QLatin1Char('#') || c.isSpace(); });
}

bool MarkdownLine::isRule(QStringView text)
{
    const QStringView rule = text.trimmed();
    return rule.size() >= 3 && QLatin1String("-*_=").contains(rule[0])
        && std::all_of(rule.begin(), rule.end(),
                       [&](QChar c) { return c == rule[0] || c == QLatin1Char(' '); });
}

bool MarkdownLine::carriesFormatOn(QStringView line)
{
    const QStringView trimmed = line.trimmed();
    if (!trimmed.isEmpty() && isEmptyHeading(trimmed))
        return true;
    const int start = contentStart(line);
    const QStringView markers = line.left(start);
    const bool container = std::any_of(markers.begin(), markers.end(), [](QChar c) {
        return c.isDigit() || QLatin1String("-*+>").contains(c);
    });
    const QStringView text = line.mid(start).trimmed();
    QChar fenceChar;
    return container
        && (text.isEmpty() || markers.contains(QLatin1Char('#'))
            || fenceLength(text, &fenceChar) > 0 || isRule(text));
}

bool MarkdownLine::canStartPiece(QStringView line)
{
    if (line.isEmpty() || line[0].isSpace() || line[0] == QLatin1Char('>') || startsListItem(line))
        return false;
    // A heading converts differently as the first block of a document when an item without
    // text follows it, and an empty one takes its font from the block before it.
    return line[0] != QLatin1Char('#') && !line.contains(QLatin1Char('|'));
}

QChar MarkdownLine::topLevelListMarker(QStringView line)
{
    int end = 0;
    if (QLatin1String("-*+").contains(line[0])) {
        end = 1;
    } else {
        while (end < line.size() && end < 10 && line[end].isDigit())
            ++end;
        if (end == 0 || end >= line.size()
            || (line[end] != QLatin1Char('.') && line[end] != QLatin1Char(')')))
            return QChar();
        ++end;
    }
    if (end < line.size() && line[end] != QLatin1Char(' ') && line[end] != QLatin1Char('\t'))
        return QChar();
    return line[end - 1];
}

bool MarkdownLine::isPlainItemLine(QStringView line, bool firstLine)
{
    if (firstLine) {
        const int start = contentStart(line);
        const QStringView markers = line.left(start).trimmed();
        return !markers.contains(QLatin1Char(' ')) && !markers.contains(QLatin1Char('\t'));
    }
    const QStringView text = line.trimmed();
    if (text.isEmpty())
        return true;
    const bool underline =
        std::all_of(text.begin(), text.end(), [&](QChar c) { return c == text[0]; })
        && (text[0] == QLatin1Char('-') || text[0] == QLatin1Char('='));
    QChar fenceChar;
    return !underline && !isRule(text) && !QLatin1String("#>|").contains(text[0])
        && fenceLength(text, &fenceChar) == 0;
}

bool MarkdownLine::endsList(QStringView line, bool afterBlank)
{
    if (line[0].isSpace())
        return false;
    return afterBlank || QLatin1String("#>`~|").contains(line[0]) || isRule(line);
}

bool MarkdownLine::isTableDelimiter(QStringView line)
{
    const QStringView text = line.trimmed();
    if (text.isEmpty() || !text.contains(QLatin1Char('-')))
        return false;
    return std::all_of(text.begin(), text.end(),
                       [](QChar c) {
                           return c == QLatin1Char('|') || c == QLatin1Char('-')
                               || c == QLatin1Char(':') || c == QLatin1Char(' ')
                               || c == QLatin1Char('\t');
                       })
        && (text.contains(QLatin1Char('|')));
}

bool MarkdownLine::isTopLevelTableRow(QStringView line)
{
    return !line.isEmpty() && !line[0].isSpace() && line[0] != QLatin1Char('>')
        && line.contains(QLatin1Char('|'));
}
