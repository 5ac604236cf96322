#pragma once

#include "device/devicedatainfo.h"

#include <QAbstractListModel>
#include <QList>
#include <QVariantMap>

// The connected devices, one row per device record, in insertion order. Roles are numbered
// from 0.
class DeviceModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role {
        DevicePathRole = 0,
        DeviceReportPathRole,
        DeviceNameRole,
        DeviceTypeRole,
        ConnectTypeRole,
        ConnectStateRole,
        BatteryValueRole,
        ImageSourceRole,
        TypeImageSourceRole,
        IsOpenRole,
        BatteryStatusRole,
    };

    explicit DeviceModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QHash<int, QByteArray> roleNames() const override;

    Q_INVOKABLE void setCurrentIndex(int currentIndex);
    Q_INVOKABLE int currentIndex() const;
    Q_INVOKABLE QVariantMap get(int index) const;

    void addDevice(const DeviceDataInfo& record);
    void clearDevices();
    bool updateDevice(int row, const DeviceDataInfo& record);

    static QVariant field(const DeviceDataInfo& record, int role);
    // False for a role without a field.
    static bool setField(DeviceDataInfo* record, int role, const QVariant& value);
    static QVariantMap toMap(const DeviceDataInfo& record);

signals:
    void deviceListChanged();

private:
    QList<DeviceDataInfo> rows;
    int current = -1;
};
