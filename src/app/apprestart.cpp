#include "app/apprestart.h"

#include "app/singleinstance.h"
#include "core/logging.h"

#include <QCoreApplication>
#include <QDebug>
#include <QProcess>

namespace {

bool requested = false;
std::function<void()> requestHandler;

} // namespace

void AppRestart::request()
{
    if (requestHandler) {
        requestHandler();
        return;
    }
    requested = true;
    QCoreApplication::quit();
}

bool AppRestart::isRequested()
{
    return requested;
}

bool AppRestart::restartIfRequested(SingleInstance& instance)
{
    if (!requested)
        return false;
    instance.release();
    qint64 pid = 0;
    const bool started =
        QProcess::startDetached(QCoreApplication::applicationFilePath(), {}, QString(), &pid);
    qCInfo(lcApp) << "Restarting after the update, new process:" << (started ? pid : -1);
    return started;
}

void AppRestart::setRequestHandler(std::function<void()> handler)
{
    requestHandler = std::move(handler);
}
