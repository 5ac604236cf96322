#include "app/commandline.h"

#include "core/constants.h"
#include "core/installlayout.h"

#include <QCommandLineParser>
#include <QLocale>
#include <QTranslator>

#include <cstdio>

namespace {

// Options that QGuiApplication and QApplication take out of the arguments themselves (with a
// single dash). They are accepted, not shown in the help, and left to the application object.
const char* const QtValueOptions[] = {"platform",
                                      "platformpluginpath",
                                      "platformtheme",
                                      "plugin",
                                      "qwindowgeometry",
                                      "qwindowicon",
                                      "qwindowtitle",
                                      "display",
                                      "geometry",
                                      "style",
                                      "stylesheet",
                                      "session",
                                      "name",
                                      "title",
                                      "qmljsdebugger"};
const char* const QtFlagOptions[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

void addQtOptions(QCommandLineParser& parser)
{
    for (const char* name : QtValueOptions) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : QtFlagOptions) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

CommandLine::Outcome finish(int code, const QString& text, bool toStandardError = false)
{
    CommandLine::Outcome outcome;
    outcome.run = false;
    outcome.exitCode = code;
    outcome.text = text;
    outcome.toStandardError = toStandardError;
    return outcome;
}

} // namespace

CommandLine::Outcome CommandLine::parse(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        tr("Lumora: press the AI key of your keyboard and ask the AI in a chat bar."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  tr("Shows this help and exits."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     tr("Shows the version and exits."));
    // For the demo and the tests, not for users: not in the help.
    QCommandLineOption simulator(QStringLiteral("device-simulator"));
    simulator.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(simulator);
    addQtOptions(parser);

    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        const QString problem = unknown.isEmpty()
            ? parser.errorText()
            : tr("Unknown option: %1").arg(unknown.join(QStringLiteral(", ")));
        return finish(UsageError, problem + QLatin1Char('\n') + tr("Try \"lumora --help\".") + '\n',
                      true);
    }
    if (parser.isSet(help))
        return finish(0, parser.helpText());
    if (parser.isSet(version))
        return finish(0, versionText() + QLatin1Char('\n'));
    if (!parser.positionalArguments().isEmpty()) {
        return finish(UsageError,
                      tr("Lumora takes no file or word arguments: %1")
                              .arg(parser.positionalArguments().join(QLatin1Char(' ')))
                          + QLatin1Char('\n') + tr("Try \"lumora --help\".") + '\n',
                      true);
    }
    Outcome outcome;
    outcome.simulatedDevices = parser.isSet(simulator);
    return outcome;
}

CommandLine::Outcome CommandLine::handle(int argc, char* argv[])
{
    if (argc <= 1)
        return {};
    QCoreApplication probe(argc, argv);
    QTranslator translator;
    if (translator.load(QLocale(), QStringLiteral("lumora"), QStringLiteral("_"),
                        InstallLayout::dataDir() + QLatin1Char('/') + TRANSLATIONS_DIR_NAME))
        QCoreApplication::installTranslator(&translator);
    const Outcome outcome = parse(QCoreApplication::arguments());
    if (!outcome.run) {
        std::FILE* stream = outcome.toStandardError ? stderr : stdout;
        std::fputs(outcome.text.toLocal8Bit().constData(), stream);
        std::fflush(stream);
    }
    return outcome;
}

QString CommandLine::versionText()
{
    return APP_NAME + QLatin1Char(' ') + APP_VERSION;
}
