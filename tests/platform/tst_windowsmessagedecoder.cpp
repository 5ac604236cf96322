#include "platform/windowsmessagedecoder.h"

#include <QtTest>

#include <cstdint>

using Decoder = WindowsMessageDecoder;

namespace {

// One raw-input record: "k" keyboard / "m" mouse, the make code and whether it is a release.
struct Record
{
    std::uint32_t type;
    std::uint16_t makeCode;
    std::uint16_t flags;
};

constexpr std::uint16_t E0Flag = 0x02; // RI_KEY_E0: the key sent an E0 prefix
constexpr std::uint32_t RimTypeMouse = 0;

Record aiMake(std::uint16_t extraFlags = 0)
{
    return {Decoder::RimTypeKeyboard, Decoder::AiKeyMakeCode, extraFlags};
}

Record aiBreak()
{
    return {Decoder::RimTypeKeyboard, Decoder::AiKeyMakeCode, Decoder::KeyBreakFlag};
}

Record otherKey(std::uint16_t flags = 0)
{
    return {Decoder::RimTypeKeyboard, 0x1E, flags}; // "A"
}

} // namespace

Q_DECLARE_METATYPE(QVector<Record>)

class TestWindowsMessageDecoder : public QObject
{
    Q_OBJECT

private slots:
    void aiKeyPresses_data();
    void aiKeyPresses();
    void sysCommand_data();
    void sysCommand();
};

void TestWindowsMessageDecoder::aiKeyPresses_data()
{
    QTest::addColumn<QVector<Record>>("records");
    QTest::addColumn<QVector<bool>>("presses");

    QTest::newRow("press") << QVector<Record> {aiMake()} << QVector<bool> {true};
    QTest::newRow("press and release")
        << QVector<Record> {aiMake(), aiBreak()} << QVector<bool> {true, false};
    QTest::newRow("release alone") << QVector<Record> {aiBreak()} << QVector<bool> {false};
    QTest::newRow("held: auto-repeat makes")
        << QVector<Record> {aiMake(), aiMake(), aiMake(), aiMake(), aiBreak()}
        << QVector<bool> {true, false, false, false, false};
    QTest::newRow("two presses") << QVector<Record> {aiMake(), aiBreak(), aiMake(), aiBreak()}
                                 << QVector<bool> {true, false, true, false};
    QTest::newRow("other keys while held")
        << QVector<Record> {aiMake(), otherKey(), otherKey(Decoder::KeyBreakFlag), aiMake()}
        << QVector<bool> {true, false, false, false};
    QTest::newRow("other key's release does not end the hold")
        << QVector<Record> {aiMake(), otherKey(Decoder::KeyBreakFlag), aiMake(), aiBreak(),
                            aiMake()}
        << QVector<bool> {true, false, false, false, true};
    QTest::newRow("other key") << QVector<Record> {otherKey(), otherKey(Decoder::KeyBreakFlag)}
                               << QVector<bool> {false, false};
    QTest::newRow("mouse record with the same number")
        << QVector<Record> {{RimTypeMouse, Decoder::AiKeyMakeCode, 0}} << QVector<bool> {false};
    QTest::newRow("E0-prefixed make counts like the plain one")
        << QVector<Record> {aiMake(E0Flag),
                            {Decoder::RimTypeKeyboard, Decoder::AiKeyMakeCode,
                             std::uint16_t(E0Flag | Decoder::KeyBreakFlag)}}
        << QVector<bool> {true, false};
}

void TestWindowsMessageDecoder::aiKeyPresses()
{
    QFETCH(QVector<Record>, records);
    QFETCH(QVector<bool>, presses);
    Decoder::KeyState state;
    QVector<bool> seen;
    for (const Record& record : records)
        seen.append(Decoder::isAiKeyPress(record.type, record.makeCode, record.flags, state));
    QCOMPARE(seen, presses);
}

void TestWindowsMessageDecoder::sysCommand_data()
{
    QTest::addColumn<quint64>("wParam");
    QTest::addColumn<bool>("toggle");

    QTest::newRow("SC_MINIMIZE") << quint64(0xF020) << true;
    QTest::newRow("SC_RESTORE") << quint64(0xF120) << true;
    // The system uses the low four bits itself (e.g. a command from the title-bar icon).
    QTest::newRow("SC_MINIMIZE with low bits") << quint64(0xF022) << true;
    QTest::newRow("SC_RESTORE with low bits") << quint64(0xF12F) << true;
    QTest::newRow("SC_MAXIMIZE") << quint64(0xF030) << false;
    QTest::newRow("SC_CLOSE") << quint64(0xF060) << false;
    QTest::newRow("SC_MOVE") << quint64(0xF010) << false;
    QTest::newRow("SC_SIZE") << quint64(0xF000) << false;
    // Clearing only bit 0x100 would take these for minimise.
    QTest::newRow("SC_MINIMIZE | 0x100 is not SC_RESTORE") << quint64(0xF100) << false;
    QTest::newRow("SC_MOUSEMENU") << quint64(0xF090) << false;
    QTest::newRow("zero") << quint64(0) << false;
}

void TestWindowsMessageDecoder::sysCommand()
{
    QFETCH(quint64, wParam);
    QFETCH(bool, toggle);
    QCOMPARE(Decoder::isMinimiseRestoreToggle(std::uintptr_t(wParam)), toggle);
}

QTEST_GUILESS_MAIN(TestWindowsMessageDecoder)
#include "tst_windowsmessagedecoder.moc"
