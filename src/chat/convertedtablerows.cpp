#include "chat/convertedtablerows.h"

#include <QStringView>

namespace {

const QLatin1String RowStart("\n<tr>");
const QLatin1String RowEnd("</tr>");
const QLatin1String TableEnd("</table>");

} // namespace

ConvertedTableRows::ConvertedTableRows(const QString& blocks)
    : blocks(blocks)
{
    if (!blocks.startsWith(QLatin1String("<table")))
        return;
    const int header = blocks.indexOf(RowEnd);
    tableEnd = blocks.indexOf(TableEnd, header);
    if (header < 0 || tableEnd < 0)
        return;
    headerEnd = header + RowEnd.size();
    for (int row = blocks.indexOf(RowStart, headerEnd); row >= 0 && row < tableEnd;
         row = blocks.indexOf(RowStart, row + RowStart.size()))
        starts.append(row);
}

int ConvertedTableRows::count() const
{
    return starts.size();
}

QString ConvertedTableRows::single(int row) const
{
    const int end = row + 1 < starts.size() ? starts.at(row + 1) : tableEnd;
    QString table = blocks.left(headerEnd);
    table += QStringView(blocks).mid(starts.at(row), end - starts.at(row));
    table += TableEnd;
    return table;
}

QString ConvertedTableRows::from(int row) const
{
    QString rest = blocks.left(headerEnd);
    rest += QStringView(blocks).mid(starts.at(row));
    return rest;
}
