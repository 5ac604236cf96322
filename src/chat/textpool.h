#pragma once

#include <QByteArray>
#include <QVector>

// Many texts kept in a few large blocks. Thousands of separately allocated texts, each freed
// and allocated among the much larger buffers that produced it, leave a heap full of holes
// that the process never gives back; in blocks of a megabyte they cost what they hold. Space
// of released texts is reused by moving the live ones together once it is most of the pool.
class TextPool
{
public:
    // A handle for the text; -1 (an empty text) names no text.
    int add(const QByteArray& text);
    void release(int slot);
    // The text, without a copy: valid until the next add() or release().
    QByteArray view(int slot) const;
    qint64 size() const; // bytes held by live texts

private:
    struct Slot
    {
        int block = -1;
        int offset = 0;
        int length = 0;
    };

    void place(Slot* slot, const char* data, int length);
    void compact();

    QVector<QByteArray> blocks; // reserved ahead and never grown: their data never moves
    QVector<Slot> entries;
    QVector<int> freeSlots;
    qint64 liveBytes = 0;
    qint64 usedBytes = 0;
};
