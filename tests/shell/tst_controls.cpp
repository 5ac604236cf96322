#include "shell/darkiconprovider.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPainter>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSvgRenderer>
#include <QtTest>

#include <memory>

namespace {

// A small window document like the views: it provides `theme` and `fontManager` and
// imports the shared controls the way the views do.
const char* const hostDocument = R"(
import QtQuick 2.15
import QtQuick.Window 2.15
import "./Controls"
import "qrc:/Controls" as RemoteControls
import "qrc:/GraphicalEffects"

Window {
    width: 300; height: 200
    Loader { id: theme; source: "qrc:/Theme/LightTheme.qml" }
    Loader { id: fontManager; source: "qrc:/FontManager.qml" }

    CustomRadioButton2 { objectName: "radio"; enabled: false; checked: true }
    RemoteControls.CustomToggleButton { objectName: "toggle"; width: 40; height: 22 }
    SelectableText {
        objectName: "text"; y: 40; width: 200
        textFormat: TextEdit.RichText
        text: "<b>Bold</b> and plain 中文"
    }
    Rectangle { id: shape; width: 10; height: 10; visible: false }
    DesaturateEffect { source: shape; width: 10; height: 10 }
    DropShadowEffect { source: shape; width: 10; height: 10 }
    FastBlurEffect { source: shape; width: 10; height: 10 }
    GlowEffect { source: shape; width: 10; height: 10 }
    OpacityMaskEffect { source: shape; maskSource: shape; width: 10; height: 10 }
}
)";

} // namespace

class TestControls : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void themeDocuments_data();
    void themeDocuments();
    void fontManagerResolvesEveryRoleToTheUiFont();
    void disabledRadioShowsTheDisabledImageSmall();
    void toggleEndsFullyOpaque();
    void selectableTextMeasuresInItsOwnFormat();
    void selectableTextCopiesButCannotBeEdited();
    void darkThemeLightensTheIconsInk_data();
    void darkThemeLightensTheIconsInk();

private:
    QObject* find(const char* name) const;

    std::unique_ptr<QQmlEngine> engine;
    std::unique_ptr<QObject> host;
};

void TestControls::initTestCase()
{
    Q_INIT_RESOURCE(qml);
}

void TestControls::init()
{
    engine = std::make_unique<QQmlEngine>();
    QQmlComponent component(engine.get());
    component.setData(hostDocument, QUrl(QStringLiteral("qrc:/ControlsHost.qml")));
    host.reset(component.create());
    QVERIFY2(host, qPrintable(component.errorString()));
}

void TestControls::cleanup()
{
    host.reset();
    engine.reset();
}

QObject* TestControls::find(const char* name) const
{
    return host->findChild<QObject*>(QString::fromLatin1(name));
}

void TestControls::themeDocuments_data()
{
    QTest::addColumn<QString>("document");
    QTest::addColumn<QString>("property");
    QTest::addColumn<QVariant>("value");
    QTest::newRow("light body text") << "LightTheme"
                                     << "colorB1" << QVariant(QColor("#0A0A0A"));
    QTest::newRow("light accent") << "LightTheme"
                                  << "themeZeroColor" << QVariant(QColor("#4737FF"));
    QTest::newRow("light radio image")
        << "LightTheme"
        << "macro_rBtn_unchecked"
        << QVariant(QStringLiteral("qrc:/Image/Icon/rBtn_unchecked_day.svg"));
    QTest::newRow("dark menu background") << "DarkTheme"
                                          << "backgroundColor" << QVariant(QColor("#000000"));
    // A url property resolves against its document.
    QTest::newRow("dark image") << "DarkTheme"
                                << "imageSource"
                                << QVariant(
                                       QUrl(QStringLiteral("qrc:/Theme/dark-theme-image.png")));
    QTest::newRow("neutral funcColor9") << "NeutralTheme"
                                        << "funcColor9" << QVariant(QColor("#CBE0CB"));
    QTest::newRow("neutral has no body text") << "NeutralTheme"
                                              << "colorB1" << QVariant();
}

void TestControls::themeDocuments()
{
    QFETCH(QString, document);
    QFETCH(QString, property);
    QFETCH(QVariant, value);
    QQmlComponent component(engine.get(), QUrl(QStringLiteral("qrc:/Theme/%1.qml").arg(document)));
    std::unique_ptr<QObject> palette(component.create());
    QVERIFY2(palette, qPrintable(component.errorString()));
    const QVariant actual = palette->property(qPrintable(property));
    QCOMPARE(actual.isValid(), value.isValid());
    if (value.isValid()) {
        QCOMPARE(actual.userType(), value.userType());
        QCOMPARE(actual, value);
    }
}

void TestControls::fontManagerResolvesEveryRoleToTheUiFont()
{
    QQmlComponent component(engine.get(), QUrl(QStringLiteral("qrc:/FontManager.qml")));
    std::unique_ptr<QObject> fonts(component.create());
    QVERIFY2(fonts, qPrintable(component.errorString()));
    const QString family = QGuiApplication::font().family();
    for (const char* role : {"oppoSansB", "oppoSansH", "oppoSansL", "oppoSansM", "oppoSansR",
                             "barlowBoldItalic", "barlowBlackItalic", "barlowMedium"}) {
        QObject* font = fonts->property(role).value<QObject*>();
        QVERIFY2(font, role);
        QCOMPARE(font->property("name").toString(), family);
    }
    QVERIFY(!QFile::exists(QStringLiteral(":/Font")));
}

void TestControls::disabledRadioShowsTheDisabledImageSmall()
{
    QObject* radio = find("radio");
    QVERIFY(radio);
    QObject* image = radio->findChild<QObject*>(QStringLiteral("radioImage"));
    QVERIFY(image);
    QCOMPARE(image->property("source").toUrl(),
             QUrl(QStringLiteral("qrc:/Image/Icon/rBtn_enabled.svg")));
    QCOMPARE(image->property("width").toReal(), 14.0);
    radio->setProperty("enabled", true);
    QCOMPARE(image->property("source").toUrl(),
             QUrl(QStringLiteral("qrc:/Image/Icon/rBtn_checked.svg")));
    QCOMPARE(image->property("width").toReal(), 24.0);
    radio->setProperty("checked", false);
    QCOMPARE(image->property("source").toUrl(),
             QUrl(QStringLiteral("qrc:/Image/Icon/rBtn_unchecked_day.svg")));
}

void TestControls::toggleEndsFullyOpaque()
{
    QObject* toggle = find("toggle");
    QVERIFY(toggle);
    QObject* image = toggle->findChild<QObject*>(QStringLiteral("toggleImage"));
    QVERIFY(image);
    toggle->setProperty("checked", true);
    QCOMPARE(image->property("source").toUrl(),
             QUrl(QStringLiteral("qrc:/Image/Settings/checkbox_open.svg")));
    QTRY_VERIFY(image->property("opacity").toReal() < 1.0);
    QTRY_COMPARE(image->property("opacity").toReal(), 1.0);
}

void TestControls::selectableTextMeasuresInItsOwnFormat()
{
    QObject* text = find("text");
    QVERIFY(text);
    QVERIFY(text->property("readOnly").toBool());
    QVERIFY(text->property("selectByMouse").toBool());
    QCOMPARE(text->property("color").value<QColor>(), QColor("#0A0A0A"));
    // Measured as rich text, the tags take no width: the one-line width is that of the
    // visible words, far less than the width of the markup spelled out.
    const int width = text->property("m_contentWidth").toInt();
    QVERIFY(width > 0);
    QFontMetricsF metrics(text->property("font").value<QFont>());
    QVERIFY2(width < metrics.horizontalAdvance(QStringLiteral("<b>Bold</b> and plain 中文")) - 10,
             qPrintable(QString::number(width)));
    QVERIFY(width >= metrics.horizontalAdvance(QStringLiteral("Bold and plain 中文")) - 4);
}

void TestControls::selectableTextCopiesButCannotBeEdited()
{
    auto* text = qobject_cast<QQuickItem*>(find("text"));
    QVERIFY(text);
    auto* window = qobject_cast<QQuickWindow*>(host.get());
    QVERIFY(window);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    text->forceActiveFocus();
    QVERIFY(text->hasActiveFocus());
    QVERIFY(QMetaObject::invokeMethod(text, "select", Q_ARG(int, 0), Q_ARG(int, 4)));
    QCOMPARE(text->property("selectedText").toString(), QStringLiteral("Bold"));
    QGuiApplication::clipboard()->clear();
    QTest::keySequence(window, QKeySequence::Copy);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Bold"));

    const int length = text->property("length").toInt();
    QTest::keyClick(window, Qt::Key_X);
    QTest::keyClick(window, Qt::Key_Backspace);
    QTest::keySequence(window, QKeySequence::Paste);
    QCOMPARE(text->property("length").toInt(), length);
}

namespace {

// The lightness of the darkest and of the lightest pixel that is mostly opaque.
QPair<int, int> inkRange(const QImage& image)
{
    int darkest = 255;
    int lightest = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.alpha() < 200)
                continue;
            darkest = std::min(darkest, pixel.lightness());
            lightest = std::max(lightest, pixel.lightness());
        }
    }
    return {darkest, lightest};
}

QImage drawn(const QString& path)
{
    QSvgRenderer renderer(path);
    QImage image(40, 40, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

} // namespace

// The icons are drawn for light surfaces; in the dark theme their grey ink is drawn light, and
// marks drawn white on an accent stay as they are.
void TestControls::darkThemeLightensTheIconsInk_data()
{
    QTest::addColumn<QString>("icon");
    QTest::addColumn<bool>("inkOnly");
    QTest::newRow("copy") << "copy_normal.svg" << true;
    QTest::newRow("history") << "history_normal.svg" << true;
    QTest::newRow("disabled regenerate") << "regenerate_disabled.svg" << true;
    QTest::newRow("send, white on the accent") << "send_normal.svg" << false;
}

void TestControls::darkThemeLightensTheIconsInk()
{
    QFETCH(QString, icon);
    QFETCH(bool, inkOnly);
    const QString source = QStringLiteral("qrc:/Image/Icon/") + icon;
    QQmlComponent light(engine.get(), QUrl(QStringLiteral("qrc:/Theme/LightTheme.qml")));
    QQmlComponent dark(engine.get(), QUrl(QStringLiteral("qrc:/Theme/ChatDarkTheme.qml")));
    std::unique_ptr<QObject> lightTheme(light.create());
    std::unique_ptr<QObject> darkTheme(dark.create());
    QVERIFY(lightTheme && darkTheme);
    QVariant lightSource;
    QVariant darkSource;
    QMetaObject::invokeMethod(lightTheme.get(), "icon", Q_RETURN_ARG(QVariant, lightSource),
                              Q_ARG(QVariant, source));
    QMetaObject::invokeMethod(darkTheme.get(), "icon", Q_RETURN_ARG(QVariant, darkSource),
                              Q_ARG(QVariant, source));
    QCOMPARE(lightSource.toString(), source);
    QCOMPARE(darkSource.toString(), QStringLiteral("image://darkicon/Image/Icon/") + icon);

    DarkIconProvider provider;
    QSize size;
    const QImage image =
        provider.requestImage(QStringLiteral("Image/Icon/") + icon, &size, QSize(40, 40));
    QCOMPARE(size, QSize(40, 40));
    const QImage asDrawn = drawn(QStringLiteral(":/Image/Icon/") + icon);
    if (inkOnly) {
        QVERIFY(image != asDrawn);
        QVERIFY(inkRange(asDrawn).first < 180);
        QVERIFY2(inkRange(image).first > 80, qPrintable(QString::number(inkRange(image).first)));
    } else {
        QCOMPARE(image, asDrawn);
    }
    QVERIFY(provider.requestImage(QStringLiteral("Image/Icon/none.svg"), &size, QSize()).isNull());
}

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
