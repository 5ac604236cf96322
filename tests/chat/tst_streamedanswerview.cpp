#include "chat/markdownrenderer.h"
#include "chat/piecedocuments.h"
#include "chat/richtextpiece.h"
#include "chat/richtextsegments.h"
#include "chat/richtextview.h"
#include "chat/streamingmarkdownrenderer.h"
#include "support/randommarkdown.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickView>
#include <QTextBlock>
#include <QTextDocument>
#include <QtTest>

#include <memory>

// A streamed answer must end on screen exactly as the same answer shown whole (as it is shown
// when its conversation is opened again): the same pieces, the same documents in them, the same
// text, and the blocks of the one document that the stored answer makes.
class TestStreamedAnswerView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void randomAnswersEndAsShownWhole();
    void longTablesAndCodeGrowAsShownWhole_data();
    void longTablesAndCodeGrowAsShownWhole();
    void aroundTablesTheBlocksOfOneDocument_data();
    void aroundTablesTheBlocksOfOneDocument();

private:
    QString endsAsShownWhole(const QString& exact);

    QQuickView window;
    RichTextView* streamed = nullptr;
    RichTextView* whole = nullptr;
};

namespace {

const char* const ViewsQml = R"QML(
import QtQuick 2.15
import "qrc:/DialogModule"
Item {
    width: 1000; height: 700
    Loader { id: theme; source: "qrc:/Theme/LightTheme.qml" }
    Loader { id: fontManager; source: "qrc:/FontManager.qml" }
    AnswerView { objectName: "streamed"; width: 486 }
    AnswerView { objectName: "whole"; x: 500; width: 486 }
}
)QML";

// Line and non-breaking space as plain text writes them.
QString plain(QString text)
{
    return text.replace(QChar::LineSeparator, QLatin1Char('\n'))
        .replace(QChar::Nbsp, QLatin1Char(' '));
}

// The blocks of the one document that html makes, as toPlainText() gives them (the empty blocks
// around a table included), but for the one Qt adds before a first block that is empty when the
// HTML has no body tag.
QString oneDocumentText(QString html)
{
    QTextDocument document;
    const QLatin1String headEnd("</head>");
    html.insert(html.indexOf(headEnd) + headEnd.size(), QLatin1String("<body>"));
    document.setHtml(html);
    QStringList blocks;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        blocks.append(block.text());
    return plain(blocks.join(QLatin1Char('\n')));
}

// Where two views differ, or nothing.
QString difference(RichTextView* streamed, RichTextView* whole)
{
    const QVector<RichTextPiece*> a = streamed->pieces();
    const QVector<RichTextPiece*> b = whole->pieces();
    if (a.size() != b.size())
        return QStringLiteral("%1 pieces, not %2").arg(a.size()).arg(b.size());
    for (int index = 0; index < a.size(); ++index) {
        if (a.at(index)->kind() != b.at(index)->kind()
            || a.at(index)->source() != b.at(index)->source()
            || a.at(index)->listStart() != b.at(index)->listStart())
            return QStringLiteral("piece %1 is not the same: %2 %3 %4\n---\n%5 %6 %7")
                .arg(index)
                .arg(a.at(index)->kind())
                .arg(a.at(index)->listStart())
                .arg(a.at(index)->source())
                .arg(b.at(index)->kind())
                .arg(b.at(index)->listStart())
                .arg(b.at(index)->source());
        const QVector<QTextDocument*> da = a.at(index)->content().documents();
        const QVector<QTextDocument*> db = b.at(index)->content().documents();
        if (da.size() != db.size())
            return QStringLiteral("piece %1 has %2 documents, not %3")
                .arg(index)
                .arg(da.size())
                .arg(db.size());
        for (int document = 0; document < da.size(); ++document) {
            if (da.at(document)->toHtml() != db.at(document)->toHtml())
                return QStringLiteral("document %1 of piece %2 differs").arg(document).arg(index);
        }
        if (a.at(index)->implicitHeight() != b.at(index)->implicitHeight())
            return QStringLiteral("piece %1 is %2 high, not %3")
                .arg(index)
                .arg(a.at(index)->implicitHeight())
                .arg(b.at(index)->implicitHeight());
    }
    if (streamed->text() != whole->text())
        return QStringLiteral("the text differs");
    return QString();
}

// The two texts around where they first differ.
QString firstDifference(const QString& shown, const QString& expected)
{
    int at = 0;
    while (at < shown.size() && at < expected.size() && shown.at(at) == expected.at(at))
        ++at;
    const int from = std::max(0, at - 40);
    return QStringLiteral("shown \"%1\"\nnot   \"%2\"")
        .arg(shown.mid(from, 80), expected.mid(from, 80));
}

} // namespace

void TestStreamedAnswerView::initTestCase()
{
    Q_INIT_RESOURCE(qml);
    RichTextView::registerQmlType();
    QQmlComponent component(window.engine());
    component.setData(ViewsQml, QUrl());
    auto* root = qobject_cast<QQuickItem*>(component.create());
    QVERIFY2(root, qPrintable(component.errorString()));
    window.setContent(QUrl(), &component, root);
    streamed = root->findChild<RichTextView*>(QStringLiteral("streamed"));
    whole = root->findChild<RichTextView*>(QStringLiteral("whole"));
    QVERIFY(streamed && whole);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
}

void TestStreamedAnswerView::cleanup()
{
    whole->setHtml(QString());
    streamed->setHtml(QString());
}

// After the stream the view has been given the final conversion; it must show what a view
// given that HTML at once shows. Empty string: the same.
QString TestStreamedAnswerView::endsAsShownWhole(const QString& exact)
{
    streamed->setHtml(exact); // the final conversion, made whole
    whole->setHtml(exact);
    window.grabWindow();
    QString where = difference(streamed, whole);
    if (!where.isEmpty())
        return where;
    const QString shown = plain(streamed->text());
    const QString expected = oneDocumentText(exact);
    if (shown != expected)
        return firstDifference(shown, expected);
    if (streamed->height() != whole->height())
        return QStringLiteral("heights %1 and %2").arg(streamed->height()).arg(whole->height());
    return QString();
}

void TestStreamedAnswerView::randomAnswersEndAsShownWhole()
{
    const quint32 seed = RandomMarkdown::seed();
    RandomMarkdown random(seed);
    int differedWhileStreaming = 0;
    constexpr int Answers = 60;
    for (int answer = 0; answer < Answers; ++answer) {
        const QString text = random.answer(8 + answer % 13);
        const QString exact = MarkdownRenderer::toHtml(text);
        StreamingMarkdownRenderer renderer;
        QString html;
        const QVector<int> cuts = random.cuts(text);
        for (int cut = 0; cut < cuts.size(); cut += 3) {
            html = renderer.render(text.left(cuts.at(cut)));
            streamed->setHtml(html);
        }
        html = renderer.render(text);
        streamed->setHtml(html);
        if (html != exact)
            ++differedWhileStreaming;
        const QString where = endsAsShownWhole(exact);
        QVERIFY2(where.isEmpty(),
                 qPrintable(QStringLiteral("seed %1, answer %2: %3\n%4")
                                .arg(seed)
                                .arg(answer)
                                .arg(where, text)));
        cleanup();
    }
    qInfo("seed %u: %d of %d answers were shown differently while streaming, none at the end", seed,
          differedWhileStreaming, Answers);
}

void TestStreamedAnswerView::longTablesAndCodeGrowAsShownWhole_data()
{
    QTest::addColumn<QString>("text");
    QString table = QStringLiteral("Intro.\n\n| # | Key | Note |\n|--:|:---|---|\n");
    QString code = QStringLiteral("Intro.\n\n```python\n");
    for (int row = 0; row < 95; ++row) {
        table += QStringLiteral("| %1 | F%1 | **bold** <br> `x < %1` |\n").arg(row);
        code += QStringLiteral("def step_%1(a, b):\n    return a < b and \"%1\"\n%2")
                    .arg(row)
                    .arg(row % 9 == 0 ? QStringLiteral("\n") : QString());
    }
    QTest::newRow("table of 95 rows") << table + QStringLiteral("\nAfter it.\n");
    QTest::newRow("code of 95 functions") << code + QStringLiteral("```\n\nAfter it.\n");
}

// A long table or code block grows in place (its first rows and lines are kept, the rest
// made again); every stage must look as the same text shown at once.
void TestStreamedAnswerView::longTablesAndCodeGrowAsShownWhole()
{
    QFETCH(QString, text);
    StreamingMarkdownRenderer renderer;
    for (int length = 150; length < text.size(); length += 173) {
        const QString html = renderer.render(text.left(length));
        streamed->setHtml(html);
        const QString where = endsAsShownWhole(html);
        QVERIFY2(where.isEmpty(), qPrintable(QStringLiteral("at %1: %2").arg(length).arg(where)));
        whole->setHtml(QString());
    }
    QVERIFY(endsAsShownWhole(MarkdownRenderer::toHtml(text)).isEmpty());
}

void TestStreamedAnswerView::aroundTablesTheBlocksOfOneDocument_data()
{
    QTest::addColumn<QString>("text");
    const QString table = QStringLiteral("| Key | Note |\n|---|---|\n| F1 | help |\n");
    // A short last row: the table ends with an empty cell.
    const QString emptyCell = QStringLiteral("| Key | Note |\n|---|---|\n| F1 |\n");
    const QString after = QStringLiteral("\nAfter it.\n");
    QTest::newRow("table first") << table + after;
    // Kept in several documents of a few rows, copied as one table.
    QString rows;
    for (int row = 0; row < 25; ++row)
        rows += QStringLiteral("| F%1 | **key** %1 |\n").arg(row);
    QTest::newRow("long table") << QStringLiteral("Before.\n\n| Key | Note |\n|--:|:-:|\n") + rows
            + after;
    QTest::newRow("table last") << QStringLiteral("Before.\n\n") + table;
    QTest::newRow("two tables") << table + QStringLiteral("\n") + table + after;
    QTest::newRow("empty cell, paragraph") << emptyCell + after;
    QTest::newRow("empty cell, empty heading") << emptyCell + QStringLiteral("\n#\n") + after;
    QTest::newRow("empty cell, empty item") << emptyCell + QStringLiteral("\n-\n- item\n");
    QTest::newRow("empty cell, list") << emptyCell + QStringLiteral("\n- item\n");
    QTest::newRow("empty cell, code")
        << emptyCell + QStringLiteral("\n```python\nx = 1\n```\n") + after;
    QTest::newRow("empty cell, code from a blank line")
        << emptyCell + QStringLiteral("\n```python\n\nx = 1\n```\n") + after;
    QTest::newRow("empty cell, table") << emptyCell + QStringLiteral("\n") + table;
    // Qt's import puts the table in the list: its first cell is an item of it.
    QTest::newRow("table in a list after an empty item")
        << QStringLiteral("1.\n\n") + table + after;
    // Qt writes an empty item followed by a rule as "<ol><li<hr />", a list that the table's
    // first cell closes; a long paragraph before it has the text piece end after the table.
    QTest::newRow("list running into a table") << QStringLiteral("Switches. ").repeated(240)
            + QStringLiteral("\n\n---\n1.\n\n***\n\n\n") + emptyCell
            + QStringLiteral("\n## After it\n");
}

// Around a table one document has empty blocks of Qt's that no piece holds (before a table that
// comes first, after a table unless the next block takes the place of it); streamed or not, the
// view shows, selects and copies them as that document has them.
void TestStreamedAnswerView::aroundTablesTheBlocksOfOneDocument()
{
    QFETCH(QString, text);
    StreamingMarkdownRenderer renderer;
    for (int length = 1; length < text.size(); length += 5)
        streamed->setHtml(renderer.render(text.left(length)));
    const QString exact = MarkdownRenderer::toHtml(text);
    QCOMPARE(endsAsShownWhole(exact), QString());
    streamed->selectAll();
    QCOMPARE(plain(streamed->selectedText()), oneDocumentText(exact));
    streamed->copy();
    const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
    QVERIFY(copied);
    QCOMPARE(oneDocumentText(copied->html()), oneDocumentText(exact));
    QCOMPARE(copied->html().count(QLatin1String(" align=")), exact.count(QLatin1String(" align=")));
}

QTEST_MAIN(TestStreamedAnswerView)
#include "tst_streamedanswerview.moc"
