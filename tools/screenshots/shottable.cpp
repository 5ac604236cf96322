#include "shot.h"

QVector<Shot> allShots()
{
    QVector<Shot> shots;
    shots += chatShots();
    shots += controlShots();
    shots += languageShots();
    shots += trayShots();
    return shots;
}
