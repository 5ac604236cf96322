#include "app/apprestart.h"
#include "app/commandline.h"
#include "app/mainviewstart.h"
#include "app/qmltypes.h"
#include "app/screenscale.h"
#include "app/singleinstance.h"
#include "app/startupenvironment.h"
#include "app/windowwaker.h"
#include "core/logging.h"
#include "device/vendor/devicelibrary.h"
#include "shell/mapplicationquickview.h"

#include <QApplication>
#include <QDebug>
#include <QFile>
#include <QIcon>

namespace {

constexpr int WakeTimeoutMs = 5000;
const char* const WindowIcon = ":/Image/Log/com.orvik.lumora.ico";

} // namespace

int main(int argc, char* argv[])
{
    // --version, --help and mistakes answer before anything else happens.
    const CommandLine::Outcome commandLine = CommandLine::handle(argc, argv);
    if (!commandLine.run)
        return commandLine.exitCode;

    const double fileScale =
        StartupEnvironment::applyStartupEnvironment(QString::fromUtf8(argc > 0 ? argv[0] : ""));
    QApplication app(argc, argv);
    // A tray application: closing the settings window while the chat window is hidden must
    // not end it. Every quit is explicit (tray "退出", closing the chat window, declining the
    // agreement, a restart after an update).
    QApplication::setQuitOnLastWindowClosed(false);
    // The simulated keyboards of the demo and the tests, instead of the system's.
    if (commandLine.simulatedDevices)
        DeviceLibrary::setSimulated(true);
    SingleInstance instance(QStringLiteral("Lumora AI"));

    // QT_SCALE_FACTOR counts only at the construction of the application object: when the
    // screen wants another factor, it is stored now and the next start runs with it.
    // A configuration that cannot be written would end every start here: then the program
    // runs with the factor it has.
    bool stored = false;
    const std::optional<double> scale = ScreenScale::computeScreenScale(QString(), &stored);
    if (scale && !(fileScale == *scale)) {
        qCDebug(lcApp) << "fileScale:" << fileScale << " scale:" << *scale;
        if (stored)
            return 0;
        qCWarning(lcApp) << "The scale could not be stored; starting with the factor" << fileScale;
    }

    QmlTypes::registerQmlTypes();
    if (QFile::exists(QString::fromLatin1(WindowIcon)))
        QApplication::setWindowIcon(QIcon(QString::fromLatin1(WindowIcon)));

    if (instance.hasFailed())
        qCWarning(lcApp) << "Starting without the single-instance check";
    if (instance.isRunning()) {
        instance.sendMessage(WindowWaker::wakeMessage(), WakeTimeoutMs);
        return 0;
    }

    std::unique_ptr<MApplicationQuickView> view = MainViewStart::createMainView();
    MainViewStart::startHidden(view.get());
    QObject::connect(
        &instance, &SingleInstance::messageReceived, &app,
        [window = view.get()](const QString& message) { WindowWaker::wake(window, message); },
        Qt::DirectConnection);
    const int code = QApplication::exec();
    // The windows and the tray icon go before the lock, and the lock before the new process.
    view.reset();
    AppRestart::restartIfRequested(instance);
    return code;
}
