#include "platform/screenmetrics.h"

QHash<QString, QVariant> ScreenMetrics::make(int width, int height, double dpiRatio)
{
    QHash<QString, QVariant> metrics;
    metrics.insert(QStringLiteral("width"), width);
    metrics.insert(QStringLiteral("height"), height);
    metrics.insert(QStringLiteral("dpi"), dpiRatio);
    return metrics;
}
