#include "chat/htmlblocks.h"
#include "chat/markdownrenderer.h"
#include "chat/richtextsegments.h"
#include "chat/streamingmarkdownrenderer.h"

#include <QAbstractItemModelTester>
#include <QtTest>

// A long answer is shown in pieces; the pieces must hold exactly the answer's blocks, be cut
// where a view can stack them, and stay put while the answer grows.
class TestRichTextSegments : public QObject
{
    Q_OBJECT

private slots:
    void piecesHoldTheAnswersBlocks_data();
    void piecesHoldTheAnswersBlocks();
    void aGrowingAnswerChangesOnlyItsLastPieces_data();
    void aGrowingAnswerChangesOnlyItsLastPieces();
    void plainTextsAreOnePiece();
};

namespace {

QString section(int number)
{
    return QStringLiteral(
               "## Part %1\n\nLinear switches feel **smooth**; see [the "
               "guide](https://example.com)."
               "\n\n- one\n- two\n  - nested\n\n```\ncode %1\n\n\nmore\n```\n\n> quoted\n\n"
               "键盘的手感因人而异。\n\n")
        .arg(number);
}

QString tableSection(int number)
{
    return section(number)
        + QStringLiteral("| a | b |\n|---|---|\n| %1 | 2 |\n\n| c |\n|---|\n| 3 |\n\n").arg(number);
}

QString answer(bool tables, int sections)
{
    QString text;
    for (int i = 0; i < sections; ++i)
        text += tables ? tableSection(i) : section(i);
    return text + QStringLiteral("The end.\n");
}

QString body(const QString& html)
{
    const int start = HtmlBlocks::bodyStart(html);
    return html.mid(start, HtmlBlocks::bodyEnd(html) - start);
}

QStringList pieces(const RichTextSegments& segments)
{
    QStringList found;
    for (int row = 0; row < segments.rowCount(); ++row)
        found.append(segments.index(row).data(RichTextSegments::HtmlRole).toString());
    return found;
}

} // namespace

void TestRichTextSegments::piecesHoldTheAnswersBlocks_data()
{
    QTest::addColumn<QString>("markdown");
    QTest::addColumn<int>("minimumPieces");
    QTest::newRow("prose") << answer(false, 60) << 10;
    QTest::newRow("tables") << answer(true, 60) << 10;
    // Tables next to each other, and a list, are one block of pieces: they cannot be cut.
    QTest::newRow("only tables")
        << QStringLiteral("| a | b |\n|---|---|\n| 1 | 2 |\n\n").repeated(200) << 1;
    QTest::newRow("one long list")
        << QStringLiteral("- an item of a long list\n").repeated(600) << 1;
    QTest::newRow("short") << QStringLiteral("Just a line.") << 1;
}

void TestRichTextSegments::piecesHoldTheAnswersBlocks()
{
    QFETCH(QString, markdown);
    QFETCH(int, minimumPieces);
    const QString html = MarkdownRenderer::toHtml(markdown);
    RichTextSegments segments;
    QAbstractItemModelTester tester(&segments);
    segments.setHtml(html);
    const QStringList found = pieces(segments);
    QVERIFY(!found.isEmpty());
    QCOMPARE(segments.count(), found.size());
    QStringList bodies;
    const QString head = html.left(HtmlBlocks::bodyStart(html));
    for (int i = 0; i < found.size(); ++i) {
        const QString& piece = found.at(i);
        QVERIFY(HtmlBlocks::isBlockDocument(piece));
        QVERIFY(piece.startsWith(head));
        bodies.append(body(piece));
        // A piece is long enough to be worth its own view, and never starts or ends at a
        // table, where stacked documents would not space their blocks like one document.
        if (i + 1 < found.size())
            QVERIFY(bodies.constLast().size() >= RichTextSegments::PieceSize);
        if (i > 0)
            QVERIFY2(!bodies.constLast().startsWith(QLatin1String("<table")), qPrintable(piece));
    }
    QCOMPARE(bodies.join(QLatin1Char('\n')), body(html));
    QVERIFY(found.size() >= minimumPieces);
}

void TestRichTextSegments::aGrowingAnswerChangesOnlyItsLastPieces_data()
{
    QTest::addColumn<bool>("tables");
    QTest::newRow("prose") << false;
    QTest::newRow("tables") << true;
}

// While an answer streams, the pieces before the last one never change, and at every step the
// pieces are those of the same text given whole.
void TestRichTextSegments::aGrowingAnswerChangesOnlyItsLastPieces()
{
    QFETCH(bool, tables);
    const QString markdown = answer(tables, 30);
    RichTextSegments streamed;
    QAbstractItemModelTester tester(&streamed);
    StreamingMarkdownRenderer renderer;
    int lowestChangedRow = INT_MAX;
    int lastRowBefore = 0;
    connect(&streamed, &QAbstractItemModel::dataChanged, this, [&](const QModelIndex& topLeft) {
        lowestChangedRow = std::min(lowestChangedRow, topLeft.row() - lastRowBefore);
    });
    for (int length = 37; length < markdown.size() + 37; length += 37) {
        const QString html = renderer.render(markdown.left(length));
        lastRowBefore = std::max(0, streamed.count() - 1);
        streamed.setHtml(html);
        RichTextSegments whole;
        whole.setHtml(html);
        QCOMPARE(pieces(streamed), pieces(whole));
    }
    QVERIFY(streamed.count() > 3);
    QCOMPARE(lowestChangedRow, 0); // only the last piece before an event ever changed
}

void TestRichTextSegments::plainTextsAreOnePiece()
{
    RichTextSegments segments;
    QAbstractItemModelTester tester(&segments);
    QSignalSpy counts(&segments, &RichTextSegments::countChanged);
    const QString rich = MarkdownRenderer::toHtml(answer(false, 40));
    const QString plain = QStringLiteral("Generating response...");
    segments.setHtml(plain);
    QCOMPARE(pieces(segments), QStringList {plain});
    segments.setHtml(rich);
    QVERIFY(segments.count() > 1);
    segments.setHtml(QStringLiteral("The server is busy, please try again later."));
    QCOMPARE(pieces(segments),
             QStringList {QStringLiteral("The server is busy, please try again later.")});
    segments.setHtml(QString());
    QCOMPARE(segments.count(), 0);
    QCOMPARE(counts.count(), 4);
}

QTEST_MAIN(TestRichTextSegments)
#include "tst_richtextsegments.moc"
