#include "historyfixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>

#include <memory>

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
    void fileNameInUse_data();
    void fileNameInUse();

private:
    std::unique_ptr<HistoryFixture> f;
};

void TestChatHistoryStore::init()
{
    f = std::make_unique<HistoryFixture>();
    QVERIFY(f->env.isValid());
}

void TestChatHistoryStore::cleanup()
{
    f.reset();
}

void TestChatHistoryStore::freshDirectory()
{
    QVERIFY(!QFileInfo::exists(f->store.historyDir()));
    QVERIFY(f->store.loadIndex().isEmpty());
    QVERIFY(QFileInfo(f->store.historyDir()).isDir());
    QVERIFY(!QFileInfo::exists(f->store.indexPath()));

    const QDateTime created(QDate(2026, 12, 9), QTime(1, 28, 28));
    const QString name = QStringLiteral("20261209012828");
    QVERIFY(f->store.appendIndexEntry(QStringLiteral("Hello"), name, created));
    QVERIFY(f->store.appendMessage(name, true, 0, QStringLiteral("Hi"), QString()));
    QVERIFY(f->store.appendMessage(name, false, 1, QStringLiteral("<p>A</p>"),
                                   QStringLiteral("<p>R</p>")));

    // Indented JSON, and an English text date that other locales read back the same way.
    QCOMPARE(fileBytes(f->store.indexPath()),
             QByteArray("{\n"
                        "    \"history\": [\n"
                        "        {\n"
                        "            \"fileName\": \"20261209012828\",\n"
                        "            \"modifiedTime\": \"Wed Dec 9 01:28:28 2026\",\n"
                        "            \"title\": \"Hello\"\n"
                        "        }\n"
                        "    ]\n"
                        "}\n"));
    QCOMPARE(fileBytes(f->store.conversationPath(name)),
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
    const auto entries =
        ChatHistoryStore(f->env.dataHome() + QStringLiteral("/lumora")).loadIndex();
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries.at(0).title, QStringLiteral("Hello"));
    QCOMPARE(entries.at(0).fileName, name);
    QCOMPARE(entries.at(0).modifiedTime, created);

    const auto loaded = f->store.loadConversation(name);
    QCOMPARE(int(loaded.outcome), int(ChatHistoryStore::Conversation::Outcome::Loaded));
    QCOMPARE(loaded.messages.size(), 2);
    QCOMPARE(loaded.messages.at(1).sender, 1);
    QCOMPARE(loaded.messages.at(1).content, QStringLiteral("<p>A</p>"));
    QCOMPARE(loaded.messages.at(1).reasoningContent, QStringLiteral("<p>R</p>"));
    QVERIFY(f->keptAside().isEmpty());
}

void TestChatHistoryStore::firstMessageReplacesOlderFile()
{
    // Two conversations started in the same second share a name; the second one's first
    // question takes the file over, which is why callers ask isFileNameInUse first.
    const QJsonObject message {{QStringLiteral("sender"), 0}, {QStringLiteral("content"), "old"}};
    QVERIFY(putFile(f->store.conversationPath(Name),
                    json({{QStringLiteral("chat"), QJsonArray {message, message, message}}})));
    QVERIFY(f->store.isFileNameInUse(Name));

    QVERIFY(f->run(Operation::StartNewFile));
    const QJsonArray chat = fileObject(f->store.conversationPath(Name)).value("chat").toArray();
    QCOMPARE(chat.size(), 1);
    QCOMPARE(chat.at(0).toObject().value("content").toString(), QStringLiteral("question"));
    QVERIFY(f->keptAside().isEmpty()); // a readable file is replaced, not kept
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
    QVERIFY(putFile(f->store.indexPath(), json({{"history", history}})));

    QVERIFY(f->run(Operation::RenameIndexEntry));
    const QJsonArray after = fileObject(f->store.indexPath()).value("history").toArray();
    QCOMPARE(after.size(), history.size());
    QStringList titles;
    for (const QJsonValue& entry : after)
        titles << entry.toObject().value("title").toString();
    QCOMPARE(titles, (QStringList {"renamed", "b", "renamed", "d", ""}));
    QCOMPARE(after.at(0).toObject().value("pinned"), QJsonValue(true));
    QCOMPARE(after.at(4), history.at(4));

    // An empty name (what an out-of-range row gives) matches nothing.
    QVERIFY(f->store.renameIndexEntry(QString(), QStringLiteral("x")));
    QCOMPARE(fileObject(f->store.indexPath()).value("history").toArray(), after);
}

void TestChatHistoryStore::regenerateAfterFileDeletedFromOutside()
{
    QVERIFY(f->run(Operation::StartNewFile));
    QVERIFY(f->run(Operation::AppendMessage));
    QVERIFY(QFile::remove(f->store.conversationPath(Name)));

    QTest::ignoreMessage(QtDebugMsg, qPrintable(doesNotExist(f->store.conversationPath(Name))));
    QVERIFY(f->run(Operation::RemoveLastMessage));
    QCOMPARE(fileObject(f->store.conversationPath(Name)),
             QJsonObject({{QStringLiteral("chat"), QJsonArray()}}));

    QVERIFY(f->store.appendMessage(Name, false, 1, QStringLiteral("again"), QString()));
    const auto loaded = f->store.loadConversation(Name);
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
    QTest::newRow("last second of a year") << QJsonValue("Thu Dec 31 23:59:59 2026")
                                           << QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59));
    // Texts that the direct reader of our own format leaves to the general one.
    QTest::newRow("day name of another date")
        << QJsonValue("Mon Feb 20 09:05:07 2025")
        << QDateTime::fromString(QStringLiteral("Mon Feb 20 09:05:07 2025"), Qt::TextDate);
    QTest::newRow("padded day") << QJsonValue("Thu Feb 20 9:05:07 2025")
                                << QDateTime::fromString(QStringLiteral("Thu Feb 20 9:05:07 2025"),
                                                         Qt::TextDate);
    QTest::newRow("trailing text") << QJsonValue("Thu Feb 20 09:05:07 2025 x") << QDateTime();
    QTest::newRow("no such day") << QJsonValue("Thu Feb 30 09:05:07 2025") << QDateTime();
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
    QVERIFY(putFile(f->store.indexPath(), json({{"history", QJsonArray {entry, QJsonObject()}}})));

    const auto entries = f->store.loadIndex();
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
    QVERIFY(putFile(f->store.indexPath(),
                    json({{"history", QJsonArray {entry}}, {"version", 2}, {"x", extra}})));
    QVERIFY(
        putFile(f->store.conversationPath(Name),
                json({{"chat", QJsonArray {message, message}}, {"model", "R1"}, {"x", extra}})));

    QVERIFY(f->run(operation));
    const QJsonObject root = fileObject(f->pathOf(target));
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
    f->store.loadIndex();
    if (!index.isEmpty())
        QVERIFY(putFile(f->store.indexPath(), index));
    if (fileExists)
        QVERIFY(f->run(Operation::StartNewFile));
    QCOMPARE(f->store.isFileNameInUse(Name), inUse);
}

QTEST_GUILESS_MAIN(TestChatHistoryStore)
#include "tst_chathistorystore.moc"
