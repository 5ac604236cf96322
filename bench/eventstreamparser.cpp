// Throughput of the stream parser on a long answer: cumulative "reply" events (each carries
// the whole answer so far, as the engine sends them), handed over in network-sized pieces.
#include "chat/eventstreamparser.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

namespace {

QByteArray longStream(int events, int pieceChars)
{
    QByteArray stream;
    QString answer;
    for (int i = 0; i < events; ++i) {
        answer += QString(pieceChars, QChar(0x4F60)); // a CJK character: three bytes each
        const QJsonObject payload {{QStringLiteral("content"), answer},
                                   {QStringLiteral("is_final"), i + 1 == events},
                                   {QStringLiteral("is_from_self"), false},
                                   {QStringLiteral("is_evil"), false}};
        const QJsonObject data {{QStringLiteral("type"), QStringLiteral("reply")},
                                {QStringLiteral("payload"), payload}};
        stream +=
            "event:reply\ndata:" + QJsonDocument(data).toJson(QJsonDocument::Compact) + "\n\n";
    }
    return stream;
}

void run(int events, int pieceChars, int deliveryBytes)
{
    const QByteArray stream = longStream(events, pieceChars);
    EventStreamParser parser;
    QElapsedTimer clock;
    clock.start();
    int parsed = 0;
    for (int at = 0; at < stream.size(); at += deliveryBytes)
        parsed += parser.feed(stream.mid(at, deliveryBytes)).size();
    parsed += parser.finish().size();
    const double seconds = qMax<qint64>(clock.nsecsElapsed(), 1) / 1e9;
    std::printf("%5d events, answer %7d chars, stream %8.2f MB in %6d-byte deliveries: "
                "%7.1f ms, %7.1f MB/s, %d events parsed\n",
                events, events * pieceChars, stream.size() / 1e6, deliveryBytes, seconds * 1e3,
                stream.size() / 1e6 / seconds, parsed);
}

} // namespace

int main()
{
    run(100, 8, 1400); // a normal answer
    run(100, 8, 16384);
    run(300, 100, 16384); // a very long answer
    run(300, 100, 1400);
    return 0;
}
