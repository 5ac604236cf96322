#include "chat/textprefix.h"

#include <algorithm>
#include <cstring>

int TextPrefix::commonLength(QStringView a, QStringView b)
{
    constexpr qsizetype Chunk = 512;
    const qsizetype length = std::min(a.size(), b.size());
    qsizetype common = 0;
    while (common + Chunk <= length
           && std::memcmp(a.data() + common, b.data() + common, Chunk * sizeof(QChar)) == 0)
        common += Chunk;
    const qsizetype rest = std::min(Chunk, length - common);
    const QChar* first = a.data() + common;
    common += std::mismatch(first, first + rest, b.data() + common).first - first;
    return int(common);
}
