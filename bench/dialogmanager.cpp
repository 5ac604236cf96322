// Streams one answer of about 20,000 characters of mixed Markdown through the conversation
// manager as 400 cumulative reply events (each carries the whole answer so far, as the
// knowledge engine sends them), one per 20 ms, and prints the GUI thread's CPU time spent in the
// manager and the model (no view): total, largest single event, and one conversion of the
// whole text for comparison.
#include "chat/dialogmanager.h"
#include "benchenvironment.h"
#include "chat/dialoginfomodel.h"
#include "chat/dialogmodel.h"
#include "chat/markdownrenderer.h"
#include "core/configengine.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

QString mixedMarkdown(int length)
{
    const QString section = QStringLiteral(
        "## Choosing switches\n\n"
        "Linear switches feel **smooth** from top to bottom, while tactile ones give a *bump*. "
        "Clicky switches add a sound; see [the guide](https://orvik.example/switches).\n\n"
        "- Linear: quiet and fast\n- Tactile: clear feedback\n  - light bump\n  - heavy bump\n"
        "- Clicky: loud\n\n"
        "1. Try a tester\n2. Type for a week\n3. Decide\n\n"
        "| Switch | Force | Travel |\n|---|---|---|\n| Red | 45 g | 4 mm |\n"
        "| Brown | 55 g | 4 mm |\n| Blue | 60 g | 4 mm |\n\n"
        "```cpp\nint keys = 104;\nfor (int i = 0; i < keys; ++i)\n    press(i);\n```\n\n"
        "> A good keyboard disappears under your fingers.\n\n");
    QString text;
    while (text.size() < length)
        text += section;
    text.truncate(length);
    return text;
}

} // namespace

int main(int argc, char* argv[])
{
    const BenchEnvironment environment;
    QGuiApplication app(argc, argv);

    constexpr int Length = 20000;
    constexpr int Events = 400;
    const QString answer = mixedMarkdown(Length);

    ConfigEngine config;
    BenchEnvironment::initialize(config);
    DialogManager manager(&config, nullptr);
    manager.dialogInfoModel()->append(QStringLiteral("bench"), QStringLiteral("20261210000000"),
                                      QDateTime::currentDateTime());
    manager.setCurrentIndex(0);
    manager.dialogModel()->append(0, QStringLiteral("Tell me about switches"), QString());
    manager.dialogModel()->append(1, QStringLiteral("Generating response..."), QString());

    QElapsedTimer clock;
    qint64 totalNs = 0;
    qint64 largestNs = 0;
    for (int event = 1; event <= Events; ++event) {
        const QString soFar = answer.left(Length * event / Events);
        const qint64 start = BenchEnvironment::threadCpuNs();
        QMetaObject::invokeMethod(&manager, "onReceivedStreamingData", Q_ARG(QString, soFar),
                                  Q_ARG(QString, QString()), Q_ARG(bool, event == Events));
        // Paced like a real stream; the manager shows at most one update per frame, and the
        // deferred ones (run from its timer) count with the event too.
        QEventLoop pause;
        QTimer::singleShot(20, &pause, &QEventLoop::quit);
        pause.exec();
        const qint64 ns = BenchEnvironment::threadCpuNs() - start;
        totalNs += ns;
        largestNs = std::max(largestNs, ns);
    }

    clock.start();
    const QString html = MarkdownRenderer::toHtml(answer);
    const qint64 oneConversionNs = clock.nsecsElapsed();

    std::printf("answer: %d characters of Markdown, %d cumulative events, HTML %d characters\n",
                Length, Events, static_cast<int>(html.size()));
    std::printf("manager total:          %8.1f ms\n", totalNs / 1e6);
    std::printf("largest single event:   %8.2f ms\n", largestNs / 1e6);
    std::printf("mean per event:         %8.2f ms\n", totalNs / 1e6 / Events);
    std::printf("one conversion (whole): %8.2f ms\n", oneConversionNs / 1e6);
    return 0;
}
