#pragma once

#include <QtGlobal>

#include <deque>

// How long a streaming answer waits between two updates of its view. Twenty updates a second
// read as smooth; but what an update costs (converting the growing end, the view's pieces, the
// frame) depends on the answer's shape and the machine, and a companion that sits in the
// background must stay light while an answer streams. So the window's thread may spend at most
// Share of its time on it: the interval is what the updates of the last moments cost each,
// divided by that share, and no shorter than 50 ms (20 a second) nor longer than 250 ms. A fast
// stream is shown sooner, once 50 ms have passed and MaxWaitingChars have come in: an update
// costs more the more text it brings, and one that brought too much would stall a frame.
class UpdatePace
{
public:
    static constexpr int MinIntervalMs = 50;
    static constexpr int MaxIntervalMs = 250;
    static constexpr double Share = 0.015;
    static constexpr int MaxWaitingChars = 800;

    // A new answer starts: what earlier updates cost no longer counts.
    void reset();
    // An update was shown when the thread had used cpuNs of processor time (-1: not known) at
    // wallNs on a steady clock; returns the milliseconds until the next.
    int intervalAfterUpdate(qint64 cpuNs, qint64 wallNs);
    // Whether the next update should come before its interval ends, with waitingChars of text
    // come in since the last one, at wallNs.
    bool isDueEarly(int waitingChars, qint64 wallNs) const;

private:
    struct Mark
    {
        qint64 cpuNs = 0;
        qint64 wallNs = 0;
    };
    std::deque<Mark> marks; // the updates of the last Window
};
