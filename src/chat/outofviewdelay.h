#pragma once

#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class QQuickItem;

// Holds back a new text for a view while the part of the view it changes lies below what the
// window shows, as the end of a long answer does while the user reads its beginning: laying
// out and painting text nobody sees would cost as much as text in view. The held text is let
// through every CatchUpMs, so the view's height (and the list's scroll bar) keeps up, and at
// once when the changed part scrolls into view.
class OutOfViewDelay : public QObject
{
    Q_OBJECT

public:
    static constexpr int CatchUpMs = 250;

    explicit OutOfViewDelay(QQuickItem* view);

    // Holds text when the first of the view's items that it changes (changed) lies below what
    // the window shows; false when the text must be shown now.
    bool hold(const QString& text, QQuickItem* changed);
    bool isHolding() const;
    const QString& heldText() const;
    // Drops the held text without letting it through (a newer text is shown instead).
    void clear();
    // Lets the held text through now, for what reads the shown text.
    void flush();
    // For tests: how long a text may wait (CatchUpMs by default).
    void setCatchUpInterval(int ms);

signals:
    // The held text is due: the view shows it now.
    void released(const QString& text);

private:
    bool isBelowView(QQuickItem* item) const;
    void checkAfterFrame();

    QQuickItem* view;
    QTimer timer;
    QString text;
    bool holding = false;
    QPointer<QQuickItem> changedItem;
    QMetaObject::Connection frameWatch;
};
