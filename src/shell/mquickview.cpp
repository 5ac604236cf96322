#include "shell/mquickview.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHideEvent>
#include <QQmlEngine>
#include <QQmlFileSelector>
#include <QTimer>

namespace {

constexpr int TrimIntervalMs = 1000;

// Views alive in the process; the shared timer runs while there is at least one.
int liveViews = 0;

bool isMaximisedState(Qt::WindowState state)
{
    return state == Qt::WindowMaximized || state == Qt::WindowFullScreen;
}

} // namespace

MQuickView::MQuickView(int radius, int shadowWeight, QWindow* parent)
    : QQuickView(parent)
    , radiusValue(radius)
    , normalRadius(radius)
    , shadowWeightValue(shadowWeight)
    , normalShadowWeight(shadowWeight)
{
    QQmlEngine* qmlEngine = engine();
    fileSelector = new QQmlFileSelector(qmlEngine, this);
    fileSelector->setExtraSelectors({QStringLiteral("qt6")});

    connect(qmlEngine, &QQmlEngine::quit, this, &QCoreApplication::quit);
    connect(qmlEngine, &QQmlEngine::exit, this, &QCoreApplication::exit);

    // Trimming drops the compiled components nothing uses any more and the collector frees
    // unreferenced JavaScript objects. The cache is deliberately not cleared: a component
    // compiled again after a clear is a new type, and its objects no longer fit properties
    // typed with the old one (a Loader's item assigned to a typed property fails).
    connect(sharedTimer(), &QTimer::timeout, qmlEngine, &QQmlEngine::trimComponentCache);
    connect(sharedTimer(), &QTimer::timeout, qmlEngine, &QQmlEngine::collectGarbage);

    qmlEngine->addImportPath(QStringLiteral("qrc:/qt5"));
    ++liveViews;
    sharedTimer()->start(TrimIntervalMs);
}

MQuickView::~MQuickView()
{
    // Short-lived views (the tray menu is deleted after every item click) must not stop the
    // timer that the chat window and the tray's auto-close check still use.
    if (--liveViews == 0)
        sharedTimer()->stop();
    releaseResources();
    delete fileSelector;
    fileSelector = nullptr;
}

int MQuickView::viewCount()
{
    return liveViews;
}

QTimer* MQuickView::sharedTimer()
{
    // Never deleted: it must outlive every view, and a timer destroyed after the application
    // object would complain about the event dispatcher that has gone.
    static QTimer* const timer = new QTimer;
    return timer;
}

int MQuickView::sysSkinType() const
{
    return sysSkinTypeValue;
}

void MQuickView::setSysSkinType(int type)
{
    if (sysSkinTypeValue == type)
        return;
    sysSkinTypeValue = type;
    emit sysSkinTypeChanged();
}

int MQuickView::radius() const
{
    return radiusValue;
}

void MQuickView::setRadius(int radius)
{
    if (radiusValue == radius)
        return;
    radiusValue = radius;
    emit radiusChanged();
}

int MQuickView::shadowWeight() const
{
    return shadowWeightValue;
}

void MQuickView::setShadowWeight(int weight)
{
    if (shadowWeightValue == weight)
        return;
    shadowWeightValue = weight;
    emit shadowWeightChanged();
}

void MQuickView::showMinimized()
{
    restorePending = true;
    savedState = windowState();
    savedGeometry = QRectF(geometry());
    QWindow::showMinimized();
}

ConfigEngine* MQuickView::configEngine() const
{
    return config;
}

void MQuickView::setConfigEngine(ConfigEngine* engine)
{
    config = engine;
}

int MQuickView::skinModeValue() const
{
    return skinMode;
}

void MQuickView::setSkinModeValue(int mode)
{
    skinMode = mode;
}

bool MQuickView::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::Close:
        closeEvent(static_cast<QCloseEvent*>(event));
        return true;
    case QEvent::Hide:
        hideEvent(static_cast<QHideEvent*>(event));
        // Subclasses replace hideEvent without calling up, so the scene graph's own hide
        // handling runs here: it tells the render loop to stop rendering this window.
        QQuickView::hideEvent(static_cast<QHideEvent*>(event));
        return false;
    case QEvent::WindowStateChange:
        onWindowStateChange();
        return QQuickView::event(event);
    default:
        return QQuickView::event(event);
    }
}

void MQuickView::hideEvent(QHideEvent* event)
{
    if (isVisible())
        setVisible(false);
    event->ignore();
}

void MQuickView::closeEvent(QCloseEvent* event)
{
    setProperty("visible", false);
    event->accept();
}

bool MQuickView::nativeEvent(const QByteArray& eventType, void* message, long* result)
{
    return QQuickView::nativeEvent(eventType, message, result);
}

void MQuickView::onWindowStateChange()
{
    const Qt::WindowState state = windowState();
    if (isMaximisedState(state)) {
        applyFrame(0, 0);
        return;
    }
    if (state != Qt::WindowNoState)
        return; // minimised: keep everything for the way back
    applyFrame(normalRadius, normalShadowWeight);
    if (restorePending)
        restoreSavedState();
}

void MQuickView::applyFrame(int radius, int shadowWeight)
{
    setRadius(radius);
    setShadowWeight(shadowWeight);
}

void MQuickView::restoreSavedState()
{
    if (isMaximisedState(savedState)) {
        applyFrame(0, 0);
    } else {
        setGeometry(savedGeometry.toRect());
        applyFrame(normalRadius, normalShadowWeight);
    }
    // Cleared first: re-entering the saved state sends another state change.
    restorePending = false;
    setWindowState(savedState);
}
