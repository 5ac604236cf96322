#pragma once

#include <QMap>
#include <QObject>
#include <QString>
#include <QVariant>
#include <QVariantMap>

// One device of the keyboard maker's library. It learns which device it is at openDevice();
// the open's success arrives later as emitOpenDeviceSucceed(), possibly from a thread of the
// library's own, so receivers connect with automatic connections. The maker's own library is
// not available: DeviceFactory hands out our implementations (SystemDevice for the system's
// keyboards, SimulatedDevice for the simulator). This base opens nothing.
class BaseDevice : public QObject
{
    Q_OBJECT

public:
    explicit BaseDevice(const QString& name, const QString& connectType, QObject* parent = nullptr);
    ~BaseDevice() override;

    // Called once, after the open succeeded; only a started device reports key presses and
    // status changes.
    virtual void startDevice();

    // Starts opening the device; the result says only whether the request was taken.
    bool openDevice(const QString& path, const QString& reportPath);

    // "DeviceName" holds the product's name; it contains "AI" for a keyboard with the AI key.
    virtual QVariantMap getDeviceDetails();

    // Asks a wireless device to report its battery again (emitCustomChange).
    virtual void refreshStatus();

    // {"DataMap": {"sn": serial number}}.
    virtual QVariantMap getAiKeyData();

    QString name() const;
    QString connectType() const;

signals:
    void emitOpenDeviceSucceed();
    void emitAiKeyPressed(QString sn);
    // "BatStatus" (int) and "Electricity" (text) among the changed values.
    void emitCustomChange(QMap<QString, QVariant> values);

protected:
    virtual bool open(const QString& path, const QString& reportPath);
    static QVariantMap aiKeyData(const QString& sn);

private:
    QString productName;
    QString connection;
};
