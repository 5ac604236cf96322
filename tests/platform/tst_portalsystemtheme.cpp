#include "platform/linux/portalsystemtheme.h"
#include "shell/thememanager.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

namespace {

const QString PortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString PortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString SettingsInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString Appearance = QStringLiteral("org.freedesktop.appearance");
const QString ColorScheme = QStringLiteral("color-scheme");

QStringList logged;
QtMessageHandler previousHandler = nullptr;

void keepMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    logged << message;
    previousHandler(type, context, message);
}

} // namespace

// Runs on a session bus of its own (dbus-run-session with no service directories), so the
// portal is there only while the test runs the stand-in.
class TestPortalSystemTheme : public QObject
{
    Q_OBJECT

public slots:
    // Sees every SettingChanged the stand-in sends: once it has seen one, the watch under test
    // has been handed the same signal.
    void onProbe(const QString& nameSpace, const QString& key, const QDBusVariant& value)
    {
        Q_UNUSED(nameSpace)
        Q_UNUSED(key)
        Q_UNUSED(value)
        ++probed;
    }

private slots:
    void initTestCase();
    void cleanup();

    // First: the stand-in has not run yet.
    void withoutPortalLightAndLoggedOnce();
    void readsColorScheme_data();
    void readsColorScheme();
    void watchReportsOneChange();
    void themeManagerFollowsThePortal();

private:
    void startPortal(uint colorScheme);
    void setSetting(const QString& nameSpace, const QString& key, uint value);

    QProcess portal;
    int probed = 0;
};

void TestPortalSystemTheme::initTestCase()
{
    QVERIFY2(QDBusConnection::sessionBus().isConnected(),
             "no session bus: run this test under dbus-run-session");
    QVERIFY(QDBusConnection::sessionBus().connect(PortalService, PortalPath, SettingsInterface,
                                                  QStringLiteral("SettingChanged"), this,
                                                  SLOT(onProbe(QString, QString, QDBusVariant))));
}

void TestPortalSystemTheme::cleanup()
{
    if (portal.state() != QProcess::NotRunning) {
        portal.terminate();
        QVERIFY(portal.waitForFinished(5000));
    }
    QTRY_VERIFY(!QDBusConnection::sessionBus().interface()->isServiceRegistered(PortalService));
    probed = 0;
}

void TestPortalSystemTheme::startPortal(uint colorScheme)
{
    portal.setProcessChannelMode(QProcess::ForwardedChannels);
    portal.start(QStringLiteral(LUMORA_FAKE_PORTAL_PATH), {QString::number(colorScheme)});
    QVERIFY2(portal.waitForStarted(), qPrintable(portal.errorString()));
    QTRY_VERIFY(QDBusConnection::sessionBus().interface()->isServiceRegistered(PortalService));
}

void TestPortalSystemTheme::setSetting(const QString& nameSpace, const QString& key, uint value)
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        PortalService, QStringLiteral("/org/lumora/FakePortal"),
        QStringLiteral("org.lumora.FakePortal"), QStringLiteral("Set"));
    call << nameSpace << key << value;
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call);
    QVERIFY2(reply.type() == QDBusMessage::ReplyMessage, qPrintable(reply.errorMessage()));
}

void TestPortalSystemTheme::withoutPortalLightAndLoggedOnce()
{
    PortalSystemTheme theme;
    logged.clear();
    previousHandler = qInstallMessageHandler(keepMessage);
    const bool first = theme.appsUseLightTheme();
    const bool second = theme.appsUseLightTheme();
    theme.watch();
    theme.stopWatch();
    qInstallMessageHandler(previousHandler);

    QVERIFY(first);
    QVERIFY(second);
    QCOMPARE(logged.size(), 1);
    QVERIFY2(logged.constFirst().contains(QStringLiteral("light")), qPrintable(logged.join('\n')));
}

void TestPortalSystemTheme::readsColorScheme_data()
{
    QTest::addColumn<uint>("colorScheme");
    QTest::addColumn<bool>("light");
    QTest::newRow("0 no preference") << 0u << true;
    QTest::newRow("1 prefers dark") << 1u << false;
    QTest::newRow("2 prefers light") << 2u << true;
}

void TestPortalSystemTheme::readsColorScheme()
{
    QFETCH(uint, colorScheme);
    QFETCH(bool, light);
    startPortal(colorScheme);
    PortalSystemTheme theme;
    QCOMPARE(theme.appsUseLightTheme(), light);
}

void TestPortalSystemTheme::watchReportsOneChange()
{
    startPortal(0);
    PortalSystemTheme theme;
    QSignalSpy changed(&theme, &SystemTheme::changed);
    theme.watch();

    // Another setting of the portal is not the colour scheme.
    setSetting(Appearance, QStringLiteral("accent-color"), 1);
    QTRY_COMPARE(probed, 1);
    QCOMPARE(changed.count(), 0);

    setSetting(Appearance, ColorScheme, 1);
    QTRY_COMPARE(changed.count(), 1);
    QVERIFY(!theme.appsUseLightTheme());

    // The watch is spent: the next change goes by unreported.
    setSetting(Appearance, ColorScheme, 0);
    QTRY_COMPARE(probed, 3);
    // The bus thread hands one signal to all its receivers at once; deliver what is left.
    QCoreApplication::sendPostedEvents();
    QCOMPARE(changed.count(), 1);
    QVERIFY(theme.appsUseLightTheme());

    // Armed again, it reports again; a stopped watch does not.
    theme.watch();
    setSetting(Appearance, ColorScheme, 1);
    QTRY_COMPARE(changed.count(), 2);
    theme.watch();
    theme.stopWatch();
    setSetting(Appearance, ColorScheme, 0);
    QTRY_COMPARE(probed, 5);
    QCoreApplication::sendPostedEvents();
    QCOMPARE(changed.count(), 2);
}

void TestPortalSystemTheme::themeManagerFollowsThePortal()
{
    startPortal(0);
    ThemeManager manager(new PortalSystemTheme, nullptr);
    manager.detectSystemTheme();
    QCOMPARE(manager.currentTheme(), QString::fromLatin1(ThemeManager::LightTheme));

    manager.watchSystemTheme();
    setSetting(Appearance, ColorScheme, 1);
    QTRY_COMPARE(manager.currentTheme(), QString::fromLatin1(ThemeManager::DarkTheme));
    QCOMPARE(manager.themeFlag(), 1);
}

QTEST_GUILESS_MAIN(TestPortalSystemTheme)
#include "tst_portalsystemtheme.moc"
