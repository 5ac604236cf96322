#include "shot.h"

QVector<Shot> allShots()
{
    QVector<Shot> shots;
    shots += chatShots();
    shots += trayShots();
    return shots;
}
