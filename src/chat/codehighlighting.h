#pragma once

#include <QString>

class QTextDocument;

// Syntax highlighting of a code block in an answer, by KDE's highlighting library: its
// hundreds of language definitions and its themes are built into the library, nothing is read
// from the network or the disk. The language is the name an answer gives its code fence
// ("cpp", "py", "Python", "c++"), matched against the definitions' names, their usual file
// extensions and a few common aliases.
class CodeHighlighting
{
public:
    // Highlights document (and every change to it) as the language, in the light or the dark
    // theme; a language that no definition knows leaves the document plain. The highlighter
    // is the document's child.
    static void attach(QTextDocument* document, const QString& language, bool dark);
    // Whether a definition knows the language.
    static bool knows(const QString& language);
};
