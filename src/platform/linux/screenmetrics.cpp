#include "platform/screenmetrics.h"

#include <QGuiApplication>
#include <QScreen>

QHash<QString, QVariant> ScreenMetrics::current()
{
    const QScreen* screen = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
        ? QGuiApplication::primaryScreen()
        : nullptr;
    if (!screen)
        return make(0, 0, 1.0);
    const QSize pixels = screen->size() * screen->devicePixelRatio();
    return make(pixels.width(), pixels.height(), screen->logicalDotsPerInch() / 96.0);
}
