#include "OutputDevice.h"

bool OutputDevice::supports(double rate) const
{
    for (const SampleRateRange &range : availableSampleRates) {
        if (range.minimum <= rate && range.maximum >= rate)
            return true;
    }
    return false;
}
