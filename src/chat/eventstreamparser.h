#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

class QJsonObject;

// Turns the knowledge engine's event stream into answer, reasoning and refusal events.
//
// The stream is a series of blocks "event:<name>\ndata:<json>" ended by a blank line. The
// network hands the bytes over in arbitrary pieces, so a block (and a UTF-8 sequence inside
// it) may be cut anywhere: the unfinished tail is kept until the rest arrives, and finish()
// parses a last block that was never followed by a blank line.
class EventStreamParser
{
public:
    struct Event
    {
        enum Kind {
            Content, // "reply" event from the engine: content and end are set
            Reasoning, // "thought" event: reasoning is set
            Refusal, // the question was flagged ("is_evil" and "is_from_self")
        };
        Kind kind = Content;
        QString content;
        QString reasoning;
        bool end = false;

        bool operator==(const Event& other) const
        {
            return kind == other.kind && content == other.content && reasoning == other.reasoning
                && end == other.end;
        }
    };

    // A block that grows beyond this without a blank line is dropped up to its end, so a
    // broken server cannot make the client buffer without bound.
    static constexpr int DefaultMaxBlockBytes = 16 * 1024 * 1024;

    explicit EventStreamParser(int maxBlockBytes = DefaultMaxBlockBytes);

    // Parses every block completed by bytes. A refusal ends the handling of the blocks
    // completed by this delivery: the blocks after it are dropped (the unfinished tail stays).
    QVector<Event> feed(const QByteArray& bytes);
    // Parses what is left once the stream has ended, and forgets it.
    QVector<Event> finish();
    void reset();

private:
    static bool parseBlock(QByteArray block, QVector<Event>& events);
    static void parseReply(const QJsonObject& payload, QVector<Event>& events);
    static void parseThought(const QJsonObject& payload, QVector<Event>& events);
    void dropOversizedTail();

    QByteArray pending;
    bool skipping = false; // inside an oversized block, waiting for its blank line
    int maxBlockBytes;
};
