#include "managerfixture.h"

#include "chat/conversationfiltermodel.h"
#include "chat/dialoginfomodel.h"
#include "chat/dialogmanager.h"
#include "chat/dialogmodel.h"
#include "chat/markdownrenderer.h"
#include "core/jsonfile.h"

#include <QFile>
#include <QFileInfo>
#include <QtTest>

namespace {

const QDateTime Start(QDate(2026, 3, 1), QTime(9, 0));

QString nameAt(int minutes)
{
    return Start.addSecs(minutes * 60).toString(QStringLiteral("yyyyMMddHHmmss"));
}

QString readData(const QString& name)
{
    QFile file(QStringLiteral(CHAT_TEST_DATA "/") + name);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

// Deleting, exporting and searching stored conversations through the manager; the open
// conversation's answers come from the stand-in engine.
class TestHistoryOperations : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void deleteRemovesEntryAndFile();
    void deleteTheOpenConversation();
    void deleteWithTheFileGoneBehindOurBack();
    void deleteKeepsEverythingWhenTheIndexIsBroken();
    void deleteDuringAStream();
    void exportWritesMarkdown();
    void exportFailuresLeaveNoFile_data();
    void exportFailuresLeaveNoFile();
    void searchFindsTitlesAndShownText_data();
    void searchFindsTitlesAndShownText();
    void onlyTheLatestSearchAnswers();
    void searchFollowsChanges();

private:
    // Three stored conversations: "Keyboard care" (oldest), "Macros", "Lighting" (newest).
    void writeThree();
    QStringList fileNames() const;
    QStringList searchAndWait(const QString& text);
    DialogManager* manager() const { return fixture.manager(); }
    bool fileExists(const QString& fileName) const
    {
        return QFileInfo::exists(fixture.store().conversationPath(fileName));
    }

    ManagerFixture fixture;
};

void TestHistoryOperations::initTestCase()
{
    QVERIFY(fixture.startServer(2));
}

void TestHistoryOperations::init()
{
    fixture.init(QStringLiteral("SN-%1").arg(QString::fromLatin1(QTest::currentTestFunction())));
}

void TestHistoryOperations::cleanup()
{
    fixture.cleanup();
}

void TestHistoryOperations::writeThree()
{
    fixture.writeConversation(
        nameAt(0), QStringLiteral("Keyboard care"), Start,
        {QStringLiteral("How do I clean the keycaps?"),
         MarkdownRenderer::toHtml(QStringLiteral("Use **warm water** and a soft brush."))});
    fixture.writeConversation(
        nameAt(1), QStringLiteral("Macros"), Start.addSecs(60),
        {QStringLiteral("Can a key type my e-mail address?"),
         MarkdownRenderer::toHtml(QStringLiteral("Yes: record a *macro* in the settings."))});
    fixture.writeConversation(
        nameAt(2), QStringLiteral("Lighting"), Start.addSecs(120),
        {QStringLiteral("Which colours are there?"),
         MarkdownRenderer::toHtml(QStringLiteral("Any colour; the KEYBOARD glows softly."))});
}

QStringList TestHistoryOperations::fileNames() const
{
    QStringList names;
    for (const ChatHistoryStore::IndexEntry& entry : fixture.store().loadIndex())
        names << entry.fileName;
    return names;
}

QStringList TestHistoryOperations::searchAndWait(const QString& text)
{
    QSignalSpy finished(manager(), &DialogManager::searchFinished);
    manager()->searchConversations(text);
    if (!finished.wait(10000) || finished.count() != 1)
        return {QStringLiteral("no answer")};
    if (finished.at(0).at(0).toString() != text)
        return {QStringLiteral("answer for another text")};
    return finished.at(0).at(1).toStringList();
}

void TestHistoryOperations::deleteRemovesEntryAndFile()
{
    writeThree();
    QVERIFY(fixture.makeManager());
    QAbstractItemModelTester tester(manager()->dialogInfoModel());
    manager()->setCurrentIndex(2);
    manager()->parseJSONToCurrentChat();

    QVERIFY(manager()->deleteConversation(0));
    QCOMPARE(fileNames(), (QStringList {nameAt(1), nameAt(2)}));
    QVERIFY(!fileExists(nameAt(0)));
    QVERIFY(fileExists(nameAt(1)));
    QCOMPARE(manager()->dialogInfoModel()->rowCount(), 2);
    QCOMPARE(manager()->currentIndex(), 1); // still "Lighting", one row up
    QCOMPARE(manager()->dialogModel()->rowCount(), 2);

    for (int outside : {-1, 2, 99})
        QVERIFY(!manager()->deleteConversation(outside));
    QCOMPARE(fileNames().size(), 2);
    QCOMPARE(manager()->dialogInfoModel()->rowCount(), 2);
}

// The chat shows a new, empty conversation, and the next question starts one.
void TestHistoryOperations::deleteTheOpenConversation()
{
    writeThree();
    QVERIFY(fixture.makeManager());
    manager()->setCurrentIndex(1);
    manager()->parseJSONToCurrentChat();

    QVERIFY(manager()->deleteConversation(1));
    QCOMPARE(manager()->dialogModel()->rowCount(), 0);
    QCOMPARE(manager()->currentIndex(), -1);
    QVERIFY(!fileExists(nameAt(1)));

    manager()->sendMessage(QStringLiteral("A fresh start [fault:short]"));
    QTRY_VERIFY_WITH_TIMEOUT(manager()->responseGenerated(), 15000);
    QCOMPARE(manager()->dialogInfoModel()->rowCount(), 3);
    QCOMPARE(manager()->currentIndex(), 2);
    QCOMPARE(fixture.storedMessages().size(), 2);
    QCOMPARE(fileNames().size(), 3);
}

void TestHistoryOperations::deleteWithTheFileGoneBehindOurBack()
{
    writeThree();
    QVERIFY(fixture.makeManager());
    QVERIFY(QFile::remove(fixture.store().conversationPath(nameAt(2))));
    QVERIFY(manager()->deleteConversation(2));
    QCOMPARE(fileNames(), (QStringList {nameAt(0), nameAt(1)}));
    QCOMPARE(manager()->dialogInfoModel()->rowCount(), 2);
}

void TestHistoryOperations::deleteKeepsEverythingWhenTheIndexIsBroken()
{
    writeThree();
    QVERIFY(fixture.makeManager());
    const QString index = fixture.store().indexPath();
    QVERIFY(JsonFile::write(index, "{ not json"));
    QVERIFY(!manager()->deleteConversation(1));
    QCOMPARE(manager()->dialogInfoModel()->rowCount(), 3);
    QVERIFY(fileExists(nameAt(1)));
    QFile file(index);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("{ not json"));
}

void TestHistoryOperations::deleteDuringAStream()
{
    writeThree();
    QVERIFY(fixture.makeManager());
    const int closedBefore = fixture.heldStreamsClosed();
    manager()->sendMessage(QStringLiteral("A long one [fault:hold]"));
    QTRY_VERIFY_WITH_TIMEOUT(
        manager()->dialogModel()->contentAt(1).contains(QLatin1String("<html>")), 15000);
    const QString streamed =
        fixture.store().conversationPath(manager()->dialogInfoModel()->items().at(3).fileName);

    // Another conversation goes; the answer streams on into its own.
    QVERIFY(manager()->deleteConversation(0));
    QVERIFY(manager()->answering());
    QCOMPARE(manager()->currentIndex(), 2);

    // The conversation of the answer goes: the answer stops and nothing is left of it.
    QVERIFY(manager()->deleteConversation(2));
    QVERIFY(!manager()->answering());
    QVERIFY(manager()->responseGenerated());
    QCOMPARE(manager()->dialogModel()->rowCount(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(fixture.heldStreamsClosed(), closedBefore + 1, 10000);
    manager()->flushHistory();
    QVERIFY(!QFileInfo::exists(streamed));
    QCOMPARE(fileNames(), (QStringList {nameAt(1), nameAt(2)}));
}

void TestHistoryOperations::exportWritesMarkdown()
{
    const ChatHistoryStore store = fixture.store();
    store.appendIndexEntry(QStringLiteral("Keys *and* more"), nameAt(0), Start);
    store.appendMessage(nameAt(0), true, 0, QStringLiteral("Which key?\n# Not a heading"),
                        QString());
    store.appendMessage(nameAt(0), false, 1, readData(QStringLiteral("answer.html")),
                        MarkdownRenderer::toHtml(QStringLiteral("Look at **F20**.")));
    store.appendMessage(nameAt(0), false, 0, QStringLiteral("Thanks"), QString());
    store.appendMessage(nameAt(0), false, 1,
                        QStringLiteral("The server is busy, please try again later."), QString());
    QVERIFY(fixture.makeManager());

    const QString path = fixture.environment()->path(QStringLiteral("exported.md"));
    QVERIFY(manager()->exportConversation(0, QUrl::fromLocalFile(path).toString()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString expected = QStringLiteral("# Keys \\*and\\* more\n\n"
                                            "**Question**\n\n"
                                            "Which key?\\\n\\# Not a heading\n\n"
                                            "**Answer**\n\n"
                                            "> *Reasoning*\n>\n> Look at **F20**.\n\n")
        + readData(QStringLiteral("answer.md"))
        + QStringLiteral("\n---\n\n"
                         "**Question**\n\n"
                         "Thanks\n\n"
                         "**Answer**\n\n"
                         "The server is busy, please try again later.\n");
    QCOMPARE(QString::fromUtf8(file.readAll()), expected);

    // A plain path works as well and replaces the file.
    QVERIFY(manager()->exportConversation(0, path));
    QCOMPARE(QFileInfo(path).size(), expected.toUtf8().size());
}

void TestHistoryOperations::exportFailuresLeaveNoFile_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("target"); // below the test folder
    QTest::addColumn<bool>("removeFile"); // the conversation's file is gone behind our back
    QTest::newRow("missing folder") << 0 << QStringLiteral("no/such/folder/x.md") << false;
    QTest::newRow("target is a folder") << 0 << QStringLiteral("folder") << false;
    QTest::newRow("row outside the list") << 3 << QStringLiteral("x.md") << false;
    QTest::newRow("negative row") << -1 << QStringLiteral("x.md") << false;
    QTest::newRow("file gone") << 1 << QStringLiteral("x.md") << true;
}

void TestHistoryOperations::exportFailuresLeaveNoFile()
{
    QFETCH(int, row);
    QFETCH(QString, target);
    QFETCH(bool, removeFile);
    writeThree();
    QVERIFY(fixture.makeManager());
    QVERIFY(QDir().mkpath(fixture.environment()->path(QStringLiteral("folder"))));
    if (removeFile)
        QVERIFY(QFile::remove(fixture.store().conversationPath(nameAt(row))));
    const QString path = fixture.environment()->path(target);
    QVERIFY(!manager()->exportConversation(row, path));
    QVERIFY(!QFileInfo(path).isFile());
    QVERIFY(!QFileInfo::exists(fixture.environment()->path(QStringLiteral("no"))));
}

void TestHistoryOperations::searchFindsTitlesAndShownText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("found"); // minutes after Start, newest first
    QTest::newRow("everything") << QString() << QStringList {nameAt(2), nameAt(1), nameAt(0)};
    QTest::newRow("title") << QStringLiteral("MACRO") << QStringList {nameAt(1)};
    QTest::newRow("question") << QStringLiteral("keycaps") << QStringList {nameAt(0)};
    QTest::newRow("answer, bold") << QStringLiteral("warm water") << QStringList {nameAt(0)};
    QTest::newRow("case and title")
        << QStringLiteral("keyboard") << QStringList {nameAt(2), nameAt(0)};
    QTest::newRow("markup is not text") << QStringLiteral("font-weight") << QStringList {};
    QTest::newRow("tag names are not text") << QStringLiteral("<span") << QStringList {};
    QTest::newRow("nothing") << QStringLiteral("zebra") << QStringList {};
}

void TestHistoryOperations::searchFindsTitlesAndShownText()
{
    QFETCH(QString, text);
    QFETCH(QStringList, found);
    writeThree();
    QVERIFY(fixture.makeManager());
    QSignalSpy searching(manager(), &DialogManager::searchingChanged);
    QCOMPARE(searchAndWait(text), found);
    QVERIFY(!manager()->searching());
    QCOMPARE(searching.count(), 2);

    // The history panel's list shows the result, each row naming its conversation's row.
    ConversationFilterModel* list = manager()->historyModel();
    QAbstractItemModelTester tester(list);
    QCOMPARE(list->filtering(), !text.isEmpty());
    const int expectedRows = text.isEmpty() ? 3 : found.size();
    QCOMPARE(list->rowCount(), expectedRows);
    for (int row = 0; row < expectedRows; ++row) {
        const QModelIndex index = list->index(row, 0);
        const int conversation = index.data(ConversationFilterModel::RowRole).toInt();
        const QString fileName = manager()->dialogInfoModel()->items().at(conversation).fileName;
        // Without a search, the order of the index.
        QCOMPARE(fileName, text.isEmpty() ? nameAt(row) : found.at(row));
        QCOMPARE(index.data(DialogInfoModel::FileNameRole).toString(), fileName);
    }
}

void TestHistoryOperations::onlyTheLatestSearchAnswers()
{
    writeThree();
    QVERIFY(fixture.makeManager());
    QSignalSpy finished(manager(), &DialogManager::searchFinished);
    manager()->searchConversations(QStringLiteral("k"));
    manager()->searchConversations(QStringLiteral("ke"));
    manager()->searchConversations(QStringLiteral("macro"));
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(0).toString(), QStringLiteral("macro"));
    QCOMPARE(finished.at(0).at(1).toStringList(), QStringList {nameAt(1)});
    QCOMPARE(manager()->historyModel()->rowCount(), 1);
    QCOMPARE(manager()->historyModel()->searchText(), QStringLiteral("macro"));
    QVERIFY(!manager()->searching());
}

// What we store, what is deleted and what leaves behind our back is seen by the next search;
// a conversation started during a search is searched as well.
void TestHistoryOperations::searchFollowsChanges()
{
    writeThree();
    QVERIFY(fixture.makeManager());
    QCOMPARE(searchAndWait(QStringLiteral("世界")), QStringList {});

    manager()->setCurrentIndex(1);
    manager()->parseJSONToCurrentChat();
    manager()->sendMessage(QStringLiteral("Say hello [fault:short]"));
    QTRY_VERIFY_WITH_TIMEOUT(manager()->responseGenerated(), 15000);
    QCOMPARE(searchAndWait(QStringLiteral("世界")), QStringList {nameAt(1)});

    manager()->regenerate(); // the stored answer goes; the new one stops before it arrives
    manager()->stopGeneration();
    QCOMPARE(searchAndWait(QStringLiteral("世界")), QStringList {});

    QVERIFY(QFile::remove(fixture.store().conversationPath(nameAt(0))));
    QCOMPARE(searchAndWait(QStringLiteral("keycaps")), QStringList {});
    QCOMPARE(searchAndWait(QStringLiteral("care")), QStringList {nameAt(0)}); // the title stays

    // A new conversation that matches joins the filtered list.
    QSignalSpy finished(manager(), &DialogManager::searchFinished);
    manager()->dialogModel()->clearAll();
    manager()->sendMessage(QStringLiteral("Take care of me [fault:short]"));
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.constLast().at(1).toStringList().size(), 2);
    QCOMPARE(manager()->historyModel()->rowCount(), 2);
    QTRY_VERIFY_WITH_TIMEOUT(manager()->responseGenerated(), 15000);
}

QTEST_MAIN(TestHistoryOperations)
#include "tst_historyoperations.moc"
