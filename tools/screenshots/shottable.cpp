#include "shot.h"

QVector<Shot> allShots()
{
    QVector<Shot> shots;
    shots += chatShots();
    shots += languageShots();
    return shots;
}
