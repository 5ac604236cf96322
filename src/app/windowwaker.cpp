#include "app/windowwaker.h"

#include "core/logging.h"

#include <QDebug>
#include <QWindow>

QString WindowWaker::wakeMessage()
{
    return QStringLiteral("Show first window.");
}

bool WindowWaker::wake(QWindow* window, const QString& message)
{
    if (!window || message != wakeMessage())
        return false;
    if (window->windowState() != Qt::WindowMinimized && window->visibility() != QWindow::Hidden)
        return false;
    window->setVisibility(QWindow::Windowed);
    window->showNormal();
    window->raise();
    window->requestActivate();
    qCInfo(lcApp) << "Chat window woken by a later start, visible:" << window->isVisible();
    return true;
}
