#include "app/scalerule.h"

namespace {

constexpr int AreaWidth = 1540;
constexpr int AreaHeight = 1000;

} // namespace

double ScaleRule::scaleFor(const QHash<QString, QVariant>& metrics)
{
    // Single precision, as earlier releases read it: in double a ratio such as 1.1 would give a
    // slightly different factor than the one stored, and the first start after an update would
    // end at once.
    const double dpi = metrics.value(QStringLiteral("dpi")).toFloat();
    const int width = metrics.value(QStringLiteral("width")).toInt();
    const int height = metrics.value(QStringLiteral("height")).toInt();

    const double byWidth = dpi * AreaWidth > width ? double(width) / AreaWidth : dpi;
    const double byHeight = dpi * AreaHeight > height ? double(height) / AreaHeight : dpi;
    return byWidth >= byHeight ? byHeight : byWidth;
}
