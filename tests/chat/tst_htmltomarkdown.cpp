#include "chat/htmltomarkdown.h"
#include "chat/markdownrenderer.h"
#include "chat/searchabletext.h"

#include <QFile>
#include <QTextDocument>
#include <QtTest>

namespace {

QString readData(const QString& name)
{
    QFile file(QStringLiteral(CHAT_TEST_DATA "/") + name);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

// The way back from a stored answer to Markdown (export), and the text the search reads.
class TestHtmlToMarkdown : public QObject
{
    Q_OBJECT

private slots:
    void storedAnswerComesBackAsMarkdown();
    void answersComeBack_data();
    void answersComeBack();
    void fragmentsBecomeMarkdown_data();
    void fragmentsBecomeMarkdown();
    void plainTextIsEscaped_data();
    void plainTextIsEscaped();
    void searchReadsTheShownTextOnly_data();
    void searchReadsTheShownTextOnly();
};

// An answer as the app stores it on a desktop (code in the platform's fixed font): headings,
// emphasis, inline code, a link, nested lists, an aligned table, a code block with an empty
// line and a quote.
void TestHtmlToMarkdown::storedAnswerComesBackAsMarkdown()
{
    const QString html = readData(QStringLiteral("answer.html"));
    QVERIFY(!html.isEmpty());
    QCOMPARE(HtmlToMarkdown::convert(html) + QLatin1Char('\n'),
             readData(QStringLiteral("answer.md")));
}

void TestHtmlToMarkdown::answersComeBack_data()
{
    QTest::addColumn<QString>("markdown"); // what the engine sent
    QTest::addColumn<QString>("expected"); // what the export writes
    const auto same = [](const char* tag, const char* text) {
        QTest::newRow(tag) << QString::fromUtf8(text) << QString::fromUtf8(text);
    };
    same("emphasis", "A **bold** word, an *italic* one, ~~gone~~ and ***both***.");
    same("emphasis next to emphasis", "**Bold *and italic* inside** it.");
    same("link", "See [the guide](https://example.com/a_b) for **more**.");
    same("headings", "# One\n\n## Two\n\n### Three\n\ntext");
    same("numbered then bullets", "1. First\n2. Second\n\n- Dot\n- Dot");
    same("nested under numbers", "1. First\n   1. Inner\n   2. Inner\n2. Second");
    // The stored HTML keeps no check marks.
    QTest::newRow("task list") << QStringLiteral("- [x] done\n- [ ] open")
                               << QStringLiteral("- done\n- open");
    same("rule", "Above\n\n---\n\nBelow");
    same("quote", "> One line\n>\n> Another paragraph");
    same("table with a pipe", "| a | b |\n| --- | ---: |\n| 1 \\| 2 | x |");
    same("markup characters", "2 \\* 3 is not \\*emphasis\\*, \\[no link\\], \\<b> stays text");
    same("chinese", "你好，**世界**！");
    // The import makes a hard break a block of its own.
    QTest::newRow("hard break") << QStringLiteral("one  \ntwo") << QStringLiteral("one\n\ntwo");
    QTest::newRow("soft break joins") << QStringLiteral("one\ntwo") << QStringLiteral("one two");
    QTest::newRow("underscores") << QStringLiteral("snake_case and \\_x\\_")
                                 << QStringLiteral("snake_case and \\_x\\_");
    QTest::newRow("empty") << QString() << QString();
}

// Whatever the export writes shows as the answer did: converted again, it gives the same HTML.
void TestHtmlToMarkdown::answersComeBack()
{
    QFETCH(QString, markdown);
    QFETCH(QString, expected);
    const QString html = MarkdownRenderer::toHtml(markdown);
    const QString written = HtmlToMarkdown::convert(html);
    QCOMPARE(written, expected);
    QCOMPARE(MarkdownRenderer::toHtml(written), html);
}

void TestHtmlToMarkdown::fragmentsBecomeMarkdown_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("expected");
    QTest::newRow("spaces stay outside the markers")
        << QStringLiteral("<p>A <b>bold </b>word<i> and</i> more</p>")
        << QStringLiteral("A **bold** word *and* more");
    QTest::newRow("line break") << QStringLiteral("<p>one<br />two</p>")
                                << QStringLiteral("one\\\ntwo");
    QTest::newRow("backtick in code")
        << QStringLiteral("<p><span style=\"font-family:monospace\">a`b</span></p><p>x</p>")
        << QStringLiteral("``a`b``\n\nx");
    QTest::newRow("bold inside a link")
        << QStringLiteral("<p><a href=\"https://e.com/x\">see <b>this</b></a> now</p>")
        << QStringLiteral("[see **this**](https://e.com/x) now");
    QTest::newRow("kept line breaks are code")
        << QStringLiteral("<pre>if (a &lt; b)\n    run();</pre><p>after</p>")
        << QStringLiteral("```\nif (a < b)\n    run();\n```\n\nafter");
    QTest::newRow("fence longer than the code's backticks")
        << QStringLiteral("<pre>```\nx</pre>") << QStringLiteral("````\n```\nx\n````");
    QTest::newRow("image leaves nothing")
        << QStringLiteral("<p>a<img src=\"qrc:/x.png\" />b</p>") << QStringLiteral("ab");
}

void TestHtmlToMarkdown::fragmentsBecomeMarkdown()
{
    QFETCH(QString, html);
    QFETCH(QString, expected);
    QCOMPARE(HtmlToMarkdown::convert(html), expected);
}

void TestHtmlToMarkdown::plainTextIsEscaped_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("heading") << QStringLiteral("# not a heading")
                             << QStringLiteral("\\# not a heading");
    QTest::newRow("numbered") << QStringLiteral("1. not a list")
                              << QStringLiteral("1\\. not a list");
    QTest::newRow("bullet") << QStringLiteral("- not a list") << QStringLiteral("\\- not a list");
    QTest::newRow("quote") << QStringLiteral("> not a quote") << QStringLiteral("\\> not a quote");
    QTest::newRow("emphasis") << QStringLiteral("a *b* c") << QStringLiteral("a \\*b\\* c");
    QTest::newRow("code") << QStringLiteral("`x`") << QStringLiteral("\\`x\\`");
    QTest::newRow("entity") << QStringLiteral("&amp; & more") << QStringLiteral("\\&amp; & more");
    QTest::newRow("html") << QStringLiteral("<b>x</b> a < b")
                          << QStringLiteral("\\<b>x\\</b> a < b");
    QTest::newRow("lines") << QStringLiteral("first\nsecond\n\nthird")
                           << QStringLiteral("first\\\nsecond\n\nthird");
    QTest::newRow("rule") << QStringLiteral("---") << QStringLiteral("\\---");
}

void TestHtmlToMarkdown::plainTextIsEscaped()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    const QString escaped = HtmlToMarkdown::escaped(text);
    QCOMPARE(escaped, expected);
    // Shown as Markdown, it is the text as typed.
    QTextDocument document;
    document.setMarkdown(escaped);
    QCOMPARE(document.toPlainText(), text.replace(QStringLiteral("\n\n"), QStringLiteral("\n")));
}

void TestHtmlToMarkdown::searchReadsTheShownTextOnly_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("text");
    QTest::newRow("stored answer")
        << MarkdownRenderer::toHtml(QStringLiteral("A **bold** word.\n\nNext & last <tag>"))
        << QStringLiteral("A bold word. Next & last <tag>");
    QTest::newRow("entities") << QStringLiteral("a&lt;b&gt;&amp;&quot;&#39;&#x4E2D;&nbsp;&bogus; &")
                              << QStringLiteral("a<b>&\"'中 &bogus; &");
    QTest::newRow("comment and head")
        << QStringLiteral("<head><title>span</title><style>p{}</style></head><!-- x --><p>y</p>")
        << QStringLiteral("y");
    QTest::newRow("quoted > in a tag")
        << QStringLiteral("<a href=\"x>y\">link</a>") << QStringLiteral("link");
    QTest::newRow("a lone <") << QStringLiteral("1 < 2") << QStringLiteral("1 < 2");
    QTest::newRow("cut tag") << QStringLiteral("text<span style=\"") << QStringLiteral("text");
}

void TestHtmlToMarkdown::searchReadsTheShownTextOnly()
{
    QFETCH(QString, html);
    QFETCH(QString, text);
    // Line breaks and spaces do not matter to a search.
    QCOMPARE(SearchableText::plainText(html).simplified(), text);
}

QTEST_MAIN(TestHtmlToMarkdown)
#include "tst_htmltomarkdown.moc"
