#pragma once

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QTime>

// Makes the local date-times of a long list of stored times. Building a local QDateTime asks
// the C library for the zone's offset (mktime), which costs more than reading the entry it
// comes from; times of the same hour share one offset, so each hour is asked once. Zones
// change their offset on the hour; hours near a change are not shared.
class LocalTimes
{
public:
    // The instant of date and time on the local clock, as QDateTime(date, time) gives it.
    QDateTime at(const QDate& date, const QTime& time);

private:
    QHash<qint64, int> offsets; // seconds east of UTC, by hours since the Julian day 0
};
