#pragma once

#include <QString>

// Turns an answer as the chat stores it (rich-text HTML) back into Markdown: headings, bold,
// italic, strike-through, inline code, code blocks (fenced), links, lists, quotes, tables and
// rules, with plain text escaped so that it reads as it was shown.
//
// Qt's own writer (QTextDocument::toMarkdown) gets the stored HTML wrong in ways a reader
// notices: the lines of a code block come out as separate paragraphs, quotes lose their ">",
// inline code its backticks, and lists run into each other. This writer walks the document
// itself. Code is recognised by its fixed-pitch font (every fragment of a block with no margin
// above or below, as the Markdown import lays code blocks out, or a block that keeps its line
// breaks); the language of a code block is not in the HTML and is lost.
class HtmlToMarkdown
{
public:
    // Needs a QGuiApplication (fonts).
    static QString convert(const QString& html);
    // Plain text (a question as typed) as Markdown that shows it as it stands.
    static QString escaped(const QString& text);
};
