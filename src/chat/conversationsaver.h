#pragma once

#include "chat/chathistorystore.h"
#include "core/jsonfile.h"

#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QThreadPool>

// Stores the messages of the conversation on screen without stalling the window.
//
// ChatHistoryStore reads, parses and rewrites the whole conversation file for every message,
// on the calling thread: in a long conversation that is tens of milliseconds per message, and
// even putting a long answer into a JSON value takes milliseconds. The saver does all of it on
// a worker thread, one change after another in the order they were asked for: it keeps the
// parsed conversation in memory there, changes it, and writes the file whole and atomic
// (JsonFile) in the same format. The caller only hands the texts over (shared, not copied).
// flush() waits for the writes; the destructor flushes, so nothing is lost at exit.
//
// The file is read again when it changed behind our back since our last write (deleted, or
// written by someone else), so the store's logs and broken-file handling stay as they are:
// "File doesn't exist: " for a missing file, "Failed to open file: " for one that cannot be
// read (nothing is written then) or written, a broken file kept aside first.
class ConversationSaver
{
public:
    ConversationSaver();
    ~ConversationSaver();
    ConversationSaver(const ConversationSaver&) = delete;
    ConversationSaver& operator=(const ConversationSaver&) = delete;

    // As ChatHistoryStore::appendMessage and removeLastMessage; the file follows shortly.
    void appendMessage(const ChatHistoryStore& store, const QString& fileName, bool startNewFile,
                       int sender, const QString& content, const QString& reasoningContent);
    void removeLastMessage(const ChatHistoryStore& store, const QString& fileName);
    // As ChatHistoryStore::appendIndexEntry, on the worker and in order with the messages: the
    // index is rewritten whole, tens of milliseconds in a long history. Anything else that
    // changes the index flushes first.
    void appendIndexEntry(const ChatHistoryStore& store, const QString& title,
                          const QString& fileName, const QDateTime& time);

    // Waits until every change so far is on disk.
    void flush();

private:
    struct Written
    {
        QString path;
        bool exists = false; // false after a failed write: the next change reads the file
        qint64 size = -1;
        QDateTime modified;
    };

    // On the worker.
    void append(const QString& target, bool startNewFile, const QJsonObject& message);
    void removeLast(const QString& target);
    bool loadForUpdate(const QString& target);
    bool isCurrent(const QString& target) const;
    void write();

    // Touched only on the worker: the conversation in memory, as its file is on disk.
    QString path;
    QJsonObject root;
    JsonFile::Status status = JsonFile::Status::Missing;
    Written written; // the file as our last successful write left it

    QThreadPool worker; // one thread: changes run one after another, in order
};
