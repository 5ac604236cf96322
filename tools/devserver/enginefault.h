#pragma once

#include "enginescript.h"

#include <QByteArray>
#include <QString>
#include <QVector>

namespace httplib {
struct DataSink;
}

// A way for the stand-in engine to misbehave, chosen per request, and the way the blocks of
// the answer are written for it. See engineroutes.h for the names and how to pick them.
class EngineFault
{
public:
    enum Kind {
        None,
        Short, // a short answer, well formed
        Refuse,
        Http500,
        Stall,
        Malformed,
        ErrorEvent,
        Cut,
        Bytewise,
        Split,
        Burst,
        BlankLines,
        NoTrailingBlank,
        Long,
        Hold,
        LateError,
    };

    // From "[fault:<name>]" or "[fault:<name>:<number>]" in the question, else from the
    // request header's value "<name>" or "<name>:<number>"; None when neither names one.
    static EngineFault choose(const QString& question, const QString& header);

    Kind kind() const { return what; }
    EngineScript::Length length() const;
    bool compact() const;

    // The blocks of the whole response, without separators.
    QVector<QByteArray> blocks(const EngineStream& stream, int mode) const;
    // Writes the blocks; returns false to have the connection dropped mid-stream. clientGone
    // (when given) tells whether a held stream ended because the client closed the connection.
    bool write(const QVector<QByteArray>& blocks, int paceMs, httplib::DataSink& sink,
               bool* clientGone = nullptr) const;

private:
    static Kind kindOf(const QString& name);
    bool writeBlocks(const QVector<QByteArray>& blocks, int paceMs, httplib::DataSink& sink) const;
    bool writeBurst(const QVector<QByteArray>& blocks, int paceMs, httplib::DataSink& sink) const;
    bool writeBytes(const QByteArray& bytes, httplib::DataSink& sink) const;
    bool writeCut(const QVector<QByteArray>& blocks, int paceMs, httplib::DataSink& sink) const;
    bool writeStall(const QVector<QByteArray>& blocks, httplib::DataSink& sink) const;
    bool writeHold(const QVector<QByteArray>& blocks, int paceMs, httplib::DataSink& sink,
                   bool* clientGone) const;

    Kind what = None;
    int argument = 0;
};
