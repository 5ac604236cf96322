#include "platform/presentdevices.h"

#include "platform/win/devicecount.h"

int PresentDevices::systemCount(const QString& root)
{
    Q_UNUSED(root)
    const int count = DeviceCount::present();
    return count < 0 ? 0 : count;
}
