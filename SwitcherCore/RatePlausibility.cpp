#include "RatePlausibility.h"

#include <cmath>

namespace RatePlausibility {

bool isPlausible(double hz)
{
    return std::isfinite(hz) && hz >= minimumHz && hz <= maximumHz;
}

} // namespace RatePlausibility
