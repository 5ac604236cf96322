#pragma once

#include <QObject>
#include <QPointer>
#include <QQmlApplicationEngine>
#include <QQuickWindow>
#include <QSize>

// The agreement and guide windows shown before the chat window is used. Each document runs in
// a QML engine of its own whose only context property is "window" (the chat window's
// controller), and asks to be closed through its root window's closeWindow() signal, which
// arrives here as agreementCloseRequested() or guideCloseRequested().
//
// A document that does not load leaves nothing shown and nothing connected; the application
// simply goes on without that window.
class FirstRunWindows : public QObject
{
    Q_OBJECT

public:
    explicit FirstRunWindows(QObject* window, QObject* parent = nullptr);

    // The agreement window, centred in the primary screen's available area.
    void openAgreement();
    // The guide window, centred; on every start once the agreement was accepted.
    void openGuide();
    // Closes the agreement window and opens the guide window 50 pixels above the centre.
    void replaceAgreementByGuide();
    // Closes the guide window if there is one.
    void closeGuide();

    // Re-evaluates the open windows' translated texts after a language change.
    void retranslate();

    QQuickWindow* agreementWindow() const;
    QQuickWindow* guideWindow() const;

signals:
    void agreementCloseRequested();
    void guideCloseRequested();

private:
    QQuickWindow* open(QQmlApplicationEngine& engine, const QString& source, const QSize& size,
                       int raiseBy, const char* closeSignal);

    QObject* window;
    QQmlApplicationEngine firstRunEngine;
    QQmlApplicationEngine guideEngine;
    QPointer<QQuickWindow> agreement;
    QPointer<QQuickWindow> guide;
};
