#include "chat/eventstreamparser.h"

#include <QtTest>

using Event = EventStreamParser::Event;
Q_DECLARE_METATYPE(Event)
Q_DECLARE_METATYPE(QVector<Event>)

namespace {

QByteArray reply(const QByteArray& content, bool final, bool fromSelf = false, bool evil = false)
{
    return "event:reply\ndata:{\"type\":\"reply\",\"payload\":{\"content\":\"" + content
        + "\",\"is_evil\":" + (evil ? "true" : "false") + ",\"is_final\":"
        + (final ? "true" : "false") + ",\"is_from_self\":" + (fromSelf ? "true" : "false") + "}}";
}

QByteArray thought(const QByteArray& content)
{
    return "event:thought\ndata:{\"type\":\"thought\",\"payload\":{\"procedures\":[{"
           "\"debugging\":{\"content\":\""
        + content + "\"}}]}}";
}

Event answer(const QString& content, bool end)
{
    return {Event::Content, content, {}, end};
}

Event reasoning(const QString& text)
{
    return {Event::Reasoning, {}, text, false};
}

const Event refusal {Event::Refusal, {}, {}, false};

// Everything a parser gives for the deliveries, the stream's end included.
QVector<Event> parseAll(const QVector<QByteArray>& deliveries)
{
    EventStreamParser parser;
    QVector<Event> events;
    for (const QByteArray& bytes : deliveries)
        events += parser.feed(bytes);
    events += parser.finish();
    return events;
}

} // namespace

class TestEventStreamParser : public QObject
{
    Q_OBJECT

private slots:
    void parsesDeliveries_data();
    void parsesDeliveries();
    void survivesACutAtEveryByte_data();
    void survivesACutAtEveryByte();
    void survivesEveryByteAlone();
    void refusalDropsTheRestOfItsDelivery();
    void nulEndsTheBlock();
    void oversizedBlockIsSkipped();
    void finishForgetsTheStream();
};

void TestEventStreamParser::parsesDeliveries_data()
{
    QTest::addColumn<QVector<QByteArray>>("deliveries");
    QTest::addColumn<QVector<Event>>("expected");

    const QByteArray three =
        thought("think") + "\n\n" + reply("A", false) + "\n\n" + reply("AB", true) + "\n\n";
    const QVector<Event> threeEvents {reasoning("think"), answer("A", false), answer("AB", true)};
    QTest::newRow("three blocks in one delivery") << QVector<QByteArray> {three} << threeEvents;
    QTest::newRow("no trailing blank line")
        << QVector<QByteArray> {three.left(three.size() - 2)} << threeEvents;
    QTest::newRow("trailing doubled blank lines")
        << QVector<QByteArray> {three + "\n\n"} << threeEvents;
    QTest::newRow("doubled blank line between blocks")
        << QVector<QByteArray> {reply("A", false) + "\n\n\n\n" + reply("AB", true) + "\n\n"}
        << QVector<Event> {answer("A", false), answer("AB", true)};
    QTest::newRow("tripled newline between blocks")
        << QVector<QByteArray> {reply("A", false) + "\n\n\n" + reply("AB", true)}
        << QVector<Event> {answer("A", false), answer("AB", true)};
    QTest::newRow("block cut across deliveries")
        << QVector<QByteArray> {reply("A", false).left(20), reply("A", false).mid(20) + "\n",
                                "\n" + reply("AB", true) + "\n\n"}
        << QVector<Event> {answer("A", false), answer("AB", true)};
    QTest::newRow("echo is not shown")
        << QVector<QByteArray> {reply("question", true, true) + "\n\n" + reply("A", true)}
        << QVector<Event> {answer("A", true)};
    QTest::newRow("thought without procedures")
        << QVector<QByteArray> {"event:thought\ndata:{\"type\":\"thought\",\"payload\":{}}\n\n"}
        << QVector<Event> {reasoning(QString())};
    QTest::newRow("other events ignored")
        << QVector<QByteArray> {"event:reference\ndata:{\"type\":\"reference\",\"payload\":{}}\n\n"
                                "event:token_stat\ndata:{\"type\":\"token_stat\"}\n\n"
                                "event:error\ndata:{\"type\":\"error\",\"error\":{\"code\":1}}"}
        << QVector<Event> {};
    QTest::newRow("malformed blocks skipped")
        << QVector<QByteArray> {"event:reply\ndata:{\"type\":\"re\n\nevent:reply\ndata:[1]\n\n"
                                "garbage\n\n\n\n"
                                + reply("ok", true)}
        << QVector<Event> {answer("ok", true)};
    QTest::newRow("block without header is still read")
        << QVector<QByteArray> {"{\"type\":\"reply\",\"payload\":{\"content\":\"x\"}}"}
        << QVector<Event> {answer("x", false)};
    QTest::newRow("invalid UTF-8 becomes replacement characters")
        << QVector<QByteArray> {reply("a\xff"
                                      "b",
                                      true)}
        << QVector<Event> {answer(QStringLiteral("a\uFFFDb"), true)};
    QTest::newRow("empty stream") << QVector<QByteArray> {} << QVector<Event> {};
    QTest::newRow("only blank lines") << QVector<QByteArray> {"\n\n\n\n\n"} << QVector<Event> {};
}

void TestEventStreamParser::parsesDeliveries()
{
    QFETCH(QVector<QByteArray>, deliveries);
    QFETCH(QVector<Event>, expected);
    QCOMPARE(parseAll(deliveries), expected);
}

void TestEventStreamParser::survivesACutAtEveryByte_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QVector<Event>>("expected");
    const QByteArray cjk = "\xe4\xbd\xa0\xe5\xa5\xbd"; // two three-byte characters
    const QByteArray globe = "\xf0\x9f\x8c\x8d"; // a four-byte character
    QTest::newRow("multi-event stream with multi-byte text")
        << reply("q", true, true) + "\n\n" + thought(cjk) + "\n\n" + reply(cjk, false) + "\n\n"
            + reply(cjk + globe, true) + "\n\n"
        << QVector<Event> {reasoning(QString::fromUtf8(cjk)), answer(QString::fromUtf8(cjk), false),
                           answer(QString::fromUtf8(cjk + globe), true)};
    QTest::newRow("doubled blank lines, no trailing blank line")
        << thought(globe) + "\n\n\n\n" + reply(globe, true)
        << QVector<Event> {reasoning(QString::fromUtf8(globe)),
                           answer(QString::fromUtf8(globe), true)};
}

void TestEventStreamParser::survivesACutAtEveryByte()
{
    QFETCH(QByteArray, stream);
    QFETCH(QVector<Event>, expected);
    for (int cut = 0; cut <= stream.size(); ++cut) {
        const QVector<Event> events = parseAll({stream.left(cut), stream.mid(cut)});
        if (events != expected)
            QFAIL(qPrintable(QStringLiteral("wrong events for a cut after byte %1").arg(cut)));
    }
}

void TestEventStreamParser::survivesEveryByteAlone()
{
    const QByteArray stream = thought("\xe6\x83\xb3") + "\n\n" + reply("\xf0\x9f\x8c\x8d", true);
    QVector<QByteArray> bytes;
    for (char byte : stream)
        bytes.append(QByteArray(1, byte));
    QCOMPARE(parseAll(bytes),
             (QVector<Event> {reasoning(QStringLiteral("\u60f3")),
                              answer(QStringLiteral("\U0001F30D"), true)}));
}

void TestEventStreamParser::refusalDropsTheRestOfItsDelivery()
{
    EventStreamParser parser;
    const QByteArray later = reply("later", true);
    QCOMPARE(parser.feed(reply("q", true, true, true) + "\n\n" + reply("dropped", false) + "\n\n"
                         + later.left(10)),
             QVector<Event> {refusal});
    // The unfinished block belongs to the next delivery and is completed by it.
    QCOMPARE(parser.feed(later.mid(10) + "\n\n"), QVector<Event> {answer("later", true)});
    QCOMPARE(parser.feed(reply("evil but not an echo", false, false, true) + "\n\n"),
             QVector<Event> {answer("evil but not an echo", false)});
}

void TestEventStreamParser::nulEndsTheBlock()
{
    QCOMPARE(parseAll({reply(QByteArray("x\0x", 3), true) + "\n\n" + reply("y", true)}),
             QVector<Event> {answer("y", true)});
    QCOMPARE(parseAll({reply("x", true) + QByteArray(1, '\0')}),
             QVector<Event> {answer("x", true)});
}

void TestEventStreamParser::oversizedBlockIsSkipped()
{
    EventStreamParser parser(200);
    QVector<Event> events = parser.feed(reply(QByteArray(40, 'a'), false) + "\n");
    events += parser.feed(QByteArray(100, 'b'));
    events += parser.feed("\n\n" + reply("small", false) + "\n");
    events += parser.feed("\n" + reply(QByteArray(200, 'c'), false));
    events += parser.finish();
    QCOMPARE(events, QVector<Event> {answer("small", false)});
}

void TestEventStreamParser::finishForgetsTheStream()
{
    EventStreamParser parser;
    parser.feed(reply("partial", false).left(15));
    QVERIFY(parser.finish().isEmpty());
    QCOMPARE(parser.feed(reply("next", true) + "\n\n"), QVector<Event> {answer("next", true)});
}

QTEST_GUILESS_MAIN(TestEventStreamParser)
#include "tst_eventstreamparser.moc"
