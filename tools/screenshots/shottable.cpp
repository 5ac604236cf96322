#include "shot.h"

QVector<Shot> allShots()
{
    QVector<Shot> shots;
    shots += chatShots();
    return shots;
}
