// A stand-in of the desktop portal's Settings interface on the session bus, for the tests.
// Usage: lumora-fakeportal <color-scheme>
// Answers Read (a variant in a variant, as the portal does) and ReadOne from its table of
// settings, which holds "org.freedesktop.appearance" "color-scheme" from the command line. The
// tests change a setting through the control object ("/org/lumora/FakePortal", method Set),
// which emits SettingChanged as the portal would.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusVariant>
#include <QHash>
#include <QTextStream>

namespace {

const QString PortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString PortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString ControlPath = QStringLiteral("/org/lumora/FakePortal");

QString settingId(const QString& nameSpace, const QString& key)
{
    return nameSpace + QLatin1Char('\n') + key;
}

} // namespace

class FakeSettings : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")

public:
    void change(const QString& nameSpace, const QString& key, uint value)
    {
        values.insert(settingId(nameSpace, key), value);
        emit SettingChanged(nameSpace, key, QDBusVariant(value));
    }

public slots:
    QDBusVariant Read(const QString& nameSpace, const QString& key)
    {
        return QDBusVariant(QVariant::fromValue(ReadOne(nameSpace, key)));
    }

    QDBusVariant ReadOne(const QString& nameSpace, const QString& key)
    {
        const auto found = values.constFind(settingId(nameSpace, key));
        if (found == values.constEnd()) {
            sendErrorReply(QStringLiteral("org.freedesktop.portal.Error.NotFound"),
                           QStringLiteral("Requested setting not found"));
            return QDBusVariant(0u);
        }
        return QDBusVariant(*found);
    }

signals:
    void SettingChanged(const QString& nameSpace, const QString& key, const QDBusVariant& value);

private:
    QHash<QString, uint> values;
};

class FakePortalControl : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.lumora.FakePortal")

public:
    explicit FakePortalControl(FakeSettings* settings)
        : settings(settings)
    { }

public slots:
    void Set(const QString& nameSpace, const QString& key, uint value)
    {
        settings->change(nameSpace, key, value);
    }

private:
    FakeSettings* settings;
};

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    bool isNumber = false;
    const uint colorScheme = app.arguments().value(1).toUInt(&isNumber);
    if (!isNumber) {
        err << "usage: lumora-fakeportal <color-scheme>\n";
        return 2;
    }

    FakeSettings settings;
    settings.change(QStringLiteral("org.freedesktop.appearance"), QStringLiteral("color-scheme"),
                    colorScheme);
    FakePortalControl control(&settings);
    QDBusConnection bus = QDBusConnection::sessionBus();
    const auto exported = QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals;
    if (!bus.registerObject(PortalPath, &settings, exported)
        || !bus.registerObject(ControlPath, &control, QDBusConnection::ExportAllSlots)
        || !bus.registerService(PortalService)) {
        err << "lumora-fakeportal: " << bus.lastError().message() << '\n';
        return 1;
    }
    return app.exec();
}

#include "fakeportal.moc"
