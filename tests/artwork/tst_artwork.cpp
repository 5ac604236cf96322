#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QRegularExpression>
#include <QtTest>

namespace {

QImage render(const QString& path, qreal scale = 1)
{
    QImageReader reader(path);
    if (reader.size().isValid())
        reader.setScaledSize(reader.size() * scale);
    return reader.read().convertToFormat(QImage::Format_ARGB32);
}

bool hasVisiblePixels(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) > 0)
                return true;
        }
    }
    return false;
}

// The coverage of a drawing, whatever its colours.
QByteArray alphaMask(const QImage& image)
{
    QByteArray mask;
    mask.reserve(image.width() * image.height());
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            mask.append(char(qAlpha(image.pixel(x, y))));
    }
    return mask;
}

bool isRound(const QImage& image)
{
    const int last = image.width() - 1;
    const int in = image.width() / 14; // still outside the disc, diagonally
    const QPoint corners[] = {{0, 0},       {last, 0}, {0, last},
                              {last, last}, {in, in},  {last - in, in}};
    for (const QPoint& corner : corners) {
        if (qAlpha(image.pixel(corner)) != 0)
            return false;
    }
    const QPoint inside[] = {{last / 2, last / 2}, {last / 2, 1}, {1, last / 2}};
    for (const QPoint& point : inside) {
        if (qAlpha(image.pixel(point)) != 255)
            return false;
    }
    return true;
}

} // namespace

class TestArtwork : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Q_INIT_RESOURCE(qml); }

    void imageReadsAtItsSize_data();
    void imageReadsAtItsSize();
    void statesShareOneShape_data();
    void statesShareOneShape();
    void avatarIsRound();
    void appIconHasEverySize();
    void everyImageTheViewsNameExists();
};

void TestArtwork::imageReadsAtItsSize_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");

    const QSize icon(20, 20);
    const QString iconDir = QStringLiteral(":/Image/Icon/");
    const QStringList glyphStates = {
        "history_normal",     "history_hovered",    "history_pressed",         "copy_normal",
        "copy_hovered",       "copy_pressed",       "copy_disabled",           "regenerate_normal",
        "regenerate_hovered", "regenerate_pressed", "regenerate_disabled",     "newChat_normal",
        "newChat_hovered",    "newChat_pressed",    "dropDown_normal",         "topScreen_normal",
        "topScreen_hover",    "topScreen_checked",  "topScreen_checked_hover", "topScreed_pressed",
        "reason_normal",      "reason_pressed",     "search_normal",           "search_pressed",
        "chatHistory"};
    for (const QString& name : glyphStates)
        QTest::newRow(qPrintable(name)) << iconDir + name + ".svg" << icon;
    for (const QString& state : QStringList {"normal", "hovered", "pressed", "disabled"})
        QTest::newRow(qPrintable(QStringLiteral("send_") + state))
            << iconDir + "send_" + state + ".svg" << QSize(34, 34);
    QTest::newRow("pullUp") << iconDir + "pullUp.svg" << QSize(16, 16);
    for (const QString& state : QStringList {"checked", "unchecked_day", "unchecked_dark"})
        QTest::newRow(qPrintable(QStringLiteral("rBtn_") + state))
            << iconDir + "rBtn_" + state + ".svg" << QSize(24, 24);
    QTest::newRow("rBtn_enabled") << iconDir + "rBtn_enabled.svg" << QSize(14, 14);
    QTest::newRow("guide_image") << iconDir + "guide_image.svg" << QSize(484, 132);
    QTest::newRow("DeepSeek.png") << iconDir + "DeepSeek.png" << QSize(84, 84);

    const QString settingsDir = QStringLiteral(":/Image/Settings/");
    for (const QString& state : QStringList {"normal", "hot", "clicked"}) {
        QTest::newRow(qPrintable(QStringLiteral("close_") + state))
            << settingsDir + "close_" + state + ".svg" << QSize(18, 18);
        QTest::newRow(qPrintable(QStringLiteral("arror_") + state))
            << settingsDir + "arror_" + state + ".svg" << QSize(16, 16);
    }
    QTest::newRow("checkbox_open") << settingsDir + "checkbox_open.svg" << QSize(40, 22);
    QTest::newRow("checkbox_close") << settingsDir + "checkbox_close.svg" << QSize(40, 22);
    QTest::newRow("refresh_icon") << settingsDir + "refresh_icon.svg" << QSize(24, 24);
    QTest::newRow("Lumora_AI") << settingsDir + "Lumora_AI.svg" << QSize(99, 20);
    QTest::newRow("LumoraAI.png") << settingsDir + "LumoraAI.png" << QSize(198, 40);
    for (const QString& model : QStringList {"deepseek", "chatgpt", "qianwen", "doubao"})
        QTest::newRow(qPrintable(model + QStringLiteral("_icon")))
            << settingsDir + model + "_icon.png" << QSize(40, 40);
}

void TestArtwork::imageReadsAtItsSize()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);

    QVERIFY2(QFile::exists(path), qPrintable(path));
    QImageReader reader(path);
    QCOMPARE(reader.size(), size);
    const QImage image = render(path, 2);
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
    QVERIFY(hasVisiblePixels(image));
}

void TestArtwork::statesShareOneShape_data()
{
    QTest::addColumn<QStringList>("states");

    const auto family = [](const char* dir, const char* stem, const QStringList& suffixes) {
        QStringList paths;
        for (const QString& suffix : suffixes)
            paths << QStringLiteral(":/Image/%1/%2%3.svg").arg(dir, stem, suffix);
        return paths;
    };
    const QStringList fourStates = {"normal", "hovered", "pressed", "disabled"};
    QTest::newRow("send") << family("Icon", "send_", fourStates);
    QTest::newRow("copy") << family("Icon", "copy_", fourStates);
    QTest::newRow("regenerate") << family("Icon", "regenerate_", fourStates);
    QTest::newRow("history") << family("Icon", "history_", {"normal", "hovered", "pressed"});
    QTest::newRow("newChat") << family("Icon", "newChat_", {"normal", "hovered", "pressed"});
    QTest::newRow("reason") << family("Icon", "reason_", {"normal", "pressed"});
    QTest::newRow("search") << family("Icon", "search_", {"normal", "pressed"});
    QTest::newRow("pin outline") << family("Icon", "topScreen_", {"normal", "hover"});
    QTest::newRow("pin filled") << family("Icon", "topScreen_", {"checked", "checked_hover"})
            + family("Icon", "topScreed_", {"pressed"});
    QTest::newRow("close") << family("Settings", "close_", {"hot", "clicked"});
    QTest::newRow("arror") << family("Settings", "arror_", {"normal", "hot", "clicked"});
    QTest::newRow("switch") << family("Settings", "checkbox_", {"open", "close"});
}

// A state changes colours only, so nothing moves when the pointer enters or a button is pressed.
void TestArtwork::statesShareOneShape()
{
    QFETCH(QStringList, states);

    const QByteArray first = alphaMask(render(states.first(), 2));
    QVERIFY(!first.isEmpty());
    for (const QString& state : states.mid(1))
        QVERIFY2(alphaMask(render(state, 2)) == first, qPrintable(state));
}

// The software renderer clips nothing, so the avatar must be round in the file itself.
void TestArtwork::avatarIsRound()
{
    const QImage avatar = render(QStringLiteral(":/Image/Icon/DeepSeek.png"));
    QCOMPARE(avatar.size(), QSize(84, 84));
    QVERIFY(isRound(avatar));
}

void TestArtwork::appIconHasEverySize()
{
    const QString path = QStringLiteral(":/Image/Log/com.orvik.lumora.ico");
    QImageReader reader(path);
    QList<int> sizes;
    for (int i = 0; i < reader.imageCount(); ++i) {
        QVERIFY(reader.jumpToImage(i));
        const QImage frame = reader.read().convertToFormat(QImage::Format_ARGB32);
        QVERIFY2(!frame.isNull(), qPrintable(reader.errorString()));
        QCOMPARE(frame.width(), frame.height());
        QVERIFY2(isRound(frame), qPrintable(QString::number(frame.width())));
        sizes << frame.width();
    }
    std::sort(sizes.begin(), sizes.end());
    QCOMPARE(sizes, QList<int>({16, 24, 32, 48, 64, 256}));
}

// A view that names an image missing from the resources shows an empty hole and only a warning.
void TestArtwork::everyImageTheViewsNameExists()
{
    const QRegularExpression imagePath(QStringLiteral("qrc(:/Image/[^\"'\\s]+\\.(?:svg|png|ico))"));
    int documents = 0;
    QStringList missing;
    QDirIterator it(QStringLiteral(":/"), {QStringLiteral("*.qml")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile document(it.next());
        QVERIFY(document.open(QIODevice::ReadOnly));
        ++documents;
        const QString text = QString::fromUtf8(document.readAll());
        auto matches = imagePath.globalMatch(text);
        while (matches.hasNext()) {
            const QString path = matches.next().captured(1);
            if (!QFile::exists(path))
                missing << document.fileName() + ": " + path;
        }
    }
    QVERIFY(documents > 0);
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1Char('\n'))));
}

QTEST_MAIN(TestArtwork)
#include "tst_artwork.moc"
