#include "chat/eventstreamparser.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace {

const QByteArray blockEnd = QByteArrayLiteral("\n\n");

} // namespace

EventStreamParser::EventStreamParser(int maxBlockBytes)
    : maxBlockBytes(maxBlockBytes)
{ }

QVector<EventStreamParser::Event> EventStreamParser::feed(const QByteArray& bytes)
{
    // What is pending holds no blank line yet, so only its last byte can start one: a long
    // block arriving in many pieces is not searched again from its beginning each time.
    const int searchFrom = qMax(0, pending.size() - 1);
    pending += bytes;
    QVector<Event> events;
    int start = 0;
    bool refused = false;
    for (int end = pending.indexOf(blockEnd, searchFrom); end >= 0;
         end = pending.indexOf(blockEnd, start)) {
        const QByteArray block = pending.mid(start, end - start);
        start = end + blockEnd.size();
        if (skipping) {
            skipping = false;
            continue;
        }
        if (!refused)
            refused = parseBlock(block, events);
    }
    pending.remove(0, start);
    dropOversizedTail();
    return events;
}

QVector<EventStreamParser::Event> EventStreamParser::finish()
{
    QVector<Event> events;
    if (!skipping && !pending.isEmpty())
        parseBlock(pending, events);
    reset();
    return events;
}

void EventStreamParser::reset()
{
    pending.clear();
    skipping = false;
}

void EventStreamParser::dropOversizedTail()
{
    if (pending.size() <= maxBlockBytes)
        return;
    // Keep the last byte: it may be the first half of the blank line that ends the block.
    pending = pending.right(1);
    skipping = true;
}

// Returns true when the block was a refusal.
bool EventStreamParser::parseBlock(QByteArray block, QVector<Event>& events)
{
    static const QRegularExpression header(QStringLiteral("^event:[^\n]+\ndata:"));
    const int nul = block.indexOf('\0');
    if (nul >= 0)
        block.truncate(nul);
    QString text = QString::fromUtf8(block);
    // Extra blank lines between blocks leave newlines in front of the next block's header.
    int leading = 0;
    while (leading < text.size() && text.at(leading) == QLatin1Char('\n'))
        ++leading;
    text.remove(0, leading);
    text.remove(header);

    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8());
    if (document.isNull() || !document.isObject())
        return false;
    const QJsonObject object = document.object();
    const QString type = object.value(QLatin1String("type")).toString();
    const QJsonObject payload = object.value(QLatin1String("payload")).toObject();
    if (type == QLatin1String("reply")) {
        const int before = events.size();
        parseReply(payload, events);
        return events.size() > before && events.constLast().kind == Event::Refusal;
    }
    if (type == QLatin1String("thought"))
        parseThought(payload, events);
    return false;
}

void EventStreamParser::parseReply(const QJsonObject& payload, QVector<Event>& events)
{
    const bool fromSelf = payload.value(QLatin1String("is_from_self")).toBool(false);
    if (fromSelf && payload.value(QLatin1String("is_evil")).toBool(false)) {
        events.append({Event::Refusal, {}, {}, false});
        return;
    }
    if (fromSelf)
        return; // the engine's echo of the question
    Event event;
    event.kind = Event::Content;
    event.content = payload.value(QLatin1String("content")).toString();
    event.end = payload.value(QLatin1String("is_final")).toBool(false);
    events.append(event);
}

void EventStreamParser::parseThought(const QJsonObject& payload, QVector<Event>& events)
{
    const QJsonArray procedures = payload.value(QLatin1String("procedures")).toArray();
    const QJsonObject debugging =
        procedures.at(0).toObject().value(QLatin1String("debugging")).toObject();
    Event event;
    event.kind = Event::Reasoning;
    event.reasoning = debugging.value(QLatin1String("content")).toString();
    events.append(event);
}
