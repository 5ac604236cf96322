#include "platform/screenmetrics.h"

#include <QGuiApplication>
#include <QScreen>
#include <qpa/qplatformscreen.h>

QHash<QString, QVariant> ScreenMetrics::current()
{
    const bool guiExists = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    const QScreen* screen = guiExists ? QGuiApplication::primaryScreen() : nullptr;
    if (!screen || !screen->handle())
        return {};
    // The platform screen reports native pixels and the desktop's own logical DPI, untouched
    // by QT_SCALE_FACTOR; QScreen's values are divided by that factor and rounded, which
    // could make the computed scale drift between starts.
    const QPlatformScreen* native = screen->handle();
    const QRect geometry = native->geometry();
    return make(geometry.width(), geometry.height(), native->logicalDpi().first / 96.0);
}
