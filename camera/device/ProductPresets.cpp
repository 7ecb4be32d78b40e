#include "camera/device/ProductPresets.h"

#include "camera/device/GainTables.h"

#include <cstdint>

namespace {

const int kKeep = INT32_MIN;          // leave the value as it was
const int kRegisterMin = INT32_MIN + 1;  // the default gain is the gain-register minimum

constexpr const auto& kG1 = kGainG1;
constexpr const auto& kG2 = kGainG2;
constexpr const auto& kG3 = kGainG3;
constexpr const auto& kG4 = kGainG4;
constexpr const auto& kG5 = kGainG5;
constexpr const auto& kG6 = kGainG6;
constexpr const auto& kG7 = kGainG7;

struct GainTable {
    const int* values;
    int count;
};
#define GAIN(t) GainTable{t, int(sizeof t / sizeof t[0])}

constexpr uint32_t Flags() { return 0; }
template <typename... More>
constexpr uint32_t Flags(int first, More... more) { return (1u << first) | Flags(more...); }

enum Vendor { ANY_VENDOR, VENDOR_EBA1, NOT_VENDOR_EBA1 };

enum Extra : uint32_t {
    CLEAR_ENHANCEMENT = 1,     // colour enhancement 0
    FRAME_SPEED_1 = 2,
    MINOR_BLOCK = 4,           // the small picture ranges of the third family
    SATURATION_63 = 8,         // saturation 0-63 and range4's last value 63
    CONVERTED_SATURATION_8 = 16,
};

struct PresetRow {
    int products[5];
    Vendor vendor;
    GainTable gains;
    int registerMin, registerMax;
    int defaultGain;
    int factorMin, factorMax;
    int wb[3];
    int maxExposure;
    int mode;
    bool exposureTable;
    uint32_t flagsOff, flagsOn;
    uint32_t extras;
    const wchar_t* extraResolution;
    int hdA, hdB, hdC, hdP;     // HD block (a, b, c) and HD defaults (p); hdC 0: none
};

const int K = kKeep;

const PresetRow kZedOdirRows[] = {
    {{0xC00C}, ANY_VENDOR, GAIN(kG1), 1, 214, 20, 1, 7, {97, 64, 59}, 3000, 2, false, 0, 0, CLEAR_ENHANCEMENT, nullptr, 0, 0, 0, 0},
    {{0x2851, 0x3851, 0xA003, 0xA803, 0xC003}, ANY_VENDOR, GAIN(kG1), 1, 154, 25, 1, 7, {97, 64, 59}, 3000, 2, false, 0, 0, CLEAR_ENHANCEMENT, nullptr, 0, 0, 0, 0},
    {{0x3841, 0xA004, 0xA804, 0xC004}, ANY_VENDOR, GAIN(kG2), 1, 80, 7, K, K, {132, 64, 82}, 3072, 3, false, 0, 0, CLEAR_ENHANCEMENT, nullptr, 0, 0, 0, 0},
    {{0xA006, 0xA806}, ANY_VENDOR, GAIN(kG2), 6, 80, K, K, K, {K, K, K}, 2048, 2, false, Flags(4, 5, 6, 8), 0, 0, nullptr, 0, 0, 0, 0},
    {{0xA007, 0xA807, 0xC007}, ANY_VENDOR, GAIN(kG2), 1, 80, 7, K, K, {68, 64, 76}, 3072, 2, false, 0, 0, CLEAR_ENHANCEMENT, nullptr, 0, 0, 0, 0},
    {{0xA008}, ANY_VENDOR, GAIN(kG2), 1, 80, 35, K, K, {68, 64, 76}, 2048, 2, false, 0, 0, 0, nullptr, 0, 0, 0, 0},
    {{0xA00B, 0xA80B}, ANY_VENDOR, GAIN(kG2), 1, 80, K, K, K, {K, K, K}, 2048, 2, false, Flags(4, 5, 6, 8), 0, 0, nullptr, 0, 0, 0, 0},
    {{0x8404, 0xE004}, ANY_VENDOR, GAIN(kG3), 80, 1023, 80, 1, 1023, {K, K, K}, K, K, true, Flags(2, 4, 5, 6, 8, 11), Flags(1, 7, 10, 17), 0, nullptr, 0, 0, 0, 0},
    {{0x8C04, 0xE008}, ANY_VENDOR, GAIN(kG3), 216, 570, 216, 1, 1023, {102, 64, 73}, K, K, true, Flags(2), Flags(1, 7, 10, 17), 0, nullptr, 0, 0, 0, 0},
    {{0x8406, 0xE006}, ANY_VENDOR, GAIN(kG4), 83, 1023, 83, 83, 1023, {K, K, K}, K, K, true, Flags(2, 4, 5, 6, 8, 11), Flags(1, 7, 9, 10, 17), 0, nullptr, 0, 0, 0, 0},
    {{0x8C09, 0xE009}, ANY_VENDOR, GAIN(kG4), 83, 1024, 83, 83, 1023, {102, 64, 73}, K, K, true, Flags(2), Flags(1, 7, 10, 17), 0, nullptr, 0, 0, 0, 0},
    {{0xE00B}, ANY_VENDOR, GAIN(kG5), 83, 1023, 83, 83, 1023, {K, K, K}, K, K, true, Flags(2, 4, 5, 6, 8, 11), Flags(1, 7, 9, 10, 17), 0, nullptr, 0, 0, 0, 0},
    {{0x840A, 0x840C, 0xE00A, 0xE00C}, ANY_VENDOR, GAIN(kG5), 83, 1023, 83, 83, 1023, {K, K, K}, K, K, true, Flags(4, 5, 6, 8, 11), Flags(1, 2, 7, 9, 10, 13, 17), 0, nullptr, 0, 0, 0, 0},
    {{0x8C0C, 0xE80C}, ANY_VENDOR, GAIN(kG5), 256, 1023, 256, 256, 1023, {107, 64, 79}, K, K, true, 0, Flags(1, 2, 5, 7, 9, 10, 11, 13, 17), 0, nullptr, 0, 0, 0, 0},
    {{0x8C01, 0xE001}, ANY_VENDOR, GAIN(kG6), 170, 600, 170, 1, 1023, {82, 64, 84}, 1040, 2, true, 0, Flags(1, 2, 7, 9, 10, 17), FRAME_SPEED_1 | CLEAR_ENHANCEMENT, nullptr, 0, 0, 0, 0},
    {{0xA005}, ANY_VENDOR, GAIN(kG7), 1, 120, 1, 1, 6, {64, 64, 69}, 21600, 2, true, 0, Flags(1, 7, 10, 17, 21), CLEAR_ENHANCEMENT, L"2544X2032", 0, 0, 0, 0},
    {{0xA00A}, ANY_VENDOR, GAIN(kG7), 1, 120, 1, 1, 6, {K, K, K}, 21600, 2, true, Flags(4, 5, 6, 8, 11), Flags(1, 7, 10, 17, 21), 0, L"2544X2032", 0, 0, 0, 0},
    {{0xA009}, ANY_VENDOR, GAIN(kG7), 1, 120, 1, 1, 6, {64, 64, 69}, 21600, 2, true, 0, Flags(1, 7, 10, 17, 21), CLEAR_ENHANCEMENT, L"4080X3056", 0, 0, 0, 0},
    {{0x6400, 0x6401}, ANY_VENDOR, GAIN(kG2), 6, 80, K, K, K, {K, K, K}, 2048, 2, false, Flags(4, 5, 6, 8), Flags(1, 7), 0, nullptr, 0, 0, 0, 0},
    {{0x7585}, NOT_VENDOR_EBA1, GAIN(kG7), 1, 100, 1, 1, 6, {50, 50, 50}, 21600, 2, false, Flags(1, 5, 7, 9, 17), Flags(2, 3), MINOR_BLOCK | CONVERTED_SATURATION_8, nullptr, 0, 0, 0, 0},
    {{0x7584, 0x7587, 0x7588}, ANY_VENDOR, GAIN(kG7), 1, 100, 1, 1, 6, {124, 64, 90}, 21600, 2, false, Flags(2), Flags(21), 0, nullptr, 1, 1, 100, 8},
    {{0x7585}, VENDOR_EBA1, GAIN(kG7), 1, 100, kRegisterMin, 1, 6, {124, 64, 90}, 21600, 2, false, Flags(2, 21), 0, 0, nullptr, 1, 1, 100, 8},
    {{0x7586}, ANY_VENDOR, GAIN(kG7), 1, 100, kRegisterMin, 1, 6, {124, 64, 90}, 21600, 2, false, Flags(21), Flags(2), 0, nullptr, 0, 1, 100, 8},
    {{0x2902, 0x2A01}, ANY_VENDOR, GAIN(kG7), 1, 100, kRegisterMin, 1, 6, {123, 64, 109}, 21600, 2, false, Flags(21), Flags(2), 0, nullptr, 0, 1, 100, 7},
    {{0x2901}, ANY_VENDOR, GAIN(kG7), 1, 8, kRegisterMin, 1, 6, {123, 64, 109}, 21600, 2, false, Flags(6, 21), Flags(2), SATURATION_63, nullptr, 0, 0, 8, 39},
};

// Shared by the ZuzIrazo presets M1-M3 and the second family's 0x2A01 preset.
const PresetRow kMinorBase = {{0}, ANY_VENDOR, GAIN(kG7), 1, 128, 1, 1, 6, {50, 50, 50}, 21600, 2, false,
                              Flags(2, 5, 17, 1, 7), Flags(3), MINOR_BLOCK, nullptr, 0, 0, 0, 0};

void SetFlags(CameraParamInfo& info, uint32_t mask, int value)
{
    for (int n = 1; n <= FEATURE_FLAG_COUNT; ++n)
        if (mask & (1u << n))
            info.featureFlags[n - 1] = value;
}

void ApplyRow(const PresetRow& row, CProductPresets::Target t)
{
    CameraParamInfo& info = t.info;
    CameraCurParam& last = t.last;
    // A preset applied twice must not grow the tables: start from the constructed entry.
    t.gainTable.assign(1, 1);
    t.gainTable.insert(t.gainTable.end(), row.gains.values, row.gains.values + row.gains.count);
    info.gainStepMin = 1;
    info.gainStepMax = row.gains.count;
    info.gainRegisterMin = row.registerMin;
    info.gainRegisterMax = row.registerMax;
    if (row.defaultGain == kRegisterMin)
        last.gain = info.gainRegisterMin;
    else if (row.defaultGain != kKeep)
        last.gain = row.defaultGain;
    if (row.factorMin != kKeep) {
        info.gainFactorMin = row.factorMin;
        info.gainFactorMax = row.factorMax;
    }
    if (row.wb[0] != kKeep) {
        last.defaultRedGain = row.wb[0];
        last.defaultGreenGain = row.wb[1];
        last.defaultBlueGain = row.wb[2];
    }
    if (row.maxExposure != kKeep)
        info.maxExposure = row.maxExposure;
    if (row.mode != kKeep)
        last.modeByte = BYTE(row.mode);
    if (row.exposureTable) {
        t.exposureTable.assign(1, 1);
        t.exposureTable.insert(t.exposureTable.end(), CProductPresets::kExposureTable,
                               CProductPresets::kExposureTable + 100);
        info.exposureStepMin = 1;
        info.exposureStepMax = 100;
    }
    if (row.hdC) {
        SetFlags(info, Flags(1, 5, 7, 17), 0);
        SetFlags(info, Flags(3), 1);
        SetFlags(info, Flags(9), row.hdA);
        SetFlags(info, Flags(18, 19), row.hdB);
        info.aeTargetMin = 0;
        info.aeTargetMax = 15;
        info.gainRegisterMin = 1;
        info.gainRegisterMax = row.hdC;
        info.range3[0] = 0; info.range3[1] = 63; info.range3[2] = 0;
        info.range4[0] = 15; info.range4[1] = 0; info.range4[2] = 15;
        info.redGainMin = info.greenGainMin = info.blueGainMin = 0;
        info.redGainMax = info.greenGainMax = info.blueGainMax = 99;
        info.gammaMin = 0; info.gammaMax = 63;
        info.contrastMin = 0; info.contrastMax = 15;
        info.saturationMin = 0; info.saturationMax = 15;
        // HD defaults (p).
        last.gammaValue = 28; last.contrastValue = 8; last.saturationValue = 8;
        last.gamma = 28; last.contrast = 8; last.saturation = row.hdP;
        last.redGain = 21; last.greenGain = 50; last.blueGain = 28;
        last.aeTarget = 12;
        last.denoise = 5;
        last.sharpness = 3;   // field 38
        info.gainFactorMin = 1;
        info.maxExposure = 21600;
        last.modeByte = 2;
        if (row.defaultGain == kRegisterMin)
            last.gain = info.gainRegisterMin;
    }
    if (row.extras & MINOR_BLOCK) {
        info.aeTargetMin = 0;
        info.aeTargetMax = 15;
        info.range3[0] = 0; info.range3[1] = 3; info.range3[2] = 0;
        info.range4[0] = 15; info.range4[1] = 0; info.range4[2] = 15;
        info.redGainMin = info.greenGainMin = info.blueGainMin = 0;
        info.redGainMax = info.greenGainMax = info.blueGainMax = 99;
        info.gammaMin = 0; info.gammaMax = 3;
        info.contrastMin = 0; info.contrastMax = 15;
        info.saturationMin = 0; info.saturationMax = 15;
    }
    if (row.extras & SATURATION_63) {
        info.saturationMax = 63;
        info.range4[2] = 63;
    }
    if (row.extras & CONVERTED_SATURATION_8)
        last.saturationValue = 8;
    if (row.extras & CLEAR_ENHANCEMENT)
        last.colorEnhancement = 0;
    if (row.extras & FRAME_SPEED_1)
        last.HDFrameSpeed = 1;
    if (row.extraResolution)
        info.extraResolutionName = reinterpret_cast<LPCWSTR>(row.extraResolution);
    SetFlags(info, row.flagsOff, 0);
    SetFlags(info, row.flagsOn, 1);
}

}  // namespace

const int CProductPresets::kExposureTable[100] = {
    1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21,
    24, 28, 33, 39, 45, 53, 61, 71, 83, 97, 113, 132, 154, 179, 209, 244, 284, 331, 386,
    449, 524, 610, 711, 828, 965, 1124, 1310, 1526, 1778, 2071, 2413, 2811, 3275, 3815,
    4445, 5179, 6033, 7029, 8188, 9540, 11114, 12948, 15084, 17573, 20473, 23851, 27786,
    32371, 37712, 43935, 51184, 59630, 69469, 80931, 94285, 109842, 127966, 149080,
    173678, 202335, 235721, 274615, 319926, 372714, 434212, 505857, 589324, 686562,
    799845, 931819, 1085570, 1264689, 1473363, 1716467, 1999684, 2329632, 2714022,
    3161835, 3599999,
};

bool CProductPresets::ApplyZedOdir(int productId, int vendorId, Target target)
{
    for (const PresetRow& row : kZedOdirRows) {
        if (row.vendor == VENDOR_EBA1 && vendorId != 0xEBA1)
            continue;
        if (row.vendor == NOT_VENDOR_EBA1 && vendorId == 0xEBA1)
            continue;
        for (int p : row.products) {
            if (p && p == productId) {
                ApplyRow(row, target);
                return true;
            }
        }
    }
    return false;
}

void CProductPresets::ApplyMinor(MinorPreset preset, Target target)
{
    ApplyRow(kMinorBase, target);
    CameraParamInfo& info = target.info;
    info.featureFlags[21 - 1] = preset == MINOR_M1 ? 1 : 0;
    info.featureFlags[9 - 1] = preset == MINOR_M3 ? 1 : 0;
    if (preset == MINOR_M1)
        info.extraResolutionName = L"3264X1836";
}

void CProductPresets::ApplyCoreB2A01(Target target)
{
    ApplyRow(kMinorBase, target);
    target.info.featureFlags[9 - 1] = 0;
}
