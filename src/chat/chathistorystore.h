#pragma once

#include "core/jsonfile.h"

#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QVector>

// The conversations on disk: "ChatHistory/OverallTable.json" lists every conversation, and
// each conversation has a file of its own named after its creation time. Every call reads and
// writes whole files and nothing is cached, so the files always mirror the last call. Failures
// are only logged; the caller's models keep their state either way.
class ChatHistoryStore
{
public:
    struct IndexEntry
    {
        QString title;
        QString fileName; // base name of the conversation file, "yyyyMMddHHmmss"
        QDateTime modifiedTime; // creation time; invalid when the stored text does not parse
    };

    struct Message
    {
        int sender = 0; // 0 question, 1 answer or status text
        QString content;
        QString reasoningContent;
    };

    struct Conversation
    {
        enum class Outcome { Loaded, Missing, Unreadable };
        Outcome outcome = Outcome::Missing;
        QVector<Message> messages;
    };

    // dataDir is the user data directory; the files live in its "ChatHistory" folder.
    explicit ChatHistoryStore(const QString& dataDir);

    // Also creates the history folder, so it is there before the first write.
    QVector<IndexEntry> loadIndex() const;

    // The write operations return whether the file was written.
    bool appendIndexEntry(const QString& title, const QString& fileName,
                          const QDateTime& time) const;
    // Retitles every entry with that file name.
    bool renameIndexEntry(const QString& fileName, const QString& title) const;
    // startNewFile replaces any file of that name with one holding just this message.
    bool appendMessage(const QString& fileName, bool startNewFile, int sender,
                       const QString& content, const QString& reasoningContent) const;
    bool removeLastMessage(const QString& fileName) const;
    // Removes the index entry at position when it names fileName (else the first entry that
    // does), then the conversation file, unless another entry still names it. False, with
    // nothing removed, when the index cannot be read or written; a file that is already gone
    // is no failure.
    bool removeConversation(int position, const QString& fileName) const;
    Conversation loadConversation(const QString& fileName) const;

    // True when the index names fileName or its conversation file exists, so that a new
    // conversation started in the same second as another does not take over its file.
    bool isFileNameInUse(const QString& fileName) const;

    QString historyDir() const;
    QString indexPath() const;
    QString conversationPath(const QString& fileName) const;

private:
    friend class ConversationSaver; // does the conversation rewrites off the calling thread

    // A file read for a rewrite: its root object and how the read went.
    struct Document
    {
        JsonFile::Status status = JsonFile::Status::Missing;
        QJsonObject root;
    };

    static Document inspect(const QString& path, const QString& arrayKey);
    static bool readForUpdate(const QString& path, const QString& arrayKey, bool logMissing,
                              Document* document);
    static bool writeDocument(const QString& path, const QJsonObject& root,
                              JsonFile::Status previous);
    bool appendToConversation(const QString& fileName, const QJsonObject& message) const;

    QString dataDir;
};
