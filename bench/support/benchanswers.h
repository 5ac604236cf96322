#pragma once

#include <QString>

// Long Markdown answers of the shapes the benchmarks stream: "prose" (headings, paragraphs,
// lists, code, a quote, CJK), "tables" (the same with small tables), "list" (one long numbered
// list), "table" (one huge table), "code" (one long code block).
class BenchAnswers
{
public:
    // An answer of kind cut to length characters.
    static QString answer(const QString& kind, int length);
};
