#include "core/installlayout.h"

#include "core/buildconfig.h"
#include "core/constants.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString InstallLayout::dataDir()
{
    return dataDirFor(QCoreApplication::applicationDirPath());
}

QString InstallLayout::dataDirFor(const QString& appDir)
{
    // Beside the executable wins, so the build tree and a Windows folder keep working even if a
    // share/lumora happens to exist above them.
    const QDir beside(appDir);
    if (beside.exists(QStringLiteral("default")) || beside.exists(TRANSLATIONS_DIR_NAME))
        return appDir;
    const QString installed =
        QDir::cleanPath(appDir + QLatin1Char('/') + QStringLiteral(LUMORA_DATA_DIR_FROM_BIN));
    return QFileInfo(installed).isDir() ? installed : appDir;
}
