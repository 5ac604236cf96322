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

// Stop, the history's search and delete, the allowance (controlshots.cpp).
QVector<Shot> controlShots();

// The first-run windows and the chat bar in each language (languageshots.cpp).
QVector<Shot> languageShots();

// The tray menu's and the settings window's shots (trayshots.cpp).
QVector<Shot> trayShots();
