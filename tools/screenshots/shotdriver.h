#pragma once

#include "shot.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

class QQuickItem;
class ViewHandler;

// Takes screenshots of the running program. Every shot starts from a fresh chat window with
// its own empty configuration and history folders; the helpers below drive it through its
// objects (controllers and QML items by objectName) and wait for conditions with a deadline.
class ShotDriver
{
public:
    ShotDriver(const QString& serverUrl, const QString& outputDir);
    ~ShotDriver();

    // Takes the named shots (all when empty); false when any failed or a name is unknown.
    bool run(const QStringList& names);

    // The chat window of this shot, with its view loaded, shown low on the screen so the chat
    // can open upwards. With pressKey, the keyboard "SN-SCREENSHOTS" asked for it and questions
    // are allowed (the usage reply is in); without, no keyboard is connected.
    ViewHandler* openChatWindow(bool pressKey = true);
    ViewHandler* window() const;

    QQuickItem* item(const QString& name) const;
    // Every item of that name in the visual tree (list delegates included).
    QList<QQuickItem*> items(const QString& name) const;
    // Emits the item's clicked() as a user's click does.
    bool click(const QString& name);
    bool setText(const QString& name, const QString& text);
    bool waitUntil(const std::function<bool()>& condition, int timeoutMs, const QString& what);
    // Lets resizes, image loads and layout run; then the window's content is current.
    void settle();

    // Stores a conversation before the window is built, as an earlier session would have.
    void storeConversation(const QString& fileName, const QString& title,
                           const QStringList& questionsAndAnswers) const;
    // Sends a question and waits for its answer to be complete.
    bool ask(const QString& question);

private:
    bool take(const Shot& shot);
    void prepareFolders();

    QString server;
    QString output;
    std::unique_ptr<QTemporaryDir> folders;
    std::unique_ptr<ViewHandler> handler;
};
