#pragma once

#include "device/devicedatainfo.h"
#include "device/devicemodel.h"

#include <QObject>
#include <QPointer>
#include <QString>

class BaseDevice;
class DeviceControlServer;
class DeviceHandler;
class LanguageManager;
class ViewHandler;

// The device integration's entry point: owns the discovery thread and the model of the
// connected devices, rebuilds the model when devices come and go, and re-emits AI-key
// presses as aiDeviceData(sn). With the simulated device library it also takes commands on the
// per-user control socket (lumora-devicectl); otherwise no such socket exists.
class DeviceListManager : public QObject
{
    Q_OBJECT
    Q_PROPERTY(DeviceModel* deviceModel READ deviceModel NOTIFY deviceModelChanged FINAL)

public:
    DeviceListManager(ViewHandler* viewHandler, LanguageManager* languageManager,
                      QObject* parent = nullptr);
    ~DeviceListManager() override;

    DeviceModel* deviceModel() const;
    DeviceHandler* deviceHandler() const;
    // Null unless the simulated device library is in use.
    DeviceControlServer* controlServer() const;

    Q_INVOKABLE void setCurrentPath(QString path);
    Q_INVOKABLE void setIsFilterDevices(bool isFilterDevices);

    // The last device whose details name an AI keyboard, or nullptr; forgotten once that
    // device is gone.
    BaseDevice* aiDevice();

    // "qrc:/Image/Icon/" + kb_/ms_ + connection + "_" (empty base for other types).
    static QString typeImageSource(int deviceType, const QString& connectType);
    // "qrc:/Image/Device/" + name + ".png".
    static QString imageSource(const QString& deviceName);

signals:
    void deviceModelChanged();
    void deviceListChanged();
    void deviceDisconnection();
    void aiDeviceData(QString sn);

public slots:
    void slotDeviceListChanged();
    void slotDeviceDataChanged(DeviceDataInfo dataInfo);

private:
    ViewHandler* viewHandler;
    LanguageManager* languageManager;
    DeviceHandler* handler = nullptr;
    DeviceControlServer* control = nullptr;
    QPointer<DeviceModel> model;
    QString currentPath;
    QPointer<BaseDevice> rememberedAiDevice;
};
