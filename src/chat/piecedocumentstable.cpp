#include "chat/piecedocuments.h"

#include "chat/textprefix.h"

#include <QStringList>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextTable>

#include <algorithm>

// A table piece is kept in documents of a few rows each (parts), all with the column widths
// that the first part needs. A growing table changes only at its end: the parts whose rows all
// lie before the first change stay (full parts only: one that is not takes the next rows), the
// rows after them are cut into parts again, and only the parts that differ are made anew.

namespace {

const QLatin1String RowStart("\n<tr>");
const QLatin1String TableEnd("</table>");
// The first part's rows decide the column widths; the later ones are small, since the last
// one is made anew whenever the table grows.
constexpr int FirstPartRows = 10;
constexpr int RowsPerPart = 2;

int rowsIn(int part)
{
    return part == 0 ? FirstPartRows : RowsPerPart;
}

struct Rows
{
    QStringList texts;
    QVector<int> ends; // where each ends in the table's HTML
};

// The rows of html from the line break at from up to the table's end.
Rows rowsFrom(const QString& html, int from, int tableEnd)
{
    Rows rows;
    for (int row = from; row >= 0 && row < tableEnd;) {
        const int next = html.indexOf(RowStart, row + 1);
        const int end = next < 0 || next > tableEnd ? tableEnd : next;
        rows.texts.append(html.mid(row + 1, end - row - 1));
        rows.ends.append(end);
        row = next;
    }
    return rows;
}

} // namespace

qreal PieceDocuments::setTable(const QString& html)
{
    const int tableStart = html.indexOf(QLatin1String("<table"));
    const int tableEnd = html.lastIndexOf(TableEnd);
    if (tableStart < 0 || tableEnd < tableStart)
        return setText(html);
    const std::size_t kept = unchangedTableParts(html, tableStart);
    tableHtml = html;
    const Rows rows = rowsFrom(
        html, kept > 0 ? parts.at(kept - 1).rowsEnd : html.indexOf(RowStart, tableStart), tableEnd);
    const QString head = html.left(tableStart);
    int count = int(kept);
    for (int rowsLeft = rows.texts.size(); rowsLeft > 0 || count == 0; ++count)
        rowsLeft -= rowsIn(count);
    qreal changedFrom = -1;
    bool widthsChanged = false;
    for (int index = int(kept), first = 0; index < count; first += rowsIn(index++)) {
        const int taken = std::max(0, std::min(rowsIn(index), int(rows.texts.size()) - first));
        Part part;
        part.source = head + QStringLiteral("<table>\n")
            + rows.texts.mid(first, taken).join(QLatin1Char('\n')) + TableEnd
            + QStringLiteral("</html>");
        part.rows = taken;
        part.rowsEnd = taken > 0 ? rows.ends.at(first + taken - 1) : tableEnd;
        if (index < int(parts.size()) && parts.at(index).source == part.source) {
            parts[index].rows = part.rows;
            parts[index].rowsEnd = part.rowsEnd;
            continue;
        }
        widthsChanged = makeTablePart(part, index == 0) || widthsChanged;
        if (changedFrom < 0)
            changedFrom = index < int(parts.size()) ? parts.at(index).y : extent.height();
        laidOut = std::min(laidOut, std::size_t(index));
        if (index < int(parts.size()))
            parts[index] = std::move(part);
        else
            parts.push_back(std::move(part));
    }
    if (int(parts.size()) > count) {
        parts.resize(count);
        laidOut = std::min(laidOut, parts.size());
        changedFrom = changedFrom < 0 ? extent.height() : changedFrom;
    }
    if (widthsChanged) {
        for (int index = 1; index < int(parts.size()); ++index)
            PieceStyle::setColumnWidths(*parts[index].document, columnWidths);
        changedFrom = 0;
        laidOut = 0;
    }
    return changedFrom;
}

// The leading parts that html leaves as they are.
std::size_t PieceDocuments::unchangedTableParts(const QString& html, int tableStart) const
{
    const int same = TextPrefix::commonLength(tableHtml, html);
    std::size_t kept = 0;
    while (same > tableStart && kept < parts.size() && parts.at(kept).rows == rowsIn(int(kept))
           && parts.at(kept).rowsEnd + RowStart.size() <= same)
        ++kept;
    return kept;
}

// Makes the document of a part from its source; the first part decides the column widths.
// Returns whether they changed.
bool PieceDocuments::makeTablePart(Part& part, bool first)
{
    part.document = newDocument(part.source);
    // Qt fills short rows with empty cells up to the table's widest row; a part of short rows
    // alone would have fewer columns than the table.
    QTextTable* table = PieceStyle::tableOf(*part.document);
    if (!first && table && table->columns() < columnWidths.size())
        table->appendColumns(columnWidths.size() - table->columns());
    PieceStyle::styleTable(*part.document, current.palette, first);
    bool widthsChanged = false;
    if (first) {
        const QVector<qreal> widths =
            PieceStyle::fitColumns(PieceStyle::naturalColumnWidths(*part.document), current.width);
        widthsChanged = widths != columnWidths;
        columnWidths = widths;
    }
    PieceStyle::setColumnWidths(*part.document, columnWidths);
    return widthsChanged;
}

// A copy of a table kept in parts is one table: the rows of the table in rows go after the rows
// of the last table in combined, when they have the same columns (a selection that starts in a
// table's middle column holds fewer). Returns whether they did.
bool PieceDocuments::appendTableRows(QTextDocument& combined, const QTextDocumentFragment& rows)
{
    QTextTable* joined = nullptr;
    for (QTextFrame* frame : combined.rootFrame()->childFrames()) {
        if (auto* table = qobject_cast<QTextTable*>(frame))
            joined = table;
    }
    QTextDocument source;
    QTextCursor(&source).insertFragment(rows);
    const QTextTable* added = PieceStyle::tableOf(source);
    if (!joined || !added || added->columns() != joined->columns())
        return false;
    const int first = joined->rows();
    joined->appendRows(added->rows());
    for (int row = 0; row < added->rows(); ++row) {
        for (int column = 0; column < added->columns(); ++column) {
            const QTextTableCell cell = added->cellAt(row, column);
            QTextCursor content = cell.firstCursorPosition();
            content.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
            QTextTableCell target = joined->cellAt(first + row, column);
            target.setFormat(cell.format());
            QTextCursor into = target.firstCursorPosition();
            into.setBlockFormat(cell.firstCursorPosition().blockFormat()); // the alignment
            into.insertFragment(QTextDocumentFragment(content));
        }
    }
    return true;
}
