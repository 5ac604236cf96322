#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>

class DeviceSimulator;

// One command to the simulated device library, as a JSON object on one line:
//   {"cmd":"plug","name":..,"sn":..,"connect":"wired|ble|wireless","type":0-2,"open":"ok|never|now"}
//   {"cmd":"unplug","sn":..} or {"cmd":"unplug","all":true}
//   {"cmd":"press","sn":..,"count":1-100}
//   {"cmd":"battery","sn":..,"level":0-100,"status":0-9}
//   {"cmd":"list"}
// The answer is one JSON object: {"ok":true,...} or {"ok":false,"error":code,"message":text}
// with the codes "usage" and "no-such-keyboard".
class DeviceCommand
{
public:
    // The validation error of a command, empty when it is sound.
    static QString validate(const QJsonObject& command);
    // Validates and carries out one command line; never throws, never changes anything for a
    // command that does not validate.
    static QJsonObject execute(const QByteArray& line, DeviceSimulator& simulator);
    static QJsonObject execute(const QJsonObject& command, DeviceSimulator& simulator);

    static QJsonObject failure(const QString& code, const QString& message);
};
