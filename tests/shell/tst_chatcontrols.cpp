#include "chatviewfixture.h"

#include "chat/chathistorystore.h"
#include "chat/conversationfiltermodel.h"
#include "chat/dialoginfomodel.h"
#include "chat/dialogmanager.h"
#include "chat/dialogmodel.h"
#include "service/ovseverhandler.h"
#include "shell/exportfiledialog.h"
#include "shell/viewhandler.h"
#include "support/standinclient.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QQuickItem>
#include <QStandardPaths>
#include <QtTest>

namespace {

const QDateTime Start(QDate(2026, 3, 1), QTime(9, 0));

QString nameAt(int minutes)
{
    return Start.addSecs(minutes * 60).toString(QStringLiteral("yyyyMMddHHmmss"));
}

ChatHistoryStore store()
{
    return ChatHistoryStore(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation));
}

void writeConversation(int minutes, const QString& title, const QString& question)
{
    const ChatHistoryStore history = store();
    history.loadIndex();
    history.appendIndexEntry(title, nameAt(minutes), Start.addSecs(minutes * 60));
    history.appendMessage(nameAt(minutes), true, 0, question, QString());
    history.appendMessage(nameAt(minutes), false, 1, QStringLiteral("<p>An answer.</p>"),
                          QString());
}

} // namespace

// The controls of the chat window on a real X server: the stop button, Escape and the AI key
// while an answer streams or not, the history's search, delete and export, and the allowance.
class TestChatControls : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void stopButtonReplacesSendWhileStreaming();
    void escapeStopsThenHides();
    void aiKeyStopsThenHides();
    void searchFieldFiltersTheHistory();
    void deleteAsksFirst();
    void exportThroughTheSaveDialog();
    void allowanceInTheBar_data();
    void allowanceInTheBar();

private:
    void startView(const QString& sn = QStringLiteral("SN"));
    // Sends a question the stand-in answers halfway, then holds; returns once text is shown.
    void askAndHold();
    void openHistory();
    DialogManager* manager() const { return handler->dialogManager(); }

    ChatViewFixture fixture;
    ViewHandler* handler = nullptr;
};

void TestChatControls::initTestCase()
{
    Q_INIT_RESOURCE(qml);
    QVERIFY(fixture.startServer({QStringLiteral("--pace-ms"), QStringLiteral("20")}));
}

void TestChatControls::init()
{
    fixture.init();
}

void TestChatControls::cleanup()
{
    handler = nullptr;
    fixture.cleanup();
}

void TestChatControls::startView(const QString& sn)
{
    handler = fixture.startView(sn);
    QVERIFY(handler);
    handler->requestActivate();
    QTRY_VERIFY(handler->isActive());
}

void TestChatControls::askAndHold()
{
    fixture.item(QStringLiteral("input"))
        ->setProperty("text", QStringLiteral("Tell me everything [fault:hold]"));
    QVERIFY(fixture.click(fixture.item(QStringLiteral("sendButton"))));
    QVERIFY(manager()->answering());
    QTRY_VERIFY_WITH_TIMEOUT(
        manager()->dialogModel()->contentAt(1).contains(QLatin1String("<html>")), 15000);
}

void TestChatControls::openHistory()
{
    QVERIFY(fixture.click(fixture.item(QStringLiteral("pullUpButton"))));
    QVERIFY(fixture.click(fixture.item(QStringLiteral("historyButton"))));
    QTRY_VERIFY(fixture.item(QStringLiteral("historyPanel"))->isVisible());
}

void TestChatControls::stopButtonReplacesSendWhileStreaming()
{
    startView();
    QQuickItem* send = fixture.item(QStringLiteral("sendButton"));
    QQuickItem* stop = fixture.item(QStringLiteral("stopButton"));
    QVERIFY(send->isVisible());
    QVERIFY(!stop->isVisible());

    askAndHold();
    QVERIFY(stop->isVisible());
    QVERIFY(!send->isVisible());
    QCOMPARE(stop->mapToScene(QPointF()), send->mapToScene(QPointF()));
    const QString shown = manager()->dialogModel()->contentAt(1);

    QVERIFY(fixture.click(stop));
    QVERIFY(!manager()->answering());
    QVERIFY(manager()->responseGenerated());
    QCOMPARE(manager()->dialogModel()->contentAt(1).left(100), shown.left(100));
    QTRY_VERIFY(send->isVisible());
    QVERIFY(!stop->isVisible());
    QVERIFY(fixture.item(QStringLiteral("copyButton"))->isEnabled());
}

void TestChatControls::escapeStopsThenHides()
{
    startView();
    askAndHold();
    QTest::keyClick(handler, Qt::Key_Escape);
    QVERIFY(!manager()->answering());
    QVERIFY(handler->isVisible());

    // Escape in the title editor only ends the rename.
    writeConversation(0, QStringLiteral("Old title"), QStringLiteral("q"));
    QQuickItem* title = nullptr;
    handler->setTopScreen(true); // the key events below must not tuck the window away
    QVERIFY(fixture.click(fixture.item(QStringLiteral("historyButton"))));
    QVERIFY((title = fixture.item(QStringLiteral("historyTitle"))));
    QTest::mouseDClick(handler, Qt::LeftButton, Qt::NoModifier,
                       title->mapToScene(QPointF(10, title->height() / 2)).toPoint());
    QQuickItem* editor = fixture.item(QStringLiteral("historyTitleEditor"));
    QTRY_VERIFY(editor->hasActiveFocus());
    QTest::keyClick(handler, Qt::Key_Escape);
    QTRY_VERIFY(!editor->isVisible());
    QVERIFY(handler->isVisible());

    QTest::keyClick(handler, Qt::Key_Escape);
    QTRY_VERIFY(!handler->isVisible());
}

void TestChatControls::aiKeyStopsThenHides()
{
    StandInClient standIn(fixture.server().baseUrl());
    startView(QStringLiteral("SN-KEY"));
    askAndHold();
    const int countRequests = standIn.requestCount(QStringLiteral("/v1/ai/api/getCount"));

    QSignalSpy replies(handler->serverHandler(), &OvSeverHandler::sigAIApiReply);
    handler->slotAiRequest(QStringLiteral("SN-KEY"));
    QVERIFY(!manager()->answering());
    QVERIFY(handler->isVisible());

    handler->slotAiRequest(QStringLiteral("SN-KEY"));
    QVERIFY(!handler->isVisible());
    // The stopped answer was counted; the service's reply does not bring the bar back.
    QTRY_VERIFY_WITH_TIMEOUT(!replies.isEmpty(), 10000);
    QCOMPARE(replies.constLast().at(0).value<OvSeverHandler::OvApiType>(),
             OvSeverHandler::API_ADD_COUNT);
    QVERIFY(!handler->isVisible());
    QCOMPARE(standIn.requestCount(QStringLiteral("/v1/ai/api/getCount")), countRequests);

    // Away, the key brings the bar back as always.
    handler->slotAiRequest(QStringLiteral("SN-KEY"));
    QVERIFY(handler->isVisible());
    QTRY_COMPARE_WITH_TIMEOUT(standIn.requestCount(QStringLiteral("/v1/ai/api/getCount")),
                              countRequests + 1, 10000);
}

void TestChatControls::searchFieldFiltersTheHistory()
{
    writeConversation(0, QStringLiteral("Keyboard care"), QStringLiteral("Clean the keycaps?"));
    writeConversation(1, QStringLiteral("Macros"), QStringLiteral("Record a macro?"));
    writeConversation(2, QStringLiteral("Lighting"), QStringLiteral("Which colours?"));
    startView();
    openHistory();
    QCOMPARE(fixture.items(QStringLiteral("historyEntry")).size(), 3);

    QQuickItem* field = fixture.item(QStringLiteral("historySearch"));
    QVERIFY(fixture.click(field));
    QTRY_VERIFY(field->hasActiveFocus());
    fixture.type("KEY");
    QTRY_COMPARE(manager()->historyModel()->searchText(), QStringLiteral("KEY"));
    QTRY_COMPARE(fixture.items(QStringLiteral("historyTitle")).size(), 1);
    QCOMPARE(fixture.item(QStringLiteral("historyTitle"))->property("text").toString(),
             QStringLiteral("Keyboard care"));

    // Choosing a found conversation opens it.
    QVERIFY(fixture.click(fixture.item(QStringLiteral("historyEntry"))));
    QCOMPARE(manager()->currentIndex(), 0);
    QCOMPARE(manager()->dialogModel()->contentAt(0), QStringLiteral("Clean the keycaps?"));

    QVERIFY(fixture.click(field));
    fixture.type("zzz");
    QQuickItem* state = fixture.item(QStringLiteral("searchState"));
    QTRY_VERIFY(state->isVisible());
    QTRY_COMPARE(state->property("text").toString(), QStringLiteral("No conversation found"));

    // Escape empties the field, and the list is whole again.
    QTest::keyClick(handler, Qt::Key_Escape);
    QCOMPARE(field->property("text").toString(), QString());
    QVERIFY(handler->isVisible());
    QTRY_COMPARE(fixture.items(QStringLiteral("historyEntry")).size(), 3);
    QVERIFY(!state->isVisible());
}

void TestChatControls::deleteAsksFirst()
{
    writeConversation(0, QStringLiteral("Keep me"), QStringLiteral("q"));
    writeConversation(1, QStringLiteral("Delete me"), QStringLiteral("q"));
    startView();
    openHistory();
    QQuickItem* entry = fixture.items(QStringLiteral("historyEntry")).at(1);
    QQuickItem* remove = fixture.items(QStringLiteral("deleteButton")).at(1);
    QVERIFY(!remove->isVisible());
    QVERIFY(fixture.hoverUntilVisible(entry, remove));

    QVERIFY(fixture.click(remove));
    QQuickItem* confirmation = fixture.item(QStringLiteral("deleteConfirmation"));
    QVERIFY(confirmation);
    QTRY_VERIFY(confirmation->isVisible());
    QVERIFY(fixture.click(fixture.item(QStringLiteral("cancelDelete"))));
    QTRY_VERIFY(!confirmation->isVisible());
    QCOMPARE(manager()->dialogInfoModel()->rowCount(), 2);

    QVERIFY(fixture.hoverUntilVisible(entry, remove));
    QVERIFY(fixture.click(remove));
    QTRY_VERIFY(confirmation->isVisible());
    QVERIFY(fixture.click(fixture.item(QStringLiteral("confirmDelete"))));
    QTRY_COMPARE(fixture.items(QStringLiteral("historyEntry")).size(), 1);
    QCOMPARE(manager()->dialogInfoModel()->items().at(0).title, QStringLiteral("Keep me"));
    QVERIFY(!QFileInfo::exists(store().conversationPath(nameAt(1))));
}

void TestChatControls::exportThroughTheSaveDialog()
{
    writeConversation(0, QStringLiteral("Trip: plans/ideas"), QStringLiteral("Where to?"));
    startView();
    openHistory();
    QQuickItem* exportButton = fixture.item(QStringLiteral("exportButton"));
    QVERIFY(fixture.hoverUntilVisible(fixture.item(QStringLiteral("historyEntry")), exportButton));
    QSignalSpy finished(handler, &ViewHandler::exportFinished);

    QVERIFY(fixture.click(exportButton));
    QFileDialog* dialog = handler->exportDialog()->dialog();
    QVERIFY(dialog);
    QTRY_VERIFY(dialog->isVisible());
    QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
    QCOMPARE(QFileInfo(dialog->selectedFiles().value(0)).fileName(),
             QStringLiteral("Trip plans ideas.md"));
    // The chat stays up while its dialog has the focus.
    QTRY_VERIFY(dialog->isActiveWindow());
    QVERIFY(handler->isVisible());
    QVERIFY(!(handler->windowStates() & Qt::WindowMinimized));

    const QString path = fixture.environment()->path(QStringLiteral("trip.md"));
    // Typed into the file name field, then Save.
    QLineEdit* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(name);
    name->setText(path);
    static_cast<QDialog*>(dialog)->accept(); // QFileDialog::accept(), as the Save button
    QTRY_COMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(1).toString(), QDir::toNativeSeparators(path));
    QCOMPARE(finished.at(0).at(0).toBool(), true);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().startsWith("# Trip: plans/ideas\n"));
    QQuickItem* notice = fixture.item(QStringLiteral("notice"));
    QTRY_VERIFY(notice->isVisible());
    QVERIFY(fixture.item(QStringLiteral("noticeText"))
                ->property("text")
                .toString()
                .contains(QLatin1String("trip.md")));
    QTRY_VERIFY(!handler->exportDialog()->dialog());

    // A file that cannot be written is said so.
    QVERIFY(fixture.hoverUntilVisible(fixture.item(QStringLiteral("historyEntry")), exportButton));
    QVERIFY(fixture.click(exportButton));
    QTRY_VERIFY(handler->exportDialog()->dialog());
    emit handler->exportDialog()->chosen(fixture.environment()->path(QStringLiteral("no/x.md")));
    QTRY_COMPARE(finished.count(), 2);
    QCOMPARE(finished.at(1).at(0).toBool(), false);
    QVERIFY(fixture.item(QStringLiteral("noticeText"))
                ->property("text")
                .toString()
                .startsWith(QLatin1String("Could not export")));
    handler->exportDialog()->dialog()->reject();
}

void TestChatControls::allowanceInTheBar_data()
{
    QTest::addColumn<int>("used");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("low");
    QTest::newRow("plenty") << 0 << QStringLiteral("50 questions left") << false;
    QTest::newRow("near the end") << 45 << QStringLiteral("5 questions left") << true;
    QTest::newRow("the last one") << 49 << QStringLiteral("1 question left") << true;
    QTest::newRow("used up") << 50 << QStringLiteral("0 questions left") << true;
}

void TestChatControls::allowanceInTheBar()
{
    QFETCH(int, used);
    QFETCH(QString, text);
    QFETCH(bool, low);
    StandInClient standIn(fixture.server().baseUrl());
    const QString sn = QStringLiteral("SN-ALLOWANCE-%1").arg(used);
    for (int i = 0; i < used; ++i)
        standIn.count(QStringLiteral("/v1/ai/api/addCount"), sn);
    startView(sn);
    QQuickItem* allowance = fixture.item(QStringLiteral("allowance"));
    QTRY_VERIFY(allowance->isVisible());
    QCOMPARE(allowance->property("text").toString(), text);
    QCOMPARE(handler->allowanceLow(), low);
    const QColor warning(QStringLiteral("#D9480F"));
    QCOMPARE(allowance->property("color").value<QColor>() == warning, low);
    // It sits in the input box, left of the send button, and the typing area ends before it.
    QQuickItem* send = fixture.item(QStringLiteral("sendButton"));
    QVERIFY(allowance->mapToScene(QPointF(allowance->width(), 0)).x()
            <= send->mapToScene(QPointF()).x());
    QQuickItem* input = fixture.item(QStringLiteral("input"));
    QVERIFY(input->mapToScene(QPointF(input->width(), 0)).x()
            <= allowance->mapToScene(QPointF()).x());
}

QTEST_MAIN(TestChatControls)
#include "tst_chatcontrols.moc"
