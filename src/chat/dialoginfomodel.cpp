#include "chat/dialoginfomodel.h"

#include "core/logging.h"

#include <QDebug>

DialogInfoModel::DialogInfoModel(QObject* parent)
    : QAbstractListModel(parent)
{ }

int DialogInfoModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : records.size();
}

int DialogInfoModel::rowCount() const
{
    return records.size();
}

QVariant DialogInfoModel::data(const QModelIndex& index, int role) const
{
    if (!contains(index.row())) {
        qCDebug(lcChat).noquote().nospace()
            << "[ERROR]DialogInfoModel::data() Invalid index: " << index.row();
        return {};
    }
    const DialogInfoRecord& record = records.at(index.row());
    switch (role) {
    case TitleRole:
        return record.title;
    case FileNameRole:
        return record.fileName;
    case ModifiedTimeRole:
        return record.modifiedTime;
    default:
        qCDebug(lcChat).noquote().nospace()
            << "[ERROR]DialogInfoModel::data() Invalid role name: " << role;
        return {};
    }
}

// Stores and signals even an unchanged value, like DialogModel.
bool DialogInfoModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!contains(index.row())) {
        qCDebug(lcChat).noquote().nospace()
            << "[ERROR]DialogInfoModel::setData() Invalid index: " << index.row();
        return false;
    }
    DialogInfoRecord& record = records[index.row()];
    switch (role) {
    case TitleRole:
        record.title = value.toString();
        break;
    case FileNameRole:
        record.fileName = value.toString();
        break;
    case ModifiedTimeRole:
        record.modifiedTime = value.toDateTime();
        break;
    default:
        qCDebug(lcChat).noquote().nospace()
            << "[ERROR]DialogInfoModel::setData() Invalid role name: " << role;
        return false;
    }
    emit dataChanged(index, index, {role});
    return true;
}

QHash<int, QByteArray> DialogInfoModel::roleNames() const
{
    return {{TitleRole, QByteArrayLiteral("title")},
            {FileNameRole, QByteArrayLiteral("fileName")},
            {ModifiedTimeRole, QByteArrayLiteral("modifiedTime")}};
}

void DialogInfoModel::append(const QString& title, const QString& fileName,
                             const QDateTime& modifiedTime)
{
    beginInsertRows(QModelIndex(), records.size(), records.size());
    records.append({title, fileName, modifiedTime});
    endInsertRows();
}

void DialogInfoModel::remove(int row)
{
    if (!contains(row))
        return;
    beginRemoveRows(QModelIndex(), row, row);
    records.removeAt(row);
    endRemoveRows();
}

const QVector<DialogInfoRecord>& DialogInfoModel::items() const
{
    return records;
}

bool DialogInfoModel::contains(int row) const
{
    return row >= 0 && row < records.size();
}
