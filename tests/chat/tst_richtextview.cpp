#include "chat/markdownrenderer.h"
#include "chat/piecedocuments.h"
#include "chat/piecestyle.h"
#include "chat/richtextpiece.h"
#include "chat/richtextsegments.h"
#include "chat/richtextview.h"
#include "chat/streamingmarkdownrenderer.h"
#include "chat/visibletiles.h"

#include <QAbstractTextDocumentLayout>
#include <QClipboard>
#include <QMimeData>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickView>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextTable>
#include <QtTest>

#include <memory>

// An answer is shown in pieces (text, code blocks, tables); it must look like one text, and
// select and copy like one, with the mouse and the keys, as an editor does.
class TestRichTextView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void piecesSitWhereOneDocumentPutsItsBlocks();
    void theShownTextHasTheBlocksOfOneDocument();
    void aDragSelectsAcrossPieces();
    void keysSelectAsInAnEditor();
    void doubleAndTripleClicksSelectAWordAndAParagraph();
    void selectAllAndCopyGiveOneText();
    void leavingTheViewClearsTheSelection();
    void aSelectionSurvivesEveryUpdateOfTheGrowingPiece();
    void aPieceThatGrowsIsDrawnInItsPlace();
    void aGrowingAnswerIsDrawnAsTheAnswerShownWhole();
    void aCodeBlockCopiesExactlyItsCodeAndScrollsSideways();
    void tablesFitTheAnswerOrScrollSideways();
    void anOldAnswerFetchesNothing();

private:
    void showAnswer(const QString& html);
    QVector<RichTextPiece*> pieces() const;
    QPoint pointIn(int piece, qreal fractionX, qreal fractionY) const;
    int positionAt(int piece, const QPoint& windowPoint) const;
    int offsetOf(int piece) const;
    void drag(const QPoint& from, const QPoint& to);

    std::unique_ptr<QQuickView> window;
    RichTextView* view = nullptr;
};

namespace {

// The answer as the chat panel shows it, in a list that could scroll.
const char* const ViewQml = R"QML(
import QtQuick 2.15
import "qrc:/DialogModule"
Item {
    width: 520; height: 800
    Loader { id: theme; source: "qrc:/Theme/LightTheme.qml" }
    Loader { id: fontManager; source: "qrc:/FontManager.qml" }
    Flickable {
        objectName: "list"
        width: 520; height: 780
        clip: true
        contentHeight: answer.height + 2000 // a drag could always scroll it
        AnswerView { id: answer; objectName: "answer"; x: 14; width: 486 }
    }
    TextEdit { objectName: "elsewhere"; y: 790; width: 100; height: 10 }
}
)QML";

// Prose, lists and quotes: pieces of text only.
QString longText()
{
    QString text;
    for (int i = 0; i < 12; ++i) {
        text += QStringLiteral("## Part %1\n\nLinear switches feel **smooth** from top to bottom, "
                               "while tactile ones give a *bump*; press `Fn` and <b>hold</b>.\n\n"
                               "1. one\n2. two\n   - nested\n3. three\n\n> A quote.\n\n"
                               "键盘的手感因人而异。\n\n---\n\n")
                    .arg(i);
    }
    return text + QStringLiteral("The end.");
}

// Text with code blocks and tables between.
QString mixedAnswer()
{
    QString text;
    for (int i = 0; i < 4; ++i) {
        text += QStringLiteral("### Step %1\n\nPress the key and read the report.\n\n"
                               "```cpp\nint keys = %1; // count\n\nreturn keys;\n```\n\n"
                               "| Switch | Force |\n|:--|--:|\n| Red | 45 g |\n| Blue | %1 g |\n\n"
                               "After the table.\n\n")
                    .arg(i);
    }
    return text + QStringLiteral("The end.");
}

// The text of one document of html: its blocks (a table's cells, and the empty blocks a
// document keeps around a table's frame), as toPlainText() gives them.
QString oneDocumentText(const QString& html)
{
    QTextDocument document;
    document.setHtml(html);
    QStringList blocks;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        blocks.append(block.text());
    return blocks.join(QLatin1Char('\n'))
        .replace(QChar::LineSeparator, QLatin1Char('\n'))
        .replace(QChar::Nbsp, QLatin1Char(' '));
}

// An item of the window by its object name, made by a Loader or not.
QQuickItem* findItem(QQuickItem* root, const QString& name)
{
    if (root->objectName() == name)
        return root;
    for (QQuickItem* child : root->childItems()) {
        if (QQuickItem* found = findItem(child, name))
            return found;
    }
    return nullptr;
}

} // namespace

void TestRichTextView::initTestCase()
{
    Q_INIT_RESOURCE(qml);
    RichTextView::registerQmlType();
}

void TestRichTextView::init()
{
    window = std::make_unique<QQuickView>();
    QQmlComponent component(window->engine());
    component.setData(ViewQml, QUrl());
    auto* root = qobject_cast<QQuickItem*>(component.create());
    QVERIFY2(root, qPrintable(component.errorString()));
    window->setContent(QUrl(), &component, root);
    view = root->findChild<RichTextView*>(QStringLiteral("answer"));
    QVERIFY(view);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void TestRichTextView::cleanup()
{
    view = nullptr;
    window.reset();
}

// Shows html and waits until every piece is there and the view has stacked them.
void TestRichTextView::showAnswer(const QString& html)
{
    view->setHtml(html);
    QTRY_COMPARE(pieces().size(), view->segments()->count());
    window->grabWindow(); // polishes: the view stacks its pieces
}

QVector<RichTextPiece*> TestRichTextView::pieces() const
{
    return view->pieces();
}

QPoint TestRichTextView::pointIn(int piece, qreal fractionX, qreal fractionY) const
{
    RichTextPiece* item = pieces().at(piece);
    return item->mapToScene(QPointF(item->width() * fractionX, item->height() * fractionY))
        .toPoint();
}

int TestRichTextView::positionAt(int piece, const QPoint& windowPoint) const
{
    RichTextPiece* item = pieces().at(piece);
    return item->content().positionAt(item->mapFromScene(windowPoint));
}

// Where a piece's text starts in the view's text.
int TestRichTextView::offsetOf(int piece) const
{
    int offset = 0;
    for (int index = 0; index < piece; ++index) {
        const PieceDocuments& content = pieces().at(index)->content();
        offset += content.plainText(0, content.length()).size() + 1;
    }
    return offset;
}

// Moved in small steps, as a hand does, so the list could take the drag over.
void TestRichTextView::drag(const QPoint& from, const QPoint& to)
{
    QTest::mousePress(window.get(), Qt::LeftButton, Qt::NoModifier, from);
    for (int step = 1; step <= 20; ++step)
        QTest::mouseMove(window.get(), from + (to - from) * step / 20, 5);
    QTest::mouseRelease(window.get(), Qt::LeftButton, Qt::NoModifier, to);
}

// Every block of every piece of text is where one document with the whole answer would put it
// (in the same look), and the view is as high as that document.
void TestRichTextView::piecesSitWhereOneDocumentPutsItsBlocks()
{
    const QString html = MarkdownRenderer::toHtml(longText());
    showAnswer(html);
    QVERIFY(pieces().size() > 2);
    RichTextPiece* firstPiece = pieces().constFirst();
    auto whole = std::make_unique<RichTextPiece>();
    whole->setFont(firstPiece->font());
    whole->setAvailableWidth(firstPiece->availableWidth());
    whole->setSource(html);
    QCOMPARE(whole->content().documents().size(), 1);
    QTextDocument* wholeDocument = whole->content().documents().constFirst();

    QTextBlock expected = wholeDocument->begin();
    int compared = 0;
    for (RichTextPiece* piece : pieces()) {
        QCOMPARE(piece->kind(), QStringLiteral("text"));
        QTextDocument* document = piece->content().documents().constFirst();
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
            QVERIFY(expected.isValid());
            QCOMPARE(block.text(), expected.text());
            const qreal y = piece->mapToItem(view, QPointF()).y()
                + document->documentLayout()->blockBoundingRect(block).y();
            const qreal expectedY =
                wholeDocument->documentLayout()->blockBoundingRect(expected).y();
            QVERIFY2(qAbs(y - expectedY) < 1,
                     qPrintable(QStringLiteral("\"%1\" at %2, not %3")
                                    .arg(block.text())
                                    .arg(y)
                                    .arg(expectedY)));
            expected = expected.next();
            ++compared;
        }
    }
    QVERIFY(!expected.isValid());
    QVERIFY(compared > 100);
    QVERIFY(qAbs(view->height() - whole->implicitHeight()) < 1);
    QCOMPARE(view->text(), wholeDocument->toPlainText());
}

// Code blocks and tables are items of their own; what the view shows and copies still has the
// blocks of the one document that the stored answer makes, no more and no fewer.
void TestRichTextView::theShownTextHasTheBlocksOfOneDocument()
{
    const QString html = MarkdownRenderer::toHtml(mixedAnswer());
    showAnswer(html);
    QStringList kinds;
    for (RichTextPiece* piece : pieces())
        kinds.append(piece->kind());
    QCOMPARE(kinds.count(QStringLiteral("code")), 4);
    QCOMPARE(kinds.count(QStringLiteral("table")), 4);
    QCOMPARE(view->text(), oneDocumentText(html));
    view->selectAll();
    QCOMPARE(view->selectedText(), oneDocumentText(html));
}

// A drag from the middle of the first piece into the third selects the end of the first, the
// second whole and the start of the third, as one text.
// A drag from the middle of the first piece into the second selects the end of the first and
// the start of the second as one text; a Shift+click in the third extends it there, with the
// second whole.
void TestRichTextView::aDragSelectsAcrossPieces()
{
    showAnswer(MarkdownRenderer::toHtml(longText()));
    QVERIFY(pieces().size() > 3);
    QVERIFY(pointIn(1, 0, 0.5).y() < window->height() - 40);
    const QPoint from = pointIn(0, 0.5, 0.5);
    const QPoint to = pointIn(1, 0.3, 0.4);
    drag(from, to);

    const QString text = view->text();
    const int start = positionAt(0, from);
    int end = offsetOf(1) + positionAt(1, to);
    QVERIFY(view->hasSelection());
    QCOMPARE(view->selectedText(), text.mid(start, end - start));
    // The list around the view did not take the drag over to scroll.
    QQuickItem* list = window->rootObject()->findChild<QQuickItem*>(QStringLiteral("list"));
    QCOMPARE(list->property("contentY").toReal(), 0.0);
    QVERIFY(view->hasActiveFocus());
    QTest::keyClick(window.get(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), text.mid(start, end - start));

    list->setProperty("contentY", pieces().at(2)->mapToItem(view, QPointF()).y());
    window->grabWindow();
    const QPoint further = pointIn(2, 0.5, 0.05);
    QTest::mouseClick(window.get(), Qt::LeftButton, Qt::ShiftModifier, further);
    end = offsetOf(2) + positionAt(2, further);
    QCOMPARE(view->selectedText(), text.mid(start, end - start));
}

// Shift with the arrows, Home and End moves the selection's end, across pieces too; without
// Shift the selection collapses and the place moves.
void TestRichTextView::keysSelectAsInAnEditor()
{
    showAnswer(MarkdownRenderer::toHtml(longText()));
    QVERIFY(pieces().size() > 1);
    const QString text = view->text();
    // Before the "L" of "Linear" in the first piece's paragraph.
    const int linear = text.indexOf(QStringLiteral("Linear"));
    RichTextPiece* first = pieces().constFirst();
    const QRectF at = first->content().cursorRect(linear);
    const QPoint click =
        first->mapToScene(at.center() - QPointF(at.width() / 2 + 0.5, 0)).toPoint();
    QTest::mouseClick(window.get(), Qt::LeftButton, Qt::NoModifier, click);
    QVERIFY(!view->hasSelection());

    for (int i = 0; i < 6; ++i)
        QTest::keyClick(window.get(), Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(view->selectedText(), QStringLiteral("Linear"));
    QTest::keyClick(window.get(), Qt::Key_Left, Qt::ShiftModifier);
    QCOMPARE(view->selectedText(), QStringLiteral("Linea"));
    QTest::keyClick(window.get(), Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(view->selectedText(), QStringLiteral("Linear "));
    QTest::keyClick(window.get(), Qt::Key_End, Qt::ShiftModifier);
    const QString line = view->selectedText();
    QVERIFY(line.startsWith(QStringLiteral("Linear switches feel smooth")));
    QVERIFY(!line.contains(QLatin1Char('\n'))); // one visual line of the wrapped paragraph
    QTest::keyClick(window.get(), Qt::Key_Down, Qt::ShiftModifier);
    QVERIFY(view->selectedText().size() > line.size());
    QVERIFY(view->selectedText().contains(QLatin1Char(' ')));
    QTest::keyClick(window.get(), Qt::Key_Home, Qt::ShiftModifier);
    QVERIFY(text.mid(linear).startsWith(view->selectedText()));

    // Down to the end of the text crosses every piece; the selection is all of it from there.
    for (int i = 0; i < 400 && !(view->selectedText().endsWith(QStringLiteral("The end."))); ++i)
        QTest::keyClick(window.get(), Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(window.get(), Qt::Key_End, Qt::ShiftModifier);
    QCOMPARE(view->selectedText(), text.mid(linear));
    QTest::keyClick(window.get(), Qt::Key_Home, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(view->selectedText(), text.left(linear));

    // Without Shift the selection goes; the place moves on.
    QTest::keyClick(window.get(), Qt::Key_Right);
    QVERIFY(!view->hasSelection());
    QTest::keyClick(window.get(), Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(view->selectedText(), text.mid(1, 1));
}

void TestRichTextView::doubleAndTripleClicksSelectAWordAndAParagraph()
{
    showAnswer(MarkdownRenderer::toHtml(longText()));
    const QString text = view->text();
    const int smooth = text.indexOf(QStringLiteral("smooth"));
    RichTextPiece* first = pieces().constFirst();
    const QPoint inWord =
        first->mapToScene(first->content().cursorRect(smooth + 2).center()).toPoint();
    QTest::mouseDClick(window.get(), Qt::LeftButton, Qt::NoModifier, inWord);
    QCOMPARE(view->selectedText(), QStringLiteral("smooth"));
    QTest::mousePress(window.get(), Qt::LeftButton, Qt::NoModifier, inWord);
    QTest::mouseRelease(window.get(), Qt::LeftButton, Qt::NoModifier, inWord);
    QCOMPARE(view->selectedText(),
             QStringLiteral("Linear switches feel smooth from top to bottom, while tactile ones "
                            "give a bump; press Fn and hold."));
}

void TestRichTextView::selectAllAndCopyGiveOneText()
{
    showAnswer(MarkdownRenderer::toHtml(mixedAnswer()));
    QTest::mouseClick(window.get(), Qt::LeftButton, Qt::NoModifier, pointIn(0, 0.5, 0.1));
    QVERIFY(!view->hasSelection());
    QTest::keyClick(window.get(), Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(view->selectedText(), view->text());
    QTest::keyClick(window.get(), Qt::Key_C, Qt::ControlModifier);
    const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
    QVERIFY(copied);
    QCOMPARE(copied->text(), view->text());
    QCOMPARE(oneDocumentText(copied->html()), view->text());
    QVERIFY(copied->html().contains(QLatin1String("font-weight:600"))); // bold stays bold
}

void TestRichTextView::leavingTheViewClearsTheSelection()
{
    showAnswer(MarkdownRenderer::toHtml(longText()));
    view->forceActiveFocus();
    view->selectAll();
    QVERIFY(view->hasSelection());
    window->rootObject()->findChild<QQuickItem*>(QStringLiteral("elsewhere"))->forceActiveFocus();
    QVERIFY(!view->hasSelection());
}

// The last piece is the one that changes while an answer streams in; a selection in it (and one
// that reaches into it from before) stays at every update.
void TestRichTextView::aSelectionSurvivesEveryUpdateOfTheGrowingPiece()
{
    const QString markdown = longText();
    int length = markdown.size() / 3;
    showAnswer(MarkdownRenderer::toHtml(markdown.left(length)));
    const int last = pieces().size() - 1;
    QVERIFY(last >= 1);
    // The list shows the last two pieces.
    QQuickItem* list = window->rootObject()->findChild<QQuickItem*>(QStringLiteral("list"));
    list->setProperty("contentY", std::max(0, pointIn(last, 0, 1).y() - 700));
    window->grabWindow();
    QVERIFY(pointIn(last - 1, 0, 0.8).y() > 0);
    drag(pointIn(last - 1, 0.6, 0.8), pointIn(last, 0.5, 0.2));
    const QString selected = view->selectedText();
    QVERIFY(selected.contains(QLatin1Char('\n')));
    for (; length < markdown.size(); length += 23) {
        view->setHtml(MarkdownRenderer::toHtml(markdown.left(length)));
        QCOMPARE(view->selectedText(), selected);
    }
    QVERIFY(pieces().size() > last + 1);
    // Another text altogether takes the selection away.
    showAnswer(QStringLiteral("Generating response..."));
    QCOMPARE(pieces().size(), 1);
    QVERIFY(view->selectedText().isEmpty());
}

// A piece that grows past the height of the tiles it was first drawn in gets more tiles, while
// the pieces after it come and go; every tile must be drawn in its piece's place, clipped, not
// at the window's corner.
void TestRichTextView::aPieceThatGrowsIsDrawnInItsPlace()
{
    QString markdown =
        QStringLiteral("## Streaming\n\nThis answer is **streamed** piece by piece.");
    for (int line = 0; line < 12; ++line)
        markdown += QStringLiteral("\n\n%1. A point about switches and keycaps.").arg(line + 1);
    markdown +=
        QStringLiteral("\n\n## Sample code\n\n```cpp\nint main() { return 0; }\n```\n\nEnd.");
    StreamingMarkdownRenderer renderer;
    for (int length = 7; length < markdown.size() + 7; length += 7)
        showAnswer(renderer.render(markdown.left(length)));
    QVERIFY(pieces().constFirst()->height() > VisibleTiles::TileHeight);
    const QImage shot = window->grabWindow();
    const QColor background = shot.pixelColor(5, 5);
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < 12; ++x) // left of the view: nothing of it
            QCOMPARE(shot.pixelColor(x, y), background);
    }
}

// The tiles of a growing piece are painted again only from where its content changed; at every
// step a frame is drawn, and the last one has the pixels of the final answer shown at once.
void TestRichTextView::aGrowingAnswerIsDrawnAsTheAnswerShownWhole()
{
    QString markdown = QStringLiteral(
        "Linear switches feel **smooth**, tactile ones give a *bump* and clicky ones click.\n\n"
        "> Pick what you enjoy.\n\n- one\n- two\n\n| Switch | Force |\n|---|--:|\n");
    for (int row = 1; row <= 14; ++row)
        markdown += QStringLiteral("| Model %1 | %2 g |\n").arg(row).arg(40 + row);
    markdown += QStringLiteral("\nThe lighter the switch, the faster the typing; the heavier, "
                               "the fewer the mistakes.");
    StreamingMarkdownRenderer renderer;
    for (int length = 5; length < markdown.size() + 5; length += 5) {
        showAnswer(renderer.render(markdown.left(length)));
        window->grabWindow();
    }
    const QImage streamed = window->grabWindow();
    cleanup();
    init();
    showAnswer(MarkdownRenderer::toHtml(markdown));
    QCOMPARE(window->grabWindow(), streamed);
}

void TestRichTextView::aCodeBlockCopiesExactlyItsCodeAndScrollsSideways()
{
    const QString code = QStringLiteral(
        "def press(key, force=45):\n    \"\"\"<b>Press</b> & report.\"\"\"\n\n"
        "    return board.press(key, force=force)  # a long comment that goes well beyond the "
        "width of the answer");
    showAnswer(MarkdownRenderer::toHtml(QStringLiteral("Before.\n\n```python\n") + code
                                        + QStringLiteral("\n```\n\nAfter.")));
    QCOMPARE(pieces().size(), 3);
    RichTextPiece* piece = pieces().at(1);
    QCOMPARE(piece->kind(), QStringLiteral("code"));
    QCOMPARE(piece->source(), code);
    QCOMPARE(piece->language(), QStringLiteral("python"));
    // Highlighted: the keyword has a format of its own.
    QTextDocument* document = piece->content().documents().constFirst();
    QVERIFY(!document->firstBlock().layout()->formats().isEmpty());

    QQuickItem* button = nullptr;
    QTRY_VERIFY((button = findItem(window->contentItem(), QStringLiteral("codeCopyButton"))));
    QTRY_VERIFY(button->isVisible() && button->width() > 0);
    QGuiApplication::clipboard()->clear();
    QTest::mouseClick(
        window.get(), Qt::LeftButton, Qt::NoModifier,
        button->mapToScene(QPointF(button->width() / 2, button->height() / 2)).toPoint());
    QCOMPARE(QGuiApplication::clipboard()->text(), code);
    QVERIFY(!view->hasSelection()); // the button is not the text

    QQuickItem* scroller = findItem(window->contentItem(), QStringLiteral("codeScroller"));
    QVERIFY(scroller);
    QVERIFY(scroller->property("contentWidth").toReal() > scroller->width() + 50);
    QVERIFY(scroller->width() <= view->width());
    // A drag over the code selects it; it does not scroll the block.
    RichTextPiece* codePiece = pieces().at(1);
    drag(codePiece->mapToScene(QPointF(1, 5)).toPoint(),
         codePiece->mapToScene(QPointF(200, 5)).toPoint());
    QVERIFY2(view->selectedText().startsWith(QStringLiteral("def")),
             qPrintable(view->selectedText()));
    QCOMPARE(scroller->property("contentX").toReal(), 0.0);
}

void TestRichTextView::tablesFitTheAnswerOrScrollSideways()
{
    QString wide =
        QStringLiteral("| a | b | c | d | e | f | g | h |\n|---|---|---|---|---|---|---|---|\n");
    for (int row = 0; row < 25; ++row)
        wide +=
            QStringLiteral("| configuration | responsiveness | keyboard | firmware | actuation | "
                           "travel distance | sound | switches |\n");
    showAnswer(MarkdownRenderer::toHtml(
        QStringLiteral("| Left | Right |\n|:--|--:|\n| a | 1 |\n| b | 22 |\n\n") + wide));
    QCOMPARE(pieces().size(), 2);
    RichTextPiece* narrow = pieces().at(0);
    QCOMPARE(narrow->kind(), QStringLiteral("table"));
    QVERIFY(narrow->implicitWidth() < view->width() / 2);
    QTextDocument* document = narrow->content().documents().constFirst();
    const QTextTable* table = PieceStyle::tableOf(*document);
    QVERIFY(table);
    QCOMPARE(table->cellAt(1, 1).firstCursorPosition().blockFormat().alignment() & Qt::AlignRight,
             Qt::AlignRight);
    QCOMPARE(table->cellAt(0, 1).firstCursorPosition().blockFormat().alignment() & Qt::AlignRight,
             Qt::AlignRight);
    QVERIFY(table->cellAt(0, 0).format().background().style() != Qt::NoBrush); // shaded header
    QCOMPARE(table->cellAt(1, 0).format().background().style(), Qt::NoBrush);

    RichTextPiece* scrolled = pieces().at(1);
    QVERIFY(scrolled->implicitWidth() > view->width());
    QVERIFY(scrolled->content().documents().size() > 1); // a few rows per document
    QCOMPARE(scrolled->content().plainText(0, scrolled->content().length()),
             oneDocumentText(MarkdownRenderer::toHtml(wide)).trimmed());
}

// An answer stored by an older version may hold remote images; showing it fetches nothing.
void TestRichTextView::anOldAnswerFetchesNothing()
{
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    int connections = 0;
    connect(&server, &QTcpServer::newConnection, this, [&] { ++connections; });
    const QString url = QStringLiteral("http://127.0.0.1:%1/x.png").arg(server.serverPort());
    const QString html =
        MarkdownRenderer::toHtml(QStringLiteral("Look:\n\n| a |\n|---|\n| b |"))
            .replace(QStringLiteral("Look:"), QStringLiteral("Look: <img src=\"%1\" />").arg(url));
    QVERIFY(html.contains(url));
    showAnswer(html);
    QVERIFY(!server.waitForNewConnection(300));
    QCOMPARE(connections, 0);
}

QTEST_MAIN(TestRichTextView)
#include "tst_richtextview.moc"
