#pragma once

#include "enginestream.h"

#include <QByteArray>
#include <QString>
#include <QVector>

// The stand-in's answers: a fixed Markdown answer that exercises the renderer (headings,
// bold, lists, code, a table, a link) and a fixed line of reasoning, streamed the way the
// engine streams them: every "reply" and "thought" event carries the whole text so far.
namespace EngineScript {

enum class Length {
    Short, // two pieces of text each, for tests that cut the stream at every byte
    Normal,
    Long, // a very long answer
};

QString answer(const QString& question, Length length);
QString reasoning(const QString& question, Length length);

// The cumulative prefixes a text is streamed in; the last one is the whole text.
QVector<QString> prefixes(const QString& text, int pieceLength);

// Every block of a complete answer in mode 0..3, in the order the engine sends them.
QVector<QByteArray> answerBlocks(const EngineStream& stream, int mode, Length length);

} // namespace EngineScript
