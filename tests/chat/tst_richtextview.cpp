#include "chat/markdownrenderer.h"
#include "chat/outofviewdelay.h"
#include "chat/richtextsegments.h"
#include "chat/richtextview.h"

#include <QAbstractTextDocumentLayout>
#include <QClipboard>
#include <QMimeData>
#include <QQmlComponent>
#include <QQmlProperty>
#include <QQuickTextDocument>
#include <QQuickView>
#include <QTextBlock>
#include <QTextDocument>
#include <QtTest>

#include <memory>

// A long answer shown in pieces must look, select and copy like one text.
class TestRichTextView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void piecesSitWhereOneDocumentPutsItsBlocks_data();
    void piecesSitWhereOneDocumentPutsItsBlocks();
    void aDragSelectsAcrossPieces();
    void keysSelectAllAndCopyOneText();
    void leavingTheViewClearsTheSelection();
    void aSelectionSurvivesTheAnswerGrowing();
    void aChangeBelowTheListWaitsUntilItIsDueOrInView();

private:
    void showAnswer(const QString& html);
    QVector<QQuickItem*> pieces() const;
    QPoint pointIn(int piece, qreal fractionX, qreal fractionY) const;
    int positionAt(int piece, const QPoint& windowPoint) const;

    std::unique_ptr<QQuickView> window;
    RichTextView* view = nullptr;
};

namespace {

// The answer delegate of the chat panel, less its theme.
const char* const ViewQml = R"QML(
import QtQuick 2.15
import Lumora.Chat 1.0
Item {
    width: 486; height: 2400
    Flickable {
        objectName: "list"
        anchors.fill: parent
        contentHeight: answer.height + 2000 // a drag could always scroll it
        RichTextView {
            id: answer
            objectName: "answer"
            width: 486
            Repeater {
                model: answer.segments
                delegate: TextEdit {
                    width: answer.width
                    textFormat: TextEdit.RichText
                    wrapMode: TextEdit.Wrap
                    readOnly: true
                    selectByMouse: true
                    font.pixelSize: 14
                    text: model.html
                }
            }
        }
    }
    TextEdit { objectName: "elsewhere"; y: 2390; width: 100; height: 10 }
}
)QML";

QString longAnswer(bool tables)
{
    QString text;
    for (int i = 0; i < 12; ++i) {
        text += QStringLiteral("## Part %1\n\nLinear switches feel **smooth** from top to bottom, "
                               "while tactile ones give a *bump*.\n\n- one\n- two\n\n"
                               "```\nint keys = %1;\n```\n\n> A quote.\n\n键盘的手感因人而异。\n\n")
                    .arg(i);
        if (tables)
            text +=
                QStringLiteral("| a | b |\n|---|---|\n| %1 | 2 |\n\nAfter the table.\n\n").arg(i);
    }
    return text + QStringLiteral("The end.");
}

QTextDocument* documentOf(QQuickItem* piece)
{
    return piece->property("textDocument").value<QQuickTextDocument*>()->textDocument();
}

} // namespace

void TestRichTextView::initTestCase()
{
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

// Shows html and waits until every piece shows its part and the view has stacked them.
void TestRichTextView::showAnswer(const QString& html)
{
    QTextDocument whole;
    whole.setHtml(html);
    view->setHtml(html);
    QTRY_COMPARE(view->text(), whole.toPlainText());
    window->grabWindow();
}

QVector<QQuickItem*> TestRichTextView::pieces() const
{
    QVector<QQuickItem*> found;
    for (QQuickItem* child : view->childItems()) {
        if (child->property("textDocument").isValid())
            found.append(child);
    }
    return found;
}

QPoint TestRichTextView::pointIn(int piece, qreal fractionX, qreal fractionY) const
{
    QQuickItem* item = pieces().at(piece);
    return item->mapToScene(QPointF(item->width() * fractionX, item->height() * fractionY))
        .toPoint();
}

int TestRichTextView::positionAt(int piece, const QPoint& windowPoint) const
{
    QQuickItem* item = pieces().at(piece);
    const QPointF local = item->mapFromScene(windowPoint);
    int position = -1;
    QMetaObject::invokeMethod(item, "positionAt", Q_RETURN_ARG(int, position),
                              Q_ARG(qreal, local.x()), Q_ARG(qreal, local.y()));
    return position;
}

void TestRichTextView::piecesSitWhereOneDocumentPutsItsBlocks_data()
{
    QTest::addColumn<bool>("tables");
    QTest::newRow("prose") << false;
    QTest::newRow("tables") << true;
}

// Every block of every piece is where one edit with the whole answer would put it, and the
// view is as high as that edit.
void TestRichTextView::piecesSitWhereOneDocumentPutsItsBlocks()
{
    QFETCH(bool, tables);
    const QString html = MarkdownRenderer::toHtml(longAnswer(tables));
    showAnswer(html);
    QVERIFY(pieces().size() > 2);
    QCOMPARE(pieces().size(), view->segments()->count());

    QQmlComponent component(window->engine());
    component.setData("import QtQuick 2.15\nTextEdit { width: 486; textFormat: TextEdit.RichText;"
                      " wrapMode: TextEdit.Wrap; font.pixelSize: 14 }",
                      QUrl());
    std::unique_ptr<QQuickItem> whole(qobject_cast<QQuickItem*>(component.create()));
    QVERIFY(whole);
    whole->setParentItem(window->contentItem());
    whole->setVisible(false);
    whole->setProperty("text", html);
    QTextDocument* wholeDocument = documentOf(whole.get());

    QTextBlock expected = wholeDocument->begin();
    int compared = 0;
    for (QQuickItem* piece : pieces()) {
        QTextDocument* document = documentOf(piece);
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
            QVERIFY(expected.isValid());
            QCOMPARE(block.text(), expected.text());
            const qreal y = piece->y() + document->documentLayout()->blockBoundingRect(block).y();
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
    QVERIFY(compared > 50);
    QVERIFY(qAbs(view->height() - whole->property("contentHeight").toReal()) < 1);
    QCOMPARE(view->text(), wholeDocument->toPlainText());
}

// A drag from the middle of the first piece into the third selects the end of the first, the
// second whole and the start of the third, as one text.
void TestRichTextView::aDragSelectsAcrossPieces()
{
    showAnswer(MarkdownRenderer::toHtml(longAnswer(false)));
    QVERIFY(pieces().size() > 3);
    QVERIFY(pieces().at(2)->y() + pieces().at(2)->height() / 2 < window->height() - 20);
    const QPoint from = pointIn(0, 0.5, 0.5);
    const QPoint to = pointIn(2, 0.3, 0.4);
    QTest::mousePress(window.get(), Qt::LeftButton, Qt::NoModifier, from);
    // Moved in small steps, as a hand does, so the list could take the drag over.
    for (int step = 1; step <= 20; ++step)
        QTest::mouseMove(window.get(), from + (to - from) * step / 20, 5);
    QTest::mouseRelease(window.get(), Qt::LeftButton, Qt::NoModifier, to);

    const QString text = view->text();
    const int start = positionAt(0, from);
    const int end = documentOf(pieces().at(0))->toPlainText().size() + 1
        + documentOf(pieces().at(1))->toPlainText().size() + 1 + positionAt(2, to);
    QVERIFY(view->hasSelection());
    QCOMPARE(view->selectedText(), text.mid(start, end - start));
    QCOMPARE(pieces().at(1)->property("selectedText").toString().size(),
             pieces().at(1)->property("length").toInt());
    QVERIFY(pieces().at(3)->property("selectedText").toString().isEmpty());
    // The list around the view did not take the drag over to scroll.
    QCOMPARE(window->rootObject()
                 ->findChild<QQuickItem*>(QStringLiteral("list"))
                 ->property("contentY")
                 .toReal(),
             0.0);
    // The pieces never take the selection on themselves.
    QVERIFY(!pieces().at(0)->hasActiveFocus());
    QVERIFY(view->hasActiveFocus());

    QTest::keyClick(window.get(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), text.mid(start, end - start));

    // A double click selects one word of a piece and nothing else.
    QTest::mouseDClick(window.get(), Qt::LeftButton, Qt::NoModifier, pointIn(1, 0.1, 0.02));
    QVERIFY(view->hasSelection());
    QVERIFY(!view->selectedText().contains(QLatin1Char(' ')));
    QVERIFY(pieces().at(0)->property("selectedText").toString().isEmpty());
}

void TestRichTextView::keysSelectAllAndCopyOneText()
{
    showAnswer(MarkdownRenderer::toHtml(longAnswer(true)));
    QVERIFY(pieces().size() > 2);
    QTest::mouseClick(window.get(), Qt::LeftButton, Qt::NoModifier, pointIn(0, 0.5, 0.1));
    QVERIFY(!view->hasSelection());
    QTest::keyClick(window.get(), Qt::Key_A, Qt::ControlModifier);
    QVERIFY(view->hasSelection());
    QCOMPARE(view->selectedText(), view->text());
    QTest::keyClick(window.get(), Qt::Key_C, Qt::ControlModifier);
    const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
    QVERIFY(copied);
    QCOMPARE(copied->text(), view->text());
    QTextDocument pasted;
    pasted.setHtml(copied->html());
    QCOMPARE(pasted.toPlainText(), view->text());
    QVERIFY(copied->html().contains(QLatin1String("font-weight:600"))); // bold stays bold
}

void TestRichTextView::leavingTheViewClearsTheSelection()
{
    showAnswer(MarkdownRenderer::toHtml(longAnswer(false)));
    QVERIFY(pieces().size() > 1);
    view->selectAll();
    QVERIFY(view->hasSelection());
    auto* elsewhere = window->rootObject()->findChild<QQuickItem*>(QStringLiteral("elsewhere"));
    view->forceActiveFocus();
    elsewhere->forceActiveFocus();
    QVERIFY(!view->hasSelection());
    for (QQuickItem* piece : pieces())
        QVERIFY(piece->property("selectedText").toString().isEmpty());
}

void TestRichTextView::aSelectionSurvivesTheAnswerGrowing()
{
    const QString markdown = longAnswer(false);
    showAnswer(MarkdownRenderer::toHtml(markdown.left(markdown.size() / 2)));
    QVERIFY(pieces().size() > 1);
    const QPoint from = pointIn(0, 0.2, 0.2);
    QTest::mousePress(window.get(), Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(window.get(), pointIn(0, 0.8, 0.6));
    QTest::mouseRelease(window.get(), Qt::LeftButton, Qt::NoModifier, pointIn(0, 0.8, 0.6));
    const QString selected = view->selectedText();
    QVERIFY(!selected.isEmpty());
    showAnswer(MarkdownRenderer::toHtml(markdown));
    QVERIFY(pieces().size() > 2);
    QCOMPARE(view->selectedText(), selected);
    // Another answer altogether takes the selection away.
    showAnswer(QStringLiteral("Generating response..."));
    QCOMPARE(pieces().size(), 1);
    QVERIFY(!view->hasSelection());
}

// While the user reads the start of a long answer in a list that clips it, the end that grows
// below the list is not laid out at every event: it catches up from time to time, and at once
// when it is scrolled into view. A change to what is in view is never held back.
void TestRichTextView::aChangeBelowTheListWaitsUntilItIsDueOrInView()
{
    QQuickItem* list = window->rootObject()->findChild<QQuickItem*>(QStringLiteral("list"));
    list->setClip(true);
    QQmlProperty::write(list, QStringLiteral("anchors.bottomMargin"), 2400 - 300);
    auto* delay = view->findChild<OutOfViewDelay*>();
    QVERIFY(delay);
    const QString markdown = longAnswer(false);
    showAnswer(MarkdownRenderer::toHtml(markdown));
    QVERIFY(pieces().size() > 2);
    QVERIFY(pieces().constLast()->y() > 300);
    auto lastPieceShows = [this](const QString& words) {
        return documentOf(pieces().constLast())->toPlainText().contains(words);
    };

    // Held back, then let through when due.
    delay->setCatchUpInterval(50);
    const QString grown = MarkdownRenderer::toHtml(markdown + QStringLiteral(" More words."));
    view->setHtml(grown);
    QCOMPARE(view->html(), grown);
    QVERIFY(!lastPieceShows(QStringLiteral("More words.")));
    QTRY_VERIFY(lastPieceShows(QStringLiteral("More words.")));

    // Held back, then let through when the list scrolls to it.
    delay->setCatchUpInterval(600000);
    view->setHtml(MarkdownRenderer::toHtml(markdown + QStringLiteral(" More words. And more.")));
    QVERIFY(!lastPieceShows(QStringLiteral("And more.")));
    list->setProperty("contentY", pieces().constLast()->y());
    QTRY_VERIFY(lastPieceShows(QStringLiteral("And more.")));

    // In view: shown at once.
    view->setHtml(MarkdownRenderer::toHtml(markdown + QStringLiteral(" More words. And the end.")));
    QVERIFY(lastPieceShows(QStringLiteral("And the end.")));

    // Reading the text shows what was held back.
    list->setProperty("contentY", 0);
    QTRY_VERIFY(pieces().constLast()->mapToScene(QPointF()).y() > 300);
    view->setHtml(MarkdownRenderer::toHtml(markdown + QStringLiteral(" More words. Last.")));
    QVERIFY(!lastPieceShows(QStringLiteral("Last.")));
    QVERIFY(view->text().endsWith(QStringLiteral("Last.")));
}

QTEST_MAIN(TestRichTextView)
#include "tst_richtextview.moc"
