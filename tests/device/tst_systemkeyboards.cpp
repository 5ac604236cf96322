#include "support/fakesysfs.h"

#include "platform/hidkeyboardrules.h"
#include "platform/systemkeyboards.h"
#ifdef Q_OS_LINUX
#include "platform/linux/sysfsinputdevice.h"
#endif

#include <QtTest>

using Bus = FakeSysfs::Bus;
using Range = HidKeyboardRules::ButtonRange;

Q_DECLARE_METATYPE(FakeSysfs::Bus)
Q_DECLARE_METATYPE(HidKeyboardRules::ButtonRange)

// The system's keyboards with the AI key: the kernel's sysfs on Linux (a fake tree here), and
// the rules of the Windows listing, which run anywhere.
class TestSystemKeyboards : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void aiKeyboardsOnly_data();
    void aiKeyboardsOnly();
    void describesTheKeyboard();
    void oneEntryPerKeyboard();
    void registrationOrder();
    void findWhileConnected();
    void bitmaps_data();
    void bitmaps();

    void hidAiKey_data();
    void hidAiKey();
    void hidConnection_data();
    void hidConnection();
    void hidPhysicalKey();

private:
    std::unique_ptr<FakeSysfs> sysfs;
};

void TestSystemKeyboards::init()
{
#ifndef Q_OS_LINUX
    QSKIP("sysfs is read on Linux only");
#endif
    sysfs = std::make_unique<FakeSysfs>();
    QVERIFY(sysfs->isValid());
    qputenv("LUMORA_SYSFS_ROOT", sysfs->root().toUtf8());
}

void TestSystemKeyboards::cleanup()
{
    qunsetenv("LUMORA_SYSFS_ROOT");
    sysfs.reset();
}

void TestSystemKeyboards::aiKeyboardsOnly_data()
{
    QTest::addColumn<Bus>("bus");
    QTest::addColumn<bool>("aiKey");
    QTest::addColumn<bool>("keyEvents");
    QTest::addColumn<QString>("usbProduct");
    QTest::addColumn<QString>("connectType"); // empty: not listed
    QTest::newRow("usb with F20") << Bus::Usb << true << true << QString() << "wired";
    QTest::newRow("usb without F20") << Bus::Usb << false << true << QString() << QString();
    QTest::newRow("no key events") << Bus::Usb << true << false << QString() << QString();
    QTest::newRow("bluetooth") << Bus::Bluetooth << true << true << QString() << "ble";
    QTest::newRow("behind a receiver") << Bus::Receiver << true << true << QString() << "wireless";
    QTest::newRow("receiver by its name")
        << Bus::Usb << true << true << QStringLiteral("Orvik 2.4G Receiver") << "wireless";
    QTest::newRow("laptop keyboard") << Bus::Internal << true << true << QString() << QString();
}

void TestSystemKeyboards::aiKeyboardsOnly()
{
    QFETCH(Bus, bus);
    QFETCH(bool, aiKey);
    QFETCH(bool, keyEvents);
    QFETCH(QString, usbProduct);
    QFETCH(QString, connectType);
    FakeSysfs::Keyboard keyboard;
    keyboard.name = QStringLiteral("Orvik Z19 AI");
    keyboard.serial = QStringLiteral("SN-1");
    keyboard.bus = bus;
    keyboard.aiKey = aiKey;
    keyboard.keyEvents = keyEvents;
    keyboard.usbProduct = usbProduct;
    sysfs->plug(keyboard);
    const QList<SystemKeyboards::Keyboard> listed = SystemKeyboards::list();
    QCOMPARE(listed.size(), connectType.isEmpty() ? 0 : 1);
    if (listed.isEmpty())
        return;
    QCOMPARE(listed.first().connectType, connectType);
    QCOMPARE(listed.first().serial, QStringLiteral("SN-1"));
}

void TestSystemKeyboards::describesTheKeyboard()
{
    FakeSysfs::Keyboard plain;
    plain.name = QStringLiteral("Plain keyboard");
    plain.aiKey = false;
    sysfs->plug(plain);
    FakeSysfs::Keyboard ai;
    ai.name = QStringLiteral("Orvik Z19");
    ai.serial = QStringLiteral("0123ABC");
    const QString input = sysfs->plug(ai);
    const QList<SystemKeyboards::Keyboard> listed = SystemKeyboards::list();
    QCOMPARE(listed.size(), 1);
    const SystemKeyboards::Keyboard& keyboard = listed.first();
    QCOMPARE(keyboard.path, input);
    QCOMPARE(keyboard.name, QStringLiteral("Orvik Z19"));
    QCOMPARE(keyboard.vid, QStringLiteral("0x3151"));
    QCOMPARE(keyboard.pid, QStringLiteral("0x4011"));
    QCOMPARE(keyboard.serial, QStringLiteral("0123ABC"));
    QCOMPARE(keyboard.reportPath,
             QStringLiteral("/dev/input/event") + QFileInfo(input).fileName().mid(5));
}

// A keyboard with several interfaces shows several input devices; it is one keyboard.
void TestSystemKeyboards::oneEntryPerKeyboard()
{
    FakeSysfs::Keyboard keyboard;
    keyboard.name = QStringLiteral("Orvik Z46 AI");
    keyboard.serial = QStringLiteral("TWO");
    keyboard.interfaces = 2;
    const QString first = sysfs->plug(keyboard);
    keyboard.serial = QStringLiteral("OTHER");
    keyboard.interfaces = 1;
    sysfs->plug(keyboard);
    const QList<SystemKeyboards::Keyboard> listed = SystemKeyboards::list();
    QCOMPARE(listed.size(), 2);
    QCOMPARE(listed.first().path, first);
    QCOMPARE(listed.last().serial, QStringLiteral("OTHER"));
}

// input10 came after input9: the kernel's numbers, not the names' order.
void TestSystemKeyboards::registrationOrder()
{
    FakeSysfs::Keyboard keyboard;
    keyboard.name = QStringLiteral("K");
    QStringList serials;
    for (int i = 0; i < 9; ++i) {
        keyboard.serial = QStringLiteral("S%1").arg(i);
        serials << keyboard.serial;
        sysfs->plug(keyboard);
    }
    QStringList listed;
    for (const SystemKeyboards::Keyboard& entry : SystemKeyboards::list())
        listed << entry.serial;
    QCOMPARE(listed, serials);
}

void TestSystemKeyboards::findWhileConnected()
{
    FakeSysfs::Keyboard keyboard;
    keyboard.name = QStringLiteral("Orvik Z19 AI");
    keyboard.serial = QStringLiteral("GONE");
    const QString input = sysfs->plug(keyboard);
    QVERIFY(SystemKeyboards::find(input).has_value());
    QCOMPARE(SystemKeyboards::find(input)->serial, QStringLiteral("GONE"));
    QVERIFY(!SystemKeyboards::find(input + QStringLiteral("x")).has_value());
    sysfs->unplug(input);
    QVERIFY(!SystemKeyboards::find(input).has_value());
    QVERIFY(SystemKeyboards::list().isEmpty());
}

void TestSystemKeyboards::bitmaps_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("bit");
    QTest::addColumn<int>("wordBits");
    QTest::addColumn<bool>("set");
    const QByteArray f20 = FakeSysfs::bitmap({1, 30, 190});
    QTest::newRow("F20, 64-bit words") << f20 << 190 << 64 << true;
    QTest::newRow("first word") << f20 << 30 << 64 << true;
    QTest::newRow("unset bit") << f20 << 189 << 64 << false;
    QTest::newRow("beyond the words") << f20 << 400 << 64 << false;
    QTest::newRow("F20, 32-bit words") << FakeSysfs::bitmap({1, 190}, 32) << 190 << 32 << true;
    QTest::newRow("32-bit text read as 64-bit")
        << FakeSysfs::bitmap({190}, 32) << 190 << 64 << false;
    QTest::newRow("a keyboard of a real kernel")
        << QByteArray("1000000000007 ff9f207ac14057ff febeffdfffefffff fffffffffffffffe") << 190
        << 64 << true;
    QTest::newRow("empty") << QByteArray() << 0 << 64 << false;
    QTest::newRow("zero") << QByteArray("0\n") << 0 << 64 << false;
    QTest::newRow("not hex") << QByteArray("zz 1") << 64 << 64 << false;
    QTest::newRow("negative bit") << QByteArray("1") << -1 << 64 << false;
}

void TestSystemKeyboards::bitmaps()
{
#ifdef Q_OS_LINUX
    QFETCH(QByteArray, text);
    QFETCH(int, bit);
    QFETCH(int, wordBits);
    QFETCH(bool, set);
    QCOMPARE(SysfsInputDevice::bitmapHas(text, bit, wordBits), set);
#endif
}

void TestSystemKeyboards::hidAiKey_data()
{
    QTest::addColumn<QVector<Range>>("buttons");
    QTest::addColumn<bool>("aiKey");
    QTest::newRow("none") << QVector<Range> {} << false;
    QTest::newRow("keyboard page 0-0xff") << QVector<Range> {{0x07, 0x00, 0xff}} << true;
    QTest::newRow("boot keyboard 0-0x65") << QVector<Range> {{0x07, 0x00, 0x65}} << false;
    QTest::newRow("modifiers and F20 alone")
        << QVector<Range> {{0x07, 0xe0, 0xe7}, {0x07, 0x6f, 0x6f}} << true;
    QTest::newRow("F20's number on the consumer page")
        << QVector<Range> {{0x0c, 0x00, 0xff}} << false;
    QTest::newRow("range ends at F20") << QVector<Range> {{0x07, 0x68, 0x6f}} << true;
    QTest::newRow("range starts after F20") << QVector<Range> {{0x07, 0x70, 0x73}} << false;
}

void TestSystemKeyboards::hidAiKey()
{
    QFETCH(QVector<Range>, buttons);
    QFETCH(bool, aiKey);
    const std::vector<Range> ranges(buttons.begin(), buttons.end());
    QCOMPARE(HidKeyboardRules::hasAiKey(ranges), aiKey);
    QVERIFY(HidKeyboardRules::isKeyboardCollection(0x01, 0x06));
    QVERIFY(!HidKeyboardRules::isKeyboardCollection(0x01, 0x02)); // a mouse
    QVERIFY(!HidKeyboardRules::isKeyboardCollection(0x0c, 0x01)); // consumer control
}

void TestSystemKeyboards::hidConnection_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("connectType");
    QTest::newRow("usb") << QStringLiteral(
        R"(\\?\hid#vid_3151&pid_4011&mi_00#7&2a1b3c4d&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030})")
                         << "wired";
    QTest::newRow("bluetooth classic") << QStringLiteral(
        R"(\\?\HID#{00001124-0000-1000-8000-00805F9B34FB}_VID&00023151_PID&4011&Col01#8&1&0#{4d1e55b2-f16f-11cf-88cb-001111000030})")
                                       << "ble";
    QTest::newRow("bluetooth low energy") << QStringLiteral(
        R"(\\?\hid#{00001812-0000-1000-8000-00805f9b34fb}_dev_vid&023151_pid&4011_rev&0001#9&1&0000#{4d1e55b2-f16f-11cf-88cb-001111000030})")
                                          << "ble";
    QTest::newRow("empty") << QString() << "wired";
}

void TestSystemKeyboards::hidConnection()
{
    QFETCH(QString, path);
    QFETCH(QString, connectType);
    QCOMPARE(QString::fromStdString(HidKeyboardRules::connectType(path.toStdWString())),
             connectType);
}

// Collections of one keyboard share ids and serial; without a serial, each counts alone.
void TestSystemKeyboards::hidPhysicalKey()
{
    const std::wstring a = LR"(\\?\hid#vid_3151&pid_4011&mi_00#x)";
    const std::wstring b = LR"(\\?\hid#vid_3151&pid_4011&mi_01&col01#y)";
    QVERIFY(HidKeyboardRules::physicalKey(0x3151, 0x4011, L"SN", a)
            == HidKeyboardRules::physicalKey(0x3151, 0x4011, L"SN", b));
    QVERIFY(HidKeyboardRules::physicalKey(0x3151, 0x4011, L"SN", a)
            != HidKeyboardRules::physicalKey(0x3151, 0x4011, L"SN2", a));
    QVERIFY(HidKeyboardRules::physicalKey(0x3151, 0x4011, L"", a)
            != HidKeyboardRules::physicalKey(0x3151, 0x4011, L"", b));
    QCOMPARE(QString::fromStdString(HidKeyboardRules::idText(0x3151)), QStringLiteral("0x3151"));
    QCOMPARE(QString::fromStdString(HidKeyboardRules::idText(0xABC)), QStringLiteral("0x0abc"));
}

QTEST_GUILESS_MAIN(TestSystemKeyboards)
#include "tst_systemkeyboards.moc"
