#include "core/atomicfile.h"

#include <QSaveFile>
#include <QThread>

namespace {

// On Windows a virus scanner or a sync client may hold the target for a moment, which makes
// the final rename fail; a few quick retries get past that. Elsewhere a failed rename is final.
#ifdef Q_OS_WIN
constexpr int ReplaceAttempts = 5;
#else
constexpr int ReplaceAttempts = 1;
#endif
constexpr unsigned long ReplaceRetryDelayMs = 40;

// Writes everything into the temporary file. Qt keeps up to 16 KB in its buffer and Qt 5.15's
// QSaveFile::commit() renames the file even when flushing that buffer failed (a full disk, a
// quota): the flush is checked here, before the commit can replace anything.
bool writeAll(QSaveFile& file, const QByteArray& data)
{
    return file.write(data) == data.size() && file.flush() && file.error() == QFileDevice::NoError;
}

} // namespace

bool AtomicFile::replace(const QString& path, const QByteArray& data)
{
    for (int attempt = 1; attempt <= ReplaceAttempts; ++attempt) {
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return false;
        if (!writeAll(file, data)) {
            file.cancelWriting();
            file.commit(); // removes the temporary file
            return false;
        }
        if (file.commit())
            return true;
        if (attempt < ReplaceAttempts)
            QThread::msleep(ReplaceRetryDelayMs);
    }
    return false;
}
