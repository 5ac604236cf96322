#include "chat/htmlblocks.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace {

const QLatin1String DocumentStart("<!DOCTYPE HTML");

// 1 where a list opens at at, -1 where one closes, else 0; tableTag the same for tables.
int listTag(const QString& html, int at)
{
    if (HtmlBlocks::startsWithAt(html, at, QLatin1String("<ul"))
        || HtmlBlocks::startsWithAt(html, at, QLatin1String("<ol")))
        return 1;
    if (HtmlBlocks::startsWithAt(html, at, QLatin1String("</ul>"))
        || HtmlBlocks::startsWithAt(html, at, QLatin1String("</ol>")))
        return -1;
    return 0;
}

int tableTag(const QString& html, int at)
{
    if (HtmlBlocks::startsWithAt(html, at, QLatin1String("<table")))
        return 1;
    return HtmlBlocks::startsWithAt(html, at, QLatin1String("</table>")) ? -1 : 0;
}

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

// A block never ends inside a table, but a list may: Qt writes a list item that a table
// continues as the table's first cell, closing the list there ("<td><li>...</li></ol></td>").
int HtmlBlocks::blockEnd(const QString& html, int from, int end, bool inTable)
{
    int lists = 0;
    int tables = inTable ? 1 : 0;
    for (int i = from; i < end; ++i) {
        const QChar c = html.at(i);
        if (c == QLatin1Char('<')) {
            lists += listTag(html, i);
            tables += tableTag(html, i);
        } else if (c == QLatin1Char('\n') && lists <= 0 && tables <= 0 && i + 1 < end
                   && html.at(i + 1) == QLatin1Char('<')) {
            return i;
        }
    }
    return end;
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

int HtmlBlocks::listEnd(const QString& html, int from, int end, int depth, QVector<int>* itemBreaks)
{
    int tables = 0;
    for (int i = from; i < end; ++i) {
        const QChar c = html.at(i);
        if (c == QLatin1Char('<')) {
            depth += listTag(html, i);
            tables += tableTag(html, i);
        } else if (c == QLatin1Char('\n') && tables <= 0 && i + 1 < end
                   && html.at(i + 1) == QLatin1Char('<')) {
            if (depth <= 0)
                return i;
            if (depth == 1 && startsWithAt(html, i + 1, QLatin1String("<li")))
                itemBreaks->append(i);
        }
    }
    return end;
}

bool HtmlBlocks::isCodeStart(const QString& html, int at)
{
    static const QLatin1String Start("<pre class=\"code");
    if (!startsWithAt(html, at, Start))
        return false;
    const int tagEnd = html.indexOf(QLatin1Char('>'), at);
    const QStringView tag = QStringView(html).mid(at, tagEnd < 0 ? 0 : tagEnd - at);
    return tag.contains(QLatin1String("margin-left:0px;"))
        && tag.contains(QLatin1String("-qt-block-indent:0;"));
}

QString HtmlBlocks::codeLanguage(const QString& html, int at)
{
    static const QLatin1String Prefix("<pre class=\"code language-");
    if (!startsWithAt(html, at, Prefix))
        return QString();
    const int start = at + Prefix.size();
    return html.mid(start, html.indexOf(QLatin1Char('"'), start) - start);
}

// The lines' tags dropped and the entities that the export writes turned back into characters.
QString HtmlBlocks::codeText(const QString& html, int from, int to)
{
    static const std::pair<QLatin1String, QChar> entities[] = {
        {QLatin1String("&lt;"), QLatin1Char('<')},   {QLatin1String("&gt;"), QLatin1Char('>')},
        {QLatin1String("&amp;"), QLatin1Char('&')},  {QLatin1String("&quot;"), QLatin1Char('"')},
        {QLatin1String("&#39;"), QLatin1Char('\'')}, {QLatin1String("&nbsp;"), QChar(0xA0)},
    };
    QString code;
    code.reserve(to - from);
    for (int i = from; i < to; ++i) {
        const QChar c = html.at(i);
        if (c == QLatin1Char('<')) {
            const int close = html.indexOf(QLatin1Char('>'), i);
            i = close < 0 || close >= to ? to : close;
            continue;
        }
        if (c == QLatin1Char('&')) {
            const auto entity =
                std::find_if(std::begin(entities), std::end(entities),
                             [&](const auto& e) { return startsWithAt(html, i, e.first); });
            if (entity != std::end(entities)) {
                code += entity->second;
                i += entity->first.size() - 1;
                continue;
            }
        }
        code += c;
    }
    return code;
}
