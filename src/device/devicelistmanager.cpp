#include "device/devicelistmanager.h"

#include "core/logging.h"
#include "device/devicecontrolserver.h"
#include "device/devicecontrolsocket.h"
#include "device/devicehandler.h"
#include "device/deviceinfo.h"
#include "device/devicemodel.h"
#include "device/vendor/basedevice.h"
#include "device/vendor/devicelibrary.h"

#include <QDebug>

DeviceListManager::DeviceListManager(ViewHandler* viewHandler, LanguageManager* languageManager,
                                     QObject* parent)
    : QObject(parent)
    , viewHandler(viewHandler)
    , languageManager(languageManager)
    , model(new DeviceModel)
{
    handler = new DeviceHandler;
    connect(handler, &DeviceHandler::emitDeviceListChanged, this,
            &DeviceListManager::slotDeviceListChanged);
    connect(handler, &DeviceHandler::updateDeviceDataInfo, this,
            &DeviceListManager::slotDeviceDataChanged);
    connect(handler, &DeviceHandler::reviceDeviceAIKeyPresssed, this,
            &DeviceListManager::aiDeviceData);
    handler->start(QThread::InheritPriority);
    // Plugging keyboards from outside is for the simulator only: on a user's machine no other
    // program may invent a keyboard or a serial number.
    if (!DeviceLibrary::isSimulated())
        return;
    qCInfo(lcDevice) << "Device library: the simulator";
    control = new DeviceControlServer(this);
    if (control->listen(DeviceControlSocket::serverName()))
        qCInfo(lcDevice) << "Device control socket:" << control->serverName();
}

DeviceListManager::~DeviceListManager()
{
    delete model.data();
    delete handler;
}

DeviceModel* DeviceListManager::deviceModel() const
{
    return model;
}

DeviceHandler* DeviceListManager::deviceHandler() const
{
    return handler;
}

DeviceControlServer* DeviceListManager::controlServer() const
{
    return control;
}

void DeviceListManager::setCurrentPath(QString path)
{
    currentPath = path;
}

void DeviceListManager::setIsFilterDevices(bool isFilterDevices)
{
    handler->setIsFilterDevices(isFilterDevices);
}

BaseDevice* DeviceListManager::aiDevice()
{
    for (const QPointer<DeviceInfo>& wrapper : handler->deviceInfos()) {
        BaseDevice* device = wrapper ? wrapper->device() : nullptr;
        if (!device)
            continue;
        const QString name =
            device->getDeviceDetails().value(QStringLiteral("DeviceName")).toString();
        qCDebug(lcDevice) << name;
        if (name.contains(QLatin1String("AI")))
            rememberedAiDevice = device;
    }
    // A guarded pointer: once the keyboard is unplugged and its wrapper destroyed, it reads
    // null instead of pointing at a freed device.
    return rememberedAiDevice;
}

QString DeviceListManager::typeImageSource(int deviceType, const QString& connectType)
{
    QString base;
    if (deviceType == 0)
        base = QStringLiteral("kb_") + connectType + QLatin1Char('_');
    else if (deviceType == 1)
        base = QStringLiteral("ms_") + connectType + QLatin1Char('_');
    return QStringLiteral("qrc:/Image/Icon/") + base;
}

QString DeviceListManager::imageSource(const QString& deviceName)
{
    return QStringLiteral("qrc:/Image/Device/") + deviceName + QStringLiteral(".png");
}

void DeviceListManager::slotDeviceListChanged()
{
    if (!model)
        return;
    const QList<QPointer<DeviceInfo>> wrappers = handler->deviceInfos();
    model->clearDevices();
    bool currentFound = false;
    for (const QPointer<DeviceInfo>& wrapper : wrappers) {
        if (!wrapper)
            continue;
        DeviceDataInfo record = wrapper->deviceDataInfo();
        record.typeImageSource = typeImageSource(record.deviceType, record.connectType);
        if (record.deviceType != 2)
            record.imageSource = imageSource(record.deviceName);
        wrapper->setDeviceDataInfo(record);
        model->addDevice(record);
        currentFound = currentFound || record.devicePath == currentPath;
        if (record.connectType == QLatin1String("wireless") && wrapper->device())
            wrapper->device()->refreshStatus();
    }
    qCInfo(lcDevice) << "Device list:" << model->rowCount() << "device(s)";
    if (!currentFound)
        emit deviceDisconnection();
    emit deviceListChanged();
}

void DeviceListManager::slotDeviceDataChanged(DeviceDataInfo dataInfo)
{
    if (!model)
        return;
    for (int i = 0; i < model->rowCount(); ++i) {
        if (model->get(i).value(QStringLiteral("devicePath")).toString() != dataInfo.devicePath)
            continue;
        dataInfo.typeImageSource = typeImageSource(dataInfo.deviceType, dataInfo.connectType);
        dataInfo.imageSource = imageSource(dataInfo.deviceName);
        if (!model->updateDevice(i, dataInfo))
            qCDebug(lcDevice) << "error update device data" << i
                              << "deviceName:" << dataInfo.deviceName;
    }
}
