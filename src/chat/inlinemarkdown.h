#pragma once

#include <QString>

class QTextBlock;
class QTextCharFormat;

// The text of one block of a rich-text document as Markdown: emphasis opened and closed as
// the formats of its fragments change (never around spaces, which would break it), inline
// code in backticks, links, hard line breaks, and the plain text escaped.
class InlineMarkdown
{
public:
    // heading: the bold of a heading is its style, not emphasis. inTable: "|" is escaped and a
    // line break becomes "<br>".
    static QString blockText(const QTextBlock& block, bool heading, bool inTable);
    // Escapes what Markdown would read as markup; lineStart also what would start a block.
    static QString escaped(const QString& text, bool lineStart, bool inTable);
    // A font of fixed pitch: code. GUI thread only (asks the font database, and remembers).
    static bool isFixedPitch(const QTextCharFormat& format);
};
