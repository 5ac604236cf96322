#include "chat/markdownline.h"

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
