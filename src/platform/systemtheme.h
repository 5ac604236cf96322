#pragma once

#include <QObject>

// The desktop's light/dark setting for applications, and a watch on it. A watch is one-shot:
// once armed it emits changed() at most once, on the thread the object lives in (the GUI
// thread), and is spent after that; arming again replaces the previous watch.
class SystemTheme : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // The implementation of the platform the app was built for.
    static SystemTheme* create(QObject* parent = nullptr);

    // True when applications should use the light theme; also when the setting cannot be read.
    virtual bool appsUseLightTheme() = 0;
    virtual void watch() = 0;
    // Once this returns, no changed() of an earlier watch arrives any more.
    virtual void stopWatch() = 0;

signals:
    void changed();
};
