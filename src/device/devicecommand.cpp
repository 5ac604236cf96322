#include "device/devicecommand.h"

#include "device/vendor/devicesimulator.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSet>

#include <cmath>

namespace {

constexpr int MaxTextLength = 64;

struct Range
{
    int low;
    int high;
};

const QHash<QString, QSet<QString>>& allowedKeys()
{
    static const QHash<QString, QSet<QString>> keys {
        {QStringLiteral("plug"),
         {QStringLiteral("name"), QStringLiteral("sn"), QStringLiteral("connect"),
          QStringLiteral("type"), QStringLiteral("open")}},
        {QStringLiteral("unplug"), {QStringLiteral("sn"), QStringLiteral("all")}},
        {QStringLiteral("press"), {QStringLiteral("sn"), QStringLiteral("count")}},
        {QStringLiteral("battery"),
         {QStringLiteral("sn"), QStringLiteral("level"), QStringLiteral("status")}},
        {QStringLiteral("list"), {}},
    };
    return keys;
}

QString checkSerial(const QJsonValue& value)
{
    static const QRegularExpression serial(QStringLiteral("^[A-Za-z0-9._-]{1,64}$"));
    if (!value.isString() || !serial.match(value.toString()).hasMatch())
        return QStringLiteral("the serial must be 1 to 64 letters, digits, '.', '_' or '-'");
    return QString();
}

QString checkName(const QJsonValue& value)
{
    const QString name = value.toString();
    bool printable = value.isString() && !name.trimmed().isEmpty() && name.size() <= MaxTextLength;
    for (const QChar c : name)
        printable = printable && c.isPrint();
    return printable ? QString() : QStringLiteral("the name must be 1 to 64 printable characters");
}

QString checkNumber(const QJsonObject& command, const QString& key, Range range, bool required)
{
    if (!command.contains(key))
        return required ? QStringLiteral("--%1 is required").arg(key) : QString();
    const QJsonValue value = command.value(key);
    const double number = value.toDouble();
    // The range first: a double beyond int's range has no int value to compare with.
    if (!value.isDouble() || !(number >= range.low && number <= range.high)
        || number != std::floor(number))
        return QStringLiteral("--%1 must be a whole number from %2 to %3")
            .arg(key)
            .arg(range.low)
            .arg(range.high);
    return QString();
}

QString checkChoice(const QJsonObject& command, const QString& key, const QStringList& choices)
{
    if (!command.contains(key) || choices.contains(command.value(key).toString()))
        return QString();
    return QStringLiteral("--%1 must be one of: %2").arg(key, choices.join(QStringLiteral(", ")));
}

QString checkPlug(const QJsonObject& command)
{
    QString error = checkName(command.value(QStringLiteral("name")));
    if (error.isEmpty())
        error = checkSerial(command.value(QStringLiteral("sn")));
    if (error.isEmpty())
        error = checkChoice(
            command, QStringLiteral("connect"),
            {QStringLiteral("wired"), QStringLiteral("ble"), QStringLiteral("wireless")});
    if (error.isEmpty())
        error = checkNumber(command, QStringLiteral("type"), {0, 2}, false);
    if (error.isEmpty())
        error = checkChoice(command, QStringLiteral("open"),
                            {QStringLiteral("ok"), QStringLiteral("never"), QStringLiteral("now")});
    return error;
}

QString checkUnplug(const QJsonObject& command)
{
    const bool all = command.value(QStringLiteral("all")).toBool();
    if (command.contains(QStringLiteral("all")) && !command.value(QStringLiteral("all")).isBool())
        return QStringLiteral("--all takes no value");
    if (all == command.contains(QStringLiteral("sn")))
        return QStringLiteral("give either --sn or --all");
    return all ? QString() : checkSerial(command.value(QStringLiteral("sn")));
}

QString checkCommand(const QString& name, const QJsonObject& command)
{
    if (name == QLatin1String("plug"))
        return checkPlug(command);
    if (name == QLatin1String("unplug"))
        return checkUnplug(command);
    if (name == QLatin1String("list"))
        return QString();
    QString error = checkSerial(command.value(QStringLiteral("sn")));
    if (error.isEmpty() && name == QLatin1String("press"))
        error = checkNumber(command, QStringLiteral("count"), {1, 100}, false);
    if (error.isEmpty() && name == QLatin1String("battery"))
        error = checkNumber(command, QStringLiteral("level"), {0, 100}, true);
    if (error.isEmpty() && name == QLatin1String("battery"))
        error = checkNumber(command, QStringLiteral("status"), {0, 9}, true);
    return error;
}

QJsonObject success(const QJsonObject& extra = {})
{
    QJsonObject reply = extra;
    reply.insert(QStringLiteral("ok"), true);
    return reply;
}

QJsonObject noSuchKeyboard(const QString& sn)
{
    return DeviceCommand::failure(
        QStringLiteral("no-such-keyboard"),
        QStringLiteral("no keyboard with serial %1 is plugged in").arg(sn));
}

QJsonObject plug(const QJsonObject& command, DeviceSimulator& simulator)
{
    SimulatedKeyboard keyboard;
    keyboard.name = command.value(QStringLiteral("name")).toString();
    keyboard.sn = command.value(QStringLiteral("sn")).toString();
    keyboard.connectType =
        command.value(QStringLiteral("connect")).toString(QStringLiteral("wired"));
    keyboard.type = command.value(QStringLiteral("type")).toInt(0);
    SimulatedKeyboard::parseOpenMode(
        command.value(QStringLiteral("open")).toString(QStringLiteral("ok")), &keyboard.open);
    if (!simulator.plug(keyboard))
        return DeviceCommand::failure(
            QStringLiteral("usage"),
            QStringLiteral("a keyboard with serial %1 is already plugged in").arg(keyboard.sn));
    return success();
}

QJsonObject list(DeviceSimulator& simulator)
{
    QJsonArray keyboards;
    for (const SimulatedKeyboard& keyboard : simulator.keyboards()) {
        keyboards.append(QJsonObject {
            {QStringLiteral("name"), keyboard.name},
            {QStringLiteral("sn"), keyboard.sn},
            {QStringLiteral("connect"), keyboard.connectType},
            {QStringLiteral("type"), keyboard.type},
            {QStringLiteral("open"), SimulatedKeyboard::openModeName(keyboard.open)},
            {QStringLiteral("level"), keyboard.batteryLevel},
            {QStringLiteral("status"), keyboard.batteryStatus},
            {QStringLiteral("started"), simulator.startedDevices(keyboard.sn)},
        });
    }
    return success({{QStringLiteral("keyboards"), keyboards}});
}

} // namespace

QString DeviceCommand::validate(const QJsonObject& command)
{
    const QString name = command.value(QStringLiteral("cmd")).toString();
    if (!allowedKeys().contains(name))
        return QStringLiteral("unknown command; use plug, unplug, press, battery or list");
    const QSet<QString>& allowed = allowedKeys().value(name);
    for (auto it = command.begin(); it != command.end(); ++it) {
        if (it.key() != QLatin1String("cmd") && !allowed.contains(it.key()))
            return QStringLiteral("%1 takes no --%2").arg(name, it.key());
    }
    return checkCommand(name, command);
}

QJsonObject DeviceCommand::execute(const QByteArray& line, DeviceSimulator& simulator)
{
    QJsonParseError error {};
    const QJsonDocument document = QJsonDocument::fromJson(line, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return failure(QStringLiteral("usage"), QStringLiteral("a command is one JSON object"));
    return execute(document.object(), simulator);
}

QJsonObject DeviceCommand::execute(const QJsonObject& command, DeviceSimulator& simulator)
{
    const QString error = validate(command);
    if (!error.isEmpty())
        return failure(QStringLiteral("usage"), error);
    const QString name = command.value(QStringLiteral("cmd")).toString();
    const QString sn = command.value(QStringLiteral("sn")).toString();
    if (name == QLatin1String("plug"))
        return plug(command, simulator);
    if (name == QLatin1String("list"))
        return list(simulator);
    if (name == QLatin1String("unplug") && command.value(QStringLiteral("all")).toBool())
        return success({{QStringLiteral("unplugged"), simulator.unplugAll()}});
    bool done = false;
    if (name == QLatin1String("unplug"))
        done = simulator.unplug(sn);
    else if (name == QLatin1String("press"))
        done = simulator.press(sn, command.value(QStringLiteral("count")).toInt(1));
    else
        done = simulator.setBattery(sn, command.value(QStringLiteral("level")).toInt(),
                                    command.value(QStringLiteral("status")).toInt());
    return done ? success() : noSuchKeyboard(sn);
}

QJsonObject DeviceCommand::failure(const QString& code, const QString& message)
{
    return {{QStringLiteral("ok"), false},
            {QStringLiteral("error"), code},
            {QStringLiteral("message"), message}};
}
