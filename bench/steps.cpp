// Grows one answer in fixed steps along the path from text to pixels: the streaming renderer,
// the app's answer view (AnswerView) 486 wide in an offscreen Qt Quick window (software
// backend), and one frame per step (grabWindow, which draws the whole window). It prints the
// thread's CPU time per step; more useful, the work is the same in every run, so under
// callgrind the instruction count compares two builds exactly, where timed runs on a shared
// machine vary by a third:
//   valgrind --tool=callgrind bench_steps table      (and the same with 0 steps for the set-up)
// Arguments: kind (prose, tables, list, table, code; default table), steps (default 32),
// characters per step (default 250, about what a real stream brings between two updates).
#include "benchanswers.h"
#include "benchenvironment.h"
#include "chat/richtextview.h"
#include "chat/streamingmarkdownrenderer.h"
#include "core/configengine.h"

#include <QGuiApplication>
#include <QQmlComponent>
#include <QQuickItem>
#include <QQuickView>
#include <QQuickWindow>
#include <QSGRendererInterface>

#include <algorithm>
#include <cstdio>

namespace {

const char* const ViewQml = R"QML(
import QtQuick 2.15
import "qrc:/DialogModule"
Item {
    width: 514; height: 476
    Loader { id: theme; source: "qrc:/Theme/LightTheme.qml" }
    Loader { id: fontManager; source: "qrc:/FontManager.qml" }
    AnswerView { objectName: "answer"; width: 486 }
}
)QML";

} // namespace

int main(int argc, char* argv[])
{
    QQuickWindow::setSceneGraphBackend(QSGRendererInterface::Software);
    const BenchEnvironment environment;
    QGuiApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const QString kind = arguments.value(1, QStringLiteral("table"));
    const int steps = arguments.value(2, QStringLiteral("32")).toInt();
    const int stepChars = arguments.value(3, QStringLiteral("250")).toInt();

    ConfigEngine config;
    BenchEnvironment::initialize(config);
    Q_INIT_RESOURCE(qml);
    RichTextView::registerQmlType();
    QQuickView window;
    QQmlComponent component(window.engine());
    component.setData(ViewQml, QUrl());
    auto* root = qobject_cast<QQuickItem*>(component.create());
    if (!root) {
        std::fprintf(stderr, "%s\n", qPrintable(component.errorString()));
        return 1;
    }
    window.setContent(QUrl(), &component, root);
    auto* view = root->findChild<RichTextView*>(QStringLiteral("answer"));
    window.show();
    window.grabWindow();

    const QString text = BenchAnswers::answer(kind, std::max(1, steps * stepChars));
    StreamingMarkdownRenderer renderer;
    const qint64 start = BenchEnvironment::threadCpuNs();
    for (int step = 1; step <= steps; ++step) {
        view->setHtml(renderer.render(text.left(step * stepChars)));
        window.grabWindow();
    }
    if (steps > 0)
        std::printf("%s, %d steps of %d characters: %.3f ms per step\n", qPrintable(kind), steps,
                    stepChars, (BenchEnvironment::threadCpuNs() - start) / 1e6 / steps);
    return 0;
}
