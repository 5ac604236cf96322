#include "chat/markdownrenderer.h"
#include "chat/streamingmarkdownrenderer.h"

#include <QtTest>

// The streamed answer must end up exactly as a one-shot conversion would show and store it,
// wherever the network happened to cut the text.
class TestStreamingMarkdownRenderer : public QObject
{
    Q_OBJECT

private slots:
    void everyPrefixMatchesAOneShotConversion_data();
    void everyPrefixMatchesAOneShotConversion();
    void coarseEventsMatchAOneShotConversion_data();
    void coarseEventsMatchAOneShotConversion();
    void aTextThatIsNoContinuationStartsAfresh();
};

namespace {

void addAnswers()
{
    QTest::addColumn<QString>("answer");
    QTest::newRow("paragraphs and headings") << QStringLiteral(
        "# Title\n\nFirst paragraph with **bold** and *italic*\nand a soft break.\n\n"
        "## Second\n\nSecond paragraph.\n\n\nAfter two blank lines.\n\nSetext\n===\n\nend");
    QTest::newRow("code fences with blank lines") << QStringLiteral(
        "Before.\n\n```cpp\nint a = 1;\n\nint b = 2;\n\n\nreturn a | b;\n```\n\nBetween.\n\n"
        "~~~\nplain\n\nfence ``` "
        "inside\n~~~~\n\n````\n```\nnested\n```\n````\n\nAfter.\n\n```\n```\n\nEmpty fence "
        "above.\n\n# \n\nx");
    QTest::newRow("lists loose and nested") << QStringLiteral(
        "Intro.\n\n- one\n- two\n  - two a\n\n  - two b\n\n- three\n\n1. first\n\n2. second\n"
        "   continued\n\n   more of second\n\n3) third\n\nOutro paragraph.\n\n"
        "* star item\n\n+ plus item\n\n2024 was a year.\n");
    QTest::newRow("tables") << QStringLiteral(
        "Compare:\n\n| a | b |\n|---|:-:|\n| 1 | 2 |\n| 3 | 4 |\n\nAfter the table.\n\n"
        "x | y\n--|--\nno pipes row\n\nAnother paragraph.\n\n| only | header |\n|--|--|\n\n"
        "| c |\n|---|\n| 5 |\n\n\nEnd.\n");
    QTest::newRow("quotes and breaks") << QStringLiteral(
        "> quoted\n> more\n\n> second quote\n\nText.\n\n---\n\n***\n\n    indented code\n\n"
        "    more code\n\nText again.\n\n<b>not html</b>\n\n![image](http://example.com/x.png)"
        "\n\n[link](javascript:alert(1)) and [ok](https://example.com)\n");
    QTest::newRow("cjk") << QStringLiteral(
        "## 键盘选择\n\n线性轴手感顺滑，段落轴有明显的段落感。\n\n- 红轴：安静\n- 青轴：清脆\n\n"
        "| 轴体 | 压力 |\n|---|---|\n| 红轴 | 45 克 "
        "|\n\n总结：先试用再决定。😀\n\n`代码`与文字。\n");
    QTest::newRow("reference links") << QStringLiteral(
        "See [the guide][g] first.\n\nMore text.\n\nAnd more.\n\n[g]: https://example.com/guide\n"
        "\nLast.\n");
    // Words added at the end of a line, where they either just extend the last block's text or
    // must not be taken as such.
    QTest::newRow("plain words at line ends") << QStringLiteral(
        "Version 1 and 2 of it.\n\n- 1\n- 2. nested\n- item words here\n\n1. one two\n"
        "2. 3. x\n\n> 3 quoted. words\n\nSee www.example.com or me@example.com or "
        "http://example.com/x now.\n\nSpaces  double and trailing   \nnext line\n\n"
        "it's \"quoted\" & done; 50% off: yes!\n\n中文，标点。还有 emoji 😀 here.\n\n"
        "A\\*escaped and **bold.**after and *em* end\n\n- - - a b\n- - -\n\nTitle words\n"
        "=== x\n\n1 2. x\n\nend of   it");
    // A piece that starts in one table's rows and ends in the next table's.
    QTest::newRow("tables one after another")
        << QStringLiteral("| a | b |\n|---|--:|\n| 1 | 2 |\n| 3 | 4 |\n\nText.\n\n"
                          "| c |\n|--:|\n|\n| **5** |\n|\n| 6 |\n\nEnd.\n");
    QTest::newRow("words in table rows") << QStringLiteral(
        "| a | b |\n|---|---|\n| 1 | 2 | 3 extra cell\n| 4 longer cell\nlazy row words\n\n"
        "After it.\n");
    // Qt's import keeps the list of an item without text open for everything after it.
    QTest::newRow("empty list items")
        << QStringLiteral("Intro.\n\n-\n\nz\n\nt\n\n- a\n\nu\n\n1.\n\nw\n\n1. # title\n\nafter\n\n"
                          "#\n\n~\n\nend\n");
    QTest::newRow("items holding no text") << QStringLiteral(
        "One.\n\n- 2.\n\nc\n\nd\n\n1. 1.\n\nt\n\nm\n\n2. ---\n\nS\n\n>#\n\n`x`\n\n"
        "2. -\n\nt\n\nend\n");
    QTest::newRow("heading before an empty item")
        << QStringLiteral("Intro.\n\n# Title\n-\n\nAfter.\n\n## More\n\n1.\n\nEnd.\n");
    // Long blocks are cut inside: a list between its items, a table between its rows, a code
    // block every few lines.
    QString code = QStringLiteral("Intro.\n\n```cpp\n");
    QString table = QStringLiteral("| # | name | note |\n|--:|:-:|---|\n");
    QString list;
    for (int i = 1; i <= 60; ++i) {
        code += i % 7 == 0 ? QStringLiteral("\n") : QStringLiteral("int x%1 = a < b;\n").arg(i);
        table += QStringLiteral("| %1 | **n%1** | a<br>b `c` |\n").arg(i);
        list += QStringLiteral("%1. item **%1**\n   - nested\n").arg(i % 10);
    }
    QTest::newRow("long code block") << code + QStringLiteral("```\n\nAfter.\n");
    QTest::newRow("long table") << table + QStringLiteral("\nAfter.\n");
    QTest::newRow("long list") << list + QStringLiteral("\nAfter.\n");
    QTest::newRow("unfinished fence")
        << QStringLiteral("Start.\n\n```\ncode\n\nText that is still code.\n\nMore.\n");
}

} // namespace

void TestStreamingMarkdownRenderer::everyPrefixMatchesAOneShotConversion_data()
{
    addAnswers();
}

void TestStreamingMarkdownRenderer::everyPrefixMatchesAOneShotConversion()
{
    QFETCH(QString, answer);
    StreamingMarkdownRenderer renderer;
    for (int length = 1; length <= answer.size(); ++length) {
        const QString prefix = answer.left(length);
        const QString actual = renderer.render(prefix);
        const QString expected = MarkdownRenderer::toHtml(prefix);
        if (actual != expected) {
            int at = 0;
            while (at < actual.size() && at < expected.size() && actual[at] == expected[at])
                ++at;
            QFAIL(qPrintable(QStringLiteral("prefix %1 \"%2\" differs at %3:\n%4\n---\n%5")
                                 .arg(length)
                                 .arg(prefix)
                                 .arg(at)
                                 .arg(actual.mid(at - 200, 400))
                                 .arg(expected.mid(at - 200, 400))));
        }
    }
}

void TestStreamingMarkdownRenderer::coarseEventsMatchAOneShotConversion_data()
{
    addAnswers();
}

// Events of varying sizes, and the same cumulative text twice in a row, as a real stream does.
void TestStreamingMarkdownRenderer::coarseEventsMatchAOneShotConversion()
{
    QFETCH(QString, answer);
    const QString expected = MarkdownRenderer::toHtml(answer);
    for (int step : {2, 5, 13, 37, 101}) {
        StreamingMarkdownRenderer renderer;
        int length = 0;
        QString html;
        while (length < answer.size()) {
            length = std::min<int>(answer.size(), length + step + length % 3);
            html = renderer.render(answer.left(length));
            if (length % 2 == 0)
                html = renderer.render(answer.left(length));
            QCOMPARE(html, MarkdownRenderer::toHtml(answer.left(length)));
        }
        QCOMPARE(html, expected);
    }
}

void TestStreamingMarkdownRenderer::aTextThatIsNoContinuationStartsAfresh()
{
    StreamingMarkdownRenderer renderer;
    const QString first = QStringLiteral("One.\n\nTwo.\n\nThree.\n\nFour");
    renderer.render(first);
    const QString other = QStringLiteral("One.\n\n- Two.\n\nThree and more.\n\nFive");
    QCOMPARE(renderer.render(other), MarkdownRenderer::toHtml(other));
    QCOMPARE(renderer.render(QString()), QString());
    QCOMPARE(renderer.render(first), MarkdownRenderer::toHtml(first));
}

QTEST_MAIN(TestStreamingMarkdownRenderer)
#include "tst_streamingmarkdownrenderer.moc"
