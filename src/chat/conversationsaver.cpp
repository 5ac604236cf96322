#include "chat/conversationsaver.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QMutexLocker>

namespace {

const QString ChatKey = QStringLiteral("chat");

} // namespace

ConversationSaver::ConversationSaver()
{
    worker.setMaxThreadCount(1);
    worker.setExpiryTimeout(-1);
}

ConversationSaver::~ConversationSaver()
{
    flush();
}

void ConversationSaver::flush()
{
    worker.waitForDone();
}

void ConversationSaver::appendMessage(const ChatHistoryStore& store, const QString& fileName,
                                      bool startNewFile, int sender, const QString& content,
                                      const QString& reasoningContent)
{
    const QJsonObject message {{QStringLiteral("sender"), sender},
                               {QStringLiteral("content"), content},
                               {QStringLiteral("reasoningContent"), reasoningContent}};
    const QString target = store.conversationPath(fileName);
    if (startNewFile) {
        // Replaces any file of that name; an unparsable one is kept aside by the write.
        flush();
        path = target;
        status = ChatHistoryStore::inspect(target, ChatKey).status;
        root = QJsonObject {{ChatKey, QJsonArray {message}}};
        queueWrite();
        return;
    }
    if (!loadForUpdate(target))
        return;
    QJsonArray chat = root.value(ChatKey).toArray();
    chat.append(message);
    root.insert(ChatKey, chat);
    queueWrite();
}

void ConversationSaver::removeLastMessage(const ChatHistoryStore& store, const QString& fileName)
{
    if (!loadForUpdate(store.conversationPath(fileName)))
        return;
    QJsonArray chat = root.value(ChatKey).toArray();
    if (!chat.isEmpty())
        chat.removeLast();
    root.insert(ChatKey, chat);
    queueWrite();
}

void ConversationSaver::appendIndexEntry(const ChatHistoryStore& store, const QString& title,
                                         const QString& fileName, const QDateTime& time)
{
    worker.start([store, title, fileName, time] { store.appendIndexEntry(title, fileName, time); });
}

// The conversation as the store would read it for a rewrite; from memory when the file is
// still as we left it.
bool ConversationSaver::loadForUpdate(const QString& target)
{
    if (path == target && isCurrent(target))
        return true;
    ChatHistoryStore::Document document;
    if (!ChatHistoryStore::readForUpdate(target, ChatKey, true, &document)) {
        path.clear();
        return false;
    }
    path = target;
    root = document.root;
    status = document.status;
    return true;
}

bool ConversationSaver::isCurrent(const QString& target)
{
    if (pending.load() > 0)
        return true; // the file is about to be replaced by what memory holds
    const QFileInfo info(target);
    const QMutexLocker lock(&mutex);
    return written.path == target && written.exists && info.exists() && info.size() == written.size
        && info.lastModified() == written.modified;
}

void ConversationSaver::queueWrite()
{
    ++pending;
    const QString target = path;
    const QJsonObject content = root;
    const JsonFile::Status previous = status;
    status = JsonFile::Status::Loaded;
    worker.start([this, target, content, previous] {
        Written result;
        result.path = target;
        if (ChatHistoryStore::writeDocument(target, content, previous)) {
            const QFileInfo info(target);
            result.exists = info.exists();
            result.size = info.size();
            result.modified = info.lastModified();
        }
        {
            const QMutexLocker lock(&mutex);
            written = result;
        }
        --pending;
    });
}
