#include "chat/markdowntextappend.h"

#include <QtTest>

// Which additions to a streamed answer may skip the Markdown conversion. Whether the result is
// right is the streaming renderer's test; this one keeps the shortcut from silently never
// being taken, and from being taken where the line could still change its kind.
class TestMarkdownTextAppend : public QObject
{
    Q_OBJECT

private slots:
    void addedText_data();
    void addedText();
};

void TestMarkdownTextAppend::addedText_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("added");
    QTest::addColumn<QString>("shown"); // the text the block shows before the addition
    QTest::addColumn<bool>("taken");
    QTest::addColumn<QString>("expected");

    QTest::newRow("words") << "Linear switches"
                           << " feel smooth"
                           << "Linear switches" << true << " feel smooth";
    QTest::newRow("rest of a word") << "Para\n\nLinear swi"
                                    << "tches, too."
                                    << "Linear swi" << true << "tches, too.";
    QTest::newRow("list item") << "- Linear: quiet"
                               << " and fast"
                               << "Linear: quiet" << true << " and fast";
    QTest::newRow("cjk") << "键盘的 手感"
                         << "因人而异，"
                         << "键盘的 手感" << true << "因人而异，";
    QTest::newRow("trailing space waits") << "Some words"
                                          << " "
                                          << "Some words" << true << QString();
    QTest::newRow("space shows later") << "Some words "
                                       << "more"
                                       << "Some words" << true << " more";

    QTest::newRow("first word of a line") << "Para\n1"
                                          << ". Step"
                                          << "Para 1" << false << QString();
    QTest::newRow("item without text yet") << "- 2. "
                                           << "nested"
                                           << "2." << false << QString();
    QTest::newRow("number in an item") << "- item 2"
                                       << ". x"
                                       << "item 2" << false << QString();
    QTest::newRow("emphasis") << "Some words"
                              << " **bold"
                              << "Some words" << false << QString();
    QTest::newRow("autolink") << "See www"
                              << ".example"
                              << "See www" << false << QString();
    QTest::newRow("line break") << "Some words"
                                << " end\nNext"
                                << "Some words" << false << QString();
    QTest::newRow("two spaces") << "Some words "
                                << " more"
                                << "Some words" << false << QString();
    QTest::newRow("entity") << "Fish and"
                            << " &amp; chips"
                            << "Fish and" << false << QString();
    QTest::newRow("fence opening") << "```cpp int"
                                   << " keys"
                                   << "cpp int" << false << QString();
    QTest::newRow("block shows another line") << "Old text\n\n# heading"
                                              << " more"
                                              << "Old text" << false << QString();
    QTest::newRow("emoji") << "Nice words"
                           << " 😀"
                           << "Nice words" << false << QString();
}

void TestMarkdownTextAppend::addedText()
{
    QFETCH(QString, before);
    QFETCH(QString, added);
    QFETCH(QString, shown);
    QFETCH(bool, taken);
    QFETCH(QString, expected);
    const std::optional<QString> text =
        MarkdownTextAppend::addedText(before + added, before.size(), shown);
    QCOMPARE(text.has_value(), taken);
    if (taken)
        QCOMPARE(*text, expected);
}

QTEST_GUILESS_MAIN(TestMarkdownTextAppend)
#include "tst_markdowntextappend.moc"
