#include "chat/chathistorystore.h"
#include "core/jsonfile.h"
#include "support/testenvironment.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include <memory>

namespace {

const QString Name = QStringLiteral("20260101120000");

enum class Operation {
    LoadIndex,
    AppendIndexEntry,
    RenameIndexEntry,
    AppendMessage,
    StartNewFile,
    RemoveLastMessage,
    LoadConversation,
};

enum class Target { Index, Conversation };

QByteArray json(const QJsonObject& object)
{
    return QJsonDocument(object).toJson();
}

QString failedToOpen(const QString& path)
{
    return QStringLiteral("Failed to open file: \"%1\"").arg(path);
}

QString doesNotExist(const QString& path)
{
    return QStringLiteral("File doesn't exist: \"%1\"").arg(path);
}

} // namespace

Q_DECLARE_METATYPE(Operation)
Q_DECLARE_METATYPE(Target)

class TestChatHistoryStore : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void freshDirectory();
    void firstMessageReplacesOlderFile();
    void renameChangesEveryEntryOfThatFileName();
    void regenerateAfterFileDeletedFromOutside();
    void indexTimeTexts_data();
    void indexTimeTexts();
    void unknownMembersSurviveRewrite_data();
    void unknownMembersSurviveRewrite();
    void brokenFileIsKeptAside_data();
    void brokenFileIsKeptAside();
    void failuresAreLogged_data();
    void failuresAreLogged();
    void fileNameInUse_data();
    void fileNameInUse();
    void killedWriterLeavesParsableFile();

private:
    bool run(Operation operation) const;
    QString pathOf(Target target) const;
    void put(const QString& path, const QByteArray& bytes) const;
    QByteArray bytes(const QString& path) const;
    QJsonObject object(const QString& path) const;
    QStringList keptAside() const;

    std::unique_ptr<TestEnvironment> env;
    std::unique_ptr<ChatHistoryStore> store;
};

void TestChatHistoryStore::init()
{
    env = std::make_unique<TestEnvironment>();
    QVERIFY(env->isValid());
    store = std::make_unique<ChatHistoryStore>(env->dataHome() + QStringLiteral("/lumora"));
}

void TestChatHistoryStore::cleanup()
{
    store.reset();
    env.reset();
}

bool TestChatHistoryStore::run(Operation operation) const
{
    switch (operation) {
    case Operation::LoadIndex:
        return !store->loadIndex().isEmpty();
    case Operation::AppendIndexEntry:
        return store->appendIndexEntry(QStringLiteral("new"), Name, QDateTime::currentDateTime());
    case Operation::RenameIndexEntry:
        return store->renameIndexEntry(Name, QStringLiteral("renamed"));
    case Operation::AppendMessage:
        return store->appendMessage(Name, false, 1, QStringLiteral("answer"), QString());
    case Operation::StartNewFile:
        return store->appendMessage(Name, true, 0, QStringLiteral("question"), QString());
    case Operation::RemoveLastMessage:
        return store->removeLastMessage(Name);
    case Operation::LoadConversation:
        return store->loadConversation(Name).outcome
            == ChatHistoryStore::Conversation::Outcome::Loaded;
    }
    return false;
}

QString TestChatHistoryStore::pathOf(Target target) const
{
    return target == Target::Index ? store->indexPath() : store->conversationPath(Name);
}

void TestChatHistoryStore::put(const QString& path, const QByteArray& content) const
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), content.size());
}

QByteArray TestChatHistoryStore::bytes(const QString& path) const
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QJsonObject TestChatHistoryStore::object(const QString& path) const
{
    return QJsonDocument::fromJson(bytes(path)).object();
}

QStringList TestChatHistoryStore::keptAside() const
{
    return QDir(store->historyDir()).entryList({QStringLiteral("*.broken-*.json")}, QDir::Files);
}

void TestChatHistoryStore::freshDirectory()
{
    QVERIFY(!QFileInfo::exists(store->historyDir()));
    QVERIFY(store->loadIndex().isEmpty());
    QVERIFY(QFileInfo(store->historyDir()).isDir());
    QVERIFY(!QFileInfo::exists(store->indexPath()));

    const QDateTime created(QDate(2026, 12, 9), QTime(1, 28, 28));
    const QString name = QStringLiteral("20261209012828");
    QVERIFY(store->appendIndexEntry(QStringLiteral("Hello"), name, created));
    QVERIFY(store->appendMessage(name, true, 0, QStringLiteral("Hi"), QString()));
    QVERIFY(store->appendMessage(name, false, 1, QStringLiteral("<p>A</p>"),
                                 QStringLiteral("<p>R</p>")));

    // Indented JSON, and an English text date that other locales read back the same way.
    QCOMPARE(bytes(store->indexPath()),
             QByteArray("{\n"
                        "    \"history\": [\n"
                        "        {\n"
                        "            \"fileName\": \"20261209012828\",\n"
                        "            \"modifiedTime\": \"Wed Dec 9 01:28:28 2026\",\n"
                        "            \"title\": \"Hello\"\n"
                        "        }\n"
                        "    ]\n"
                        "}\n"));
    QCOMPARE(bytes(store->conversationPath(name)),
             QByteArray("{\n"
                        "    \"chat\": [\n"
                        "        {\n"
                        "            \"content\": \"Hi\",\n"
                        "            \"reasoningContent\": \"\",\n"
                        "            \"sender\": 0\n"
                        "        },\n"
                        "        {\n"
                        "            \"content\": \"<p>A</p>\",\n"
                        "            \"reasoningContent\": \"<p>R</p>\",\n"
                        "            \"sender\": 1\n"
                        "        }\n"
                        "    ]\n"
                        "}\n"));

    // A second store over the same folder sees it all: nothing lives in the object.
    const auto entries = ChatHistoryStore(env->dataHome() + QStringLiteral("/lumora")).loadIndex();
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries.at(0).title, QStringLiteral("Hello"));
    QCOMPARE(entries.at(0).fileName, name);
    QCOMPARE(entries.at(0).modifiedTime, created);

    const auto loaded = store->loadConversation(name);
    QCOMPARE(int(loaded.outcome), int(ChatHistoryStore::Conversation::Outcome::Loaded));
    QCOMPARE(loaded.messages.size(), 2);
    QCOMPARE(loaded.messages.at(1).sender, 1);
    QCOMPARE(loaded.messages.at(1).content, QStringLiteral("<p>A</p>"));
    QCOMPARE(loaded.messages.at(1).reasoningContent, QStringLiteral("<p>R</p>"));
    QVERIFY(keptAside().isEmpty());
}

void TestChatHistoryStore::firstMessageReplacesOlderFile()
{
    // Two conversations started in the same second share a name; the second one's first
    // question takes the file over, which is why callers ask isFileNameInUse first.
    const QJsonObject message {{QStringLiteral("sender"), 0}, {QStringLiteral("content"), "old"}};
    put(store->conversationPath(Name),
        json({{QStringLiteral("chat"), QJsonArray {message, message, message}}}));
    QVERIFY(store->isFileNameInUse(Name));

    QVERIFY(run(Operation::StartNewFile));
    const QJsonArray chat = object(store->conversationPath(Name)).value("chat").toArray();
    QCOMPARE(chat.size(), 1);
    QCOMPARE(chat.at(0).toObject().value("content").toString(), QStringLiteral("question"));
    QVERIFY(keptAside().isEmpty()); // a readable file is replaced, not kept
}

void TestChatHistoryStore::renameChangesEveryEntryOfThatFileName()
{
    const QJsonArray history {
        QJsonObject {{"title", "a"}, {"fileName", Name}, {"pinned", true}},
        QJsonObject {{"title", "b"}, {"fileName", "20260101120001"}},
        QJsonObject {{"title", "c"}, {"fileName", Name}},
        QJsonObject {{"title", "d"}, {"fileName", 20260101120000.0}}, // a number, not the name
        QStringLiteral("not an entry"),
    };
    put(store->indexPath(), json({{"history", history}}));

    QVERIFY(run(Operation::RenameIndexEntry));
    const QJsonArray after = object(store->indexPath()).value("history").toArray();
    QCOMPARE(after.size(), history.size());
    QStringList titles;
    for (const QJsonValue& entry : after)
        titles << entry.toObject().value("title").toString();
    QCOMPARE(titles, (QStringList {"renamed", "b", "renamed", "d", ""}));
    QCOMPARE(after.at(0).toObject().value("pinned"), QJsonValue(true));
    QCOMPARE(after.at(4), history.at(4));

    // An empty name (what an out-of-range row gives) matches nothing.
    QVERIFY(store->renameIndexEntry(QString(), QStringLiteral("x")));
    QCOMPARE(object(store->indexPath()).value("history").toArray(), after);
}

void TestChatHistoryStore::regenerateAfterFileDeletedFromOutside()
{
    QVERIFY(run(Operation::StartNewFile));
    QVERIFY(run(Operation::AppendMessage));
    QVERIFY(QFile::remove(store->conversationPath(Name)));

    QTest::ignoreMessage(QtDebugMsg, qPrintable(doesNotExist(store->conversationPath(Name))));
    QVERIFY(run(Operation::RemoveLastMessage));
    QCOMPARE(object(store->conversationPath(Name)),
             QJsonObject({{QStringLiteral("chat"), QJsonArray()}}));

    QVERIFY(store->appendMessage(Name, false, 1, QStringLiteral("again"), QString()));
    const auto loaded = store->loadConversation(Name);
    QCOMPARE(loaded.messages.size(), 1);
    QCOMPARE(loaded.messages.at(0).content, QStringLiteral("again"));
}

void TestChatHistoryStore::indexTimeTexts_data()
{
    QTest::addColumn<QJsonValue>("stored");
    QTest::addColumn<QDateTime>("expected");

    const QDateTime time(QDate(2025, 2, 20), QTime(9, 5, 7));
    QTest::newRow("text date") << QJsonValue("Thu Feb 20 09:05:07 2025") << time;
    // What earlier builds wrote on a system with another language.
    QTest::newRow("system names") << QJsonValue(
        QLocale::system().toString(time, QStringLiteral("ddd MMM d HH:mm:ss yyyy")))
                                  << time;
    QTest::newRow("single-digit day")
        << QJsonValue("Sun Mar 1 00:00:00 2026") << QDateTime(QDate(2026, 3, 1), QTime(0, 0));
    QTest::newRow("not a date") << QJsonValue("yesterday") << QDateTime();
    QTest::newRow("iso date") << QJsonValue("2025-02-20T09:05:07") << QDateTime();
    QTest::newRow("empty") << QJsonValue("") << QDateTime();
    QTest::newRow("number") << QJsonValue(1740042307) << QDateTime();
    QTest::newRow("missing") << QJsonValue(QJsonValue::Undefined) << QDateTime();
}

void TestChatHistoryStore::indexTimeTexts()
{
    QFETCH(QJsonValue, stored);
    QFETCH(QDateTime, expected);
    QJsonObject entry {{"title", "t"}, {"fileName", Name}};
    if (!stored.isUndefined())
        entry.insert("modifiedTime", stored);
    put(store->indexPath(), json({{"history", QJsonArray {entry, QJsonObject()}}}));

    const auto entries = store->loadIndex();
    QCOMPARE(entries.size(), 2); // an empty element still yields a row
    QCOMPARE(entries.at(0).title, QStringLiteral("t"));
    QCOMPARE(entries.at(0).fileName, Name);
    QCOMPARE(entries.at(0).modifiedTime.isValid(), expected.isValid());
    if (expected.isValid())
        QCOMPARE(entries.at(0).modifiedTime, expected);
    QVERIFY(entries.at(1).title.isEmpty() && entries.at(1).fileName.isEmpty());
    QVERIFY(!entries.at(1).modifiedTime.isValid());
}

void TestChatHistoryStore::unknownMembersSurviveRewrite_data()
{
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<Target>("target");
    QTest::newRow("append index entry") << Operation::AppendIndexEntry << Target::Index;
    QTest::newRow("rename") << Operation::RenameIndexEntry << Target::Index;
    QTest::newRow("append message") << Operation::AppendMessage << Target::Conversation;
    QTest::newRow("remove last") << Operation::RemoveLastMessage << Target::Conversation;
}

void TestChatHistoryStore::unknownMembersSurviveRewrite()
{
    QFETCH(Operation, operation);
    QFETCH(Target, target);
    const QJsonObject entry {{"title", "t"}, {"fileName", Name}, {"pinned", true}};
    const QJsonObject message {{"sender", 0}, {"content", "q"}, {"rating", 5}};
    const QJsonObject extra {{"nested", QJsonArray {1, 2}}};
    put(store->indexPath(), json({{"history", QJsonArray {entry}}, {"version", 2}, {"x", extra}}));
    put(store->conversationPath(Name),
        json({{"chat", QJsonArray {message, message}}, {"model", "R1"}, {"x", extra}}));

    QVERIFY(run(operation));
    const QJsonObject root = object(pathOf(target));
    QCOMPARE(root.value("x").toObject(), extra);
    if (target == Target::Index) {
        QCOMPARE(root.value("version"), QJsonValue(2));
        QCOMPARE(root.value("history").toArray().at(0).toObject().value("pinned"),
                 QJsonValue(true));
    } else {
        QCOMPARE(root.value("model"), QJsonValue("R1"));
        QCOMPARE(root.value("chat").toArray().at(0).toObject(), message);
    }
}

void TestChatHistoryStore::brokenFileIsKeptAside_data()
{
    QTest::addColumn<Target>("target");
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<QByteArray>("original");

    const QByteArray cut = R"({"history": [{"title": "kept", "fileName": "2026)";
    QTest::newRow("index cut short, append") << Target::Index << Operation::AppendIndexEntry << cut;
    QTest::newRow("index garbage, rename")
        << Target::Index << Operation::RenameIndexEntry << QByteArray("\x00\xff not json", 11);
    QTest::newRow("index is an array")
        << Target::Index << Operation::AppendIndexEntry << QByteArray(R"([{"title": "old"}])");
    QTest::newRow("history is no array") << Target::Index << Operation::AppendIndexEntry
                                         << QByteArray(R"({"history": {"title": "old"}})");
    const QByteArray chatCut = R"({"chat": [{"sender": 0, "content": "my only cop)";
    QTest::newRow("chat cut short, append")
        << Target::Conversation << Operation::AppendMessage << chatCut;
    QTest::newRow("chat cut short, remove")
        << Target::Conversation << Operation::RemoveLastMessage << chatCut;
    QTest::newRow("chat cut short, new file")
        << Target::Conversation << Operation::StartNewFile << chatCut;
    QTest::newRow("chat is text") << Target::Conversation << Operation::AppendMessage
                                  << QByteArray(R"({"chat": "hello"})");
}

void TestChatHistoryStore::brokenFileIsKeptAside()
{
    QFETCH(Target, target);
    QFETCH(Operation, operation);
    QFETCH(QByteArray, original);
    const QString path = pathOf(target);
    put(path, original);

    // Reading alone yields nothing and touches nothing.
    if (target == Target::Index)
        QVERIFY(!run(Operation::LoadIndex));
    else
        QVERIFY(store->loadConversation(Name).messages.isEmpty());
    QVERIFY(keptAside().isEmpty());
    QCOMPARE(bytes(path), original);

    QTest::ignoreMessage(
        QtInfoMsg, QRegularExpression(QStringLiteral("Kept the unreadable file .*\\.broken-")));
    QVERIFY(run(operation));
    QCOMPARE(int(JsonFile::read(path).status), int(JsonFile::Status::Loaded));
    const QStringList aside = keptAside();
    QCOMPARE(aside.size(), 1);
    QVERIFY2(aside.at(0).startsWith(QFileInfo(path).completeBaseName() + ".broken-"),
             qPrintable(aside.at(0)));
    QCOMPARE(bytes(store->historyDir() + aside.at(0)), original);

    // The file is ours now; further writes keep nothing more aside.
    QVERIFY(run(operation));
    QCOMPARE(keptAside().size(), 1);
}

void TestChatHistoryStore::failuresAreLogged_data()
{
    QTest::addColumn<bool>("historyIsFile"); // else the target path is a folder
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<QStringList>("messages"); // paths as <index> and <chat>

    const QString open = failedToOpen(QStringLiteral("<index>"));
    const QString openChat = failedToOpen(QStringLiteral("<chat>"));
    const QString missing = doesNotExist(QStringLiteral("<index>"));
    const QString missingChat = doesNotExist(QStringLiteral("<chat>"));
    // A regular file where the history folder belongs: nothing can be written, even as root.
    QTest::newRow("no folder: append entry")
        << true << Operation::AppendIndexEntry << QStringList {open};
    QTest::newRow("no folder: rename")
        << true << Operation::RenameIndexEntry << QStringList {missing, open};
    QTest::newRow("no folder: new file")
        << true << Operation::StartNewFile << QStringList {openChat};
    QTest::newRow("no folder: append")
        << true << Operation::AppendMessage << QStringList {missingChat, openChat};
    QTest::newRow("no folder: remove")
        << true << Operation::RemoveLastMessage << QStringList {missingChat, openChat};
    QTest::newRow("no folder: load")
        << true << Operation::LoadConversation << QStringList {missingChat};
    // A folder in place of the file: it exists but cannot be read, so nothing is written.
    QTest::newRow("unreadable index: load") << false << Operation::LoadIndex << QStringList {open};
    QTest::newRow("unreadable index: append")
        << false << Operation::AppendIndexEntry << QStringList {open};
    QTest::newRow("unreadable index: rename")
        << false << Operation::RenameIndexEntry << QStringList {open};
    QTest::newRow("unreadable chat: append")
        << false << Operation::AppendMessage << QStringList {openChat};
    QTest::newRow("unreadable chat: remove")
        << false << Operation::RemoveLastMessage << QStringList {openChat};
    QTest::newRow("unreadable chat: load")
        << false << Operation::LoadConversation << QStringList {openChat};
}

void TestChatHistoryStore::failuresAreLogged()
{
    QFETCH(bool, historyIsFile);
    QFETCH(Operation, operation);
    QFETCH(QStringList, messages);
    if (historyIsFile) {
        put(store->historyDir().chopped(1), "not a folder");
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Failed to create directory: "));
        QVERIFY(store->loadIndex().isEmpty());
    } else {
        QVERIFY(QDir().mkpath(store->indexPath()));
        QVERIFY(QDir().mkpath(store->conversationPath(Name)));
    }

    for (QString message : messages) {
        message.replace(QStringLiteral("<index>"), store->indexPath())
            .replace(QStringLiteral("<chat>"), store->conversationPath(Name));
        QTest::ignoreMessage(QtDebugMsg, qPrintable(message));
    }
    QVERIFY(!run(operation));
    if (historyIsFile)
        QCOMPARE(bytes(store->historyDir().chopped(1)), QByteArray("not a folder"));
    else
        QVERIFY(QFileInfo(store->indexPath()).isDir()
                && QFileInfo(pathOf(Target::Conversation)).isDir());
}

void TestChatHistoryStore::fileNameInUse_data()
{
    QTest::addColumn<QByteArray>("index");
    QTest::addColumn<bool>("fileExists");
    QTest::addColumn<bool>("inUse");

    const QByteArray named = json({{"history", QJsonArray {QJsonObject {{"fileName", Name}}}}});
    const QByteArray other =
        json({{"history", QJsonArray {QJsonObject {{"fileName", "20260101120001"}}}}});
    QTest::newRow("neither") << QByteArray() << false << false;
    QTest::newRow("other name in index") << other << false << false;
    QTest::newRow("named in index, file gone") << named << false << true;
    QTest::newRow("file only") << other << true << true;
    QTest::newRow("broken index, file") << QByteArray("{oops") << true << true;
    QTest::newRow("broken index, no file") << QByteArray("{oops") << false << false;
}

void TestChatHistoryStore::fileNameInUse()
{
    QFETCH(QByteArray, index);
    QFETCH(bool, fileExists);
    QFETCH(bool, inUse);
    store->loadIndex();
    if (!index.isEmpty())
        put(store->indexPath(), index);
    if (fileExists)
        QVERIFY(run(Operation::StartNewFile));
    QCOMPARE(store->isFileNameInUse(Name), inUse);
}

void TestChatHistoryStore::killedWriterLeavesParsableFile()
{
    const QString dataDir = env->dataHome() + QStringLiteral("/writer");
    const ChatHistoryStore reader(dataDir);
    for (int delayMs : {1, 7, 23, 61}) {
        QProcess writer;
        writer.start(QStringLiteral(HISTORYWRITER_PATH), {dataDir, Name});
        QVERIFY2(writer.waitForStarted(), qPrintable(writer.errorString()));
        QVERIFY(writer.waitForReadyRead(10000));
        QVERIFY(writer.readAll().startsWith("ready"));
        QTest::qSleep(delayMs); // let the kill land at different points of a write
        writer.kill();
        QVERIFY(writer.waitForFinished(5000));

        const QString path = reader.conversationPath(Name);
        QCOMPARE(int(JsonFile::read(path).status), int(JsonFile::Status::Loaded));
        const auto loaded = reader.loadConversation(Name);
        QVERIFY(loaded.messages.size() == 1 || loaded.messages.size() == 2);
        QCOMPARE(loaded.messages.at(0).content, QStringLiteral("question"));
    }
}

QTEST_GUILESS_MAIN(TestChatHistoryStore)
#include "tst_chathistorystore.moc"
