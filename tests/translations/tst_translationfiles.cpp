#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

QStringList listOf(const char* joined)
{
    return QString::fromUtf8(joined).split(QLatin1Char('|'), Qt::SkipEmptyParts);
}

struct Message
{
    QString context;
    QString source;
    QString translationType;
    QString translation;
};

QList<Message> readMessages(const QString& path)
{
    QList<Message> messages;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return messages;
    QXmlStreamReader xml(&file);
    QString context;
    Message current;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("message")) {
            current = Message {context, QString(), QString(), QString()};
        } else if (xml.name() == QLatin1String("source")) {
            current.source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            current.translationType = xml.attributes().value(QLatin1String("type")).toString();
            current.translation = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            messages.append(current);
        }
    }
    return messages;
}

bool obsolete(const Message& message)
{
    return message.translationType == QLatin1String("vanished")
        || message.translationType == QLatin1String("obsolete");
}

// Comments go, so that a text named in a comment counts for nothing; string literals stay.
QString withoutComments(const QString& code)
{
    static const QRegularExpression comments(
        QStringLiteral(R"re(//[^\n]*|/\*.*?\*/|("(?:[^"\\\n]|\\.)*"))re"),
        QRegularExpression::DotMatchesEverythingOption);
    QString result;
    int last = 0;
    auto it = comments.globalMatch(code);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        result += code.mid(last, match.capturedStart() - last);
        // Keep literals, and the line breaks of a comment so line numbers stay right.
        result += match.captured(1).isEmpty()
            ? QString(match.captured(0).count(QLatin1Char('\n')), QLatin1Char('\n'))
            : match.captured(0);
        last = match.capturedEnd();
    }
    return result + code.mid(last);
}

// A literal the user reads: Chinese text anywhere in C++ (outside a log line), any text given
// to a window title, a message box or a tool tip in C++, and any text assigned to a visible
// text property in QML, unless it goes through tr()/qsTr(). Markup ("<font ...>") and
// punctuation are no text. A line that says "not translated:" in a comment is let through
// on purpose (a language's own name in the language list).
QStringList userVisibleLiterals(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {path + QStringLiteral(": cannot be read")};
    const QString original = QString::fromUtf8(file.readAll());
    const QStringList originalLines = original.split(QLatin1Char('\n'));
    const QStringList lines = withoutComments(original).split(QLatin1Char('\n'));
    const bool qml = path.endsWith(QLatin1String(".qml"));

    static const QRegularExpression literal(QStringLiteral(R"re("((?:[^"\\]|\\.)*)")re"));
    static const QRegularExpression wording(QStringLiteral("[A-Za-z\\x{4e00}-\\x{9fff}]"));
    static const QRegularExpression chinese(QStringLiteral("[\\x{4e00}-\\x{9fff}]"));
    static const QRegularExpression translated(
        QStringLiteral(R"re((\bqsTr|\btr|QT_TR_NOOP|QT_TRANSLATE_NOOP)\s*\(\s*$)re"));
    static const QRegularExpression logLine(
        QStringLiteral(R"re(\b(qC?Debug|qC?Info|qC?Warning|qC?Critical|qErrnoWarning)\b)re"));
    static const QRegularExpression cppShown(QStringLiteral(
        R"re((QMessageBox|setWindowTitle|setText|setInformativeText|showMessage|setToolTip)\s*\()re"));
    static const QRegularExpression qmlShown(QStringLiteral(
        R"re(^\s*(text|placeholderText|title|Accessible\.name|Accessible\.description|ToolTip\.text)\s*:)re"));

    QStringList found;
    for (int n = 0; n < lines.size(); ++n) {
        const QString& line = lines.at(n);
        if (originalLines.value(n).contains(QLatin1String("not translated:"))
            || originalLines.value(n - 1).contains(QLatin1String("not translated:")))
            continue;
        const bool shown = qml
            ? qmlShown.match(line).hasMatch()
            : (cppShown.match(line).hasMatch() && !logLine.match(line).hasMatch());
        auto it = literal.globalMatch(line);
        while (it.hasNext()) {
            const QRegularExpressionMatch match = it.next();
            QString text = match.captured(1);
            text.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
            if (!wording.match(text).hasMatch())
                continue;
            const bool visible = shown
                || (!qml && chinese.match(text).hasMatch() && !logLine.match(line).hasMatch());
            if (!visible)
                continue;
            QString before = line.left(match.capturedStart());
            before.remove(QRegularExpression(
                QStringLiteral(R"re((QStringLiteral|QLatin1String)\s*\(\s*$)re")));
            if (!translated.match(before).hasMatch())
                found << QStringLiteral("%1:%2: %3").arg(path).arg(n + 1).arg(line.trimmed());
        }
    }
    return found;
}

} // namespace

class TestTranslationFiles : public QObject
{
    Q_OBJECT

private slots:
    void everySourceTextIsTranslated_data();
    void everySourceTextIsTranslated();
    void noUserVisibleLiteralOutsideTr();
};

void TestTranslationFiles::everySourceTextIsTranslated_data()
{
    QTest::addColumn<QString>("tsFile");
    for (const QString& file : listOf(TS_FILES))
        QTest::newRow(qPrintable(QFileInfo(file).fileName())) << file;
}

// The tracked file stays as it is: lupdate writes into a copy.
void TestTranslationFiles::everySourceTextIsTranslated()
{
    QFETCH(QString, tsFile);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString copy = dir.filePath(QFileInfo(tsFile).fileName());
    QVERIFY(QFile::copy(tsFile, copy));
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);

    QProcess lupdate;
    lupdate.setProcessChannelMode(QProcess::MergedChannels);
    lupdate.start(QString::fromUtf8(LUPDATE_PATH),
                  listOf(LUPDATE_OPTIONS) + listOf(LUPDATE_SOURCES)
                      + QStringList {QStringLiteral("-ts"), copy});
    QVERIFY(lupdate.waitForFinished(60000));
    QVERIFY2(lupdate.exitStatus() == QProcess::NormalExit && lupdate.exitCode() == 0,
             lupdate.readAll().constData());

    const QList<Message> messages = readMessages(copy);
    QVERIFY(!messages.isEmpty());
    QStringList untranslated;
    for (const Message& message : messages) {
        if (obsolete(message))
            continue;
        if (message.translationType == QLatin1String("unfinished") || message.translation.isEmpty())
            untranslated << message.context + QStringLiteral(": ") + message.source;
    }
    QVERIFY2(untranslated.isEmpty(),
             qPrintable(QStringLiteral("Texts without a translation in %1 (run the target "
                                       "lumora_update_translations, translate them, see "
                                       "docs/DEVELOPING.md):\n  %2")
                            .arg(QFileInfo(tsFile).fileName(),
                                 untranslated.join(QStringLiteral("\n  ")))));
}

// Every text a user reads goes through the translation, so both languages show it.
void TestTranslationFiles::noUserVisibleLiteralOutsideTr()
{
    QStringList found;
    for (const QString& root : listOf(LUPDATE_SOURCES)) {
        QDirIterator files(
            root, {QStringLiteral("*.cpp"), QStringLiteral("*.h"), QStringLiteral("*.qml")},
            QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext())
            found += userVisibleLiterals(files.next());
    }
    QVERIFY2(found.isEmpty(),
             qPrintable(QStringLiteral("Texts the user reads without tr()/qsTr():\n  ")
                        + found.join(QStringLiteral("\n  "))));
}

QTEST_GUILESS_MAIN(TestTranslationFiles)
#include "tst_translationfiles.moc"
