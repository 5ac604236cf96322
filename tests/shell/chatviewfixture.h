#pragma once

#include "support/devserverprocess.h"
#include "support/testenvironment.h"

#include <QList>
#include <QString>

#include <memory>

class QQuickItem;
class QWindow;
class ViewHandler;

// The chat window as the application shows it, against the stand-in server, with its own
// configuration and history: one fixture per test function.
class ChatViewFixture
{
public:
    ChatViewFixture();
    ~ChatViewFixture();

    // Starts the stand-in (once per test case); extra arguments go to it.
    bool startServer(const QStringList& arguments);
    void init();
    void cleanup();

    // The view handler with the chat view loaded, raised by a key press of the keyboard sn
    // and ready for questions (provider records and the usage reply are in).
    ViewHandler* startView(const QString& sn);
    ViewHandler* handler() const { return view.get(); }
    TestEnvironment* environment() const { return env.get(); }
    DevServerProcess& server() { return standIn; }

    // The first item of that name in the window (list delegates included), or null.
    QQuickItem* item(const QString& name) const;
    QList<QQuickItem*> items(const QString& name) const;
    // A left click in the middle of a visible item.
    bool click(QQuickItem* target);
    // The mouse over the middle of an item (hover).
    void hover(QQuickItem* target);
    // Hovers target until shown is visible, moving again while it waits: a list that has just
    // opened may still be settling, and a move to where an entry was a moment ago hovers nothing.
    bool hoverUntilVisible(QQuickItem* target, QQuickItem* shown);
    void type(const char* text);

private:
    DevServerProcess standIn;
    std::unique_ptr<TestEnvironment> env;
    std::unique_ptr<ViewHandler> view;
};
