#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
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

} // namespace

class TestTranslationFiles : public QObject
{
    Q_OBJECT

private slots:
    void everySourceTextIsTranslated_data();
    void everySourceTextIsTranslated();
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

QTEST_GUILESS_MAIN(TestTranslationFiles)
#include "tst_translationfiles.moc"
