#pragma once

#include "platform/systemtheme.h"

#include <windows.h>

// "AppsUseLightTheme" under the user's Personalize key. The watch is a registry change
// notification whose event is waited for by the system thread pool; the pool's callback only
// posts a queued call to the GUI thread.
class RegistrySystemTheme : public SystemTheme
{
    Q_OBJECT

public:
    explicit RegistrySystemTheme(QObject* parent = nullptr);
    ~RegistrySystemTheme() override;

    bool appsUseLightTheme() override;
    void watch() override;
    void stopWatch() override;

private:
    static void CALLBACK onEventSignalled(PVOID context, BOOLEAN timedOut);
    void onNotified(quint64 forArming);

    HKEY key = nullptr;
    HANDLE changeEvent = nullptr;
    HANDLE waitRegistration = nullptr;
    // Counts the armings, so a notification that was already posted when its watch was
    // stopped is dropped. Written on the GUI thread only while no callback can run.
    quint64 arming = 0;
};
