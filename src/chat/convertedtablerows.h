#pragma once

#include <QString>
#include <QVector>

// The rows of the table that a piece of Markdown's HTML blocks start with, as the pieces of a
// streaming answer need them: one row as the table it converts to alone (behind the same header
// row), or the blocks from a row on. A table's rows convert alike in one table or each in its
// own, so rows that arrive together are converted together and taken apart here.
class ConvertedTableRows
{
public:
    ConvertedTableRows() = default;
    // blocks: what a table's header and delimiter rows and the text after them converted to.
    explicit ConvertedTableRows(const QString& blocks);

    // The table's rows after its header; 0 when the blocks do not start with a table.
    int count() const;
    // The table of the header row and row (0 <= row < count()).
    QString single(int row) const;
    // The blocks with the rows before row left out (0 <= row < count()).
    QString from(int row) const;

private:
    QString blocks;
    int headerEnd = 0; // after the header row
    int tableEnd = 0; // where the table's closing tag starts
    QVector<int> starts; // of each row after the header: the line break before it
};
