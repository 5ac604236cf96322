#pragma once

#include <QAbstractListModel>
#include <QString>
#include <QVector>

struct DialogRecord
{
    int sender = 0; // 0: the user's question, 1: the answer or a status text in its place
    QString content; // the question as typed, or the answer as HTML
    QString reasoningContent; // the model's reasoning as HTML, empty when there is none
};

// The messages of the conversation in the chat panel, oldest first.
class DialogModel : public QAbstractListModel
{
    Q_OBJECT

public:
    // The views address roles by name; the numbers start at 0 on purpose.
    enum Role { SenderRole = 0, ContentRole = 1, ReasoningContentRole = 2 };

    explicit DialogModel(QObject* parent = nullptr);

    Q_INVOKABLE int rowCount(const QModelIndex& parent) const override;
    Q_INVOKABLE int rowCount() const;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QHash<int, QByteArray> roleNames() const override;

    void append(int sender, const QString& content, const QString& reasoningContent);
    void deleteAtIndex(int index);
    QString contentAt(int index) const;
    const QVector<DialogRecord>& items() const;
    Q_INVOKABLE void clearAll();

private:
    bool contains(int row) const;

    QVector<DialogRecord> records;
};
