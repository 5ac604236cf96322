#pragma once

#include <QAbstractListModel>
#include <QList>
#include <QLocale>
#include <QString>

// One selectable language; locale.name() ("zh_CN", "en_US") is what is stored and compared.
struct LanguageItem
{
    bool checkable = true;
    QString lang;
    bool checked = false;
    QLocale locale;
};

// The selectable languages for the views. Roles are numbered 0, 1 and 2 themselves, not from
// Qt::UserRole.
class LanguageModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role {
        CheckableRole = 0,
        LangRole = 1,
        CheckedRole = 2,
    };
    Q_ENUM(Role)

    explicit LanguageModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QHash<int, QByteArray> roleNames() const override;
    // Both refuse (false) a range that does not fit the list, and a child parent.
    bool insertRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;

    void append(const LanguageItem& item);
    // Ignore a row outside the list (insert: 0 to the end, both included).
    void insert(int row, const LanguageItem& item);
    void removeAt(int row);
    void replace(int row, const LanguageItem& item);
    // A default item for a row outside the list.
    LanguageItem item(int row) const;

private:
    bool validRow(int row) const;

    QList<LanguageItem> items;
};
