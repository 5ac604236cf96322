#include "app/mainviewstart.h"

#include "platform/rawkeyboardinput.h"
#include "shell/viewhandler.h"

#include <QDebug>
#include <QFile>
#include <QUrl>

std::unique_ptr<MApplicationQuickView> MainViewStart::createMainView()
{
    // The views are compiled into the static library, whose resources the linker keeps only
    // when something refers to them.
    Q_INIT_RESOURCE(qml);
    return std::make_unique<ViewHandler>();
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
