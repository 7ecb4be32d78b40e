#include "camera/core/GainTransform.h"

#include <math.h>

int HalvedGainRegister(int reg, bool decibelScale03)
{
    // The step constants are single precision and the scales double, as the cameras'
    // tables give them; the arithmetic runs in extended precision so the floors land
    // where the cameras expect.
    const long double stepSmall = 0.0351f;
    const long double toExponent = 0.05f;
    long double decibel, factor;
    if (decibelScale03) {
        decibel = reg * static_cast<long double>(0.3);
        factor = powl(10.0L, decibel * toExponent);
        return static_cast<int>(floorl(20.0L * log10l(factor / 2.0L) * static_cast<long double>(3.3333333333333335)));
    }
    decibel = reg * stepSmall + 6.0L;
    factor = powl(10.0L, decibel * toExponent);
    return static_cast<int>(floorl((20.0L * log10l(factor / 2.0L) - 6.0L) * static_cast<long double>(28.49002849002849)));
}
