#pragma once

#include <QStringView>

// Reads the block markers that open a line of Markdown, as the streaming code needs them to
// tell what kind of block a line is before it is converted.
class MarkdownLine
{
public:
    // Where the line's text starts, after the markers that open it ("- ", "1. ", "> ", "# ",
    // in any number: "- 1. " is a list inside a list item). A marker that ends the line counts.
    static int contentStart(QStringView line);

private:
    static int markerEnd(QStringView line, int at);
    static bool isBlank(QChar c);
};
