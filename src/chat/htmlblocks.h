#pragma once

#include <QLatin1String>
#include <QString>
#include <QStringView>
#include <QVector>

// Reads the HTML that MarkdownRenderer makes: a document head through "</head>", then one line
// per top-level block (a list or a table spans several lines), then "</html>". Text never holds
// a bare '<', so a line break followed by a tag outside lists and tables ends a block.
class HtmlBlocks
{
public:
    static const QString& headEnd(); // "</head>"
    static const QString& htmlEnd(); // "</html>"

    // Whether html has that shape; texts that do not (plain messages) are shown whole.
    static bool isBlockDocument(const QString& html);
    // The end of the head, after "</head>"; the first block starts there.
    static int bodyStart(const QString& html);
    // Where the blocks end: the start of the closing "</html>".
    static int bodyEnd(const QString& html);
    // The end of the top-level block that starts at from (the line break after it, or end);
    // inTable: from lies on a row of a table.
    static int blockEnd(const QString& html, int from, int end, bool inTable = false);
    // Where the closing tags that end text start ("</span></p>"): text.size() when it does not
    // end in a closing tag, 0 when it is nothing else.
    static int closingTagsStart(QStringView text);
    static bool startsWithAt(const QString& text, int at, QLatin1String what);

    // Where a list that starts at from ends (as blockEnd does); depth 1: from lies inside the
    // list, at one of its items. itemBreaks gets the line breaks before its top-level items.
    static int listEnd(const QString& html, int from, int end, int depth, QVector<int>* itemBreaks);
    // Whether the first line of a top-level code block starts at at ("pre" marked with the code
    // class, not indented or quoted).
    static bool isCodeStart(const QString& html, int at);
    // The language of the code block that starts at at; empty when it has none.
    static QString codeLanguage(const QString& html, int at);
    // The plain text of the code lines in html[from, to), one line each.
    static QString codeText(const QString& html, int from, int to);
};
