#pragma once

#include <QString>
#include <QVariantMap>

// What of a secret may appear in a log line: enough to tell two apart, never enough to use.
class LogRedaction
{
public:
    // A keyboard's serial number: "…" and its last four characters ("…0001").
    static QString serial(const QString& serialNumber);
    // An API key or a signature: its first four characters and its length ("lumo…(17)").
    static QString secret(const QString& value);
    // A provider record with its "apiKey" shortened.
    static QVariantMap record(const QVariantMap& providerRecord);
};
