#include "chat/textpool.h"

namespace {

constexpr int BlockSize = 1 << 20;

} // namespace

int TextPool::add(const QByteArray& text)
{
    if (text.isEmpty())
        return -1;
    int slot = entries.size();
    if (freeSlots.isEmpty())
        entries.append(Slot());
    else
        slot = freeSlots.takeLast();
    place(&entries[slot], text.constData(), text.size());
    liveBytes += text.size();
    return slot;
}

void TextPool::release(int slot)
{
    if (slot < 0 || slot >= entries.size() || entries.at(slot).block < 0)
        return;
    liveBytes -= entries.at(slot).length;
    entries[slot] = Slot();
    freeSlots.append(slot);
    if (usedBytes > 4 * qint64(BlockSize) && usedBytes > 2 * liveBytes)
        compact();
}

QByteArray TextPool::view(int slot) const
{
    if (slot < 0 || slot >= entries.size() || entries.at(slot).block < 0)
        return {};
    const Slot& at = entries.at(slot);
    return QByteArray::fromRawData(blocks.at(at.block).constData() + at.offset, at.length);
}

qint64 TextPool::size() const
{
    return liveBytes;
}

void TextPool::place(Slot* slot, const char* data, int length)
{
    if (blocks.isEmpty() || blocks.constLast().capacity() - blocks.constLast().size() < length) {
        blocks.append(QByteArray());
        blocks.last().reserve(qMax(BlockSize, length));
    }
    QByteArray& block = blocks.last();
    slot->block = blocks.size() - 1;
    slot->offset = block.size();
    slot->length = length;
    block.append(data, length); // within the reserve: the block's data stays where it is
    usedBytes += length;
}

void TextPool::compact()
{
    const QVector<QByteArray> old = blocks;
    blocks.clear();
    usedBytes = 0;
    for (Slot& slot : entries) {
        if (slot.block >= 0)
            place(&slot, old.at(slot.block).constData() + slot.offset, slot.length);
    }
}
