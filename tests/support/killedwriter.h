#pragma once

#include <QString>
#include <QStringList>

// Runs a child program that writes a file in a loop and prints "ready" after its first
// write, then kills it (SIGKILL) delayMs later, so that the kill lands inside some write.
class KilledWriter
{
public:
    // Returns an empty string on success, otherwise what went wrong.
    static QString run(const QString& program, const QStringList& arguments, int delayMs);
};
