// Takes the documented screenshots: lumora-screenshots --server <stand-in url> --out <dir>
// [shot names...]. scripts/screenshots runs it on a virtual display against the stand-in.
#include "shot.h"
#include "shotdriver.h"

#include "app/qmltypes.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTextStream>

int main(int argc, char* argv[])
{
    // The chat window renders with the basic loop; the screenshots must not depend on a GPU.
    qputenv("QSG_RENDER_LOOP", "basic");
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
        qputenv("QT_QUICK_BACKEND", "software");
    QApplication app(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Saves screenshots of Lumora's windows."));
    parser.addHelpOption();
    const QCommandLineOption serverOption(QStringLiteral("server"),
                                          QStringLiteral("Base URL of the stand-in server."),
                                          QStringLiteral("url"));
    const QCommandLineOption outOption(QStringLiteral("out"),
                                       QStringLiteral("Folder for the PNG files."),
                                       QStringLiteral("dir"), QStringLiteral("docs/screenshots"));
    const QCommandLineOption listOption(QStringLiteral("list"),
                                        QStringLiteral("List the shots and end."));
    parser.addOptions({serverOption, outOption, listOption});
    parser.addPositionalArgument(QStringLiteral("shots"),
                                 QStringLiteral("Names of the shots to take (default: all)."));
    parser.process(app);

    if (parser.isSet(listOption)) {
        QTextStream out(stdout);
        for (const Shot& shot : allShots())
            out << shot.name << "\t" << shot.description << "\n";
        return 0;
    }
    if (!parser.isSet(serverOption)) {
        QTextStream(stderr) << "lumora-screenshots: --server is required\n";
        return 2;
    }
    Q_INIT_RESOURCE(qml);
    QmlTypes::registerQmlTypes();
    ShotDriver driver(parser.value(serverOption), parser.value(outOption));
    return driver.run(parser.positionalArguments()) ? 0 : 1;
}
