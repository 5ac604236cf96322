#include "app/mainviewstart.h"
#include "app/qmltypes.h"
#include "app/windowwaker.h"
#include "shell/mapplicationquickview.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QtTest>

class TestStartupWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void mainViewIsTheApplicationView();
    void startsHidden();
    void wake_data();
    void wake();
    void registeredModulesDoNotBreakLoading();

private:
    static void deliverStateChanges();
};

// The chat window asks the maker's service for its provider list at start; here that request
// goes to a loopback port nothing listens on, never out to the network.
void TestStartupWindow::initTestCase()
{
    qputenv("LUMORA_SERVICE_URL", "http://127.0.0.1:9");
    qputenv("LUMORA_ENGINE_URL", "http://127.0.0.1:9");
}

void TestStartupWindow::deliverStateChanges()
{
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

void TestStartupWindow::mainViewIsTheApplicationView()
{
    const auto view = MainViewStart::createMainView();
    QCOMPARE(MApplicationQuickView::appView(), view.get());
    QCOMPARE(view->radius(), 0);
    QCOMPARE(view->shadowWeight(), 3);
}

void TestStartupWindow::startsHidden()
{
    const auto view = MainViewStart::createMainView();
    MainViewStart::startHidden(view.get());
    deliverStateChanges();
    QVERIFY(!view->isVisible());
    QCOMPARE(view->visibility(), QWindow::Hidden);
}

void TestStartupWindow::wake_data()
{
    QTest::addColumn<QString>("before"); // "started", "minimised" or "shown"
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("woken");

    const QString wake = QStringLiteral("Show first window.");
    QTest::newRow("hidden after start-up") << "started" << wake << true;
    QTest::newRow("minimised") << "minimised" << wake << true;
    QTest::newRow("already shown") << "shown" << wake << false;
    QTest::newRow("other message") << "started" << QStringLiteral("Show") << false;
    QTest::newRow("other case") << "started" << QStringLiteral("show first window.") << false;
}

void TestStartupWindow::wake()
{
    QFETCH(QString, before);
    QFETCH(QString, message);
    QFETCH(bool, woken);
    const auto view = MainViewStart::createMainView();
    const QRect place(120, 80, 576, 66);
    view->setGeometry(place);
    if (before == QLatin1String("started")) {
        MainViewStart::startHidden(view.get());
    } else {
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        if (before == QLatin1String("minimised"))
            view->showMinimized();
    }
    deliverStateChanges();
    const bool wasVisible = view->isVisible();

    QCOMPARE(WindowWaker::wake(view.get(), message), woken);
    deliverStateChanges();
    if (woken) {
        QVERIFY(view->isVisible());
        QCOMPARE(view->windowState(), Qt::WindowNoState);
        QCOMPARE(view->geometry(), place); // the view's own minimise put it back
    } else {
        QCOMPARE(view->isVisible(), wasVisible);
    }
}

// The registered documents do not exist in the resources. Registering them must not fail, and
// a document may import the effects modules as long as it uses none of their types. A composite
// singleton is resolved on import, so importing "Orvik.Styles" is an error; no view does.
void TestStartupWindow::registeredModulesDoNotBreakLoading()
{
    QmlTypes::registerQmlTypes();
    QQmlEngine engine;
    QQmlComponent imports(&engine);
    imports.setData("import QtQuick 2.0\n"
                    "import Orvik.GraphicalEffects 1.0\n"
                    "import Qt5Compat.GraphicalEffects 6.0\n"
                    "Item { width: 3 }",
                    QUrl::fromLocalFile(QStringLiteral("/virtual/Imports.qml")));
    std::unique_ptr<QObject> item(imports.create());
    QVERIFY2(item, qPrintable(imports.errorString()));
    QCOMPARE(item->property("width").toInt(), 3);

    QQmlComponent effectUser(&engine);
    effectUser.setData(
        "import QtQuick 2.0\nimport Orvik.GraphicalEffects 1.0\nItem { FastBlur {} }",
        QUrl::fromLocalFile(QStringLiteral("/virtual/EffectUser.qml")));
    QVERIFY(effectUser.isError());

    QQmlComponent stylesImport(&engine);
    stylesImport.setData("import QtQuick 2.0\nimport Orvik.Styles 1.0\nItem {}",
                         QUrl::fromLocalFile(QStringLiteral("/virtual/StylesImport.qml")));
    QVERIFY(stylesImport.isError());
}

QTEST_MAIN(TestStartupWindow)
#include "tst_startupwindow.moc"
