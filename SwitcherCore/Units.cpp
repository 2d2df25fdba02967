#include "Units.h"

#include <cmath>

namespace Units {

double roundHalfAwayFromZero(double value)
{
    return std::round(value); // std::round already takes halves away from zero
}

QString kHz(const Bundle &bundle, double hz)
{
    const double tenths = roundHalfAwayFromZero(hz / 100.0);
    const double khz = tenths / 10.0;
    const bool whole = std::fmod(tenths, 10.0) == 0.0;
    return bundle.numberLocale().toString(khz, 'f', whole ? 0 : 1) + QStringLiteral(" kHz");
}

QString seconds(const Bundle &bundle, double seconds)
{
    return bundle.numberLocale().toString(seconds, 'f', 1) + QStringLiteral(" s");
}

QString ms(qint64 milliseconds)
{
    return QString::number(milliseconds) + QStringLiteral(" ms");
}

} // namespace Units
