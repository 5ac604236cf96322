// Appends a large answer to a conversation and removes it again, as fast as it can, until it
// is killed; prints "ready" once the first write is done. Used to show that a kill during a
// write leaves a conversation file that still parses.
#include "chat/chathistorystore.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3) {
        std::fputs("usage: historywriter <data dir> <file name>\n", stderr);
        return 2;
    }
    const ChatHistoryStore store(args.at(1));
    const QString fileName = args.at(2);
    store.loadIndex();
    store.appendMessage(fileName, true, 0, QStringLiteral("question"), QString());
    std::puts("ready");
    std::fflush(stdout);
    // A large answer makes each write take long enough for the kill to land inside it.
    const QString answer(512 * 1024, QLatin1Char('x'));
    for (;;) {
        store.appendMessage(fileName, false, 1, answer, QStringLiteral("<p>why</p>"));
        store.removeLastMessage(fileName);
    }
}
