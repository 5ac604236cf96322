#include "aikeyfixture.h"

#include "chat/chathistorystore.h"

#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

namespace {

const QString Ready = QStringLiteral("Chat window visible after start-up: false");
const QString ScaleChanged = QStringLiteral("fileScale:");

} // namespace

bool AiKeyFixture::start()
{
    env = std::make_unique<TestEnvironment>();
    server = std::make_unique<DevServerProcess>();
    if (!env->isValid() || !server->start()) {
        failure = QStringLiteral("stand-in: ") + server->errorText();
        return false;
    }
    client = std::make_unique<StandInClient>(server->baseUrl());
    qputenv("LUMORA_SERVICE_URL", server->baseUrl().toUtf8());
    qputenv("LUMORA_ENGINE_URL", server->baseUrl().toUtf8());
    // Agreement accepted, as on every start after the first.
    env->writeFile(QStringLiteral("config/lumora/configs/config.json"),
                   R"({"FirstStart": "true", "Scale": 1})");
    return launch();
}

// A screen that wants another scale than the stored one makes the first start store it and
// end; the second start then runs.
bool AiKeyFixture::launch()
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        process = std::make_unique<LumoraProcess>();
        process->setVariable(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        // Keyboards come from lumora-devicectl, or from the system's (fake) sysfs.
        process->setVariable(QStringLiteral("LUMORA_DEVICE_SIMULATOR"),
                             simulatedKeyboards ? QStringLiteral("1") : QStringLiteral("0"));
        if (!process->start()) {
            failure = QStringLiteral("the program did not start");
            return false;
        }
        if (process->waitForOutput(Ready))
            return true;
        if (!process->output().contains(ScaleChanged))
            break;
        process->waitForExit();
    }
    failure = QStringLiteral("the program did not come up: ") + process->output();
    return false;
}

void AiKeyFixture::stop()
{
    process.reset();
    client.reset();
    server.reset();
    env.reset();
}

bool AiKeyFixture::devicectl(const QStringList& arguments, QString* output)
{
    QProcess control;
    control.start(QStringLiteral(LUMORA_DEVICECTL_PATH), arguments);
    const bool done = control.waitForFinished(10000) && control.exitStatus() == QProcess::NormalExit
        && control.exitCode() == 0;
    if (output)
        *output = QString::fromUtf8(control.readAllStandardOutput());
    return done;
}

// Listed by the program is not yet enough: the AI key finds a keyboard only once the program
// has opened and started its device object.
bool AiKeyFixture::plugKeyboard(const QString& name, const QString& sn)
{
    if (!devicectl(
            {QStringLiteral("plug"), QStringLiteral("--name"), name, QStringLiteral("--sn"), sn}))
        return false;
    const QRegularExpression started(QLatin1Char('^') + QRegularExpression::escape(sn)
                                         + QStringLiteral("\\t.*\\tstarted=1$"),
                                     QRegularExpression::MultilineOption);
    return QTest::qWaitFor(
        [&] {
            QString listing;
            return devicectl({QStringLiteral("list")}, &listing) && listing.contains(started);
        },
        10000);
}

int AiKeyFixture::countRequestsFor(const QString& sn)
{
    return client->requestCount(QStringLiteral("/v1/ai/api/getCount"),
                                QStringLiteral("\"deviceSn\":\"%1\"").arg(sn));
}

QString AiKeyFixture::waitForStoredAnswer(const QString& answerEnd, const QString& sn,
                                          int timeoutMs)
{
    const ChatHistoryStore store(env->dataHome() + QStringLiteral("/lumora"));
    QString fileName;
    const bool stored = QTest::qWaitFor(
        [&] {
            const QVector<ChatHistoryStore::IndexEntry> index = store.loadIndex();
            if (index.size() != 1)
                return false;
            fileName = index.first().fileName;
            const auto messages = store.loadConversation(fileName).messages;
            return messages.size() == 2 && messages.last().content.contains(answerEnd);
        },
        timeoutMs);
    const bool counted =
        stored
        && QTest::qWaitFor(
            [&] {
                return client->requestCount(QStringLiteral("/v1/ai/api/addCount"),
                                            QStringLiteral("\"deviceSn\":\"%1\"").arg(sn))
                    == 1;
            },
            10000);
    return counted ? fileName : QString();
}

int AiKeyFixture::outputLines(const QString& text)
{
    int lines = 0;
    for (const QString& line : process->output().split(QLatin1Char('\n'))) {
        if (line.contains(text))
            ++lines;
    }
    return lines;
}
