#include "shell/firstrunwindows.h"

#include <QGuiApplication>
#include <QQmlContext>
#include <QScreen>

namespace {

const QString AgreementSource = QStringLiteral("qrc:/firstDiaLog.qml");
const QString GuideSource = QStringLiteral("qrc:/GuideWindow.qml");
const QSize AgreementSize(600, 178);
const QSize GuideSize(524, 262);
constexpr int GuideRaiseAfterAgreement = 50;

} // namespace

FirstRunWindows::FirstRunWindows(QObject* window, QObject* parent)
    : QObject(parent)
    , window(window)
{ }

void FirstRunWindows::openAgreement()
{
    agreement =
        open(firstRunEngine, AgreementSource, AgreementSize, 0, SIGNAL(agreementCloseRequested()));
}

void FirstRunWindows::openGuide()
{
    guide = open(guideEngine, GuideSource, GuideSize, 0, SIGNAL(guideCloseRequested()));
}

void FirstRunWindows::replaceAgreementByGuide()
{
    if (agreement)
        agreement->close();
    guide = open(firstRunEngine, GuideSource, GuideSize, GuideRaiseAfterAgreement,
                 SIGNAL(guideCloseRequested()));
}

void FirstRunWindows::closeGuide()
{
    if (guide)
        guide->close();
}

void FirstRunWindows::retranslate()
{
    firstRunEngine.retranslate();
    guideEngine.retranslate();
}

QQuickWindow* FirstRunWindows::agreementWindow() const
{
    return agreement;
}

QQuickWindow* FirstRunWindows::guideWindow() const
{
    return guide;
}

QQuickWindow* FirstRunWindows::open(QQmlApplicationEngine& engine, const QString& source,
                                    const QSize& size, int raiseBy, const char* closeSignal)
{
    // Published before loading, so that the document's bindings find "window" when they are
    // first evaluated.
    engine.rootContext()->setContextProperty(QStringLiteral("window"), window);
    const int before = engine.rootObjects().size();
    engine.load(QUrl(source));
    // The guide may be the second document of the agreement's engine: take the root object
    // this load created, not the engine's first one.
    const QList<QObject*> roots = engine.rootObjects();
    auto* root = roots.size() > before ? qobject_cast<QQuickWindow*>(roots.constLast()) : nullptr;
    if (!root)
        return nullptr;
    connect(root, SIGNAL(closeWindow()), this, closeSignal);
    const QSize available = QGuiApplication::primaryScreen()->availableSize();
    root->setGeometry((available.width() - size.width()) / 2,
                      (available.height() - size.height()) / 2 - raiseBy, size.width(),
                      size.height());
    root->show();
    return root;
}
