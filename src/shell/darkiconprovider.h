#pragma once

#include <QQuickImageProvider>

// The icons of the chat view in the dark theme: our SVG icons are drawn for light surfaces,
// with dark grey ink that all but disappears on a dark one. This provider draws the same SVG
// with its ink greys lightened ("image://darkicon/Image/Icon/copy_normal.svg" for
// "qrc:/Image/Icon/copy_normal.svg"); accents, white marks and fills stay as drawn. The theme
// documents choose the source (LightTheme.qml and ChatDarkTheme.qml: icon()).
class DarkIconProvider : public QQuickImageProvider
{
public:
    DarkIconProvider();

    QImage requestImage(const QString& id, QSize* size, const QSize& requestedSize) override;
};
