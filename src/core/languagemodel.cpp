#include "core/languagemodel.h"

#include "core/logging.h"

#include <QDebug>

LanguageModel::LanguageModel(QObject* parent)
    : QAbstractListModel(parent)
{ }

int LanguageModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : items.size();
}

// A flat list: the root has the rows as children, a row has none. Answering false for the root
// too would hide the rows from views that ask before they count.
bool LanguageModel::hasChildren(const QModelIndex& parent) const
{
    return !parent.isValid() && !items.isEmpty();
}

bool LanguageModel::canFetchMore(const QModelIndex& parent) const
{
    Q_UNUSED(parent)
    return false;
}

void LanguageModel::fetchMore(const QModelIndex& parent)
{
    Q_UNUSED(parent)
}

QVariant LanguageModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !validRow(index.row()) || index.column() != 0) {
        qCDebug(lcCore) << "[ERROR]LanguageModel::data() Invalid index:" << index.row();
        return QVariant();
    }
    const LanguageItem& entry = items.at(index.row());
    switch (role) {
    case CheckableRole:
        return entry.checkable;
    case LangRole:
        return entry.lang;
    case CheckedRole:
        return entry.checked;
    default:
        return QVariant();
    }
}

bool LanguageModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || !validRow(index.row()) || !roleNames().contains(role))
        return false;
    if (data(index, role) == value)
        return false;
    LanguageItem& entry = items[index.row()];
    if (role == LangRole)
        entry.lang = value.toString();
    else if (role == CheckableRole)
        entry.checkable = value.toBool();
    else
        entry.checked = value.toBool();
    emit dataChanged(index, index, {role});
    return true;
}

Qt::ItemFlags LanguageModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return QAbstractListModel::flags(index) | Qt::ItemIsEditable;
}

QHash<int, QByteArray> LanguageModel::roleNames() const
{
    return {
        {CheckableRole, QByteArrayLiteral("_checkable")},
        {LangRole, QByteArrayLiteral("_lang")},
        {CheckedRole, QByteArrayLiteral("_checked")},
    };
}

bool LanguageModel::insertRows(int row, int count, const QModelIndex& parent)
{
    if (parent.isValid() || row < 0 || row > items.size() || count < 1)
        return false;
    beginInsertRows(parent, row, row + count - 1);
    for (int i = 0; i < count; ++i)
        items.insert(row, LanguageItem {true, QString(), false, QLocale(QString())});
    endInsertRows();
    return true;
}

bool LanguageModel::removeRows(int row, int count, const QModelIndex& parent)
{
    if (parent.isValid() || row < 0 || count < 1 || count > items.size() - row)
        return false;
    beginRemoveRows(parent, row, row + count - 1);
    for (int i = 0; i < count; ++i)
        items.removeAt(row);
    endRemoveRows();
    return true;
}

void LanguageModel::append(const LanguageItem& item)
{
    beginResetModel();
    items.append(item);
    endResetModel();
}

void LanguageModel::insert(int row, const LanguageItem& item)
{
    if (row < 0 || row > items.size())
        return;
    beginInsertRows(QModelIndex(), row, row);
    items.insert(row, item);
    endInsertRows();
}

void LanguageModel::removeAt(int row)
{
    if (!validRow(row))
        return;
    beginRemoveRows(QModelIndex(), row, row);
    items.removeAt(row);
    endRemoveRows();
}

void LanguageModel::replace(int row, const LanguageItem& item)
{
    if (!validRow(row))
        return;
    removeAt(row);
    insert(row, item);
}

LanguageItem LanguageModel::item(int row) const
{
    return validRow(row) ? items.at(row) : LanguageItem();
}

bool LanguageModel::validRow(int row) const
{
    return row >= 0 && row < items.size();
}
