#include "historyfixture.h"

#include "core/jsonfile.h"
#include "support/killedwriter.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include <memory>

class TestChatHistoryFailures : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void brokenFileIsKeptAside_data();
    void brokenFileIsKeptAside();
    void failuresAreLogged_data();
    void failuresAreLogged();
    void killedWriterLeavesParsableFile();

private:
    std::unique_ptr<HistoryFixture> f;
};

void TestChatHistoryFailures::init()
{
    f = std::make_unique<HistoryFixture>();
    QVERIFY(f->env.isValid());
}

void TestChatHistoryFailures::cleanup()
{
    f.reset();
}

void TestChatHistoryFailures::brokenFileIsKeptAside_data()
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

void TestChatHistoryFailures::brokenFileIsKeptAside()
{
    QFETCH(Target, target);
    QFETCH(Operation, operation);
    QFETCH(QByteArray, original);
    const QString path = f->pathOf(target);
    QVERIFY(putFile(path, original));

    // Reading alone yields nothing and touches nothing.
    if (target == Target::Index)
        QVERIFY(!f->run(Operation::LoadIndex));
    else
        QVERIFY(f->store.loadConversation(Name).messages.isEmpty());
    QVERIFY(f->keptAside().isEmpty());
    QCOMPARE(fileBytes(path), original);

    QTest::ignoreMessage(
        QtInfoMsg, QRegularExpression(QStringLiteral("Kept the unreadable file .*\\.broken-")));
    QVERIFY(f->run(operation));
    QCOMPARE(int(JsonFile::read(path).status), int(JsonFile::Status::Loaded));
    const QStringList aside = f->keptAside();
    QCOMPARE(aside.size(), 1);
    QVERIFY2(aside.at(0).startsWith(QFileInfo(path).completeBaseName() + ".broken-"),
             qPrintable(aside.at(0)));
    QCOMPARE(fileBytes(f->store.historyDir() + aside.at(0)), original);

    // The file is ours now; further writes keep nothing more aside.
    QVERIFY(f->run(operation));
    QCOMPARE(f->keptAside().size(), 1);
}

void TestChatHistoryFailures::failuresAreLogged_data()
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

void TestChatHistoryFailures::failuresAreLogged()
{
    QFETCH(bool, historyIsFile);
    QFETCH(Operation, operation);
    QFETCH(QStringList, messages);
    if (historyIsFile) {
        QVERIFY(putFile(f->store.historyDir().chopped(1), "not a folder"));
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Failed to create directory: "));
        QVERIFY(f->store.loadIndex().isEmpty());
    } else {
        QVERIFY(QDir().mkpath(f->store.indexPath()));
        QVERIFY(QDir().mkpath(f->store.conversationPath(Name)));
    }

    for (QString message : messages) {
        message.replace(QStringLiteral("<index>"), f->store.indexPath())
            .replace(QStringLiteral("<chat>"), f->store.conversationPath(Name));
        QTest::ignoreMessage(QtDebugMsg, qPrintable(message));
    }
    QVERIFY(!f->run(operation));
    if (historyIsFile)
        QCOMPARE(fileBytes(f->store.historyDir().chopped(1)), QByteArray("not a folder"));
    else
        QVERIFY(QFileInfo(f->store.indexPath()).isDir()
                && QFileInfo(f->pathOf(Target::Conversation)).isDir());
}

void TestChatHistoryFailures::killedWriterLeavesParsableFile()
{
    const QString dataDir = f->env.dataHome() + QStringLiteral("/writer");
    const ChatHistoryStore reader(dataDir);
    for (int delayMs : {1, 7, 23, 61}) {
        const QString failure =
            KilledWriter::run(QStringLiteral(HISTORYWRITER_PATH), {dataDir, Name}, delayMs);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));

        const QString path = reader.conversationPath(Name);
        QCOMPARE(int(JsonFile::read(path).status), int(JsonFile::Status::Loaded));
        const auto loaded = reader.loadConversation(Name);
        QVERIFY(loaded.messages.size() == 1 || loaded.messages.size() == 2);
        QCOMPARE(loaded.messages.at(0).content, QStringLiteral("question"));
    }
}

QTEST_GUILESS_MAIN(TestChatHistoryFailures)
#include "tst_chathistoryfailures.moc"
