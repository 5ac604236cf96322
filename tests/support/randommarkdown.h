#pragma once

#include <QRandomGenerator>
#include <QString>
#include <QVector>

// Dense random Markdown answers, as a model might write them on a bad day: headings of both
// kinds (empty ones too), paragraphs with emphasis, code spans, links, raw HTML (allowed tags
// and others) and CJK text, lists nested and loose, with empty items, fences and headings in
// items, code fences with blank lines (one left open at the end now and then), tables with
// alignments and line breaks in cells, quotes and breaks, all joined by one, two or three line
// breaks. Differential tests stream them in random cuts and compare with one-shot conversions.
class RandomMarkdown
{
public:
    // The generator's seed: LUMORA_TEST_SEED from the environment, else a fixed one, so that a
    // failure can be repeated.
    static quint32 seed();

    explicit RandomMarkdown(quint32 seed);

    QString answer(int blocks);
    // Cumulative lengths at which a stream of text would be cut into events, ending with its
    // whole length: mostly small steps, now and then a large one.
    QVector<int> cuts(const QString& text);

private:
    int pick(int count);
    QString inlineText();
    QString block();
    QString list();
    QString table();
    QString fence();
    QString quote();

    QRandomGenerator random;
};
