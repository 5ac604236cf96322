#include "app/startupenvironment.h"

#include "app/screenscale.h"

double StartupEnvironment::applyStartupEnvironment(const QString& programPath)
{
    qputenv("QSG_RENDER_LOOP", QByteArrayLiteral("basic"));
    const double scale = ScreenScale::storedScale(programPath);
    qputenv("QT_SCALE_FACTOR", QString::number(scale, 'g', 6).toLatin1());
    return scale;
}
