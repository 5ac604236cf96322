#include "chat/textpool.h"

#include <QtTest>

// The search keeps its texts in a pool; texts survive the pool moving them together.
class TestTextPool : public QObject
{
    Q_OBJECT

private slots:
    void keepsTexts();
    void compactionKeepsTheLiveTexts();
};

void TestTextPool::keepsTexts()
{
    TextPool pool;
    const int a = pool.add("first");
    const int b = pool.add("second");
    QCOMPARE(pool.add(QByteArray()), -1);
    QCOMPARE(pool.view(a), QByteArray("first"));
    QCOMPARE(pool.view(b), QByteArray("second"));
    QCOMPARE(pool.size(), 11);
    pool.release(a);
    pool.release(a); // twice is once
    pool.release(-1);
    QCOMPARE(pool.view(a), QByteArray());
    QCOMPARE(pool.size(), 6);
    const int c = pool.add("third");
    QCOMPARE(c, a); // the handle is reused
    QCOMPARE(pool.view(c), QByteArray("third"));
    QCOMPARE(pool.view(b), QByteArray("second"));
    // A text larger than a block gets a block of its own.
    const QByteArray large(3 << 20, 'x');
    QCOMPARE(pool.view(pool.add(large)), large);
}

void TestTextPool::compactionKeepsTheLiveTexts()
{
    TextPool pool;
    QVector<int> handles;
    for (int i = 0; i < 200; ++i)
        handles.append(pool.add(QByteArray(50000, char('a' + i % 26)) + QByteArray::number(i)));
    // Releasing most of them moves the rest together along the way.
    for (int i = 0; i < 200; ++i) {
        if (i % 10 != 0)
            pool.release(handles.at(i));
    }
    qint64 live = 0;
    for (int i = 0; i < 200; i += 10) {
        const QByteArray text = QByteArray(50000, char('a' + i % 26)) + QByteArray::number(i);
        QCOMPARE(pool.view(handles.at(i)), text);
        live += text.size();
    }
    QCOMPARE(pool.size(), live);
}

QTEST_GUILESS_MAIN(TestTextPool)
#include "tst_textpool.moc"
