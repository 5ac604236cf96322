// Draws every image under a folder through Qt's own image readers (the SVG plugin renders
// the icons exactly as the views' Image items do) at 1x and 2x on the backgrounds they meet:
// white panels, the accent of pressed and checked buttons, and a dark panel.
// Usage: contactsheet <image folder> <output.png>
#include <QDirIterator>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QTextStream>

namespace {

const int cell = 56;
const int labelWidth = 230;
const QList<QColor> backgrounds = {QColor("#FFFFFF"), QColor("#4737FF"), QColor("#1E2024")};

QList<QImage> readFrames(const QString& path, qreal scale)
{
    QList<QImage> frames;
    QImageReader reader(path);
    const int count = qMax(1, reader.imageCount());
    for (int i = 0; i < count; ++i) {
        QImageReader frameReader(path);
        frameReader.jumpToImage(i);
        QSize size = frameReader.size();
        if (size.isValid() && path.endsWith(".svg"))
            frameReader.setScaledSize(size * scale);
        const QImage image = frameReader.read();
        if (image.isNull())
            QTextStream(stderr) << "contactsheet: cannot read " << path << ": "
                                << frameReader.errorString() << '\n';
        frames.append(image);
    }
    return frames;
}

int rowHeight(const QList<QImage>& frames)
{
    int height = cell;
    for (const QImage& frame : frames)
        height = qMax(height, frame.height() + 16);
    return height;
}

void drawRow(QPainter& painter, int top, const QString& name, const QString& path)
{
    const QList<QImage> once = readFrames(path, 1);
    const QList<QImage> twice = readFrames(path, 2);
    const bool raster = !path.endsWith(".svg");
    const int height = qMax(rowHeight(once), rowHeight(twice));
    painter.setPen(Qt::black);
    painter.drawText(QRect(8, top, labelWidth - 16, height), Qt::AlignVCenter, name);
    int left = labelWidth;
    for (const QColor& background : backgrounds) {
        for (const QList<QImage>* frames : {&once, &twice}) {
            if (raster && frames == &twice)
                continue;
            int width = 0;
            for (const QImage& frame : *frames)
                width += frame.width() + 12;
            width = qMax(cell, width + 12);
            painter.fillRect(left, top, width, height, background);
            int x = left + 12;
            for (const QImage& frame : *frames) {
                painter.drawImage(x, top + (height - frame.height()) / 2, frame);
                x += frame.width() + 12;
            }
            left += width + 4;
        }
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        QTextStream(stderr) << "usage: contactsheet <image folder> <output.png>\n";
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    QStringList names;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        names.append(it.next().mid(root.size() + 1));
    names.sort();

    int total = 0;
    QList<int> heights;
    for (const QString& name : names) {
        const QString path = root + '/' + name;
        heights.append(qMax(rowHeight(readFrames(path, 1)), rowHeight(readFrames(path, 2))));
        total += heights.last() + 4;
    }
    QImage sheet(labelWidth + 1400, total, QImage::Format_ARGB32);
    sheet.fill(QColor("#F4F6F7"));
    QPainter painter(&sheet);
    int top = 0;
    for (int i = 0; i < names.size(); ++i) {
        drawRow(painter, top, names.at(i), root + '/' + names.at(i));
        top += heights.at(i) + 4;
    }
    painter.end();
    return sheet.save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}
