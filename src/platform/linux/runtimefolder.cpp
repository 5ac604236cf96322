#include "platform/runtimefolder.h"

#include "core/logging.h"

#include <QDebug>
#include <QDir>
#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// A folder we own, that is no link, and that only we may enter.
bool isPrivate(const QByteArray& path)
{
    struct stat info
    {
    };
    if (::lstat(path.constData(), &info) != 0)
        return false;
    return S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() && (info.st_mode & 077) == 0;
}

QString fallbackFolder()
{
    const QString path =
        QDir::tempPath() + QStringLiteral("/lumora-") + QString::number(::geteuid());
    const QByteArray native = QFile::encodeName(path);
    // mkdir fails on anything that is already there; the check below decides whether what is
    // there may be used.
    ::mkdir(native.constData(), 0700);
    if (!isPrivate(native)) {
        qCWarning(lcPlatform) << "No private runtime folder:" << path
                              << "is not a folder of this user that only this user may enter";
        return {};
    }
    return path;
}

} // namespace

QString RuntimeFolder::path()
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && isPrivate(runtime))
        return QFile::decodeName(runtime);
    return fallbackFolder();
}
