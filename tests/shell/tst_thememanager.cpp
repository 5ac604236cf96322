#include "platform/systemtheme.h"
#include "shell/thememanager.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

const QString Light = QStringLiteral("LightTheme.qml");
const QString Dark = QStringLiteral("DarkTheme.qml");
const QString Neutral = QStringLiteral("NeutralTheme.qml");

// The system setting as the manager sees it, with a one-shot watch like the real ones: an
// armed watch reports the next change once and is spent.
class FakeSystemTheme : public SystemTheme
{
public:
    bool appsUseLightTheme() override { return light; }
    void watch() override
    {
        ++watches;
        armed = true;
    }
    void stopWatch() override { armed = false; }

    void change(bool nowLight)
    {
        light = nowLight;
        if (!armed)
            return;
        armed = false;
        emit changed();
    }

    bool light = true;
    bool armed = false;
    int watches = 0;
};

struct Spies
{
    explicit Spies(ThemeManager* manager)
        : current(manager, &ThemeManager::currentThemeChanged)
        , theme(manager, &ThemeManager::themeChanged)
        , flag(manager, &ThemeManager::themeFlagChanged)
    { }

    QSignalSpy current;
    QSignalSpy theme;
    QSignalSpy flag;
};

} // namespace

class TestThemeManager : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void startsLight();
    void skinModeAtStart_data();
    void skinModeAtStart();
    void darkTwiceChangesTheFlagOnce();
    void otherThemeKeepsTheFlag_data();
    void otherThemeKeepsTheFlag();
    void detectSystemTheme_data();
    void detectSystemTheme();
    void notificationRearmsAndDetects();
    void anyThemeChoiceEndsTheWatch();
    void themeFlagEmitsOnlyOnChange();
    void propertiesWriteThroughTheSetters();

private:
    FakeSystemTheme* system = nullptr;
    std::unique_ptr<ThemeManager> manager;
};

void TestThemeManager::init()
{
    system = new FakeSystemTheme;
    manager = std::make_unique<ThemeManager>(system, nullptr);
}

void TestThemeManager::startsLight()
{
    QCOMPARE(manager->currentTheme(), Light);
    QCOMPARE(manager->themeFlag(), 0);
    QCOMPARE(system->parent(), manager.get());
}

void TestThemeManager::skinModeAtStart_data()
{
    QTest::addColumn<int>("skinMode");
    QTest::addColumn<bool>("systemLight");
    QTest::addColumn<QString>("theme");
    QTest::addColumn<int>("flag");
    QTest::addColumn<int>("watches");

    for (const bool systemLight : {true, false}) {
        const char* setting = systemLight ? "system light" : "system dark";
        QTest::addRow("0 light, %s", setting) << 0 << systemLight << Light << 0 << 0;
        QTest::addRow("1 dark, %s", setting) << 1 << systemLight << Dark << 1 << 0;
        QTest::addRow("2 follow, %s", setting)
            << 2 << systemLight << (systemLight ? Light : Dark) << (systemLight ? 0 : 1) << 1;
        QTest::addRow("7 unknown, %s", setting) << 7 << systemLight << Light << 0 << 0;
        QTest::addRow("-1 unknown, %s", setting) << -1 << systemLight << Light << 0 << 0;
    }
}

void TestThemeManager::skinModeAtStart()
{
    QFETCH(int, skinMode);
    QFETCH(bool, systemLight);
    QFETCH(QString, theme);
    QFETCH(int, flag);
    QFETCH(int, watches);
    system->light = systemLight;
    Spies spies(manager.get());

    manager->applySkinMode(skinMode);

    QCOMPARE(manager->currentTheme(), theme);
    QCOMPARE(manager->themeFlag(), flag);
    QCOMPARE(spies.current.count(), 1);
    QCOMPARE(spies.theme.count(), 1);
    QCOMPARE(spies.theme.constFirst().constFirst().toString(), theme);
    QCOMPARE(spies.flag.count(), flag); // from the initial 0
    QCOMPARE(system->watches, watches);

    // The watch of mode 2 ended with the theme choice: the setting is read once, at start-up.
    QVERIFY(!system->armed);
    system->change(!systemLight);
    QCOMPARE(manager->currentTheme(), theme);
    QCOMPARE(spies.current.count(), 1);
}

void TestThemeManager::darkTwiceChangesTheFlagOnce()
{
    Spies spies(manager.get());
    manager->setCurrentTheme(Dark);
    QCOMPARE(manager->themeFlag(), 1);
    QCOMPARE(spies.flag.count(), 1);

    manager->setCurrentTheme(Dark);
    QCOMPARE(spies.current.count(), 2);
    QCOMPARE(spies.theme.count(), 2);
    QCOMPARE(spies.theme.constLast().constFirst().toString(), Dark);
    QCOMPARE(spies.flag.count(), 1);
}

void TestThemeManager::otherThemeKeepsTheFlag_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("flag");
    QTest::newRow("after dark") << Dark << 1;
    QTest::newRow("after light") << Light << 0;
}

void TestThemeManager::otherThemeKeepsTheFlag()
{
    QFETCH(QString, before);
    QFETCH(int, flag);
    manager->setCurrentTheme(before);
    Spies spies(manager.get());

    manager->setCurrentTheme(Neutral);
    QCOMPARE(manager->currentTheme(), Neutral);
    QCOMPARE(manager->themeFlag(), flag);
    QCOMPARE(spies.current.count(), 1);
    QCOMPARE(spies.theme.constFirst().constFirst().toString(), Neutral);
    QCOMPARE(spies.flag.count(), 0);
}

void TestThemeManager::detectSystemTheme_data()
{
    QTest::addColumn<bool>("systemLight");
    QTest::addColumn<QString>("theme");
    QTest::addColumn<int>("flag");
    QTest::newRow("light") << true << Light << 0;
    QTest::newRow("dark") << false << Dark << 1;
}

void TestThemeManager::detectSystemTheme()
{
    QFETCH(bool, systemLight);
    QFETCH(QString, theme);
    QFETCH(int, flag);
    system->light = systemLight;
    QCOMPARE(manager->systemThemeFile(), theme);
    QCOMPARE(manager->currentTheme(), Light); // only reading does not choose

    manager->detectSystemTheme();
    QCOMPARE(manager->currentTheme(), theme);
    QCOMPARE(manager->themeFlag(), flag);
}

void TestThemeManager::notificationRearmsAndDetects()
{
    manager->watchSystemTheme();
    QVERIFY(system->armed);
    Spies spies(manager.get());

    system->change(false);
    QCOMPARE(system->watches, 2); // armed again before reading
    QCOMPARE(manager->currentTheme(), Dark);
    QCOMPARE(manager->themeFlag(), 1);
    QCOMPARE(spies.current.count(), 1);
    QCOMPARE(spies.flag.count(), 1);

    // Choosing the detected theme ended the new watch as well.
    QVERIFY(!system->armed);
    system->change(true);
    QCOMPARE(manager->currentTheme(), Dark);
    QCOMPARE(spies.current.count(), 1);
}

void TestThemeManager::anyThemeChoiceEndsTheWatch()
{
    manager->watchSystemTheme();
    manager->setCurrentTheme(Neutral);
    QVERIFY(!system->armed);
    system->change(false);
    QCOMPARE(manager->currentTheme(), Neutral);
}

void TestThemeManager::themeFlagEmitsOnlyOnChange()
{
    Spies spies(manager.get());
    manager->setThemeFlag(0);
    QCOMPARE(spies.flag.count(), 0);
    manager->setThemeFlag(1);
    manager->setThemeFlag(1);
    QCOMPARE(spies.flag.count(), 1);
    QCOMPARE(manager->currentTheme(), Light); // the flag alone does not pick a document
}

// The views and the tray menu reach the manager through its properties.
void TestThemeManager::propertiesWriteThroughTheSetters()
{
    manager->watchSystemTheme();
    Spies spies(manager.get());
    QVERIFY(manager->setProperty("currentTheme", Dark));
    QCOMPARE(manager->property("themeFlag").toInt(), 1);
    QCOMPARE(spies.theme.count(), 1);
    QVERIFY(!system->armed);
    QVERIFY(manager->setProperty("themeFlag", 0));
    QCOMPARE(manager->currentTheme(), Dark);
    QCOMPARE(spies.flag.count(), 2);
}

QTEST_GUILESS_MAIN(TestThemeManager)
#include "tst_thememanager.moc"
