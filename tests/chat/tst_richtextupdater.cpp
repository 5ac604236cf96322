#include "chat/markdownrenderer.h"
#include "chat/richtextupdater.h"
#include "chat/streamingmarkdownrenderer.h"

#include <QAbstractTextDocumentLayout>
#include <QTextDocument>
#include <QtTest>

// The answer view keeps its document up to date block by block; what it shows (and what a
// selection copies) must be what setting the whole HTML would show.
class TestRichTextUpdater : public QObject
{
    Q_OBJECT

private slots:
    void streamedDocumentEqualsAWholeSet_data();
    void streamedDocumentEqualsAWholeSet();
    void switchesBetweenPlainAndRichTexts();
    void wordsAddedAtTheEndGoInAsText_data();
    void wordsAddedAtTheEndGoInAsText();
};

namespace {

QString wholeSet(const QString& html)
{
    QTextDocument document;
    document.setHtml(html);
    return document.toHtml();
}

} // namespace

void TestRichTextUpdater::streamedDocumentEqualsAWholeSet_data()
{
    QTest::addColumn<QString>("answer");
    QTest::newRow("mixed") << QStringLiteral(
        "# Title\n\npara **b** and [a link](https://example.com)\n\n- a\n  - n\n- b\n\n"
        "| x | y |\n|---|---|\n| 1 | 2 |\n\n```\ncode\n\n\nmore\n```\n\nend\n\n---\n\n> q\n\n"
        "1. one\n2. two\n\n![i](http://example.com/i.png)\n");
    QTest::newRow("tables in a row")
        << QStringLiteral("| x | y |\n|---|---|\n| 1 | 2 |\n\n| a |\n|---|\n| b |\n\nBetween.\n\n"
                          "| c | d |\n|---|---|\n| 3 | 4 |\n");
    QTest::newRow("fences, quotes and breaks") << QStringLiteral(
        "Before.\n\n```cpp\nint a = 1;\n\n\nreturn a | b;\n```\n\n> quoted\n> more\n\n"
        "***\n\n```\n```\n\nAfter an empty fence.\n\n# \n\n1) one\n\n2) two\n\nEnd.\n");
    QTest::newRow("cjk and lists") << QStringLiteral(
        "## 键盘\n\n线性轴手感顺滑。😀\n\n- 红轴\n\n  安静\n- 青轴\n\n    缩进代码\n\n结束。\n");
}

void TestRichTextUpdater::streamedDocumentEqualsAWholeSet()
{
    QFETCH(QString, answer);
    for (int step : {1, 7, 29}) {
        QTextDocument document;
        RichTextUpdater updater;
        updater.setTextDocument(&document);
        updater.setHtml(QStringLiteral("Generating response..."));
        StreamingMarkdownRenderer renderer;
        for (int length = step; length < answer.size() + step; length += step) {
            const QString html = renderer.render(answer.left(length));
            updater.setHtml(html);
            const QString expected = wholeSet(html);
            if (document.toHtml() != expected)
                QFAIL(qPrintable(QStringLiteral("step %1, length %2:\n%3\n---\n%4")
                                     .arg(step)
                                     .arg(length)
                                     .arg(document.toHtml(), expected)));
        }
        QTextDocument whole;
        whole.setHtml(MarkdownRenderer::toHtml(answer));
        QCOMPARE(document.toPlainText(), whole.toPlainText());
    }
}

void TestRichTextUpdater::switchesBetweenPlainAndRichTexts()
{
    QTextDocument document;
    RichTextUpdater updater;
    updater.setTextDocument(&document);
    const QString rich = MarkdownRenderer::toHtml(QStringLiteral("One.\n\nTwo **b**.\n"));
    for (const QString& text : {QStringLiteral("Generating response..."), rich, QString(), rich,
                                QStringLiteral("The server is busy, please try again later.")}) {
        updater.setHtml(text);
        QCOMPARE(document.toHtml(), wholeSet(text));
    }
}

void TestRichTextUpdater::wordsAddedAtTheEndGoInAsText_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<bool>("asText"); // one insertion of the new words, nothing removed
    const QString start = QStringLiteral("# Title\n\nFirst paragraph.\n\n");
    QTest::newRow("paragraph") << start + QStringLiteral("Words")
                               << start + QStringLiteral("Words and more") << true;
    QTest::newRow("bold run") << start + QStringLiteral("Some **bold")
                              << start + QStringLiteral("Some **bold words") << true;
    QTest::newRow("list item") << start + QStringLiteral("- one\n- tw")
                               << start + QStringLiteral("- one\n- two, three") << true;
    QTest::newRow("chinese") << start + QStringLiteral("键盘")
                             << start + QStringLiteral("键盘的手感") << true;
    QTest::newRow("after a closed run")
        << start + QStringLiteral("Some **bold**")
        << start + QStringLiteral("Some **bold** and plain") << false;
    QTest::newRow("heading") << start + QStringLiteral("## Hea")
                             << start + QStringLiteral("## Heading  two") << false;
    QTest::newRow("markup") << start + QStringLiteral("a") << start + QStringLiteral("a < b & c")
                            << false;
}

void TestRichTextUpdater::wordsAddedAtTheEndGoInAsText()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(bool, asText);
    QTextDocument document;
    RichTextUpdater updater;
    updater.setTextDocument(&document);
    updater.setHtml(MarkdownRenderer::toHtml(QStringLiteral("x")));
    updater.setHtml(MarkdownRenderer::toHtml(before));
    QVector<QVector<int>> changes;
    document.documentLayout(); // the document reports changes to its layout only
    connect(&document, &QTextDocument::contentsChange, this,
            [&](int position, int removed, int added) {
                changes.append({position, removed, added});
            });
    const QString html = MarkdownRenderer::toHtml(after);
    updater.setHtml(html);
    QCOMPARE(document.toHtml(), wholeSet(html));
    const bool insertedAsText = changes.size() == 1 && changes.at(0).at(1) == 0
        && changes.at(0).at(2) == after.size() - before.size();
    QCOMPARE(insertedAsText, asText);
}

QTEST_MAIN(TestRichTextUpdater)
#include "tst_richtextupdater.moc"
