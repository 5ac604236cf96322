#include "device/vendor/devicelibrary.h"

#include <QString>

#include <atomic>

namespace {

// -1: not decided yet; read from the environment at the first question.
std::atomic<int> simulatedState {-1};

} // namespace

bool DeviceLibrary::isSimulated()
{
    int state = simulatedState;
    if (state < 0) {
        state = qEnvironmentVariable("LUMORA_DEVICE_SIMULATOR") == QLatin1String("1") ? 1 : 0;
        int undecided = -1;
        if (!simulatedState.compare_exchange_strong(undecided, state))
            state = simulatedState;
    }
    return state == 1;
}

void DeviceLibrary::setSimulated(bool simulated)
{
    simulatedState = simulated ? 1 : 0;
}
