#include "device/devicemodel.h"

#include <QDebug>

DeviceModel::DeviceModel(QObject* parent)
    : QAbstractListModel(parent)
{ }

int DeviceModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows.size();
}

QVariant DeviceModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return QVariant();
    return field(rows.value(index.row()), role);
}

bool DeviceModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.row() >= rows.size() || value == data(index, role))
        return false;
    DeviceDataInfo record = rows.at(index.row());
    // A role without a field changes nothing, so it must not be reported as a change.
    if (!setField(&record, role, value))
        return false;
    rows[index.row()] = record;
    emit dataChanged(index, index, {role});
    return true;
}

QHash<int, QByteArray> DeviceModel::roleNames() const
{
    return {
        {DevicePathRole, "_devicePath"},           {DeviceReportPathRole, "_deviceReportPath"},
        {DeviceNameRole, "_deviceName"},           {DeviceTypeRole, "_deviceType"},
        {ConnectTypeRole, "_connectType"},         {ConnectStateRole, "_connectState"},
        {BatteryValueRole, "_batteryValue"},       {ImageSourceRole, "_imageSource"},
        {TypeImageSourceRole, "_typeImageSource"}, {IsOpenRole, "_isOpen"},
        {BatteryStatusRole, "_batteryStatus"},
    };
}

void DeviceModel::setCurrentIndex(int currentIndex)
{
    current = currentIndex;
}

int DeviceModel::currentIndex() const
{
    return current;
}

QVariantMap DeviceModel::get(int index) const
{
    if (index < 0 || index >= rows.size())
        return QVariantMap();
    return toMap(rows.at(index));
}

void DeviceModel::addDevice(const DeviceDataInfo& record)
{
    beginInsertRows(QModelIndex(), rows.size(), rows.size());
    rows.append(record);
    endInsertRows();
}

void DeviceModel::clearDevices()
{
    if (rows.isEmpty())
        return;
    beginRemoveRows(QModelIndex(), 0, rows.size() - 1);
    rows.clear();
    endRemoveRows();
}

bool DeviceModel::updateDevice(int row, const DeviceDataInfo& record)
{
    if (row < 0 || row >= rows.size())
        return false;
    beginResetModel();
    rows[row] = record;
    endResetModel();
    return true;
}

QVariant DeviceModel::field(const DeviceDataInfo& record, int role)
{
    switch (role) {
    case DevicePathRole:
        return record.devicePath;
    case DeviceReportPathRole:
        return record.deviceReportPath;
    case DeviceNameRole:
        return record.deviceName;
    case DeviceTypeRole:
        return record.deviceType;
    case ConnectTypeRole:
        return record.connectType;
    case ConnectStateRole:
        return record.connectState;
    case BatteryValueRole:
        return record.batteryValue;
    case ImageSourceRole:
        return record.imageSource;
    case TypeImageSourceRole:
        return record.typeImageSource;
    case IsOpenRole:
        return record.isOpen;
    case BatteryStatusRole:
        return record.batteryStatus;
    default:
        return QVariant();
    }
}

bool DeviceModel::setField(DeviceDataInfo* record, int role, const QVariant& value)
{
    QString* texts[] = {&record->devicePath,     &record->deviceReportPath,
                        &record->deviceName,     nullptr,
                        &record->connectType,    &record->connectState,
                        &record->batteryValue,   &record->imageSource,
                        &record->typeImageSource};
    if (role == DeviceTypeRole)
        record->deviceType = value.toInt();
    else if (role == IsOpenRole)
        record->isOpen = value.toBool();
    else if (role == BatteryStatusRole)
        record->batteryStatus = value.toInt();
    else if (role >= DevicePathRole && role <= TypeImageSourceRole)
        *texts[role] = value.toString();
    else
        return false;
    return true;
}

QVariantMap DeviceModel::toMap(const DeviceDataInfo& record)
{
    return {
        {QStringLiteral("pid"), record.pid},
        {QStringLiteral("vid"), record.vid},
        {QStringLiteral("devicePath"), record.devicePath},
        {QStringLiteral("deviceReportPath"), record.deviceReportPath},
        {QStringLiteral("deviceName"), record.deviceName},
        {QStringLiteral("deviceType"), record.deviceType},
        {QStringLiteral("connectType"), record.connectType},
        {QStringLiteral("connectState"), record.connectState},
        {QStringLiteral("batteryValue"), record.batteryValue},
        {QStringLiteral("imageSource"), record.imageSource},
        {QStringLiteral("typeImageSource"), record.typeImageSource},
        {QStringLiteral("isOpen"), record.isOpen},
        {QStringLiteral("batteryStatus"), record.batteryStatus},
    };
}
