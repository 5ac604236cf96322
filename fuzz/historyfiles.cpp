// Feeds arbitrary bytes as the history index ("OverallTable.json") and as a conversation file,
// then reads and rewrites both through the history store. Besides crashes and sanitizer
// findings it checks that nothing the store writes is lost: after an append the file parses
// and holds the appended entry, and a file that did not parse was kept aside first.
#include "chat/chathistorystore.h"
#include "support/fuzzfolder.h"
#include "support/splice.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

const QString Name = QStringLiteral("20250101120000");

QJsonObject readObject(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        std::abort();
    QJsonParseError error {};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        std::abort(); // the store wrote something it cannot read back
    return document.object();
}

void fuzzIndex(FuzzFolder& folder, const QByteArray& content)
{
    const QString data = folder.fresh(QStringLiteral("data"));
    QDir().mkpath(data + QStringLiteral("/ChatHistory"));
    const ChatHistoryStore store(data);
    FuzzFolder::write(store.indexPath(), content);
    store.loadIndex();
    store.isFileNameInUse(Name);
    if (!store.appendIndexEntry(QStringLiteral("title"), Name, QDateTime::currentDateTime()))
        return;
    store.renameIndexEntry(Name, QStringLiteral("renamed"));
    readObject(store.indexPath());
    bool found = false;
    for (const ChatHistoryStore::IndexEntry& entry : store.loadIndex())
        found = found || entry.fileName == Name;
    if (!found)
        std::abort();
}

void fuzzConversation(FuzzFolder& folder, const QByteArray& content)
{
    const QString data = folder.fresh(QStringLiteral("data"));
    QDir().mkpath(data + QStringLiteral("/ChatHistory"));
    const ChatHistoryStore store(data);
    FuzzFolder::write(store.conversationPath(Name), content);
    const ChatHistoryStore::Conversation before = store.loadConversation(Name);
    if (!store.appendMessage(Name, false, 1, QStringLiteral("answer"), QString()))
        return;
    const ChatHistoryStore::Conversation after = store.loadConversation(Name);
    if (after.outcome != ChatHistoryStore::Conversation::Outcome::Loaded || after.messages.isEmpty()
        || after.messages.last().content != QStringLiteral("answer"))
        std::abort();
    if (before.outcome == ChatHistoryStore::Conversation::Outcome::Loaded
        && after.messages.size() != before.messages.size() + 1)
        std::abort(); // a readable conversation lost messages
    store.removeLastMessage(Name);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FuzzFolder folder;
    if (size < 1 || size > 65536)
        return 0;
    static const QByteArray index = QByteArrayLiteral(
        R"({"history":[{"title":"a","fileName":"20250101120000",)"
        R"("modifiedTime":"Wed Jan 1 12:00:00 2025"},{"title":"b","fileName":"x"}]})");
    static const QByteArray conversation =
        QByteArrayLiteral(R"({"chat":[{"sender":0,"content":"q"},)"
                          R"({"sender":1,"content":"a","reasoningContent":"r"}]})");
    const QByteArray input(reinterpret_cast<const char*>(data + 1), static_cast<int>(size - 1));
    if (data[0] & 1)
        fuzzIndex(folder, spliced(input, index, data[0] & 2));
    else
        fuzzConversation(folder, spliced(input, conversation, data[0] & 2));
    return 0;
}
