#include "chat/markdownrenderer.h"
#include "chat/richtextupdater.h"
#include "chat/streamingmarkdownrenderer.h"

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

QTEST_MAIN(TestRichTextUpdater)
#include "tst_richtextupdater.moc"
