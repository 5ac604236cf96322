#include "chat/conversationsaver.h"
#include "historyfixture.h"

#include <QFile>
#include <QtTest>

#include <memory>

// The saver must leave exactly the files the store would write, only sooner for the window.
class TestConversationSaver : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void writesWhatTheStoreWrites();
    void aFileDeletedFromOutsideIsStartedAgain();
    void aFileChangedFromOutsideIsReadAgain();
    void aBrokenFileIsKeptAsideBeforeTheFirstWrite();
    void everythingIsWrittenWhenTheSaverGoes();

private:
    std::unique_ptr<HistoryFixture> f;
};

void TestConversationSaver::init()
{
    f = std::make_unique<HistoryFixture>();
    QVERIFY(f->env.isValid());
    f->store.loadIndex(); // makes the history folder
}

void TestConversationSaver::cleanup()
{
    f.reset();
}

void TestConversationSaver::writesWhatTheStoreWrites()
{
    HistoryFixture reference;
    reference.store.loadIndex();
    ConversationSaver saver;
    const QDateTime created(QDate(2026, 12, 9), QTime(1, 28, 28));
    for (int i = 0; i < 6; ++i) {
        const QString content = QStringLiteral("<p>message %1</p>").arg(i);
        if (i % 3 == 0) {
            const QString title = QStringLiteral("Conversation %1").arg(i);
            saver.appendIndexEntry(f->store, title, Name, created.addSecs(i));
            reference.store.appendIndexEntry(title, Name, created.addSecs(i));
        }
        saver.appendMessage(f->store, Name, i == 0, i % 2, content, QStringLiteral("r"));
        reference.store.appendMessage(Name, i == 0, i % 2, content, QStringLiteral("r"));
        if (i == 3) {
            saver.removeLastMessage(f->store, Name);
            reference.store.removeLastMessage(Name);
        }
    }
    saver.flush();
    QCOMPARE(fileBytes(f->pathOf(Target::Conversation)),
             fileBytes(reference.pathOf(Target::Conversation)));
    QCOMPARE(fileBytes(f->pathOf(Target::Index)), fileBytes(reference.pathOf(Target::Index)));
    QCOMPARE(f->store.loadIndex().size(), 2);
}

void TestConversationSaver::aFileDeletedFromOutsideIsStartedAgain()
{
    ConversationSaver saver;
    saver.appendMessage(f->store, Name, true, 0, QStringLiteral("q"), QString());
    saver.flush();
    const QString path = f->pathOf(Target::Conversation);
    QVERIFY(QFile::remove(path));
    QTest::ignoreMessage(QtDebugMsg, qPrintable(doesNotExist(path)));
    saver.removeLastMessage(f->store, Name);
    saver.appendMessage(f->store, Name, false, 1, QStringLiteral("a"), QString());
    saver.flush();
    const QJsonArray chat = fileObject(path).value(QStringLiteral("chat")).toArray();
    QCOMPARE(chat.size(), 1);
    QCOMPARE(chat.at(0).toObject().value(QStringLiteral("content")).toString(),
             QStringLiteral("a"));
}

void TestConversationSaver::aFileChangedFromOutsideIsReadAgain()
{
    ConversationSaver saver;
    saver.appendMessage(f->store, Name, true, 0, QStringLiteral("q"), QString());
    saver.flush();
    const QString path = f->pathOf(Target::Conversation);
    QVERIFY(putFile(
        path,
        json(QJsonObject {{QStringLiteral("chat"), QJsonArray {}}, {QStringLiteral("other"), 1}})));
    saver.appendMessage(f->store, Name, false, 1, QStringLiteral("a"), QString());
    saver.flush();
    const QJsonObject root = fileObject(path);
    QCOMPARE(root.value(QStringLiteral("chat")).toArray().size(), 1);
    QCOMPARE(root.value(QStringLiteral("other")).toInt(), 1);
}

void TestConversationSaver::aBrokenFileIsKeptAsideBeforeTheFirstWrite()
{
    const QString path = f->pathOf(Target::Conversation);
    QVERIFY(putFile(path, "{ not json"));
    QTest::ignoreMessage(QtInfoMsg, QRegularExpression("^Kept the unreadable file"));
    ConversationSaver saver;
    saver.appendMessage(f->store, Name, false, 1, QStringLiteral("a"), QString());
    saver.flush();
    QCOMPARE(f->keptAside().size(), 1);
    QCOMPARE(fileObject(path).value(QStringLiteral("chat")).toArray().size(), 1);
}

void TestConversationSaver::everythingIsWrittenWhenTheSaverGoes()
{
    {
        ConversationSaver saver;
        saver.appendIndexEntry(f->store, QStringLiteral("q"), Name, QDateTime::currentDateTime());
        saver.appendMessage(f->store, Name, true, 0, QStringLiteral("q"), QString());
        for (int i = 0; i < 50; ++i)
            saver.appendMessage(f->store, Name, false, 1, QString(500, QLatin1Char('x')),
                                QString());
    }
    QCOMPARE(
        fileObject(f->pathOf(Target::Conversation)).value(QStringLiteral("chat")).toArray().size(),
        51);
    QCOMPARE(f->store.loadIndex().size(), 1);
}

QTEST_GUILESS_MAIN(TestConversationSaver)
#include "tst_conversationsaver.moc"
