#include "chat/localtimes.h"

namespace {

// Further than any time of an hour is from another of the same hour.
constexpr int Margin = 2 * 3600;

} // namespace

QDateTime LocalTimes::at(const QDate& date, const QTime& time)
{
    const qint64 hour = date.toJulianDay() * 24 + time.hour();
    const auto found = offsets.constFind(hour);
    if (found != offsets.constEnd())
        return QDateTime(date, time, Qt::OffsetFromUTC, *found);
    const QDateTime local(date, time);
    // Near a change of the offset (a skipped or a repeated hour) every time is asked for.
    const int offset = local.offsetFromUtc();
    if (local.isValid() && local.addSecs(-Margin).offsetFromUtc() == offset
        && local.addSecs(Margin).offsetFromUtc() == offset)
        offsets.insert(hour, offset);
    return local;
}
