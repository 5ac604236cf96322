#pragma once

#include <QJsonArray>
#include <QList>
#include <QString>

// What the maker-service stand-in hands out: the provider list and the policy pages.
class ServiceCatalog
{
public:
    // One record of the provider list.
    struct Record
    {
        QString platform;
        int mode = 0; // 0..3: bit 0 deep thinking, bit 1 online search
        QString model;
    };

    // The "data" array of a list reply: one category per list, apiUrl pointing at baseUrl.
    static QJsonArray listData(const QList<Record>& records, const QString& baseUrl);

    static QList<Record> fullList(); // one "tencent" record per mode, plus a foreign one
    static QList<Record> modes03List();
    static QList<Record> foreignList();
    static QList<Record> alternateList(bool second);

    // HTML of "/static/<name>", or an empty string for an unknown page.
    static QString page(const QString& name);
};
