// Streams long Markdown answers along the whole path the user sees: provider events
// (cumulative reply events, as the knowledge engine sends them) -> conversation manager ->
// message model -> the answer delegate 486 wide in an offscreen Qt Quick window (software
// backend). The cost of an event is the GUI thread's CPU time from its delivery until the next
// one, so timers, polish, layout and painting of the frame all count. Compared with one full
// render: one conversion of the final text plus one layout and frame of it in the same view.
//
// Two paces:
// - fast (default): 400 events per answer, one every 20 ms, whatever its length: the cost of
//   each event, the worst one and how many took over 16 ms (a frame at 60 Hz; on a shared
//   virtual machine a few do for reasons of the machine's), for lengths up to 80,000
//   characters.
// - "--real": about 50 characters every 50 ms, as a real stream comes: the share of one core
//   the stream takes (CPU time / wall time), for the sizes given (default 5000).
//
// Arguments: optional list of sizes (default 5000 20000 80000); "--kinds=prose,tables,list,
// table,code" (default all): prose with lists and code, prose with small tables, one long
// numbered list, one huge table, one long code block.
// BENCH_QML in the environment replaces the panel below (e.g. with the real answer delegate);
// it sees the message model as "dialogModel".
#include "benchanswers.h"
#include "benchenvironment.h"
#include "chat/dialoginfomodel.h"
#include "chat/dialogmanager.h"
#include "chat/dialogmodel.h"
#include "chat/markdownrenderer.h"
#include "chat/richtextview.h"
#include "core/configengine.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QQmlContext>
#include <QQmlError>
#include <QQuickView>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QTemporaryFile>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int FastEvents = 400;
constexpr double FrameMs = 16;
constexpr int FastPaceMs = 20;
constexpr int RealCharsPerEvent = 50;
constexpr int RealPaceMs = 50;
// After the last event: long enough for the answer's final conversion on its worker thread.
constexpr int SettleMs = 450;

// The chat panel's message list with the answer layout of the app: reasoning above the
// answer, both the app's own answer view (AnswerView) 486 wide, in its light theme.
const char* const PanelQml = R"QML(
import QtQuick 2.15
import "qrc:/DialogModule"

Item {
    width: 514; height: 476
    Loader { id: theme; source: "qrc:/Theme/LightTheme.qml" }
    Loader { id: fontManager; source: "qrc:/FontManager.qml" }
    ListView {
        anchors.fill: parent
        clip: true
        spacing: 12
        model: dialogModel
        delegate: Column {
            width: 486
            spacing: 12
            AnswerView {
                width: 486
                visible: model.reasoningContent !== ""
                html: model.reasoningContent
            }
            AnswerView {
                width: 486
                html: model.content
            }
        }
    }
}
)QML";

void idle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

struct Figures
{
    double totalMs = 0;
    double worstMs = 0;
    int slowEvents = 0; // over a frame at 60 Hz
    double lastMs = 0;
    double fullRenderMs = 0;
    double deliveryMs = 0; // inside the manager, the model and the view's bindings
    double idleMs = 0; // the paced event loop alone, for reference
    double wallMs = 0; // from the first event until the answer settled
};

// How an answer arrives: so many cumulative events, one every so many milliseconds.
struct Pace
{
    int events = FastEvents;
    int ms = FastPaceMs;
};

class Bench
{
public:
    Bench(ConfigEngine* config)
        : manager(config, nullptr)
    {
        manager.dialogInfoModel()->append(QStringLiteral("bench"), QStringLiteral("20261210000000"),
                                          QDateTime::currentDateTime());
        manager.setCurrentIndex(0);
        view.rootContext()->setContextProperty(QStringLiteral("dialogModel"),
                                               manager.dialogModel());
        qmlFile.open();
        qmlFile.write(qEnvironmentVariableIsSet("BENCH_QML") ? qgetenv("BENCH_QML") : PanelQml);
        qmlFile.close();
        view.setSource(QUrl::fromLocalFile(qmlFile.fileName()));
        for (const QQmlError& error : view.errors())
            std::fprintf(stderr, "%s\n", qPrintable(error.toString()));
        view.show();
        idle(100);
    }

    Figures run(const QString& text, Pace pace)
    {
        Figures figures;
        DialogModel* model = manager.dialogModel();
        model->clearAll();
        model->append(0, QStringLiteral("Tell me about switches"), QString());
        model->append(1, QStringLiteral("Generating response..."), QString());
        manager.setResponseGenerated(false);
        idle(100);
        DeepSeekHandler* provider = manager.providerClient();
        QElapsedTimer wall;
        wall.start();
        for (int event = 1; event <= pace.events; ++event) {
            const QString soFar = text.left(text.size() * event / pace.events);
            const bool end = event == pace.events;
            const qint64 start = BenchEnvironment::threadCpuNs();
            emit provider->receivedStreamingData(soFar, QString(), end);
            figures.deliveryMs += (BenchEnvironment::threadCpuNs() - start) / 1e6;
            idle(end ? SettleMs : pace.ms);
            const double ms = (BenchEnvironment::threadCpuNs() - start) / 1e6;
            figures.totalMs += ms;
            figures.worstMs = std::max(figures.worstMs, ms);
            figures.slowEvents += ms > FrameMs ? 1 : 0;
            figures.lastMs = ms;
        }
        figures.wallMs = wall.elapsed();
        const QString streamed = model->contentAt(1);
        // The same paced ticks without events: what the event loop costs by itself.
        const qint64 idleStart = BenchEnvironment::threadCpuNs();
        for (int event = 1; event <= pace.events; ++event)
            idle(event == pace.events ? SettleMs : pace.ms);
        figures.idleMs = (BenchEnvironment::threadCpuNs() - idleStart) / 1e6;

        model->clearAll();
        idle(100);
        const qint64 start = BenchEnvironment::threadCpuNs();
        const QString html = MarkdownRenderer::toHtml(text);
        model->append(1, html, QString());
        idle(200);
        figures.fullRenderMs = (BenchEnvironment::threadCpuNs() - start) / 1e6;
        if (streamed != html)
            std::printf("  WARNING: the streamed answer differs from a one-shot conversion\n");
        model->clearAll();
        idle(50);
        return figures;
    }

private:
    DialogManager manager;
    QQuickView view;
    QTemporaryFile qmlFile {QDir::tempPath() + QStringLiteral("/bench-panel-XXXXXX.qml")};
};

} // namespace

int main(int argc, char* argv[])
{
    QQuickWindow::setSceneGraphBackend(QSGRendererInterface::Software);
    const BenchEnvironment environment;
    QGuiApplication app(argc, argv);

    QList<int> sizes;
    QStringList kinds {QStringLiteral("prose"), QStringLiteral("tables"), QStringLiteral("list"),
                       QStringLiteral("table"), QStringLiteral("code")};
    bool realPace = false;
    for (const QString& argument : app.arguments().mid(1)) {
        if (argument.startsWith(QLatin1String("--kinds=")))
            kinds = argument.mid(8).split(QLatin1Char(','));
        else if (argument == QLatin1String("--real"))
            realPace = true;
        else if (argument.toInt() > 0)
            sizes.append(argument.toInt());
    }
    if (sizes.isEmpty())
        sizes = realPace ? QList<int> {5000} : QList<int> {5000, 20000, 80000};

    ConfigEngine config;
    BenchEnvironment::initialize(config);
    Q_INIT_RESOURCE(qml);
    RichTextView::registerQmlType();
    Bench bench(&config);
    auto paceFor = [realPace](int size) {
        return realPace ? Pace {std::max(1, size / RealCharsPerEvent), RealPaceMs} : Pace {};
    };
    if (realPace)
        std::printf("about %d characters per event, one per %d ms; GUI-thread CPU time\n",
                    RealCharsPerEvent, RealPaceMs);
    else
        std::printf("%d cumulative events per answer, one per %d ms; GUI-thread CPU time\n",
                    FastEvents, FastPaceMs);
    std::printf("%-7s %7s %11s %10s %7s %10s %12s %8s %12s %8s %7s\n", "kind", "chars", "total ms",
                "worst ms", ">16 ms", "last ms", "full rend ms", "ratio", "delivery ms", "idle ms",
                "core %");
    // One unmeasured answer first, of every kind of block: the first one pays for loading fonts,
    // compiling the delegate's bindings, filling Qt's caches and loading the highlighting's
    // definitions.
    bench.run(BenchAnswers::answer(QStringLiteral("tables"), 5000), Pace {});
    for (const QString& kind : kinds) {
        for (int size : sizes) {
            const Figures f = bench.run(BenchAnswers::answer(kind, size), paceFor(size));
            std::printf("%-7s %7d %11.1f %10.2f %7d %10.2f %12.2f %8.2f %12.1f %8.1f %7.2f\n",
                        qPrintable(kind), size, f.totalMs, f.worstMs, f.slowEvents, f.lastMs,
                        f.fullRenderMs, f.totalMs / f.fullRenderMs, f.deliveryMs, f.idleMs,
                        100.0 * f.totalMs / f.wallMs);
            std::fflush(stdout);
        }
    }
    return 0;
}
