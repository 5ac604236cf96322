#pragma once

#include "platform/systemtheme.h"

#include <QString>

class QDBusVariant;

// The desktop portal's "color-scheme" appearance setting on the session bus (1 prefers dark;
// 0, no preference, and 2, prefers light, both mean light here). Without a portal the theme is
// light, and the missing portal is logged once per object, not on every read.
class PortalSystemTheme : public SystemTheme
{
    Q_OBJECT

public:
    explicit PortalSystemTheme(QObject* parent = nullptr);
    ~PortalSystemTheme() override;

    bool appsUseLightTheme() override;
    // Connects to the portal's SettingChanged signal until the first change of the colour
    // scheme.
    void watch() override;
    void stopWatch() override;

private slots:
    void onSettingChanged(const QString& nameSpace, const QString& key, const QDBusVariant& value);

private:
    void reportMissingPortal(const QString& reason);

    bool subscribed = false;
    bool armed = false;
    bool missingReported = false;
};
