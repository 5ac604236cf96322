#pragma once

#include <QString>

// Command-line settings of the stand-in server.
struct DevServerOptions
{
    quint16 port = 0; // 0: any free port, printed at start
    QString dataDir; // where persistent state (usage counts) lives
    int paceMs = 40; // delay between two stream events of the knowledge engine
    int allowance = 50; // answers allowed per keyboard serial number
    QString certFile; // PEM certificate and key: serve HTTPS when both are set
    QString keyFile;
};
