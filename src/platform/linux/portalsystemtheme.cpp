#include "platform/linux/portalsystemtheme.h"

#include "core/logging.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDebug>

namespace {

const QString PortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString PortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString SettingsInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString AppearanceNamespace = QStringLiteral("org.freedesktop.appearance");
const QString ColorSchemeKey = QStringLiteral("color-scheme");
constexpr uint PrefersDark = 1;
// The read runs on the GUI thread at start-up; a portal that does not answer quickly must not
// hold up the first window.
constexpr int ReadTimeoutMs = 500;

// Read() answers a variant that holds the setting's variant; ReadOne() and SettingChanged a
// single one. Unwrapping every level reads both.
QVariant unwrapped(QVariant value)
{
    while (value.userType() == qMetaTypeId<QDBusVariant>())
        value = qvariant_cast<QDBusVariant>(value).variant();
    return value;
}

} // namespace

SystemTheme* SystemTheme::create(QObject* parent)
{
    return new PortalSystemTheme(parent);
}

PortalSystemTheme::PortalSystemTheme(QObject* parent)
    : SystemTheme(parent)
{ }

PortalSystemTheme::~PortalSystemTheme()
{
    stopWatch();
}

bool PortalSystemTheme::appsUseLightTheme()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        reportMissingPortal(bus.lastError().message());
        return true;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(PortalService, PortalPath, SettingsInterface,
                                                       QStringLiteral("Read"));
    call << AppearanceNamespace << ColorSchemeKey;
    const QDBusMessage reply = bus.call(call, QDBus::Block, ReadTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        reportMissingPortal(reply.errorName() + QLatin1Char(' ') + reply.errorMessage());
        return true;
    }
    bool isNumber = false;
    const uint scheme = unwrapped(reply.arguments().constFirst()).toUInt(&isNumber);
    return !(isNumber && scheme == PrefersDark);
}

void PortalSystemTheme::watch()
{
    stopWatch();
    QDBusConnection bus = QDBusConnection::sessionBus();
    subscribed = bus.isConnected()
        && bus.connect(PortalService, PortalPath, SettingsInterface,
                       QStringLiteral("SettingChanged"), this,
                       SLOT(onSettingChanged(QString, QString, QDBusVariant)));
    armed = subscribed;
    if (!subscribed)
        reportMissingPortal(bus.lastError().message());
}

void PortalSystemTheme::stopWatch()
{
    // A change already queued for delivery may still reach the slot; it is dropped there.
    armed = false;
    if (!subscribed)
        return;
    QDBusConnection::sessionBus().disconnect(
        PortalService, PortalPath, SettingsInterface, QStringLiteral("SettingChanged"), this,
        SLOT(onSettingChanged(QString, QString, QDBusVariant)));
    subscribed = false;
}

void PortalSystemTheme::onSettingChanged(const QString& nameSpace, const QString& key,
                                         const QDBusVariant& value)
{
    Q_UNUSED(value)
    if (!armed || nameSpace != AppearanceNamespace || key != ColorSchemeKey)
        return;
    stopWatch();
    emit changed();
}

void PortalSystemTheme::reportMissingPortal(const QString& reason)
{
    if (missingReported)
        return;
    missingReported = true;
    qCInfo(lcPlatform).noquote() << "No desktop portal colour scheme (" + reason.trimmed()
            + "); the system theme is taken as light.";
}
