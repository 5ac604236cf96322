// How long the chat history takes with a heavy user's files: loading an index of 10,000
// conversations, loading a conversation of 2,000 messages and appending one message to it
// (every append reads and rewrites the whole file), and appending an index entry. Prints the
// median of several runs.
#include "chat/chathistorystore.h"
#include "chat/conversationsaver.h"
#include "core/jsonfile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int IndexEntries = 10000;
constexpr int Messages = 2000;
constexpr int Runs = 9;

const QString Conversation = QStringLiteral("20260101120000");

// reset runs after each timed run, outside the timing.
double medianMs(const std::function<void()>& work, const std::function<void()>& reset = {})
{
    std::vector<double> times;
    for (int run = 0; run < Runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(timer.nsecsElapsed() / 1e6);
        if (reset)
            reset();
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// An answer as the chat stores it: a few paragraphs of rich text, about 2 KB.
QString answerHtml(int n)
{
    QString html = QStringLiteral("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0//EN\">"
                                  "<html><head><meta name=\"qrichtext\" content=\"1\" /></head>");
    for (int p = 0; p < 6; ++p)
        html += QStringLiteral("<p style=\"margin-top:12px;\">Answer %1, paragraph %2: "
                               "<span style=\"font-weight:700;\">bold</span> text about "
                               "keyboards, macros and lighting effects.</p>")
                    .arg(n)
                    .arg(p);
    return html + QStringLiteral("</html>");
}

// Writes the files in one go: building them through the store would rewrite them thousands of
// times.
void fill(const ChatHistoryStore& store)
{
    store.loadIndex();
    QJsonArray history;
    const QDateTime start(QDate(2025, 1, 1), QTime(8, 0));
    for (int i = 0; i < IndexEntries; ++i) {
        const QDateTime time = start.addSecs(i * 97);
        history.append(QJsonObject {
            {QStringLiteral("title"),
             QStringLiteral("Conversation number %1 about something").arg(i)},
            {QStringLiteral("fileName"), time.toString(QStringLiteral("yyyyMMddHHmmss"))},
            {QStringLiteral("modifiedTime"),
             QLocale::c().toString(time, QStringLiteral("ddd MMM d HH:mm:ss yyyy"))}});
    }
    JsonFile::write(store.indexPath(),
                    QJsonDocument(QJsonObject {{QStringLiteral("history"), history}}).toJson());

    QJsonArray chat;
    for (int i = 0; i < Messages; ++i) {
        const bool answer = i % 2 == 1;
        chat.append(
            QJsonObject {{QStringLiteral("sender"), answer ? 1 : 0},
                         {QStringLiteral("content"),
                          answer ? answerHtml(i) : QStringLiteral("Question %1").arg(i)},
                         {QStringLiteral("reasoningContent"),
                          answer ? QStringLiteral("<p>Thinking about %1</p>").arg(i) : QString()}});
    }
    JsonFile::write(store.conversationPath(Conversation),
                    QJsonDocument(QJsonObject {{QStringLiteral("chat"), chat}}).toJson());
}

// GUI-thread time of storing one message in a conversation of n messages the way the
// conversation manager does it: the conversation stays in memory, the file is written on the
// saver's worker thread (waited for outside the timing).
void savingFigures(const ChatHistoryStore& store)
{
    for (int messages : {100, Messages}) {
        const QString name = QStringLiteral("2026010112%1").arg(messages, 4, 10, QLatin1Char('0'));
        ConversationSaver saver;
        for (int i = 0; i < messages; ++i)
            saver.appendMessage(store, name, i == 0, i % 2, answerHtml(i), QString());
        saver.flush();
        const double append =
            medianMs([&] { saver.appendMessage(store, name, false, 1, answerHtml(0), QString()); },
                     [&] {
                         saver.removeLastMessage(store, name);
                         saver.flush();
                     });
        std::printf("conversation saver, one message to %d messages: %.2f ms GUI thread\n",
                    messages, append);
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    const ChatHistoryStore store(dir.path());
    fill(store);
    std::printf("index file: %.1f MB, conversation file: %.1f MB\n",
                QFileInfo(store.indexPath()).size() / 1e6,
                QFileInfo(store.conversationPath(Conversation)).size() / 1e6);

    int loaded = 0;
    const double index = medianMs([&] { loaded = store.loadIndex().size(); });
    std::printf("loadIndex, %d entries: %.2f ms\n", loaded, index);
    int walked = 0;
    const double plain = medianMs([&] {
        const QJsonArray history = JsonFile::read(store.indexPath())
                                       .document.object()
                                       .value(QStringLiteral("history"))
                                       .toArray();
        walked = 0;
        for (const QJsonValue& element : history) {
            const QJsonObject entry = element.toObject();
            walked += entry.value(QStringLiteral("title")).toString().size()
                + entry.value(QStringLiteral("fileName")).toString().size()
                + entry.value(QStringLiteral("modifiedTime")).toString().size();
        }
    });
    std::printf("plain parse and walk of the index: %.2f ms (loadIndex %.2fx)\n", plain,
                index / plain);

    const double conversation =
        medianMs([&] { loaded = store.loadConversation(Conversation).messages.size(); });
    std::printf("loadConversation, %d messages: %.2f ms\n", loaded, conversation);

    // Each appended message is taken off again, so every run sees a file of 2,000 messages.
    const double append =
        medianMs([&] { store.appendMessage(Conversation, false, 1, answerHtml(0), QString()); },
                 [&] { store.removeLastMessage(Conversation); });
    std::printf("appendMessage to %d messages: %.2f ms\n", Messages, append);
    savingFigures(store);
    const double entry = medianMs([&] {
        store.appendIndexEntry(QStringLiteral("New"), Conversation, QDateTime::currentDateTime());
    });
    std::printf("appendIndexEntry to %d entries: %.2f ms\n", IndexEntries, entry);
    ConversationSaver saver;
    const double queued = medianMs(
        [&] {
            saver.appendIndexEntry(store, QStringLiteral("New"), Conversation,
                                   QDateTime::currentDateTime());
        },
        [&] { saver.flush(); });
    std::printf("conversation saver, index entry at %d entries: %.2f ms GUI thread\n", IndexEntries,
                queued);
    return 0;
}
