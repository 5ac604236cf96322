// Searching a long history through the conversation manager: 10,000 stored conversations of
// 20 messages each (ten questions, ten answers of about 800 characters of Markdown on one of
// fifty topics, stored as HTML). Prints the first search (which reads every file), searches after
// it, a user typing a word letter by letter, the longest event the GUI thread handled meanwhile
// (the results reach the history list's filter model there) and the memory the search keeps.
#include "benchenvironment.h"
#include "chat/conversationfiltermodel.h"
#include "chat/dialoginfomodel.h"
#include "chat/dialogmanager.h"
#include "chat/markdownrenderer.h"
#include "core/configengine.h"
#include "core/jsonfile.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Conversations = 10000;
constexpr int Exchanges = 10;

// Times every event the GUI thread handles (outermost deliveries only): the wall time, which
// includes waiting for a core on a busy machine, and the CPU time the thread spent on it.
class TimedApplication : public QGuiApplication
{
public:
    using QGuiApplication::QGuiApplication;

    bool notify(QObject* receiver, QEvent* event) override
    {
        if (depth++ > 0) {
            const bool result = QGuiApplication::notify(receiver, event);
            --depth;
            return result;
        }
        QElapsedTimer timer;
        timer.start();
        const qint64 cpu = BenchEnvironment::threadCpuNs();
        const bool result = QGuiApplication::notify(receiver, event);
        longestCpuNs = std::max(longestCpuNs, BenchEnvironment::threadCpuNs() - cpu);
        longestNs = std::max(longestNs, timer.nsecsElapsed());
        --depth;
        return result;
    }

    // "wall ms (CPU ms)" of the longest event since the last call.
    QString takeLongest()
    {
        const QString text = QStringLiteral("%1 ms (CPU %2 ms)")
                                 .arg(longestNs / 1e6, 0, 'f', 1)
                                 .arg(longestCpuNs / 1e6, 0, 'f', 1);
        longestNs = 0;
        longestCpuNs = 0;
        return text;
    }

private:
    int depth = 0;
    qint64 longestNs = 0;
    qint64 longestCpuNs = 0;
};

// Five answers as the chat stores them (HTML), with a place for the topic and a word of
// their own.
QStringList answerTemplates()
{
    QStringList answers;
    for (int i = 0; i < 5; ++i) {
        answers << MarkdownRenderer::toHtml(
            QStringLiteral("## About @TOPIC@ (@WORD@)\n\n"
                           "Most people choose @TOPIC@ by **feel** rather than by numbers; try "
                           "a few before you decide, and keep the *old ones* for later. Answer "
                           "%1.\n\n"
                           "1. **First**: read what the maker says about @TOPIC@\n"
                           "2. Compare the travel, the force and the sound\n"
                           "3. Type a long text and listen to your fingers\n\n"
                           "| Kind | Force | Sound |\n|---|---|---|\n| Linear | 45 g | quiet |\n"
                           "| Tactile | 55 g | soft |\n\n"
                           "```\nsettings --profile %1 default\n```\n\n"
                           "A good keyboard disappears under your fingers after a week of "
                           "typing; until then, give it time and adjust the details.")
                .arg(i));
    }
    return answers;
}

// Fifty topics, each answer on one of them.
QString topic(int n)
{
    static const char* const nouns[] = {"switches", "keycaps",  "lighting", "macros",
                                        "firmware", "layouts",  "cables",   "stabilizers",
                                        "profiles", "shortcuts"};
    static const char* const adjectives[] = {"quiet", "fast", "custom", "wireless", "heavy"};
    return QStringLiteral("%1 %2").arg(QLatin1String(adjectives[n % 5]),
                                       QLatin1String(nouns[(n / 5) % 10]));
}

// Writes the files directly: building them through the manager would take hours.
void fill(const QString& historyDir)
{
    const QStringList answers = answerTemplates();
    QJsonArray index;
    const QDateTime start(QDate(2024, 1, 1), QTime(8, 0));
    for (int c = 0; c < Conversations; ++c) {
        const QDateTime time = start.addSecs(c * 3607);
        const QString fileName = time.toString(QStringLiteral("yyyyMMddHHmmss"));
        QJsonArray chat;
        for (int e = 0; e < Exchanges; ++e) {
            const QString word = QStringLiteral("w%1x%2").arg(c).arg(e);
            chat.append(
                QJsonObject {{QStringLiteral("sender"), 0},
                             {QStringLiteral("content"),
                              QStringLiteral("Question %1 of conversation %2: how do I set up %3?")
                                  .arg(e)
                                  .arg(c)
                                  .arg(word)},
                             {QStringLiteral("reasoningContent"), QString()}});
            chat.append(
                QJsonObject {{QStringLiteral("sender"), 1},
                             {QStringLiteral("content"),
                              QString(answers.at((c + e) % answers.size()))
                                  .replace(QStringLiteral("@WORD@"), word)
                                  .replace(QStringLiteral("@TOPIC@"), topic(c * 7 + e * 3))},
                             {QStringLiteral("reasoningContent"), QString()}});
        }
        JsonFile::write(historyDir + QLatin1Char('/') + fileName + QStringLiteral(".json"),
                        QJsonDocument(QJsonObject {{QStringLiteral("chat"), chat}}).toJson());
        index.append(QJsonObject {
            {QStringLiteral("title"), QStringLiteral("Conversation %1 about keyboards").arg(c)},
            {QStringLiteral("fileName"), fileName},
            {QStringLiteral("modifiedTime"),
             QLocale::c().toString(time, QStringLiteral("ddd MMM d HH:mm:ss yyyy"))}});
    }
    JsonFile::write(historyDir + QStringLiteral("/OverallTable.json"),
                    QJsonDocument(QJsonObject {{QStringLiteral("history"), index}}).toJson());
}

double residentMb()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toDouble() * 4096 / (1024 * 1024) : 0;
}

struct Timed
{
    double ms = 0;
    int found = 0;
};

// Waits until the manager answers the search for text; the number of conversations found.
int waitForAnswer(DialogManager& manager, const QString& text)
{
    int found = -1;
    QEventLoop loop;
    const QMetaObject::Connection connection =
        QObject::connect(&manager, &DialogManager::searchFinished, &loop,
                         [&](const QString& searched, const QStringList& fileNames) {
                             if (searched != text)
                                 return;
                             found = fileNames.size();
                             loop.quit();
                         });
    QTimer::singleShot(120000, &loop, &QEventLoop::quit);
    loop.exec();
    QObject::disconnect(connection);
    return found;
}

Timed searchOnce(DialogManager& manager, const QString& text)
{
    QElapsedTimer timer;
    timer.start();
    manager.searchConversations(text);
    const int found = waitForAnswer(manager, text);
    return {timer.nsecsElapsed() / 1e6, found};
}

} // namespace

int main(int argc, char* argv[])
{
    const BenchEnvironment environment;
    TimedApplication app(argc, argv);

    ConfigEngine config;
    BenchEnvironment::initialize(config);
    const QString historyDir = config.dataLocation() + QStringLiteral("/ChatHistory");
    QDir().mkpath(historyDir);
    std::printf("writing %d conversations of %d messages...\n", Conversations, 2 * Exchanges);
    std::fflush(stdout);
    fill(historyDir);

    const double before = residentMb();
    DialogManager manager(&config, nullptr);
    std::printf("conversations listed: %d\n", manager.dialogInfoModel()->rowCount());

    app.takeLongest();
    const Timed cold = searchOnce(manager, QStringLiteral("custom firmware"));
    std::printf("first search (reads every file): %8.1f ms, %d found, longest GUI event %s\n",
                cold.ms, cold.found, qPrintable(app.takeLongest()));
    std::printf("memory kept by the search:       %8.1f MB\n", residentMb() - before);

    const QStringList texts {QStringLiteral("keyboard"),
                             QStringLiteral("W9999X9"),
                             QStringLiteral("wireless macros"),
                             QStringLiteral("zebra"),
                             QStringLiteral("FEEL"),
                             QStringLiteral("w5000x3"),
                             QStringLiteral("span style"),
                             QStringLiteral("quiet cables")};
    std::vector<double> times;
    for (const QString& text : texts) {
        const Timed timed = searchOnce(manager, text);
        times.push_back(timed.ms);
        std::printf("  search %-20s %8.1f ms, %5d found\n",
                    qPrintable(QLatin1Char('"') + text + QLatin1Char('"')), timed.ms, timed.found);
    }
    std::sort(times.begin(), times.end());
    std::printf("later searches: median %.1f ms, slowest %.1f ms, longest GUI event %s\n",
                times[times.size() / 2], times.back(), qPrintable(app.takeLongest()));

    // Typing "heavy cables", a letter every 120 ms; only the last search answers.
    const QString word = QStringLiteral("heavy cables");
    QElapsedTimer typing;
    for (int letters = 1; letters < word.size(); ++letters) {
        manager.searchConversations(word.left(letters));
        QEventLoop pause;
        QTimer::singleShot(120, &pause, &QEventLoop::quit);
        pause.exec();
    }
    typing.start();
    manager.searchConversations(word);
    const int found = waitForAnswer(manager, word);
    std::printf("typing \"%s\" a letter every 120 ms: the last letter's result after %.1f ms "
                "(%d found, %d rows listed); longest GUI event %s\n",
                qPrintable(word), typing.nsecsElapsed() / 1e6, found,
                manager.historyModel()->rowCount(), qPrintable(app.takeLongest()));

    QElapsedTimer call;
    call.start();
    for (int i = 0; i < 100; ++i)
        manager.searchConversations(QStringLiteral("x%1").arg(i));
    std::printf("searchConversations() call on the GUI thread: %.3f ms\n",
                call.nsecsElapsed() / 1e6 / 100);
    return 0;
}
