#include "app/mainviewstart.h"

#include "app/apprestart.h"
#include "core/logging.h"
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
    auto view = std::make_unique<ViewHandler>();
    // After an update the program starts again, once this one has let go of its lock.
    QObject::connect(view.get(), &ViewHandler::restartRequested, &AppRestart::request);
    return view;
}

void MainViewStart::startHidden(MApplicationQuickView* view)
{
    RawKeyboardInput::registerRawKeyboardInput(view->winId());
    if (QFile::exists(QStringLiteral(":/MainView.qml")))
        view->setSource(QUrl(QStringLiteral("qrc:/MainView.qml")));
    view->showMinimized();
    view->hide();
    qCInfo(lcApp) << "Chat window visible after start-up:" << view->isVisible();
}
