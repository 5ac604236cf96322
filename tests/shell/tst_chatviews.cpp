#include "support/devserverprocess.h"
#include "support/testenvironment.h"

#include "chat/chathistorystore.h"
#include "chat/dialogmanager.h"
#include "chat/dialogmodel.h"
#include "core/jsonfile.h"
#include "service/ovseverhandler.h"
#include "shell/chatplacement.h"
#include "shell/localonlynetworkaccessmanager.h"
#include "shell/thememanager.h"
#include "shell/viewhandler.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QNetworkReply>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextDocument>
#include <QtTest>

#include <memory>

namespace {

const QString StoredFile = QStringLiteral("20260101120000");

// Counts the connections a loopback listener receives; each is answered with a tiny image so a
// fetch completes the way a real one would.
class Listener : public QObject
{
public:
    Listener()
    {
        server.listen(QHostAddress::LocalHost);
        connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server.nextPendingConnection()) {
                ++connections;
                connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                    socket->readAll();
                    socket->write("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n"
                                  "Connection: close\r\n\r\n");
                    socket->disconnectFromHost();
                });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }

    QString url(const QString& path) const
    {
        return QStringLiteral("http://127.0.0.1:%1/%2").arg(server.serverPort()).arg(path);
    }

    QTcpServer server;
    int connections = 0;
};

// Every item named `name` below root, in the visual tree: list delegates have no QObject
// parent, so findChild() does not reach them.
QList<QQuickItem*> itemsNamed(QQuickItem* root, const QString& name)
{
    QList<QQuickItem*> found;
    const QList<QQuickItem*> children = root->childItems();
    for (QQuickItem* child : children) {
        if (child->objectName() == name)
            found.append(child);
        found.append(itemsNamed(child, name));
    }
    return found;
}

int visibleCount(QQuickItem* root, const QString& name)
{
    int count = 0;
    for (QQuickItem* item : itemsNamed(root, name))
        count += item->isVisible() ? 1 : 0;
    return count;
}

// QTest has no keyClicks() for a QWindow.
void type(QWindow* window, const char* text)
{
    for (const char* c = text; *c; ++c)
        QTest::keyClick(window, *c);
}

// Runs the event loop for a while, stopping early once the listener saw a connection.
void watch(const Listener& listener, int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (listener.connections == 0 && timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

} // namespace

class TestChatViews : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void barAtStart();
    void sendOpensTheChatAboveTheBar();
    void ctrlEnterSendsAndEnterStartsANewLine();
    void pullUpHistoryAndFold();
    void multiLineInputGrowsTheBox();
    void blockedQuestions();
    void busyGuard();
    void modeButtonsToggleTheManager();
    void answerWithReasoning();
    void questionBubbles_data();
    void questionBubbles();
    void renameReachesTheIndexFile();
    void localOnlyManagerRefusesTheNetwork();
    void storedMarkupFetchesNothing();
    void theDarkThemeDarkensTheChat();

private:
    void startView();
    QQuickItem* item(const char* name) const;
    // Where the named item's top left corner lies in the window.
    QPointF placeInWindow(const char* name) const;
    void click(QQuickItem* target);
    void writeStoredConversation(const QString& title, const QString& answer);
    QRect bar() const { return start; }
    // The views move the window from the bar's place; the window then stays on the offscreen
    // screen (800x600), which is too short for the open chat.
    QRect expected(int dx, int dy, int width, int height) const
    {
        return ChatPlacement::fit(QRect(start.x() + dx, start.y() + dy, width, height),
                                  QRect(0, 0, 800, 600));
    }

    DevServerProcess server;
    std::unique_ptr<TestEnvironment> env;
    std::unique_ptr<ViewHandler> handler;
    QRect start;
};

void TestChatViews::initTestCase()
{
    Q_INIT_RESOURCE(qml);
}

void TestChatViews::init()
{
    env = std::make_unique<TestEnvironment>();
    QVERIFY(env->isValid());
    QVERIFY2(server.start({QStringLiteral("--pace-ms"), QStringLiteral("20")}),
             qPrintable(server.errorText()));
}

void TestChatViews::cleanup()
{
    handler.reset();
    server.stop();
    env.reset();
}

// The chat window as the application shows it: the view handler with the chat view loaded,
// questions allowed by a key press of the keyboard "SN".
void TestChatViews::startView()
{
    qputenv("LUMORA_SERVICE_URL", server.baseUrl().toUtf8());
    qputenv("LUMORA_ENGINE_URL", server.baseUrl().toUtf8());
    handler = std::make_unique<ViewHandler>();
    handler->setSource(QUrl(QStringLiteral("qrc:/MainView.qml")));
    QCOMPARE(handler->status(), QQuickView::Ready);
    QSignalSpy counts(handler->serverHandler(), &OvSeverHandler::sigAICountValue);
    handler->slotAiRequest(QStringLiteral("SN"));
    QVERIFY(QTest::qWaitForWindowExposed(handler.get()));
    // Ready for questions: the provider records are in and the usage reply allowed them.
    QTRY_VERIFY_WITH_TIMEOUT(!handler->serverHandler()->apiInfo(3).isEmpty(), 10000);
    QVERIFY(!counts.isEmpty() || counts.wait(10000));
    QVERIFY(handler->allowQuestion());
    // As low as the screen allows (its bottom edge), so that the chat opens upwards.
    handler->setXandY(100, 900, 576, 66);
    start = handler->geometry();
    QCOMPARE(start.size(), QSize(576, 66));
}

QQuickItem* TestChatViews::item(const char* name) const
{
    const QList<QQuickItem*> found = itemsNamed(handler->rootObject(), QString::fromLatin1(name));
    return found.isEmpty() ? nullptr : found.first();
}

QPointF TestChatViews::placeInWindow(const char* name) const
{
    QQuickItem* found = item(name);
    return found ? found->mapToScene(QPointF(0, 0)) : QPointF(-1, -1);
}

void TestChatViews::click(QQuickItem* target)
{
    QVERIFY(target);
    QVERIFY2(target->isVisible(), target->objectName().toLatin1().constData());
    const QPointF centre = target->mapToScene(QPointF(target->width() / 2, target->height() / 2));
    QTest::mouseClick(handler.get(), Qt::LeftButton, Qt::NoModifier, centre.toPoint());
}

void TestChatViews::writeStoredConversation(const QString& title, const QString& answer)
{
    const ChatHistoryStore store(
        QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation));
    store.loadIndex();
    QVERIFY(store.appendIndexEntry(
        title, StoredFile, QDateTime::fromString(StoredFile, QStringLiteral("yyyyMMddHHmmss"))));
    QVERIFY(
        store.appendMessage(StoredFile, true, 0, QStringLiteral("A stored question"), QString()));
    QVERIFY(store.appendMessage(StoredFile, false, 1, answer, QString()));
}

void TestChatViews::barAtStart()
{
    startView();
    QVERIFY(item("avatar")->isVisible());
    QCOMPARE(placeInWindow("avatar"), QPointF(0, 24));
    QCOMPARE(placeInWindow("inputBox"), QPointF(50, 24));
    QCOMPARE(item("inputBox")->size(), QSizeF(526, 42));
    QVERIFY(item("pullUpButton")->isVisible());
    QVERIFY(!item("chatPanel")->isVisible());
    QVERIFY(!item("historyPanel")->isVisible());
    QVERIFY(item("sendButton")->isEnabled());
    QCOMPARE(item("input")->property("placeholderText").toString(),
             QStringLiteral("Please enter your content"));
}

void TestChatViews::sendOpensTheChatAboveTheBar()
{
    startView();
    QQuickItem* input = item("input");
    // Nothing to send: nothing happens.
    input->setProperty("text", QStringLiteral("   "));
    click(item("sendButton"));
    QCOMPARE(handler->dialogManager()->dialogModel()->rowCount(), 0);
    QCOMPARE(handler->geometry(), bar());

    input->setProperty("text", QStringLiteral("How are you?"));
    click(item("sendButton"));
    QCOMPARE(handler->dialogManager()->dialogModel()->rowCount(), 2);
    QCOMPARE(input->property("text").toString(), QString());
    // The window grows upwards by the panel: its bottom edge stays put.
    QCOMPARE(handler->geometry(), expected(0, -(594 + 5 - 16 - 8), 576, 42 + 594 + 5));
    QVERIFY(handler->dialog());
    QVERIFY(item("chatPanel")->isVisible());
    QVERIFY(!item("pullUpButton")->isVisible());
    QCOMPARE(placeInWindow("chatPanel"), QPointF(50, 0));
    QCOMPARE(placeInWindow("avatar"), QPointF(0, 599));
    QTRY_VERIFY_WITH_TIMEOUT(handler->dialogManager()->responseGenerated(), 20000);

    // A second question keeps the shape.
    input->setProperty("text", QStringLiteral("And then?"));
    click(item("sendButton"));
    QCOMPARE(handler->dialogManager()->dialogModel()->rowCount(), 4);
    QCOMPARE(handler->geometry(), expected(0, -575, 576, 641));
    QTRY_VERIFY_WITH_TIMEOUT(handler->dialogManager()->responseGenerated(), 20000);
}

void TestChatViews::ctrlEnterSendsAndEnterStartsANewLine()
{
    startView();
    QQuickItem* input = item("input");
    input->forceActiveFocus();
    QTRY_VERIFY(input->hasActiveFocus());
    type(handler.get(), "one");
    QTest::keyClick(handler.get(), Qt::Key_Return);
    type(handler.get(), "two");
    QCOMPARE(input->property("text").toString(), QStringLiteral("one\ntwo"));
    QCOMPARE(handler->dialogManager()->dialogModel()->rowCount(), 0);

    QTest::keyClick(handler.get(), Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(handler->dialogManager()->dialogModel()->rowCount(), 2);
    QCOMPARE(handler->dialogManager()->dialogModel()->data(
                 handler->dialogManager()->dialogModel()->index(0), DialogModel::ContentRole),
             QVariant(QStringLiteral("one\ntwo")));
    QCOMPARE(handler->geometry(), expected(0, -575, 576, 641));
    QTRY_VERIFY_WITH_TIMEOUT(handler->dialogManager()->responseGenerated(), 20000);

    // The keypad's Enter sends as well.
    type(handler.get(), "three");
    QTest::keyClick(handler.get(), Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier);
    QCOMPARE(handler->dialogManager()->dialogModel()->rowCount(), 4);
    QTRY_VERIFY_WITH_TIMEOUT(handler->dialogManager()->responseGenerated(), 20000);
}

void TestChatViews::pullUpHistoryAndFold()
{
    startView();
    click(item("pullUpButton"));
    QCOMPARE(handler->geometry(), expected(0, -575, 576, 641));
    QVERIFY(handler->dialog());
    QVERIFY(item("chatPanel")->isVisible());
    QVERIFY(!item("pullUpButton")->isVisible());

    // History: 84 more to the left, the chat panel stays where it was on screen.
    click(item("historyButton"));
    QCOMPARE(handler->geometry(), expected(-84, -575, 660, 641));
    QVERIFY(handler->history());
    QVERIFY(!handler->dialog());
    QVERIFY(item("historyPanel")->isVisible());
    QVERIFY(item("historyButton")->property("checked").toBool());
    QCOMPARE(placeInWindow("chatPanel"), QPointF(134, 0));
    QCOMPARE(placeInWindow("historyPanel"), QPointF(0, 0));
    QCOMPARE(placeInWindow("avatar"), QPointF(84, 599));

    click(item("historyButton"));
    QCOMPARE(handler->geometry(), expected(0, -575, 576, 641));
    QVERIFY(!handler->history());
    QVERIFY(handler->dialog());
    QVERIFY(!item("historyPanel")->isVisible());
    QVERIFY(!item("historyButton")->property("checked").toBool());

    // Folding with the history open closes both and gives back the bar.
    click(item("historyButton"));
    QCOMPARE(handler->geometry(), expected(-84, -575, 660, 641));
    click(item("foldButton"));
    QCOMPARE(handler->geometry(), bar());
    QVERIFY(!handler->history());
    QVERIFY(!handler->dialog());
    QVERIFY(!item("chatPanel")->isVisible());
    QVERIFY(!item("historyPanel")->isVisible());
    QVERIFY(item("pullUpButton")->isVisible());
    QCOMPARE(placeInWindow("avatar"), QPointF(0, 24));
}

void TestChatViews::multiLineInputGrowsTheBox()
{
    startView();
    QQuickItem* input = item("input");
    input->setProperty("text", QStringLiteral("one\ntwo\nthree"));
    QTRY_COMPARE(handler->geometry(), expected(0, 0, 576, 212 + 24));
    QCOMPARE(item("inputBox")->height(), 212.0);

    click(item("pullUpButton"));
    QCOMPARE(handler->geometry(), expected(0, -575, 576, 212 + 599));
    QCOMPARE(placeInWindow("chatPanel"), QPointF(50, 0));

    input->setProperty("text", QStringLiteral("one line"));
    QTRY_COMPARE(handler->geometry(), expected(0, -575, 576, 42 + 599));
    QCOMPARE(item("inputBox")->height(), 42.0);

    // A long line wraps and counts as several lines.
    input->setProperty("text", QString(300, QLatin1Char('w')));
    QTRY_COMPARE(handler->geometry(), expected(0, -575, 576, 212 + 599));
}

void TestChatViews::blockedQuestions()
{
    startView();
    handler->setAllowQuestion(false);
    handler->setNotEnough(true);
    QQuickItem* input = item("input");
    QCOMPARE(input->property("placeholderText").toString(),
             QStringLiteral("The balance is insufficient, please top up as soon as possible"));
    QCOMPARE(input->property("placeholderTextColor").value<QColor>(), QColor(Qt::red));
    QVERIFY(!item("sendButton")->isEnabled());
    input->setProperty("text", QStringLiteral("Blocked?"));
    click(item("sendButton"));
    QTest::keyClick(handler.get(), Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(handler->dialogManager()->dialogModel()->rowCount(), 0);
    QCOMPARE(handler->geometry(), bar());
}

void TestChatViews::busyGuard()
{
    writeStoredConversation(QStringLiteral("Stored"), QStringLiteral("<p>Stored answer</p>"));
    server.stop();
    QVERIFY2(server.start({QStringLiteral("--pace-ms"), QStringLiteral("300")}),
             qPrintable(server.errorText()));
    startView();
    DialogManager* manager = handler->dialogManager();
    QCOMPARE(manager->dialogInfoModel()->rowCount(), 1);
    QQuickItem* input = item("input");
    input->setProperty("text", QStringLiteral("Slow answer please"));
    click(item("sendButton"));
    QCOMPARE(manager->dialogModel()->rowCount(), 2);
    QVERIFY(!manager->responseGenerated());
    QVERIFY(!item("copyButton")->isEnabled());
    QVERIFY(!item("regenerateButton")->isEnabled());

    // While the answer is pending: no second question (the stop button stands in the send
    // button's place, and Ctrl+Enter sends nothing), no new chat, no other conversation.
    input->setProperty("text", QStringLiteral("Another"));
    QVERIFY(!item("sendButton")->isVisible());
    QVERIFY(item("stopButton")->isVisible());
    input->forceActiveFocus();
    QTest::keyClick(handler.get(), Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(manager->dialogModel()->rowCount(), 2);
    QCOMPARE(input->property("text").toString(), QStringLiteral("Another"));
    click(item("newChatButton"));
    QCOMPARE(manager->dialogModel()->rowCount(), 2);
    click(item("historyButton"));
    const int before = manager->currentIndex();
    click(item("historyEntry"));
    QCOMPARE(manager->currentIndex(), before);
    QCOMPARE(manager->dialogModel()->rowCount(), 2);
    QVERIFY(!manager->responseGenerated());

    QTRY_VERIFY_WITH_TIMEOUT(manager->responseGenerated(), 30000);
    QVERIFY(item("copyButton")->isEnabled());
    QVERIFY(item("regenerateButton")->isEnabled());
    click(item("newChatButton"));
    QCOMPARE(manager->dialogModel()->rowCount(), 0);
}

void TestChatViews::modeButtonsToggleTheManager()
{
    startView();
    click(item("pullUpButton"));
    DialogManager* manager = handler->dialogManager();
    QVERIFY(!manager->reasonModeActive());
    QVERIFY(!manager->searchModeActive());

    click(item("reasonButton"));
    QVERIFY(manager->reasonModeActive());
    QVERIFY(item("reasonButton")->property("checked").toBool());
    click(item("searchButton"));
    QVERIFY(manager->searchModeActive());
    click(item("reasonButton"));
    QVERIFY(!manager->reasonModeActive());
    QVERIFY(!item("reasonButton")->property("checked").toBool());
    QVERIFY(manager->searchModeActive());

    // The buttons keep following the manager after a click.
    manager->setSearchModeActive(false);
    QVERIFY(!item("searchButton")->property("checked").toBool());
    manager->setReasonModeActive(true);
    QVERIFY(item("reasonButton")->property("checked").toBool());
}

void TestChatViews::answerWithReasoning()
{
    startView();
    DialogManager* manager = handler->dialogManager();
    manager->setReasonModeActive(true);
    item("input")->setProperty("text", QStringLiteral("Think about it"));
    click(item("sendButton"));
    QTRY_VERIFY_WITH_TIMEOUT(manager->responseGenerated(), 30000);
    QQuickItem* list = item("dialogList");
    QVERIFY(list);
    QTRY_COMPARE(list->property("count").toInt(), 2);

    QCOMPARE(visibleCount(list, QStringLiteral("reasoningText")), 1);
    QCOMPARE(visibleCount(list, QStringLiteral("reasoningLabel")), 1);
    QCOMPARE(visibleCount(list, QStringLiteral("questionBubble")), 1);
    for (QQuickItem* label : itemsNamed(list, QStringLiteral("reasoningLabel"))) {
        if (label->isVisible())
            QCOMPARE(label->property("text").toString(), QStringLiteral("Reason: "));
    }
    const QString reasoningHtml =
        manager->dialogModel()->data(manager->dialogModel()->index(1), 2).toString();
    QVERIFY(!reasoningHtml.isEmpty());
    for (QQuickItem* reasoning : itemsNamed(list, QStringLiteral("reasoningText"))) {
        if (!reasoning->isVisible())
            continue;
        QString shown;
        QVERIFY(QMetaObject::invokeMethod(reasoning, "text", Q_RETURN_ARG(QString, shown)));
        QTextDocument expected;
        expected.setHtml(reasoningHtml);
        QCOMPARE(shown.trimmed(), expected.toPlainText().trimmed());
    }

    // Without deep thinking the answer stands alone.
    manager->setReasonModeActive(false);
    click(item("newChatButton"));
    item("input")->setProperty("text", QStringLiteral("Just answer"));
    click(item("sendButton"));
    QTRY_VERIFY_WITH_TIMEOUT(manager->responseGenerated(), 30000);
    QTRY_COMPARE(list->property("count").toInt(), 2);
    QCOMPARE(visibleCount(list, QStringLiteral("reasoningText")), 0);
    QCOMPARE(visibleCount(list, QStringLiteral("reasoningLabel")), 0);
    QCOMPARE(visibleCount(list, QStringLiteral("answerText")), 1);
}

void TestChatViews::questionBubbles_data()
{
    QTest::addColumn<QString>("question");
    QTest::addColumn<bool>("wraps");
    QTest::newRow("short") << QStringLiteral("Hi") << false;
    QTest::newRow("long") << QStringLiteral("A question that goes on. ").repeated(8) << true;
    QTest::newRow("markup stays text") << QStringLiteral("<b>not bold</b>") << false;
}

// A question sits in a bubble as wide as its text, at most 486, and wraps inside it.
void TestChatViews::questionBubbles()
{
    QFETCH(QString, question);
    QFETCH(bool, wraps);
    startView();
    item("input")->setProperty("text", question);
    click(item("sendButton"));
    QQuickItem* list = item("dialogList");
    QTRY_VERIFY(visibleCount(list, QStringLiteral("questionBubble")) == 1);
    QQuickItem* bubble = nullptr;
    for (QQuickItem* candidate : itemsNamed(list, QStringLiteral("questionBubble")))
        bubble = candidate->isVisible() ? candidate : bubble;
    QQuickItem* text = itemsNamed(bubble, QStringLiteral("questionText")).value(0);
    QVERIFY(text);
    QCOMPARE(text->property("text").toString(), question);
    QCOMPARE(text->property("lineCount").toInt() > 1, wraps);
    if (wraps)
        QCOMPARE(bubble->width(), 486.0);
    else
        QVERIFY(bubble->width() < 486);
    QCOMPARE(bubble->width(), text->width() + 24);
    QTRY_VERIFY_WITH_TIMEOUT(handler->dialogManager()->responseGenerated(), 20000);
}

void TestChatViews::renameReachesTheIndexFile()
{
    writeStoredConversation(QStringLiteral("Old title"), QStringLiteral("<p>Answer</p>"));
    startView();
    click(item("pullUpButton"));
    click(item("historyButton"));
    QQuickItem* title = item("historyTitle");
    QVERIFY(title);
    QCOMPARE(title->property("text").toString(), QStringLiteral("Old title"));

    const QPointF centre = title->mapToScene(QPointF(title->width() / 2, title->height() / 2));
    QTest::mouseDClick(handler.get(), Qt::LeftButton, Qt::NoModifier, centre.toPoint());
    QQuickItem* editor = item("historyTitleEditor");
    QTRY_VERIFY(editor->isVisible());
    QTRY_VERIFY(editor->hasActiveFocus());
    QCOMPARE(editor->property("selectedText").toString(), QStringLiteral("Old title"));
    type(handler.get(), "Trip plans");
    QTest::keyClick(handler.get(), Qt::Key_Return);
    QTRY_VERIFY(!editor->isVisible());
    QCOMPARE(title->property("text").toString(), QStringLiteral("Trip plans"));

    const QString index = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)
        + QStringLiteral("/ChatHistory/OverallTable.json");
    const QJsonArray entries =
        JsonFile::read(index).document.object().value(QStringLiteral("history")).toArray();
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries.first().toObject().value(QStringLiteral("title")).toString(),
             QStringLiteral("Trip plans"));
}

void TestChatViews::localOnlyManagerRefusesTheNetwork()
{
    Listener listener;
    LocalOnlyNetworkAccessManager manager;
    std::unique_ptr<QNetworkReply> remote(
        manager.get(QNetworkRequest(QUrl(listener.url(QStringLiteral("x.png"))))));
    QSignalSpy remoteDone(remote.get(), &QNetworkReply::finished);
    QVERIFY(remoteDone.wait(5000));
    QCOMPARE(remote->error(), QNetworkReply::ContentAccessDenied);
    QCOMPARE(listener.connections, 0);

    const QString local = env->writeFile(QStringLiteral("local.txt"), "on disk");
    std::unique_ptr<QNetworkReply> file(manager.get(QNetworkRequest(QUrl::fromLocalFile(local))));
    QSignalSpy fileDone(file.get(), &QNetworkReply::finished);
    QVERIFY(fileDone.wait(5000));
    QCOMPARE(file->error(), QNetworkReply::NoError);
    QCOMPARE(file->readAll(), QByteArray("on disk"));
}

// A title and an answer stored by an older version may hold markup that points at a server:
// opening the conversation must not make the chat view fetch anything.
void TestChatViews::storedMarkupFetchesNothing()
{
    Listener listener;
    QVERIFY(listener.server.isListening());
    const QString title = QStringLiteral("<img src=\"%1\">Title").arg(listener.url("title.png"));
    const QString answer =
        QStringLiteral("<p>Answer</p><img src=\"%1\" width=\"20\" height=\"20\">")
            .arg(listener.url("answer.png"));
    writeStoredConversation(title, answer);
    startView();
    click(item("pullUpButton"));
    click(item("historyButton"));
    QCOMPARE(item("historyTitle")->property("text").toString(), title);
    click(item("historyEntry"));
    QTRY_COMPARE(handler->dialogManager()->dialogModel()->rowCount(), 2);
    QQuickItem* list = item("dialogList");
    QTRY_COMPARE(list->property("count").toInt(), 2);
    QVERIFY(QTest::qWaitForWindowExposed(handler.get()));
    handler->grabWindow(); // lays out and renders the rows
    watch(listener, 1500);
    QCOMPARE(listener.connections, 0);
    // The stored answer is shown (without its image).
    QString shown;
    for (QQuickItem* candidate : itemsNamed(list, QStringLiteral("answerText"))) {
        QString text;
        QVERIFY(QMetaObject::invokeMethod(candidate, "text", Q_RETURN_ARG(QString, text)));
        if (candidate->isVisible() && !text.isEmpty())
            shown = text;
    }
    QVERIFY2(shown.startsWith(QStringLiteral("Answer")), qPrintable(shown));

    // The control: the same markup in a view without the guard does reach the listener.
    QQuickView plain;
    plain.setColor(Qt::white);
    QQmlComponent component(plain.engine());
    component.setData("import QtQuick 2.15\nTextEdit { width: 200; height: 100; "
                      "textFormat: TextEdit.RichText }",
                      QUrl());
    std::unique_ptr<QQuickItem> edit(qobject_cast<QQuickItem*>(component.create()));
    QVERIFY2(edit, qPrintable(component.errorString()));
    edit->setParentItem(plain.contentItem());
    edit->setProperty("text", answer);
    plain.resize(200, 100);
    plain.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plain));
    plain.grabWindow();
    watch(listener, 10000);
    QVERIFY(listener.connections > 0);
}

// The chat follows the dark theme and back, and keeps its views (the input's text) through the
// switch.
void TestChatViews::theDarkThemeDarkensTheChat()
{
    startView();
    QQuickItem* panel = item("chatPanel");
    item("input")->setProperty("text", QStringLiteral("kept"));
    const QColor light = panel->property("color").value<QColor>();
    handler->themeManager()->setCurrentTheme(QLatin1String(ThemeManager::DarkTheme));
    QVERIFY(handler->darkTheme());
    QTRY_VERIFY(panel->property("color").value<QColor>().lightness() < 80);
    QCOMPARE(item("input")->property("text").toString(), QStringLiteral("kept"));
    handler->themeManager()->setCurrentTheme(QLatin1String(ThemeManager::LightTheme));
    QTRY_COMPARE(panel->property("color").value<QColor>(), light);
}

QTEST_MAIN(TestChatViews)
#include "tst_chatviews.moc"
