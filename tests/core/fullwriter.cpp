// Writes one file the way the app does, in a process whose files may not grow past a limit
// (RLIMIT_FSIZE): a full disk as far as the write is concerned. SIGXFSZ is ignored, so the
// write fails with EFBIG instead of killing the process.
// Usage: fullwriter json PATH BYTES LIMIT | fullwriter autostart PROGRAM LIMIT
// Exit code: 0 the write reported success, 3 it reported failure, 2 usage.
#include "core/jsonfile.h"
#include "platform/autostart.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QStringList>

#include <csignal>
#include <sys/resource.h>

namespace {

void limitFileSize(rlim_t bytes)
{
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit {bytes, bytes};
    setrlimit(RLIMIT_FSIZE, &limit);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 5 && args.at(1) == QLatin1String("json")) {
        const QByteArray data(args.at(3).toInt(), 'x');
        limitFileSize(args.at(4).toULong());
        return JsonFile::write(args.at(2), data) ? 0 : 3;
    }
    if (args.size() == 4 && args.at(1) == QLatin1String("autostart")) {
        limitFileSize(args.at(3).toULong());
        return AutoStart::apply(true, args.at(2)) ? 0 : 3;
    }
    return 2;
}
