#include "shell/darkiconprovider.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>

namespace {

// The greys the icons draw their lines in, and what they become on a dark surface: the
// normal ink, its softer shade, a hint and the disabled state, in that order.
const std::pair<QByteArray, QByteArray> Inks[] = {
    {QByteArrayLiteral("#383838"), QByteArrayLiteral("#D9DADD")},
    {QByteArrayLiteral("#5D5D5D"), QByteArrayLiteral("#B9BBC0")},
    {QByteArrayLiteral("#999B9F"), QByteArrayLiteral("#8A8C91")},
    {QByteArrayLiteral("#B0B0B0"), QByteArrayLiteral("#5F626A")},
};

// The SVG with the ink of light surfaces turned into the ink of dark ones.
QByteArray darkened(QByteArray svg)
{
    for (const auto& [light, dark] : Inks)
        svg.replace(light, dark);
    return svg;
}

} // namespace

DarkIconProvider::DarkIconProvider()
    : QQuickImageProvider(QQuickImageProvider::Image)
{ }

QImage DarkIconProvider::requestImage(const QString& id, QSize* size, const QSize& requestedSize)
{
    QFile file(QStringLiteral(":/") + id);
    if (!file.open(QIODevice::ReadOnly))
        return QImage();
    QSvgRenderer renderer(darkened(file.readAll()));
    if (!renderer.isValid())
        return QImage();
    QSize target = renderer.defaultSize();
    if (requestedSize.width() > 0 && requestedSize.height() > 0)
        target = requestedSize;
    QImage image(target, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    if (size)
        *size = image.size();
    return image;
}
