#include "platform/win/devicecount.h"
#include "wintest.h"

// Wine lists a handful of devices of its own (the root enumerator's, display, sound...), so a
// working enumeration counts more than none, and two calls agree.
LUMORA_WIN_TEST(countsThePresentDevices)
{
    const int first = DeviceCount::present();
    CHECK(first > 0);
    CHECK(DeviceCount::present() == first);
}
