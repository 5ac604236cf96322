#pragma once

#include <QByteArray>

// Raw bytes alone seldom spell out valid JSON, so targets splice half their inputs into a
// well-formed sample, at a place taken from the input itself.
inline QByteArray spliced(const QByteArray& input, const QByteArray& valid, bool splice)
{
    if (!splice)
        return input;
    const int at = input.isEmpty() ? 0 : static_cast<quint8>(input.at(0)) * valid.size() / 256;
    return valid.left(at) + input.mid(1) + valid.mid(at);
}
