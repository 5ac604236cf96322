#pragma once

#include <QString>
#include <QStringList>

class QTextBlock;
class QTextDocument;
class QTextTable;

// Corrects what Qt's Markdown import and HTML export get wrong for answers, on the document
// between the two, so that the stored HTML reads right in any rich-text view:
// - a list item after a nested list (and other blocks after bold text) took the bold of the
//   text before it as its block format, which the HTML export writes onto the whole item;
// - code lost its monospace font in the export, and code blocks were written as paragraphs
//   with an extra empty line after each; they become "pre" lines in a monospace font, the
//   first line of each block marked with its language (markCodeBlocks);
// - a table's header row lost its bold and took margins from the block before the table, and
//   the header cells ignored the column's alignment;
// - a small set of inline HTML that models write (line breaks, bold, italic, sub- and
//   superscript, keys) showed as text; it becomes formatting. Every other tag stays text, and
//   nothing inside code is touched.
class MarkdownMends
{
public:
    // The HTML class attribute that marks the first line of a code block ("code" and, with a
    // language, "language-<name>").
    static QString codeClass(const QString& language);

    // Applies every mend to a document fresh from setMarkdown(); returns what markCodeBlocks
    // needs to mark its code blocks in the exported HTML.
    static QStringList apply(QTextDocument& document);
    // Marks the first "pre" line of each code block in the exported HTML with codeClass().
    static void markCodeBlocks(QString& html, const QStringList& marks);

private:
    static void clearBlockCharFormats(QTextDocument& document);
    static void mendCodeSpans(QTextDocument& document);
    static QStringList mendCodeBlocks(QTextDocument& document);
    static bool continuesCode(const QTextBlock& line, const QTextBlock& next);
    static void mendTables(QTextDocument& document);
    static void mendTable(QTextTable* table);
    static void applyInlineHtml(QTextDocument& document);
    static void applyInlineHtml(const QTextBlock& block);
};
