#pragma once

#include <QStringView>

// Reads a line of Markdown as the streaming conversion needs it, to tell what kind of block a
// line is, and where the text can be cut, before it is converted. Reading a line as more than
// Markdown does (a fence, a table row) only costs cuts.
class MarkdownLine
{
public:
    // Where the line's text starts, after the markers that open it ("- ", "1. ", "> ", "# ",
    // in any number: "- 1. " is a list inside a list item). A marker that ends the line counts.
    static int contentStart(QStringView line);
    static bool isBlankLine(QStringView line);
    // "```" or "~~~" (or longer) after any indentation or quote markers; returns the fence's
    // character and length, or 0.
    static int fenceLength(QStringView line, QChar* fenceChar);
    static bool closesFence(QStringView line, QChar fenceChar, int openLength);
    static bool startsListItem(QStringView line);
    // "#" alone, or "##" and spaces.
    static bool isEmptyHeading(QStringView line);
    // "---", "***", "___" or "===", with or without spaces: a break, or a heading's underline.
    static bool isRule(QStringView text);
    // Lines whose formatting Qt's import carries into every block after them, to the end of
    // the text, so that no later cut gives the same result: an empty heading, and a list item
    // or quote without text of its own ("-", "1.", "- 2.", ">#"), or holding a code fence, a
    // heading or a break ("2. ---").
    static bool carriesFormatOn(QStringView line);
    // Whether a piece may start with line, which follows a blank line: Markdown continues a
    // list, a quote or indented code across blank lines, and tables and lists have their own
    // cuts. A heading converts differently as the first block of a document when an item
    // without text follows it, and an empty one takes its font from the block before it.
    static bool canStartPiece(QStringView line);
    // The marker of a list item that starts at the line's first column: the bullet ('-', '*',
    // '+') or the delimiter after the number ('.', ')'); nothing for other lines. Items of one
    // list share it.
    static QChar topLevelListMarker(QStringView line);
    // Whether a list item's line leaves its conversion the same wherever the item stands
    // (first in its list or not): not so when its first line holds another marker ("- 2. x"),
    // or a later line is a heading's underline, a break, a heading, a fence, a quote or a
    // table row.
    static bool isPlainItemLine(QStringView line, bool firstLine);
    // Whether a line that is not a list item ends the list before it: after a blank line any
    // text at the first column does; without one, only what interrupts a paragraph (the rest
    // continues the last item's text).
    static bool endsList(QStringView line, bool afterBlank);
    // A table's delimiter row ("|---|:-:|").
    static bool isTableDelimiter(QStringView line);
    // A row of a table at the top level: it holds a pipe and starts at the first column.
    static bool isTopLevelTableRow(QStringView line);

private:
    static int markerEnd(QStringView line, int at);
    static bool isBlank(QChar c);
};
