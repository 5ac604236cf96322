#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>

// The command line of lumora-devicectl turned into one device command (DeviceCommand):
//   plug --name NAME --sn SERIAL [--connect wired|ble|wireless] [--type N] [--open ok|never|now]
//   unplug --sn SERIAL | --all
//   press --sn SERIAL [--count N]
//   battery --sn SERIAL --level N --status N
//   list
class DevicectlArguments
{
public:
    // The command, or an empty object with the reason in error.
    static QJsonObject parse(const QStringList& arguments, QString* error);
    static QString usage();
};
