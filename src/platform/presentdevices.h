#pragma once

#include <QString>

// The number of devices present in the system, watched to notice arrivals and removals. Only
// a change matters, not the figure itself.
class PresentDevices
{
public:
    // Linux counts the entries of "input" and "hidraw" below root
    // (normally "/sys/class"); Windows enumerates every present device interface through
    // SetupAPI and ignores root. A failed enumeration counts 0.
    static int systemCount(const QString& root = QStringLiteral("/sys/class"));
};
