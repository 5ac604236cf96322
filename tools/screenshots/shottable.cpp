#include "shot.h"

QVector<Shot> allShots()
{
    QVector<Shot> shots;
    shots += chatShots();
    shots += languageShots();
    shots += trayShots();
    return shots;
}
