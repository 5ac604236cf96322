#include "chat/dialogmodel.h"

#include "core/logging.h"

#include <QDebug>

DialogModel::DialogModel(QObject* parent)
    : QAbstractListModel(parent)
{ }

int DialogModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : records.size();
}

int DialogModel::rowCount() const
{
    return records.size();
}

QVariant DialogModel::data(const QModelIndex& index, int role) const
{
    if (!contains(index.row())) {
        qCDebug(lcChat).noquote().nospace()
            << "[ERROR]DialogModel::data() Invalid index: " << index.row();
        return {};
    }
    const DialogRecord& record = records.at(index.row());
    switch (role) {
    case SenderRole:
        return record.sender;
    case ContentRole:
        return record.content;
    case ReasoningContentRole:
        return record.reasoningContent;
    default:
        qCDebug(lcChat).noquote().nospace()
            << "[ERROR]DialogModel::data() Invalid role name: " << role;
        return {};
    }
}

// Stores and signals even an unchanged value: the manager relies on every update reaching
// the view.
bool DialogModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!contains(index.row())) {
        qCDebug(lcChat).noquote().nospace()
            << "[ERROR]DialogModel::setData() Invalid index: " << index.row();
        return false;
    }
    DialogRecord& record = records[index.row()];
    switch (role) {
    case SenderRole:
        record.sender = value.toInt();
        break;
    case ContentRole:
        record.content = value.toString();
        break;
    case ReasoningContentRole:
        record.reasoningContent = value.toString();
        break;
    default:
        qCDebug(lcChat).noquote().nospace()
            << "[ERROR]DialogModel::setData() Invalid role name: " << role;
        return false;
    }
    emit dataChanged(index, index, {role});
    return true;
}

QHash<int, QByteArray> DialogModel::roleNames() const
{
    return {{SenderRole, QByteArrayLiteral("sender")},
            {ContentRole, QByteArrayLiteral("content")},
            {ReasoningContentRole, QByteArrayLiteral("reasoningContent")}};
}

void DialogModel::append(int sender, const QString& content, const QString& reasoningContent)
{
    beginInsertRows(QModelIndex(), records.size(), records.size());
    records.append({sender, content, reasoningContent});
    endInsertRows();
}

// Removal is announced as a reset: the views rebuild their delegates.
void DialogModel::deleteAtIndex(int index)
{
    if (!contains(index)) {
        qCDebug(lcChat).noquote().nospace()
            << "[ERROR]DialogModel::deleteAtIndex() Invalid index: " << index;
        return;
    }
    beginResetModel();
    records.remove(index);
    endResetModel();
}

QString DialogModel::contentAt(int index) const
{
    return contains(index) ? records.at(index).content : QString();
}

const QVector<DialogRecord>& DialogModel::items() const
{
    return records;
}

void DialogModel::clearAll()
{
    beginResetModel();
    records.clear();
    endResetModel();
}

bool DialogModel::contains(int row) const
{
    return row >= 0 && row < records.size();
}
