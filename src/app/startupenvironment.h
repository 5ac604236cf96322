#pragma once

#include <QString>

// The environment the process gives itself before the application object exists.
class StartupEnvironment
{
public:
    // Sets QSG_RENDER_LOOP to "basic" and QT_SCALE_FACTOR to the stored scale (six significant
    // digits); returns the stored scale.
    static double applyStartupEnvironment(const QString& programPath);
};
