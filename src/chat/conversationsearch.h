#pragma once

#include "chat/chathistorystore.h"
#include "chat/dialoginfomodel.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <QVector>

#include <functional>
#include <memory>

// Finds the stored conversations whose title or text contains a text, off the GUI thread.
//
// Reading and parsing every conversation file for each search would take seconds in a long
// history, so the worker keeps the searchable text of each conversation in memory
// (SearchableText: case-folded UTF-8, the markup left out) and reads a file again only when we
// wrote it (conversationChanged); one read of the folder per search notices files that went
// behind our back (looking at each file would cost more than the search). Only this program
// writes the history, so a file's content does not change behind our back. Only the
// latest search answers: one started while another runs makes the older one stop early and
// stay silent. The first search in a long history builds the texts first; prepare() does that
// ahead of it.
class ConversationSearch : public QObject
{
    Q_OBJECT

public:
    // waitForWrites is called on the worker before a conversation we wrote is read again.
    explicit ConversationSearch(std::function<void()> waitForWrites, QObject* parent = nullptr);
    ~ConversationSearch() override;

    // Answers with finished(text, the matching file names, newest first). An empty text
    // matches every conversation.
    void search(const QString& text, const ChatHistoryStore& store,
                const QVector<DialogInfoRecord>& conversations);
    // Reads what the next search will need, in the background.
    void prepare(const ChatHistoryStore& store, const QVector<DialogInfoRecord>& conversations);
    // We changed this conversation's file: the next search reads it again.
    void conversationChanged(const QString& fileName);
    bool isSearching() const;

signals:
    void finished(QString text, QStringList fileNames);
    void searchingChanged();

private:
    struct Shared;
    void setSearching(bool value);

    std::shared_ptr<Shared> shared;
    std::function<void()> waitForWrites;
    QThreadPool worker; // one thread: searches run one after another
    bool searching = false;
};
