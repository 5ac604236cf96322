#pragma once

#include <QAbstractListModel>
#include <QDateTime>
#include <QString>
#include <QVector>

struct DialogInfoRecord
{
    QString title; // the first 30 characters of the first question, or the user's title
    QString fileName; // base name of the conversation's file: "yyyyMMddHHmmss"
    QDateTime modifiedTime; // creation time of the conversation
};

// The stored conversations in the history panel, in the order of the history index.
class DialogInfoModel : public QAbstractListModel
{
    Q_OBJECT

public:
    // The views address roles by name; the numbers start at 0 on purpose.
    enum Role { TitleRole = 0, FileNameRole = 1, ModifiedTimeRole = 2 };

    explicit DialogInfoModel(QObject* parent = nullptr);

    Q_INVOKABLE int rowCount(const QModelIndex& parent) const override;
    Q_INVOKABLE int rowCount() const;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QHash<int, QByteArray> roleNames() const override;

    void append(const QString& title, const QString& fileName, const QDateTime& modifiedTime);
    // Does nothing for a row outside the list.
    void remove(int row);
    const QVector<DialogInfoRecord>& items() const;

private:
    bool contains(int row) const;

    QVector<DialogInfoRecord> records;
};
