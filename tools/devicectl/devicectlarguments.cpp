#include "devicectlarguments.h"

#include "device/devicecommand.h"

namespace {

const QStringList NumberFlags {QStringLiteral("type"), QStringLiteral("count"),
                               QStringLiteral("level"), QStringLiteral("status")};

bool addFlag(QJsonObject* command, const QString& flag, const QString& value, QString* error)
{
    if (command->contains(flag)) {
        *error = QStringLiteral("--%1 is given twice").arg(flag);
        return false;
    }
    if (!NumberFlags.contains(flag)) {
        command->insert(flag, value);
        return true;
    }
    bool isNumber = false;
    const int number = value.toInt(&isNumber);
    if (!isNumber) {
        *error = QStringLiteral("--%1 needs a whole number, not \"%2\"").arg(flag, value);
        return false;
    }
    command->insert(flag, number);
    return true;
}

} // namespace

QJsonObject DevicectlArguments::parse(const QStringList& arguments, QString* error)
{
    if (arguments.isEmpty()) {
        *error = QStringLiteral("no command given");
        return {};
    }
    QJsonObject command {{QStringLiteral("cmd"), arguments.first()}};
    for (int i = 1; i < arguments.size(); ++i) {
        QString flag = arguments.at(i);
        if (!flag.startsWith(QLatin1String("--")) || flag.size() < 3) {
            *error = QStringLiteral("unexpected argument \"%1\"").arg(flag);
            return {};
        }
        flag = flag.mid(2);
        if (flag == QLatin1String("all")) {
            command.insert(flag, true);
            continue;
        }
        QString value;
        const int equals = flag.indexOf(QLatin1Char('='));
        if (equals >= 0) {
            value = flag.mid(equals + 1);
            flag = flag.left(equals);
        } else if (i + 1 < arguments.size()) {
            value = arguments.at(++i);
        } else {
            *error = QStringLiteral("--%1 needs a value").arg(flag);
            return {};
        }
        if (!addFlag(&command, flag, value, error))
            return {};
    }
    *error = DeviceCommand::validate(command);
    return error->isEmpty() ? command : QJsonObject();
}

QString DevicectlArguments::usage()
{
    return QStringLiteral(
        "usage: lumora-devicectl COMMAND [OPTIONS]\n"
        "  plug --name NAME --sn SERIAL [--connect wired|ble|wireless] [--type N] "
        "[--open ok|never|now]\n"
        "  unplug --sn SERIAL | --all\n"
        "  press --sn SERIAL [--count N]\n"
        "  battery --sn SERIAL --level N --status N\n"
        "  list\n"
        "Exit codes: 0 done, 1 Lumora not reachable, 2 usage error, 3 no such keyboard.\n"
        "The socket is $LUMORA_DEVICE_SOCKET, or lumora-device.sock in $XDG_RUNTIME_DIR.\n");
}
