#include "chat/conversationfiltermodel.h"

#include "chat/dialoginfomodel.h"

#include <QHash>

ConversationFilterModel::ConversationFilterModel(DialogInfoModel* conversations, QObject* parent)
    : QAbstractListModel(parent)
    , conversations(conversations)
{
    connect(conversations, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) { onInserted(first, last); });
    connect(conversations, &QAbstractItemModel::rowsRemoved, this,
            [this](const QModelIndex&, int first, int last) { onRemoved(first, last); });
    // Unfiltered rows follow the list as it changes; the filtered ones are counted anew.
    connect(conversations, &QAbstractItemModel::rowsAboutToBeInserted, this,
            [this](const QModelIndex&, int first, int last) {
                if (!filtering())
                    beginInsertRows(QModelIndex(), first, last);
            });
    connect(conversations, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this](const QModelIndex&, int first, int last) {
                if (!filtering())
                    beginRemoveRows(QModelIndex(), first, last);
            });
    connect(conversations, &QAbstractItemModel::dataChanged, this,
            &ConversationFilterModel::onChanged);
    connect(conversations, &QAbstractItemModel::modelAboutToBeReset, this,
            &ConversationFilterModel::beginResetModel);
    connect(conversations, &QAbstractItemModel::modelReset, this, [this] {
        text.clear();
        shown.clear();
        endResetModel();
        emit searchTextChanged();
    });
}

QString ConversationFilterModel::searchText() const
{
    return text;
}

bool ConversationFilterModel::filtering() const
{
    return !text.isEmpty();
}

void ConversationFilterModel::showResult(const QString& searched, const QStringList& fileNames)
{
    QVector<int> rows;
    if (!searched.isEmpty()) {
        const QVector<DialogInfoRecord>& records = conversations->items();
        QHash<QString, int> rowOf;
        rowOf.reserve(records.size());
        for (int row = records.size() - 1; row >= 0; --row)
            rowOf.insert(records.at(row).fileName, row); // the first of a shared name wins
        rows.reserve(fileNames.size());
        for (const QString& fileName : fileNames) {
            const auto found = rowOf.constFind(fileName);
            if (found != rowOf.cend())
                rows.append(found.value());
        }
    }
    const bool changed = text != searched;
    beginResetModel();
    text = searched;
    shown = rows;
    endResetModel();
    if (changed)
        emit searchTextChanged();
}

int ConversationFilterModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return filtering() ? shown.size() : conversations->rowCount();
}

QVariant ConversationFilterModel::data(const QModelIndex& index, int role) const
{
    const int source = index.isValid() ? sourceRow(index.row()) : -1;
    if (source < 0)
        return {};
    if (role == RowRole)
        return source;
    return conversations->data(conversations->index(source), role);
}

QHash<int, QByteArray> ConversationFilterModel::roleNames() const
{
    QHash<int, QByteArray> names = conversations->roleNames();
    names.insert(RowRole, QByteArrayLiteral("row"));
    return names;
}

int ConversationFilterModel::sourceRow(int row) const
{
    if (!filtering())
        return row >= 0 && row < conversations->rowCount() ? row : -1;
    return shown.value(row, -1);
}

void ConversationFilterModel::onInserted(int first, int last)
{
    if (!filtering()) {
        endInsertRows();
        return;
    }
    // The rows after the new ones moved down; the new ones wait for the next search.
    for (int& row : shown) {
        if (row >= first)
            row += last - first + 1;
    }
}

void ConversationFilterModel::onRemoved(int first, int last)
{
    if (!filtering()) {
        endRemoveRows();
        return;
    }
    for (int at = shown.size() - 1; at >= 0; --at) {
        int& row = shown[at];
        if (row > last) {
            row -= last - first + 1;
        } else if (row >= first) {
            beginRemoveRows(QModelIndex(), at, at);
            shown.removeAt(at);
            endRemoveRows();
        }
    }
}

void ConversationFilterModel::onChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                        const QVector<int>& roles)
{
    for (int source = topLeft.row(); source <= bottomRight.row(); ++source) {
        const int row = filtering() ? shown.indexOf(source) : source;
        if (row >= 0)
            emit dataChanged(index(row), index(row), roles);
    }
}
