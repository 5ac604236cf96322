#pragma once

#include <QString>
#include <QVector>

#include <functional>

class QQuickWindow;
class ShotDriver;

// One named screenshot: `take` brings the program into the state to show and returns the
// window to capture (nullptr when the state could not be reached). The PNG is saved as
// "<name>.png".
struct Shot
{
    QString name;
    QString description;
    std::function<QQuickWindow*(ShotDriver&)> take;
};

// Every shot the driver knows, in the order they are taken. Each area adds its own list here.
QVector<Shot> allShots();

// The chat window's shots (chatshots.cpp).
QVector<Shot> chatShots();
