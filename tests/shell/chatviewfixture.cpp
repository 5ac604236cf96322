#include "chatviewfixture.h"

#include "service/ovseverhandler.h"
#include "shell/viewhandler.h"

#include <QDeadlineTimer>
#include <QQuickItem>
#include <QSignalSpy>
#include <QtTest>

namespace {

// List delegates have no QObject parent, so findChild() does not reach them.
void collect(QQuickItem* root, const QString& name, QList<QQuickItem*>* found)
{
    const QList<QQuickItem*> children = root->childItems();
    for (QQuickItem* child : children) {
        if (child->objectName() == name)
            found->append(child);
        collect(child, name, found);
    }
}

QPoint centreOf(QQuickItem* target)
{
    return target->mapToScene(QPointF(target->width() / 2, target->height() / 2)).toPoint();
}

} // namespace

ChatViewFixture::ChatViewFixture() = default;

ChatViewFixture::~ChatViewFixture() = default;

bool ChatViewFixture::startServer(const QStringList& arguments)
{
    return standIn.start(arguments);
}

void ChatViewFixture::init()
{
    env = std::make_unique<TestEnvironment>();
}

void ChatViewFixture::cleanup()
{
    view.reset();
    env.reset();
}

ViewHandler* ChatViewFixture::startView(const QString& sn)
{
    qputenv("LUMORA_SERVICE_URL", standIn.baseUrl().toUtf8());
    qputenv("LUMORA_ENGINE_URL", standIn.baseUrl().toUtf8());
    view = std::make_unique<ViewHandler>();
    view->setSource(QUrl(QStringLiteral("qrc:/MainView.qml")));
    if (view->status() != QQuickView::Ready)
        return nullptr;
    QSignalSpy counts(view->serverHandler(), &OvSeverHandler::sigAICountValue);
    view->slotAiRequest(sn);
    if (!QTest::qWaitForWindowExposed(view.get()))
        return nullptr;
    QElapsedTimer waited;
    waited.start();
    while (view->serverHandler()->storedApiInfo(3).isEmpty() && waited.elapsed() < 10000)
        QTest::qWait(20);
    if (counts.isEmpty() && !counts.wait(10000))
        return nullptr;
    // Low on the screen, so that the chat can open upwards.
    view->setXandY(100, 900, 576, 66);
    return view.get();
}

QQuickItem* ChatViewFixture::item(const QString& name) const
{
    const QList<QQuickItem*> found = items(name);
    return found.isEmpty() ? nullptr : found.first();
}

QList<QQuickItem*> ChatViewFixture::items(const QString& name) const
{
    // From the window's content item: the view and the popups on its overlay.
    QList<QQuickItem*> found;
    if (view)
        collect(view->contentItem(), name, &found);
    return found;
}

bool ChatViewFixture::click(QQuickItem* target)
{
    if (!target || !target->isVisible())
        return false;
    QTest::mouseClick(view.get(), Qt::LeftButton, Qt::NoModifier, centreOf(target));
    return true;
}

void ChatViewFixture::hover(QQuickItem* target)
{
    QTest::mouseMove(view.get(), centreOf(target));
}

bool ChatViewFixture::hoverUntilVisible(QQuickItem* target, QQuickItem* shown)
{
    const QDeadlineTimer deadline(10000);
    for (int nudge = 0; !deadline.hasExpired(); nudge = 1 - nudge) {
        QTest::mouseMove(view.get(), centreOf(target) + QPoint(nudge, 0));
        if (QTest::qWaitFor([shown] { return shown->isVisible(); }, 100))
            return true;
    }
    return false;
}

void ChatViewFixture::type(const char* text)
{
    for (const char* c = text; *c; ++c)
        QTest::keyClick(view.get(), *c);
}
