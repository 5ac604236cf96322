// Rewrites the user config.json as fast as it can until it is killed; prints "ready" once
// the first write is done. Used to show that a kill during a write leaves a valid file.
#include "core/configengine.h"
#include "core/constants.h"

#include <QCoreApplication>
#include <QJsonDocument>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    ConfigEngine engine;
    engine.initialize({{QStringLiteral("AppVer3ConfigPath"), CONFIGS_DIR_NAME}});
    // A large value makes each write take long enough for the kill to land inside it.
    const QString filler(512 * 1024, QLatin1Char('x'));
    for (qint64 round = 0;; ++round) {
        QJsonDocument work;
        engine.setValue(QStringLiteral("Round"), QString::number(round) + filler, work);
        if (round == 0) {
            std::puts("ready");
            std::fflush(stdout);
        }
    }
}
