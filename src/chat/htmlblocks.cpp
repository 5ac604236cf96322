#include "chat/htmlblocks.h"

namespace {

const QLatin1String DocumentStart("<!DOCTYPE HTML");

} // namespace

const QString& HtmlBlocks::headEnd()
{
    static const QString text = QStringLiteral("</head>");
    return text;
}

const QString& HtmlBlocks::htmlEnd()
{
    static const QString text = QStringLiteral("</html>");
    return text;
}

bool HtmlBlocks::isBlockDocument(const QString& html)
{
    return html.startsWith(DocumentStart) && html.endsWith(htmlEnd()) && html.contains(headEnd());
}

int HtmlBlocks::bodyStart(const QString& html)
{
    return html.indexOf(headEnd()) + headEnd().size();
}

int HtmlBlocks::bodyEnd(const QString& html)
{
    return html.size() - htmlEnd().size();
}

int HtmlBlocks::blockEnd(const QString& html, int from, int end)
{
    int depth = 0;
    for (int i = from; i < end; ++i) {
        const QChar c = html.at(i);
        if (c == QLatin1Char('<')) {
            if (startsWithAt(html, i, QLatin1String("<ul"))
                || startsWithAt(html, i, QLatin1String("<ol"))
                || startsWithAt(html, i, QLatin1String("<table")))
                ++depth;
            else if (startsWithAt(html, i, QLatin1String("</ul>"))
                     || startsWithAt(html, i, QLatin1String("</ol>"))
                     || startsWithAt(html, i, QLatin1String("</table>")))
                --depth;
        } else if (c == QLatin1Char('\n') && depth <= 0 && i + 1 < end
                   && html.at(i + 1) == QLatin1Char('<')) {
            return i;
        }
    }
    return end;
}

int HtmlBlocks::unitEnd(const QString& html, int from, int end)
{
    const int first = blockEnd(html, from, end);
    if (startsWithAt(html, from, QLatin1String("<table")) && first < end)
        return blockEnd(html, first + 1, end);
    return first;
}

int HtmlBlocks::closingTagsStart(QStringView text)
{
    int start = text.size();
    while (start > 0 && text.at(start - 1) == QLatin1Char('>')) {
        const int open = text.lastIndexOf(QLatin1Char('<'), start - 1);
        if (open < 0 || text.mid(open + 1, 1) != QLatin1String("/")
            || text.mid(open, start - open).contains(QLatin1Char('\n')))
            break;
        start = open;
    }
    return start;
}

bool HtmlBlocks::startsWithAt(const QString& text, int at, QLatin1String what)
{
    return QStringView(text).mid(at, what.size()) == what;
}
