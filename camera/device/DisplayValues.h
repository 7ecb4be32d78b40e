// Device gamma, contrast and saturation to the display values the program's sliders
// show, given the device range of CameraParamInfo.  Plain arithmetic with no Win32 or
// framework dependency: the devices convert with it, and the program ranges its sliders
// with the same definitions.  wide is CameraMgrParam's mode word (1 for the ZedOdir
// and ZuzIrazo classes).
#pragma once

namespace displayvalues {

inline int ClampTo(int v, int lo, int hi)
{
    return v < lo ? lo : (v > hi ? hi : v);
}

inline int GammaFromDevice(int reg, int gammaMin, int gammaMax)
{
    const int r = ClampTo(reg, gammaMin, gammaMax);
    if (r < 0)
        return r * 4 + 100;
    return static_cast<int>(r * 2.5 + 100);
}

inline int ContrastFromDevice(int reg, int wide, int contrastMin, int contrastMax)
{
    const int r = ClampTo(reg, contrastMin, contrastMax);
    if (wide)
        return r * 6 + 128;
    return r < 0 ? r + 20 : r * 4 + 20;
}

// The sign of the value before clamping picks the scale.
inline int SaturationFromDevice(int reg, int wide, int saturationMin, int saturationMax)
{
    const int r = ClampTo(reg, saturationMin, saturationMax);
    if (wide)
        return reg > 0 ? r * 7 + 100 : r * 5 + 100;
    return r * 6 + 128;
}

}  // namespace displayvalues
