#include "chat/htmlblocks.h"
#include "chat/markdownrenderer.h"
#include "chat/richtextsegments.h"
#include "chat/streamingmarkdownrenderer.h"

#include <QAbstractItemModelTester>
#include <QtTest>

// A long answer is shown in pieces; the pieces must hold exactly the answer's blocks, be cut
// where a view can stack them (code blocks and tables apart), and stay put while the answer
// grows.
class TestRichTextSegments : public QObject
{
    Q_OBJECT

private slots:
    void piecesHoldTheAnswersBlocks_data();
    void piecesHoldTheAnswersBlocks();
    void aGrowingAnswerChangesOnlyItsLastPieces_data();
    void aGrowingAnswerChangesOnlyItsLastPieces();
    void plainTextsAreOnePiece();
    void codeBlocksAndTablesArePiecesOfTheirOwn();
    void aLongListIsCutBetweenItsItems();
    void aTableStaysWholeWhereItsCellsCloseAList_data();
    void aTableStaysWholeWhereItsCellsCloseAList();
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

// Each piece as kind, list start and source.
QStringList pieces(const RichTextSegments& segments)
{
    QStringList found;
    for (int row = 0; row < segments.rowCount(); ++row) {
        const QModelIndex index = segments.index(row);
        found.append(index.data(RichTextSegments::KindRole).toString() + QLatin1Char(' ')
                     + index.data(RichTextSegments::ListStartRole).toString() + QLatin1Char(' ')
                     + index.data(RichTextSegments::SourceRole).toString());
    }
    return found;
}

QStringList sources(const RichTextSegments& segments)
{
    QStringList found;
    for (int row = 0; row < segments.rowCount(); ++row)
        found.append(segments.index(row).data(RichTextSegments::SourceRole).toString());
    return found;
}

} // namespace

void TestRichTextSegments::piecesHoldTheAnswersBlocks_data()
{
    QTest::addColumn<QString>("markdown");
    QTest::addColumn<int>("minimumPieces");
    QTest::newRow("prose") << answer(false, 60) << 10;
    QTest::newRow("tables") << answer(true, 60) << 10;
    // Every table is a piece of its own, and a long list is cut between its items.
    QTest::newRow("only tables")
        << QStringLiteral("| a | b |\n|---|---|\n| 1 | 2 |\n\n").repeated(200) << 200;
    QTest::newRow("one long list")
        << QStringLiteral("- an item of a long list\n").repeated(600) << 10;
    QTest::newRow("short") << QStringLiteral("Just a line.") << 1;
}

// The pieces' parts of the answer's HTML, joined, are the answer's blocks; text and tables are
// documents of their own, code is its plain text.
void TestRichTextSegments::piecesHoldTheAnswersBlocks()
{
    QFETCH(QString, markdown);
    QFETCH(int, minimumPieces);
    const QString html = MarkdownRenderer::toHtml(markdown);
    RichTextSegments segments;
    QAbstractItemModelTester tester(&segments);
    segments.setHtml(html);
    QVERIFY(segments.count() >= minimumPieces);
    QStringList ranges;
    const QString head = html.left(HtmlBlocks::bodyStart(html));
    for (int row = 0; row < segments.count(); ++row) {
        const RichTextSegments::Piece piece = segments.pieceAt(row);
        const QString range = html.mid(piece.start, piece.end - piece.start);
        ranges.append(range);
        if (piece.kind == QLatin1String("code")) {
            QCOMPARE(piece.source, HtmlBlocks::codeText(html, piece.start, piece.end));
            continue;
        }
        QVERIFY(HtmlBlocks::isBlockDocument(piece.source));
        QVERIFY(piece.source.startsWith(head));
        QVERIFY2(body(piece.source).contains(range), qPrintable(piece.source));
        QCOMPARE(piece.kind == QLatin1String("table"), range.startsWith(QLatin1String("<table")));
        // A text piece is long enough to be worth its own view.
        const bool beforeOther =
            row + 1 < segments.count() && segments.pieceAt(row + 1).kind == QLatin1String("text");
        if (piece.kind == QLatin1String("text") && beforeOther)
            QVERIFY(range.size() >= RichTextSegments::PieceSize);
    }
    QCOMPARE(ranges.join(QLatin1Char('\n')), body(html));
}

void TestRichTextSegments::aGrowingAnswerChangesOnlyItsLastPieces_data()
{
    QTest::addColumn<QString>("markdown");
    QTest::newRow("prose") << answer(false, 30);
    QTest::newRow("tables") << answer(true, 30);
    // A code block and a table that grow for long are read on from their last line.
    QString code = QStringLiteral("Before.\n\n```cpp\n");
    QString table = QStringLiteral("Before.\n\n| # | Key | Note |\n|--:|:---|---|\n");
    for (int line = 0; line < 120; ++line) {
        code += QStringLiteral("if (a < %1 && b > \"x\") { c &= 'd'; }\n%2")
                    .arg(line)
                    .arg(line % 7 == 0 ? QStringLiteral("\n\n") : QString());
        table += QStringLiteral("| %1 | F%1 | **bold** <br> & `code` |\n").arg(line);
    }
    QTest::newRow("long code") << code + QStringLiteral("```\n\nAfter the code.\n");
    QTest::newRow("long table") << table + QStringLiteral("\nAfter the table.\n");
}

// While an answer streams, the pieces before the last one never change, and at every step the
// pieces are those of the same text given whole.
void TestRichTextSegments::aGrowingAnswerChangesOnlyItsLastPieces()
{
    QFETCH(QString, markdown);
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
    QVERIFY(streamed.count() >= 3);
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
    QCOMPARE(sources(segments), QStringList {plain});
    segments.setHtml(rich);
    QVERIFY(segments.count() > 1);
    segments.setHtml(QStringLiteral("The server is busy, please try again later."));
    QCOMPARE(sources(segments),
             QStringList {QStringLiteral("The server is busy, please try again later.")});
    segments.setHtml(QString());
    QCOMPARE(segments.count(), 0);
    QCOMPARE(counts.count(), 4);
}

void TestRichTextSegments::codeBlocksAndTablesArePiecesOfTheirOwn()
{
    const QString html = MarkdownRenderer::toHtml(QStringLiteral(
        "Intro.\n\n```Python\nif a < b and c > \"d\" & e:\n\n    pass  # <b>\n```\n\n"
        "| a | b |\n|---|---|\n| 1 | 2 |\n\nBetween.\n\n```\nplain\n```\n\n"
        "- item\n\n  ```js\n  inside();\n  ```\n\n> ```\n> quoted\n> ```\n\nEnd."));
    RichTextSegments segments;
    QAbstractItemModelTester tester(&segments);
    segments.setHtml(html);
    QStringList kinds;
    for (int row = 0; row < segments.count(); ++row)
        kinds.append(segments.pieceAt(row).kind);
    QCOMPARE(
        kinds,
        (QStringList {QStringLiteral("text"), QStringLiteral("code"), QStringLiteral("table"),
                      QStringLiteral("text"), QStringLiteral("code"), QStringLiteral("text")}));
    QCOMPARE(segments.pieceAt(1).source,
             QStringLiteral("if a < b and c > \"d\" & e:\n\n    pass  # <b>"));
    QCOMPARE(segments.pieceAt(1).language, QStringLiteral("python"));
    QCOMPARE(segments.pieceAt(4).source, QStringLiteral("plain"));
    QCOMPARE(segments.pieceAt(4).language, QString());
    // Code in a list item or a quote stays where it is.
    QVERIFY(segments.pieceAt(5).source.contains(QLatin1String("inside();")));
    QVERIFY(segments.pieceAt(5).source.contains(QLatin1String("quoted")));
}

// A long list is cut between its top-level items; each piece is a list of its own that knows
// how many items came before it, and nested lists stay whole.
void TestRichTextSegments::aLongListIsCutBetweenItsItems()
{
    QString markdown;
    for (int item = 1; item <= 300; ++item) {
        const QString marker = QStringLiteral("%1. ").arg(item);
        markdown += marker + QStringLiteral("**Step %1**: press the key\n").arg(item)
            + QString(marker.size(), QLatin1Char(' ')) + QStringLiteral("- check the travel\n");
    }
    const QString html = MarkdownRenderer::toHtml(markdown);
    RichTextSegments segments;
    segments.setHtml(html);
    QVERIFY(segments.count() > 5);
    int items = 0;
    for (int row = 0; row < segments.count(); ++row) {
        const RichTextSegments::Piece piece = segments.pieceAt(row);
        QCOMPARE(piece.listStart, items);
        const QString blocks = body(piece.source);
        QVERIFY(blocks.startsWith(QLatin1String("<ol ")));
        QVERIFY2(blocks.endsWith(QLatin1String("</ul></li></ol>")), qPrintable(blocks.right(80)));
        QVector<int> itemBreaks;
        HtmlBlocks::listEnd(blocks, 0, blocks.size(), 0, &itemBreaks);
        items += itemBreaks.size() + 1;
    }
    QCOMPARE(items, 300);
}

QTEST_MAIN(TestRichTextSegments)
#include "tst_richtextsegments.moc"

void TestRichTextSegments::aTableStaysWholeWhereItsCellsCloseAList_data()
{
    QTest::addColumn<QString>("markdown");
    QTest::addColumn<QStringList>("kinds");
    const QString table = QStringLiteral("| a | b |\n|---|---|\n| c | d |\n| e |\n");
    // Qt's import puts the table in the list; it writes the list's item as the first cell,
    // "<td><li>a</li></ol></td>", closing a list the HTML never opened.
    QTest::newRow("table after an empty item")
        << QStringLiteral("1.\n\n") + table + QStringLiteral("\nAfter.\n")
        << QStringList {QStringLiteral("table"), QStringLiteral("text")};
    // An empty item and a rule are written "<ol><li<hr />": the list runs on into the table,
    // whose first cell closes it, so the text holds the table.
    QTest::newRow("list running into a table") << QStringLiteral("Before.\n\n---\n1.\n\n***\n\n\n")
            + table
            + QStringLiteral("\n## After\n") << QStringList {QStringLiteral("text")};
}

// A piece never ends inside a table, whatever lists the cells close.
void TestRichTextSegments::aTableStaysWholeWhereItsCellsCloseAList()
{
    QFETCH(QString, markdown);
    QFETCH(QStringList, kinds);
    const QString html = MarkdownRenderer::toHtml(markdown);
    QVERIFY(html.contains(QRegularExpression(QStringLiteral("<td>\n<li [^\n]*</li></ol></td>"))));
    RichTextSegments segments;
    segments.setHtml(html);
    QStringList found;
    for (int row = 0; row < segments.count(); ++row) {
        const QString source = segments.pieceAt(row).source;
        found.append(segments.pieceAt(row).kind);
        QCOMPARE(source.count(QLatin1String("<table")), source.count(QLatin1String("</table>")));
    }
    QCOMPARE(found, kinds);
    QCOMPARE(segments.pieceAt(0).source.count(QLatin1String("<tr>")), 3);
}
