#include "enginefault.h"

#include <QRegularExpression>

#include <httplib.h>

#include <chrono>
#include <thread>

namespace {

const QByteArray separator = QByteArrayLiteral("\n\n");

void pause(int ms)
{
    if (ms > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// An empty chunk would end the chunked body, so nothing is written for empty bytes.
bool send(httplib::DataSink& sink, const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return true;
    return sink.write(bytes.constData(), static_cast<size_t>(bytes.size()));
}

QByteArray joined(const QVector<QByteArray>& blocks)
{
    QByteArray bytes;
    for (const QByteArray& block : blocks)
        bytes += block + separator;
    return bytes;
}

} // namespace

EngineFault EngineFault::choose(const QString& question, const QString& header)
{
    static const QRegularExpression inQuestion(
        QStringLiteral("\\[fault:([a-z0-9-]+)(?::(\\d+))?\\]"));
    static const QRegularExpression inHeader(QStringLiteral("^([a-z0-9-]+)(?::(\\d+))?$"));
    QRegularExpressionMatch match = inQuestion.match(question);
    if (!match.hasMatch())
        match = inHeader.match(header.trimmed());
    EngineFault fault;
    if (match.hasMatch()) {
        fault.what = kindOf(match.captured(1));
        fault.argument = match.captured(2).toInt();
    }
    return fault;
}

EngineFault::Kind EngineFault::kindOf(const QString& name)
{
    static const QHash<QString, Kind> kinds {
        {QStringLiteral("short"), Short},
        {QStringLiteral("refuse"), Refuse},
        {QStringLiteral("http500"), Http500},
        {QStringLiteral("stall"), Stall},
        {QStringLiteral("malformed"), Malformed},
        {QStringLiteral("error-event"), ErrorEvent},
        {QStringLiteral("cut"), Cut},
        {QStringLiteral("bytewise"), Bytewise},
        {QStringLiteral("split"), Split},
        {QStringLiteral("burst"), Burst},
        {QStringLiteral("blank-lines"), BlankLines},
        {QStringLiteral("no-trailing-blank"), NoTrailingBlank},
        {QStringLiteral("long"), Long},
        {QStringLiteral("hold"), Hold},
        {QStringLiteral("late-error"), LateError},
    };
    return kinds.value(name, None);
}

EngineScript::Length EngineFault::length() const
{
    switch (what) {
    case Short:
    case Bytewise:
    case Split:
    case Burst:
    case BlankLines:
    case NoTrailingBlank:
        return EngineScript::Length::Short;
    case Long:
        return EngineScript::Length::Long;
    default:
        return EngineScript::Length::Normal;
    }
}

bool EngineFault::compact() const
{
    return what == Bytewise || what == Split;
}

QVector<QByteArray> EngineFault::blocks(const EngineStream& stream, int mode) const
{
    switch (what) {
    case Refuse:
        return {stream.echo(true)};
    case ErrorEvent:
        return {stream.echo(false),
                stream.error(460004, QStringLiteral("应用不存在或未发布 (app not found)"))};
    case LateError: {
        QVector<QByteArray> blocks = EngineScript::answerBlocks(stream, mode, length());
        blocks.resize(blocks.size() / 2);
        blocks.append(stream.error(500001, QStringLiteral("internal error")));
        return blocks;
    }
    case Malformed: {
        QVector<QByteArray> blocks = EngineScript::answerBlocks(stream, mode, length());
        blocks.insert(1, stream.malformed());
        blocks.insert(2, QByteArrayLiteral("event:reply\ndata:[\"not\",\"an\",\"object\"]"));
        blocks.insert(3, QByteArrayLiteral("neither header nor data"));
        return blocks;
    }
    default:
        return EngineScript::answerBlocks(stream, mode, length());
    }
}

bool EngineFault::write(const QVector<QByteArray>& blocks, int paceMs, httplib::DataSink& sink,
                        bool* clientGone) const
{
    switch (what) {
    case Bytewise:
        return writeBytes(joined(blocks), sink);
    case Split: {
        const QByteArray bytes = joined(blocks);
        // The pause makes the client see the two parts as two deliveries.
        const bool ok = send(sink, bytes.left(argument));
        pause(15);
        return ok && send(sink, bytes.mid(argument));
    }
    case Burst:
        return writeBurst(blocks, paceMs, sink);
    case BlankLines:
        return writeBlocks(blocks, paceMs, sink) && send(sink, separator + separator);
    case NoTrailingBlank: {
        const QByteArray bytes = joined(blocks);
        return send(sink, bytes.left(bytes.size() - separator.size()));
    }
    case Cut:
        return writeCut(blocks, paceMs, sink);
    case Stall:
        return writeStall(blocks, sink);
    case Hold:
        return writeHold(blocks, paceMs, sink, clientGone);
    default:
        return writeBlocks(blocks, paceMs, sink);
    }
}

bool EngineFault::writeBlocks(const QVector<QByteArray>& blocks, int paceMs,
                              httplib::DataSink& sink) const
{
    const QByteArray end = what == BlankLines ? separator + separator : separator;
    for (int i = 0; i < blocks.size(); ++i) {
        if (i > 0)
            pause(paceMs);
        if (!send(sink, blocks.at(i) + end))
            return false;
    }
    return true;
}

// The last three blocks (reasoning, a partial and the final answer) go out in one write.
bool EngineFault::writeBurst(const QVector<QByteArray>& blocks, int paceMs,
                             httplib::DataSink& sink) const
{
    const int head = qMax(0, blocks.size() - 3);
    if (!writeBlocks(blocks.mid(0, head), paceMs, sink))
        return false;
    pause(qMax(paceMs, 15));
    return send(sink, joined(blocks.mid(head)));
}

bool EngineFault::writeBytes(const QByteArray& bytes, httplib::DataSink& sink) const
{
    for (int i = 0; i < bytes.size(); ++i) {
        if (!send(sink, bytes.mid(i, 1)))
            return false;
        pause(1);
    }
    return true;
}

// Half the answer, then half a block, then the connection drops.
bool EngineFault::writeCut(const QVector<QByteArray>& blocks, int paceMs,
                           httplib::DataSink& sink) const
{
    const int half = blocks.size() / 2;
    if (!writeBlocks(blocks.mid(0, half), paceMs, sink))
        return false;
    const QByteArray partial = blocks.at(half);
    send(sink, partial.left(partial.size() / 2));
    return false;
}

// The echo, then nothing for two minutes (or until the client goes).
bool EngineFault::writeStall(const QVector<QByteArray>& blocks, httplib::DataSink& sink) const
{
    if (!send(sink, blocks.constFirst() + separator))
        return false;
    for (int waited = 0; waited < 120000 && sink.is_writable(); waited += 100)
        pause(100);
    return false;
}

// Half the answer, then silence while the client keeps the connection (at most two minutes).
bool EngineFault::writeHold(const QVector<QByteArray>& blocks, int paceMs, httplib::DataSink& sink,
                            bool* clientGone) const
{
    bool open = writeBlocks(blocks.mid(0, blocks.size() / 2), paceMs, sink);
    for (int waited = 0; open && waited < 120000; waited += 50) {
        pause(50);
        open = sink.is_writable();
    }
    if (clientGone)
        *clientGone = !open;
    return false;
}
