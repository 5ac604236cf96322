#include "core/logredaction.h"

namespace {

constexpr int SerialTail = 4;
constexpr int SecretHead = 4;
const QString Ellipsis = QStringLiteral("…");

} // namespace

QString LogRedaction::serial(const QString& serialNumber)
{
    if (serialNumber.isEmpty())
        return serialNumber;
    // A short serial shows only half of itself.
    const int shown = qMin(SerialTail, serialNumber.size() / 2);
    return Ellipsis + serialNumber.right(shown);
}

QString LogRedaction::secret(const QString& value)
{
    if (value.isEmpty())
        return value;
    const int shown = qMin(SecretHead, value.size() / 4);
    return value.left(shown) + Ellipsis + QLatin1Char('(') + QString::number(value.size())
        + QLatin1Char(')');
}

QVariantMap LogRedaction::record(const QVariantMap& providerRecord)
{
    QVariantMap shown = providerRecord;
    const QString key = QStringLiteral("apiKey");
    if (shown.contains(key))
        shown.insert(key, secret(shown.value(key).toString()));
    return shown;
}
