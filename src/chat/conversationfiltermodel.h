#pragma once

#include <QAbstractListModel>
#include <QString>
#include <QStringList>
#include <QVector>

class DialogInfoModel;

// The conversations as the history panel lists them: all of them in the order of the index,
// or, while a search text is set, the conversations it found, newest first. Each row also
// names its row in the conversation list ("row"), which the manager's operations take.
//
// A plain list of rows of the conversation list rather than a sort-filter proxy: showing the
// result of a search over ten thousand conversations is one reset, not ten thousand calls of
// filter and comparison functions on the GUI thread.
class ConversationFilterModel : public QAbstractListModel
{
    Q_OBJECT
    Q_PROPERTY(QString searchText READ searchText NOTIFY searchTextChanged)
    Q_PROPERTY(bool filtering READ filtering NOTIFY searchTextChanged)

public:
    // After the roles of the conversation list (title 0, fileName 1, modifiedTime 2).
    enum Role { RowRole = 3 };

    explicit ConversationFilterModel(DialogInfoModel* conversations, QObject* parent = nullptr);

    QString searchText() const;
    bool filtering() const;
    // The result of a search: an empty text shows every conversation again.
    void showResult(const QString& text, const QStringList& fileNames);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

signals:
    void searchTextChanged();

private:
    int sourceRow(int row) const;
    void onInserted(int first, int last);
    void onRemoved(int first, int last);
    void onChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                   const QVector<int>& roles);

    DialogInfoModel* conversations;
    QString text;
    QVector<int> shown; // while filtering: the rows of the conversation list, in order
};
