// Feeds arbitrary bytes to the knowledge engine's stream parser, cut into deliveries at
// places taken from the input itself. Besides crashes and sanitizer findings it checks that
// the cuts do not change what is parsed (a refusal drops the rest of its own delivery, so
// streams with one are only run).
#include "chat/eventstreamparser.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

using Events = QVector<EventStreamParser::Event>;

bool hasRefusal(const Events& events)
{
    for (const EventStreamParser::Event& event : events) {
        if (event.kind == EventStreamParser::Event::Refusal)
            return true;
    }
    return false;
}

Events parseWhole(const QByteArray& stream)
{
    EventStreamParser parser;
    Events events = parser.feed(stream);
    events += parser.finish();
    return events;
}

Events parseInPieces(const QByteArray& stream, quint8 seed, int maxBlockBytes)
{
    EventStreamParser parser(maxBlockBytes);
    Events events;
    int position = 0;
    int step = 1 + seed % 7;
    while (position < stream.size()) {
        events += parser.feed(stream.mid(position, step));
        position += step;
        step = 1 + (step * 5 + seed) % 23;
    }
    events += parser.finish();
    return events;
}

// Raw bytes alone seldom spell out a valid event, so half the inputs are spliced into a
// well-formed stream holding each kind of event.
QByteArray streamFrom(const QByteArray& input, quint8 seed)
{
    if (seed & 1)
        return input;
    static const QByteArray valid = QByteArrayLiteral(
        "event:reply\ndata:{\"type\":\"reply\",\"payload\":{\"content\":\"q\","
        "\"is_from_self\":true,\"is_evil\":false}}\n\n"
        "event:thought\ndata:{\"type\":\"thought\",\"payload\":{\"procedures\":[{"
        "\"debugging\":{\"content\":\"\xe6\x83\xb3\"}}]}}\n\n"
        "event:reply\ndata:{\"type\":\"reply\",\"payload\":{\"content\":\"a\xf0\x9f\x8c\x8d\","
        "\"is_final\":true}}\n\n"
        "event:reply\ndata:{\"type\":\"reply\",\"payload\":{\"is_from_self\":true,"
        "\"is_evil\":true}}\n\n");
    const int at = input.isEmpty() ? 0 : static_cast<quint8>(input.at(0)) * valid.size() / 256;
    return valid.left(at) + input + valid.mid(at);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const quint8 seed = data[0];
    const QByteArray stream = streamFrom(
        QByteArray(reinterpret_cast<const char*>(data + 1), static_cast<int>(size - 1)), seed);

    const Events whole = parseWhole(stream);
    const Events pieces = parseInPieces(stream, seed, EventStreamParser::DefaultMaxBlockBytes);
    if (!hasRefusal(whole) && !hasRefusal(pieces) && whole != pieces)
        std::abort();
    // A tiny block limit exercises the skipping of oversized blocks.
    parseInPieces(stream, seed, 1 + seed % 64);
    return 0;
}
