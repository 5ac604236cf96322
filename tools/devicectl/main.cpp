// lumora-devicectl: plugs, unplugs and presses the simulated keyboards of a running Lumora.

#include "devicectlarguments.h"

#include "device/devicecontrolsocket.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocalSocket>
#include <QTextStream>

namespace {

enum ExitCode { Done = 0, Unreachable = 1, UsageError = 2, NoSuchKeyboard = 3 };

constexpr int ConnectTimeoutMs = 2000;
constexpr int AnswerTimeoutMs = 5000;

QTextStream& out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream& err()
{
    static QTextStream stream(stderr);
    return stream;
}

// The answer line, or an empty array when Lumora cannot be reached or does not answer.
QByteArray send(const QJsonObject& command, const QString& name)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(ConnectTimeoutMs))
        return {};
    socket.write(QJsonDocument(command).toJson(QJsonDocument::Compact) + '\n');
    if (!socket.waitForBytesWritten(AnswerTimeoutMs))
        return {};
    QByteArray reply;
    while (!reply.contains('\n') && socket.waitForReadyRead(AnswerTimeoutMs))
        reply += socket.readAll();
    reply += socket.readAll();
    return reply.trimmed();
}

void printKeyboards(const QJsonArray& keyboards)
{
    for (const QJsonValue& value : keyboards) {
        const QJsonObject keyboard = value.toObject();
        out() << keyboard.value(QStringLiteral("sn")).toString() << '\t'
              << keyboard.value(QStringLiteral("name")).toString() << '\t'
              << keyboard.value(QStringLiteral("connect")).toString()
              << "\ttype=" << keyboard.value(QStringLiteral("type")).toInt()
              << "\topen=" << keyboard.value(QStringLiteral("open")).toString()
              << "\tbattery=" << keyboard.value(QStringLiteral("level")).toInt() << '/'
              << keyboard.value(QStringLiteral("status")).toInt()
              << "\tstarted=" << keyboard.value(QStringLiteral("started")).toInt() << '\n';
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.value(0) == QLatin1String("--help")
        || arguments.value(0) == QLatin1String("-h")) {
        out() << DevicectlArguments::usage();
        return Done;
    }
    QString error;
    const QJsonObject command = DevicectlArguments::parse(arguments, &error);
    if (command.isEmpty()) {
        err() << "lumora-devicectl: " << error << '\n' << DevicectlArguments::usage();
        return UsageError;
    }
    const QString name = DeviceControlSocket::serverName();
    const QJsonObject reply = QJsonDocument::fromJson(send(command, name)).object();
    if (reply.isEmpty()) {
        err() << "lumora-devicectl: Lumora is not running or does not answer on " << name << '\n';
        return Unreachable;
    }
    if (!reply.value(QStringLiteral("ok")).toBool()) {
        err() << "lumora-devicectl: " << reply.value(QStringLiteral("message")).toString() << '\n';
        return reply.value(QStringLiteral("error")).toString() == QLatin1String("no-such-keyboard")
            ? NoSuchKeyboard
            : UsageError;
    }
    if (command.value(QStringLiteral("cmd")).toString() == QLatin1String("list"))
        printKeyboards(reply.value(QStringLiteral("keyboards")).toArray());
    return Done;
}
