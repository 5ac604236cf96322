#include "chat/conversationsaver.h"

#include <QFileInfo>
#include <QJsonArray>

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
    const QString target = store.conversationPath(fileName);
    worker.start([this, target, startNewFile, sender, content, reasoningContent] {
        append(target, startNewFile,
               QJsonObject {{QStringLiteral("sender"), sender},
                            {QStringLiteral("content"), content},
                            {QStringLiteral("reasoningContent"), reasoningContent}});
    });
}

void ConversationSaver::removeLastMessage(const ChatHistoryStore& store, const QString& fileName)
{
    const QString target = store.conversationPath(fileName);
    worker.start([this, target] { removeLast(target); });
}

void ConversationSaver::append(const QString& target, bool startNewFile, const QJsonObject& message)
{
    if (startNewFile) {
        // Replaces any file of that name; an unparsable one is kept aside by the write.
        path = target;
        status = ChatHistoryStore::inspect(target, ChatKey).status;
        root = QJsonObject {{ChatKey, QJsonArray {message}}};
        write();
        return;
    }
    if (!loadForUpdate(target))
        return;
    QJsonArray chat = root.value(ChatKey).toArray();
    chat.append(message);
    root.insert(ChatKey, chat);
    write();
}

void ConversationSaver::removeLast(const QString& target)
{
    if (!loadForUpdate(target))
        return;
    QJsonArray chat = root.value(ChatKey).toArray();
    if (!chat.isEmpty())
        chat.removeLast();
    root.insert(ChatKey, chat);
    write();
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

bool ConversationSaver::isCurrent(const QString& target) const
{
    const QFileInfo info(target);
    return written.path == target && written.exists && info.exists() && info.size() == written.size
        && info.lastModified() == written.modified;
}

void ConversationSaver::write()
{
    written = Written();
    written.path = path;
    if (ChatHistoryStore::writeDocument(path, root, status)) {
        const QFileInfo info(path);
        written.exists = info.exists();
        written.size = info.size();
        written.modified = info.lastModified();
    }
    status = JsonFile::Status::Loaded;
}
