#include "support/testenvironment.h"

#include "chat/dialogmanager.h"
#include "chat/dialogmodel.h"
#include "core/languagemanager.h"
#include "shell/firstrunwindows.h"
#include "shell/mquickview.h"
#include "shell/systemtrayicon.h"
#include "shell/viewhandler.h"

#include <QAccessible>
#include <QQmlContext>
#include <QQmlProperty>
#include <QQuickItem>
#include <QQuickWindow>
#include <QtTest>

#include <memory>

namespace {

bool inherits(const QObject* object, const char* className)
{
    for (const QMetaObject* meta = object->metaObject(); meta; meta = meta->superClass()) {
        if (qstrcmp(meta->className(), className) == 0)
            return true;
    }
    return false;
}

// What a user can click, type into or switch: buttons of every kind, editable text, and
// mouse areas that take clicks. Scroll bars name themselves; read-only text is no control.
bool isInteractive(const QQuickItem* item)
{
    if (inherits(item, "QQuickScrollBar") || inherits(item, "QQuickScrollIndicator"))
        return false;
    if (inherits(item, "QQuickAbstractButton") || inherits(item, "QQuickComboBox")
        || inherits(item, "QQuickSlider") || inherits(item, "QQuickSpinBox"))
        return true;
    if (inherits(item, "QQuickTextInput") || inherits(item, "QQuickTextEdit"))
        return !item->property("readOnly").toBool();
    if (inherits(item, "QQuickMouseArea"))
        return item->property("acceptedButtons").toInt() != Qt::NoButton;
    return false;
}

QVariant attached(QQuickItem* item, const char* name);

// A window's drag area says so (Accessible.ignored); it is no control.
bool isIgnored(QQuickItem* item)
{
    return attached(item, "Accessible.ignored").toBool();
}

QVariant attached(QQuickItem* item, const char* name)
{
    QQmlContext* context = qmlContext(item);
    return context ? QQmlProperty(item, QString::fromLatin1(name), context).read() : QVariant();
}

// The item that a screen reader announces for a control: the control itself, or, for a mouse
// area that only gives its parent a click, that parent.
QQuickItem* announced(QQuickItem* item)
{
    if (inherits(item, "QQuickMouseArea") && item->parentItem()
        && attached(item, "Accessible.name").toString().isEmpty())
        return item->parentItem();
    return item;
}

void walk(QQuickItem* item, const QString& view, QStringList* unnamed, int* controls)
{
    if (!item)
        return;
    if (isInteractive(item) && !isIgnored(item)) {
        ++*controls;
        QQuickItem* shown = announced(item);
        const QString name = attached(shown, "Accessible.name").toString();
        const int role = attached(shown, "Accessible.role").toInt();
        if (name.trimmed().isEmpty() || role == QAccessible::NoRole)
            *unnamed << QStringLiteral("%1: %2 \"%3\" (name \"%4\", role %5)")
                            .arg(view, QString::fromLatin1(item->metaObject()->className()),
                                 item->objectName(), name)
                            .arg(role);
    }
    const QList<QQuickItem*> children = item->childItems();
    for (QQuickItem* child : children)
        walk(child, view, unnamed, controls);
}

} // namespace

// Every control of the loaded views has a name and a role for screen readers, in both
// languages: the chat bar with its panel and history, the settings window, the tray menu and
// the first-run windows.
class TestAccessibility : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyControlIsNamed_data();
    void everyControlIsNamed();
    void tabWalksTheChatWindowInOrder();
    void tabReachesTheSettings();
};

void TestAccessibility::initTestCase()
{
    Q_INIT_RESOURCE(qml);
    // As when a screen reader runs: the controls then fill in their roles.
    QAccessible::setActive(true);
    qputenv("LUMORA_SERVICE_URL", "http://127.0.0.1:9");
    qputenv("LUMORA_ENGINE_URL", "http://127.0.0.1:9");
}

void TestAccessibility::everyControlIsNamed_data()
{
    QTest::addColumn<QByteArray>("language");
    QTest::newRow("English") << QByteArray("en_US");
    QTest::newRow("Chinese") << QByteArray("zh_CN");
}

void TestAccessibility::everyControlIsNamed()
{
    QFETCH(QByteArray, language);
    TestEnvironment env;
    QVERIFY(env.isValid());
    env.writeFile(QStringLiteral("config/") + QCoreApplication::applicationName()
                      + QStringLiteral("/configs/config.json"),
                  R"({"FirstStart": "true", "Language": ")" + language + R"("})");
    ViewHandler handler;
    handler.setSource(QUrl(QStringLiteral("qrc:/MainView.qml")));
    QCOMPARE(handler.status(), QQuickView::Ready);
    handler.setAllowQuestion(true);
    // A question and an answer, so the message rows with their buttons exist.
    handler.dialogManager()->dialogModel()->append(0, QStringLiteral("question"), QString());
    handler.dialogManager()->dialogModel()->append(1, QStringLiteral("answer"),
                                                   QStringLiteral("reasoning"));
    handler.show();
    QVERIFY(QTest::qWaitForWindowExposed(&handler));

    QStringList unnamed;
    int controls = 0;
    walk(handler.rootObject(), QStringLiteral("chat"), &unnamed, &controls);
    const int chatControls = controls;
    QVERIFY(chatControls > 5);

    SystemTrayIcon* tray = handler.systemTrayIcon();
    QVERIFY(tray);
    QVERIFY(tray->settingsWindow());
    walk(tray->settingsWindow()->contentItem(), QStringLiteral("settings"), &unnamed, &controls);
    tray->openMenu();
    QVERIFY(tray->menuView());
    walk(tray->menuView()->rootObject(), QStringLiteral("tray menu"), &unnamed, &controls);

    handler.firstRunWindows()->openAgreement();
    QVERIFY(handler.firstRunWindows()->agreementWindow());
    walk(handler.firstRunWindows()->agreementWindow()->contentItem(), QStringLiteral("agreement"),
         &unnamed, &controls);
    handler.firstRunWindows()->openGuide();
    QVERIFY(handler.firstRunWindows()->guideWindow());
    walk(handler.firstRunWindows()->guideWindow()->contentItem(), QStringLiteral("guide"), &unnamed,
         &controls);
    QVERIFY(controls > chatControls + 5);

    QVERIFY2(unnamed.isEmpty(),
             qPrintable(QStringLiteral("Controls without an accessible name or role:\n  ")
                        + unnamed.join(QStringLiteral("\n  "))));
}

namespace {

// The names of the items that take the focus, Tab after Tab, from start until the focus comes
// back to it (or 40 steps).
QStringList tabOrder(QQuickWindow* window, QQuickItem* start)
{
    start->forceActiveFocus(Qt::TabFocusReason);
    QStringList order;
    for (int step = 0; step < 40; ++step) {
        QTest::keyClick(window, Qt::Key_Tab);
        QQuickItem* focused = window->activeFocusItem();
        if (!focused || focused == start)
            break;
        order << focused->objectName();
    }
    return order;
}

bool inOrder(const QStringList& order, const QStringList& expected)
{
    int at = -1;
    for (const QString& name : expected) {
        const int found = order.indexOf(name, at + 1);
        if (found < 0)
            return false;
        at = found;
    }
    return true;
}

} // namespace

// From the question, Tab goes to the send button, then through the open chat panel from top to
// bottom (history, fold, pin, the answer's mode switches and buttons, new chat), and back.
void TestAccessibility::tabWalksTheChatWindowInOrder()
{
    TestEnvironment env;
    QVERIFY(env.isValid());
    env.writeFile(QStringLiteral("config/") + QCoreApplication::applicationName()
                      + QStringLiteral("/configs/config.json"),
                  R"({"FirstStart": "true", "Language": "en_US"})");
    ViewHandler handler;
    handler.setSource(QUrl(QStringLiteral("qrc:/MainView.qml")));
    handler.setAllowQuestion(true);
    handler.dialogManager()->dialogModel()->append(0, QStringLiteral("question"), QString());
    handler.dialogManager()->dialogModel()->append(1, QStringLiteral("answer"), QString());
    handler.show();
    QVERIFY(QTest::qWaitForWindowExposed(&handler));
    handler.requestActivate();
    QVERIFY(QTest::qWaitForWindowActive(&handler));
    QVERIFY(QMetaObject::invokeMethod(handler.rootObject(), "openChat"));
    auto* input = handler.rootObject()->findChild<QQuickItem*>(QStringLiteral("input"));
    QVERIFY(input);
    const QStringList order = tabOrder(&handler, input);
    const QStringList expected = {QStringLiteral("sendButton"),   QStringLiteral("historyButton"),
                                  QStringLiteral("foldButton"),   QStringLiteral("pinButton"),
                                  QStringLiteral("reasonButton"), QStringLiteral("searchButton"),
                                  QStringLiteral("newChatButton")};
    QVERIFY2(inOrder(order, expected), qPrintable(order.join(QStringLiteral(", "))));
    // Tab never lands on something without a name.
    QVERIFY2(!order.contains(QString()), qPrintable(order.join(QStringLiteral(", "))));
    // Shift+Tab from the send button goes back to the question.
    auto* send = handler.rootObject()->findChild<QQuickItem*>(QStringLiteral("sendButton"));
    send->forceActiveFocus(Qt::TabFocusReason);
    QTest::keyClick(&handler, Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(handler.activeFocusItem(), input);
}

void TestAccessibility::tabReachesTheSettings()
{
    TestEnvironment env;
    QVERIFY(env.isValid());
    ViewHandler handler;
    QQuickWindow* settings = handler.systemTrayIcon()->settingsWindow();
    QVERIFY(settings);
    settings->show();
    QVERIFY(QTest::qWaitForWindowExposed(settings));
    settings->requestActivate();
    QVERIFY(QTest::qWaitForWindowActive(settings));
    auto* close = settings->findChild<QQuickItem*>(QStringLiteral("settingsClose"));
    QVERIFY(close);
    const QStringList order = tabOrder(settings, close);
    QVERIFY2(order.contains(QStringLiteral("checkUpdateButton")),
             qPrintable(order.join(QStringLiteral(", "))));
    QVERIFY2(!order.contains(QString()), qPrintable(order.join(QStringLiteral(", "))));
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
