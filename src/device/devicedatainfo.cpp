#include "device/devicedatainfo.h"

bool DeviceDataInfo::operator==(const DeviceDataInfo& other) const
{
    return pid == other.pid && vid == other.vid && devicePath == other.devicePath
        && deviceReportPath == other.deviceReportPath && deviceName == other.deviceName
        && deviceType == other.deviceType && connectType == other.connectType
        && connectState == other.connectState && batteryValue == other.batteryValue
        && imageSource == other.imageSource && typeImageSource == other.typeImageSource
        && isOpen == other.isOpen && batteryStatus == other.batteryStatus;
}
