// CProductPresets: tunes a library camera to its product, chosen by the USB product id
// of its camera-list entry: the gain table, for some products the exposure table,
// ranges, defaults and the per-product switches. Table-driven; the device classes
// hand in their blocks and tables.
#pragma once

#include "camera/device/CameraDevice.h"

#include <vector>

class CProductPresets {
public:
    // What a preset writes into.
    struct Target {
        CameraParamInfo& info;
        CameraCurParam& last;
        std::vector<int>& gainTable;
        std::vector<int>& exposureTable;
    };

    // The ZedOdir first-family preset of a product; false when it has none.
    static bool ApplyZedOdir(int productId, int vendorId, Target target);
    // The ZuzIrazo presets: M1 (product 0x7585), M2 (0x7584, 0x7587, 0x7588) and M3
    // (an unlisted 0x7585).
    enum MinorPreset { MINOR_M1, MINOR_M2, MINOR_M3 };
    static void ApplyMinor(MinorPreset preset, Target target);
    // The second ZedOdir family's preset of product 0x2A01.
    static void ApplyCoreB2A01(Target target);

    // The common exposure table (milliseconds), 100 entries.
    static const int kExposureTable[100];
};
