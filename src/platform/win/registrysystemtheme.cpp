#include "platform/win/registrysystemtheme.h"

#include "core/logging.h"

#include <QDebug>
#include <QPointer>
#include <QSettings>

namespace {

const wchar_t PersonalizeSubKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";

} // namespace

SystemTheme* SystemTheme::create(QObject* parent)
{
    return new RegistrySystemTheme(parent);
}

RegistrySystemTheme::RegistrySystemTheme(QObject* parent)
    : SystemTheme(parent)
{ }

RegistrySystemTheme::~RegistrySystemTheme()
{
    stopWatch();
}

bool RegistrySystemTheme::appsUseLightTheme()
{
    const QSettings personalize(
        QStringLiteral(
            "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize"),
        QSettings::NativeFormat);
    return personalize.value(QStringLiteral("AppsUseLightTheme"), true).toBool();
}

void RegistrySystemTheme::watch()
{
    stopWatch();
    if (RegOpenKeyExW(HKEY_CURRENT_USER, PersonalizeSubKey, 0, KEY_NOTIFY, &key) != ERROR_SUCCESS) {
        key = nullptr;
        qCWarning(lcPlatform) << "Failed to open registry key";
        return;
    }
    changeEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const bool armed = changeEvent
        && RegNotifyChangeKeyValue(key, TRUE, REG_NOTIFY_CHANGE_LAST_SET, changeEvent, TRUE)
            == ERROR_SUCCESS
        && RegisterWaitForSingleObject(&waitRegistration, changeEvent,
                                       &RegistrySystemTheme::onEventSignalled, this, INFINITE,
                                       WT_EXECUTEINWAITTHREAD | WT_EXECUTEONLYONCE);
    if (!armed) {
        waitRegistration = nullptr;
        stopWatch();
    }
}

// Waits for a callback that is already running (INVALID_HANDLE_VALUE), so that none is left
// that could post to this object after it is gone.
void RegistrySystemTheme::stopWatch()
{
    if (waitRegistration) {
        UnregisterWaitEx(waitRegistration, INVALID_HANDLE_VALUE);
        waitRegistration = nullptr;
    }
    if (changeEvent) {
        CloseHandle(changeEvent);
        changeEvent = nullptr;
    }
    if (key) {
        RegCloseKey(key);
        key = nullptr;
    }
    ++arming;
}

// Runs on a thread of the system pool while the registration exists; stopWatch() waits for it
// to return, so the object is alive here. It touches nothing but a posted call.
void CALLBACK RegistrySystemTheme::onEventSignalled(PVOID context, BOOLEAN timedOut)
{
    Q_UNUSED(timedOut)
    auto* self = static_cast<RegistrySystemTheme*>(context);
    const quint64 forArming = self->arming;
    QPointer<RegistrySystemTheme> guard(self);
    QMetaObject::invokeMethod(
        self,
        [guard, forArming] {
            if (guard)
                guard->onNotified(forArming);
        },
        Qt::QueuedConnection);
}

void RegistrySystemTheme::onNotified(quint64 forArming)
{
    if (forArming == arming)
        emit changed();
}
