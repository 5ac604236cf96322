#include "app/mainviewstart.h"

#include "platform/rawkeyboardinput.h"
#include "shell/mapplicationquickview.h"

#include <QDebug>
#include <QFile>
#include <QUrl>

namespace {

constexpr int ChatWindowRadius = 0;
constexpr int ChatWindowShadowWeight = 3;

} // namespace

std::unique_ptr<MApplicationQuickView> MainViewStart::createMainView()
{
    return std::make_unique<MApplicationQuickView>(ChatWindowRadius, ChatWindowShadowWeight);
}

void MainViewStart::startHidden(MApplicationQuickView* view)
{
    RawKeyboardInput::registerRawKeyboardInput(view->winId());
    if (QFile::exists(QStringLiteral(":/MainView.qml")))
        view->setSource(QUrl(QStringLiteral("qrc:/MainView.qml")));
    view->showMinimized();
    view->hide();
    qInfo() << "Chat window visible after start-up:" << view->isVisible();
}
