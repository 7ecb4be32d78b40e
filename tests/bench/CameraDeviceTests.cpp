// The library camera classes over the bench: product presets, resolution lists,
// frames and decoding, the exposure round trip, re-exposure, levels, mirrors and dye.
#include "BenchSupport.h"

#include "camera/device/CoreCameraA.h"
#include "camera/device/CoreCameraB.h"
#include "camera/device/CoreCameraList.h"
#include "camera/device/MinorCamera.h"

#include <cstring>

using orvbench::Bench;

namespace {


// A device class with its protected tables in reach.
template <typename Device>
struct Probe : Device {
    using Device::m_info;
    using Device::m_last;
    using Device::m_gainTable;
    using Device::m_exposureTable;
};

CameraListEntry Entry(const char* device, int vendor, int product, int index, int kind)
{
    CameraListEntry e;
    e.deviceName = FromLibraryName(device);
    e.displayName = e.deviceName;
    e.vendorId = vendor;
    e.productId = product;
    e.productIndex = index;
    e.sensorKind = BYTE(kind);
    return e;
}

std::vector<std::string> ComboTexts(HWND combo)
{
    std::vector<std::string> out;
    int n = int(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        WCHAR buf[128] = {0};
        SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buf));
        out.push_back(ToLibraryName(CString(buf)));
    }
    return out;
}

struct Combo {
    HWND hwnd = CreateWindowW(L"COMBOBOX", L"", CBS_DROPDOWNLIST, 0, 0, 100, 200,
                              nullptr, nullptr, nullptr, nullptr);
    ~Combo() { DestroyWindow(hwnd); }
};

}  // namespace

TEST(ProductPresets, ModelA005FillsTablesRangesAndExtraResolution)
{
    benchtest::LoadCameraLibrary();
    benchtest::LoadBench("camera zedodir 0547:A005 Model73.1 resolutions=320X256,160X128\n");
    Probe<CCoreCameraA> cam;
    CameraListEntry e = Entry("Model73.1", 0x0547, 0xA005, 11, 1);
    EXPECT_EQ(cam.ApplyProductPreset(&e), 1);
    EXPECT_EQ(cam.ExposureToStep(3000), 55);
    EXPECT_EQ(cam.StepToExposure(55), 3275);
    EXPECT_EQ(cam.StepToExposure(1), 1);
    EXPECT_EQ(cam.ExposureToStep(4000000), 101);   // above every entry: the table length
    EXPECT_EQ(cam.m_info.exposureStepMax, 100);
    EXPECT_EQ(cam.m_info.gainStepMax, 6);
    EXPECT_EQ(cam.StepToGain(6), 100);
    EXPECT_EQ(cam.m_info.gainRegisterMax, 120);
    EXPECT_EQ(cam.m_info.maxExposure, 21600);
    EXPECT_EQ(cam.m_info.Feature(21), 1);
    EXPECT_EQ(cam.m_info.Feature(17), 1);
    EXPECT_EQ(cam.m_last.defaultBlueGain, 69);
    EXPECT_EQ(cam.m_last.modeByte, 2);
    EXPECT_EQ(ToLibraryName(cam.m_info.deviceName), "Model73.1");
    // Applied again, the tables do not grow.
    cam.ApplyProductPreset(&e);
    EXPECT_EQ(cam.m_gainTable.size(), 7u);
    EXPECT_EQ(cam.m_exposureTable.size(), 101u);

    Combo combo;
    ASSERT_EQ(cam.FillResolutionList(combo.hwnd, 0), CAM_OK);
    std::vector<std::string> names = ComboTexts(combo.hwnd);
    ASSERT_EQ(names.size(), 3u);
    EXPECT_EQ(names[0], "320X256");
    EXPECT_EQ(names.back(), "2544X2032");
    EXPECT_EQ(cam.m_info.captureResolutionCount, 3);
    Combo preview;
    cam.FillResolutionList(preview.hwnd, 1);
    EXPECT_EQ(ComboTexts(preview.hwnd).size(), 2u);
    Combo speeds;
    cam.FillFrameSpeedList(speeds.hwnd);
    std::vector<std::string> clocks = ComboTexts(speeds.hwnd);
    ASSERT_EQ(clocks.size(), 2u);
    EXPECT_EQ(clocks[0], "Normal");
    EXPECT_EQ(clocks[1], "High");
}

TEST(ProductPresets, VendorRulesAndUnlistedProducts)
{
    benchtest::LoadCameraLibrary();
    Probe<CCoreCameraA> unlisted;
    CameraListEntry e = Entry("X.1", 0x0547, 0xE005, -1, 0);
    EXPECT_EQ(unlisted.ApplyProductPreset(&e), 0);
    EXPECT_EQ(e.productIndex, -1);
    EXPECT_EQ(e.sensorKind, 0);
    EXPECT_EQ(unlisted.m_gainTable.size(), 1u);
    EXPECT_EQ(unlisted.m_info.maxExposure, 1000);

    Probe<CCoreCameraA> hd;
    e = Entry("H.1", 0xEBA1, 0x7585, 29, 3);
    EXPECT_EQ(hd.ApplyProductPreset(&e), 3);
    EXPECT_EQ(hd.m_info.Feature(2), 0);
    EXPECT_EQ(hd.m_info.Feature(3), 1);
    EXPECT_EQ(hd.m_info.gammaMax, 63);
    EXPECT_EQ(hd.m_last.defaultRedGain, 124);
    EXPECT_EQ(hd.m_last.gain, 1);
    EXPECT_EQ(hd.m_last.aeTarget, 12);

    Probe<CCoreCameraA> other;
    e = Entry("O.1", 0x5172, 0x7585, -1, 0);
    other.ApplyProductPreset(&e);
    EXPECT_EQ(other.m_info.Feature(2), 1);
    EXPECT_EQ(other.m_info.gammaMax, 3);
    EXPECT_EQ(other.m_last.saturationValue, 8);
    EXPECT_EQ(other.m_last.defaultRedGain, 50);

    Probe<CCoreCameraA> p2901;
    e = Entry("P.1", 0x5172, 0x2901, 37, 3);
    p2901.ApplyProductPreset(&e);
    EXPECT_EQ(p2901.m_info.saturationMax, 63);
    EXPECT_EQ(p2901.m_info.range4[2], 63);
    EXPECT_EQ(p2901.m_info.gainRegisterMax, 8);
    EXPECT_EQ(p2901.m_last.saturation, 39);
}

TEST(ProductPresets, SecondFamilyAndMinorPresetsAnswerTheEntrysSensorKind)
{
    benchtest::LoadCameraLibrary();
    Probe<CCoreCameraB> b;
    CameraListEntry e = Entry("B.1", 0x5172, 0x2A01, 32, 3);
    EXPECT_EQ(b.ApplyProductPreset(&e), 3);
    EXPECT_EQ(b.m_info.gainRegisterMax, 128);
    EXPECT_EQ(b.m_info.Feature(9), 0);
    e = Entry("B.2", 0x0547, 0xA005, 11, 1);
    EXPECT_EQ(b.ApplyProductPreset(&e), 0);
    EXPECT_EQ(e.productIndex, -1);

    Probe<CMinorCamera> m1;
    e = Entry("M.1", 0xEB1A, 0x7585, 27, 3);
    EXPECT_EQ(m1.ApplyProductPreset(&e), 3);
    EXPECT_EQ(m1.m_info.Feature(21), 1);
    EXPECT_EQ(ToLibraryName(m1.m_info.extraResolutionName), "3264X1836");
    Probe<CMinorCamera> m3;
    e = Entry("M.3", 0x1234, 0x7585, -1, 0);
    EXPECT_EQ(m3.ApplyProductPreset(&e), 0);
    EXPECT_EQ(m3.m_info.Feature(9), 1);
    EXPECT_EQ(m3.m_info.Feature(21), 0);
    Probe<CMinorCamera> odd;
    e = Entry("M.6", 0xEB1A, 0x7586, -1, 0);
    EXPECT_EQ(odd.ApplyProductPreset(&e), 0);
    EXPECT_EQ(odd.m_gainTable.size(), 1u);
}

namespace {

// A first-family camera on a small noise-free bench, resumed and initialised.
struct OpenCamera {
    Probe<CCoreCameraA> cam;
    OpenCamera(const char* line = "camera zedodir 0547:A005 Cam.1 colour resolutions=320X256,160X128\n")
    {
        benchtest::LoadBench(std::string("noise off\n") + line);
        CameraListEntry e = Entry("Cam.1", 0x0547, 0xA005, 11, 1);
        cam.ApplyProductPreset(&e);
        EXPECT_EQ(cam.ResumeDevice(0), CAM_OK);
        EXPECT_EQ(cam.Init(nullptr, 0, nullptr, nullptr, 1), CAM_OK);
    }
    bool Grab(std::vector<BYTE>& raw)
    {
        int size = 0;
        cam.GetRecvBufferSize(&size);
        raw.assign(size_t(size) * 3, 0);
        for (int i = 0; i < 40; ++i)
            if (cam.GrabFrame(raw.data()) == 1)
                return true;
        return false;
    }
};

}  // namespace

TEST(CoreCamera, GrabsAndDecodesToRgbWithTheShownChannelsHistogram)
{
    benchtest::LoadCameraLibrary();
    OpenCamera oc;
    std::vector<BYTE> raw;
    ASSERT_TRUE(oc.Grab(raw));
    std::vector<BYTE> image(raw.size());
    ASSERT_EQ(oc.cam.Decode(raw.data(), image.data(), 320, 256, 1), CAM_OK);
    const auto* rec = reinterpret_cast<const orvbench::ImageRecord*>(image.data());
    EXPECT_EQ(rec->bits, 8);
    EXPECT_EQ(rec->channels, 3);
    int counts[256];
    ASSERT_EQ(oc.cam.GetLevelsCounts(counts), CAM_OK);
    long sum = 0;
    for (int c : counts)
        sum += c;
    EXPECT_EQ(sum, 320L * 256);
    EXPECT_EQ(oc.cam.GetLevelsCounts(nullptr), CAM_ERR_ORDER);

    // 16-bit data still comes out as 8-bit colour for display.
    ASSERT_EQ(oc.cam.SetDataWide(1), CAM_OK);
    int wide = 0;
    oc.cam.GetDataWide(&wide);
    EXPECT_EQ(wide, 1);
    ASSERT_TRUE(oc.Grab(raw));
    image.assign(raw.size(), 0);
    ASSERT_EQ(oc.cam.Decode(raw.data(), image.data(), 320, 256, 1), CAM_OK);
    EXPECT_EQ(rec->bits, 8);
    EXPECT_EQ(rec->channels, 3);
    int w = 0, h = 0;
    EXPECT_EQ(oc.cam.GetImageSize(&w, &h), CAM_OK);
    EXPECT_EQ(w, 320);
}

TEST(CoreCamera, ExposureSurvivesReadAndReapply)
{
    benchtest::LoadCameraLibrary();
    OpenCamera oc;
    ASSERT_EQ(oc.cam.SetExposureTime(40000), CAM_OK);
    orvbench::CameraSettings s;
    Bench::Get().Settings("Cam.1", &s);
    EXPECT_FLOAT_EQ(s.exposureMs, 40.0f + oc.cam.m_info.exposureUnit);
    for (int i = 0; i < 5; ++i) {
        int us = 0;
        ASSERT_EQ(oc.cam.GetExposureTime(&us), CAM_OK);
        ASSERT_EQ(us, 40000) << "cycle " << i;
        oc.cam.SetExposureTime(us);
    }
}

TEST(CoreCamera, OverExposedFrameRescalesTheExposureUnlessTheFrameIsBlack)
{
    benchtest::LoadCameraLibrary();
    OpenCamera oc;
    std::vector<BYTE> raw;
    ASSERT_TRUE(oc.Grab(raw));
    orvbench::RawFrameHeader hd;
    memcpy(&hd, raw.data(), sizeof hd);
    oc.cam.SetExposureTime(33000);
    orvbench::CameraSettings before, after;
    Bench::Get().Settings("Cam.1", &before);

    memset(raw.data() + hd.headerSize, 0, hd.dataBytes);
    Bench::Get().InjectGrabResult("Cam.1", ZEDODIR_OVEREXPOSED);
    EXPECT_EQ(oc.cam.GrabFrame(raw.data()), 4);
    Bench::Get().Settings("Cam.1", &after);
    EXPECT_FLOAT_EQ(after.exposureMs, before.exposureMs);

    memset(raw.data() + hd.headerSize, 255, hd.dataBytes);
    Bench::Get().InjectGrabResult("Cam.1", ZEDODIR_OVEREXPOSED);
    EXPECT_EQ(oc.cam.GrabFrame(raw.data()), 4);
    Bench::Get().Settings("Cam.1", &after);
    EXPECT_NEAR(after.exposureMs, before.exposureMs * 150 / 255, 0.01);
}

TEST(CoreCamera, GrabResultsMapToTheDeviceAnswers)
{
    benchtest::LoadCameraLibrary();
    OpenCamera oc;
    std::vector<BYTE> raw;
    ASSERT_TRUE(oc.Grab(raw));
    Bench::Get().InjectGrabResult("Cam.1", ZEDODIR_NOTICE);
    EXPECT_EQ(oc.cam.GrabFrame(raw.data()), 5);
    Bench::Get().InjectDeviceError("Cam.1", true);
    EXPECT_EQ(oc.cam.GrabFrame(raw.data()), -9);
    Bench::Get().InjectDeviceError("Cam.1", false);
}

TEST(CoreCamera, LevelsMirrorsAndChannelChecks)
{
    benchtest::LoadCameraLibrary();
    OpenCamera oc;
    EXPECT_EQ(oc.cam.SetLevelsValues(200, 100, 0), CAM_ERR_ORDER);
    int low = -1, high = -1;
    oc.cam.GetLevelsValues(&low, &high, 0);
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, 255);
    EXPECT_EQ(oc.cam.SetLevelsValues(10, 20, 4), CAM_ERR_RANGE);
    EXPECT_EQ(oc.cam.SetGammaEx(100, 4), CAM_ERR_RANGE);
    EXPECT_EQ(oc.cam.SetShowChannel(4), CAM_ERR_RANGE);
    ASSERT_EQ(oc.cam.SetLevelsValues(30, 255, 3), CAM_OK);
    orvbench::CameraSettings s;
    Bench::Get().Settings("Cam.1", &s);
    EXPECT_EQ(s.stretchLow[0], 30);
    EXPECT_EQ(s.stretchLow[2], 30);
    oc.cam.SetAutoLevelsState(1, 1);
    EXPECT_EQ(oc.cam.SetLevelsValues(10, 20, 1), CAM_ERR_NO_DEVICE);

    ASSERT_EQ(oc.cam.SetGammaEx(10, 1), CAM_OK);   // the library keeps 10 ...
    int gamma = 0;
    oc.cam.GetGammaEx(&gamma, 1);
    EXPECT_EQ(gamma, 100);                          // ... which reads as 100

    ASSERT_EQ(oc.cam.SetMirror(1, 1), CAM_OK);
    Bench::Get().Settings("Cam.1", &s);
    EXPECT_EQ(s.flip, 2);
    int on = 0;
    oc.cam.GetMirror(1, &on);
    EXPECT_EQ(on, 1);
    oc.cam.GetMirror(0, &on);
    EXPECT_EQ(on, 0);
    EXPECT_EQ(oc.cam.SetMirror(2, 1), CAM_ERR_RANGE);

    ASSERT_EQ(oc.cam.SetGain(80, 64, 70), CAM_OK);
    int r = 0, g = 0, b = 0;
    oc.cam.GetGain(&r, &g, &b);
    EXPECT_EQ(r, 80);
    EXPECT_EQ(b, 70);
    ASSERT_EQ(oc.cam.SetAnalogGain(20), CAM_OK);
    short gain = 0;
    oc.cam.GetAnalogGain(&gain);
    EXPECT_EQ(gain, 20);
}

TEST(CoreCamera, DyeTintColoursTheDecodedPicture)
{
    benchtest::LoadCameraLibrary();
    OpenCamera oc;
    DyeSettings dye;
    dye.ApplyDye = 1;
    dye.R = 255;
    dye.G = 0;
    dye.B = 0;
    oc.cam.SetDyeSettings(&dye);
    std::vector<BYTE> raw;
    ASSERT_TRUE(oc.Grab(raw));
    std::vector<BYTE> image(raw.size());
    ASSERT_EQ(oc.cam.Decode(raw.data(), image.data(), 320, 256, 1), CAM_OK);
    const auto* rec = reinterpret_cast<const orvbench::ImageRecord*>(image.data());
    const BYTE* px = image.data() + rec->headerSize;
    int red = 0;
    for (int i = 0; i < 320 * 256; ++i) {
        ASSERT_EQ(px[3 * i], 0);       // blue
        ASSERT_EQ(px[3 * i + 1], 0);   // green
        red += px[3 * i + 2] > 0;
    }
    EXPECT_GT(red, 1000);
}

TEST(MinorCamera, DoubledExposureOfProduct7585ReadsBackUnchanged)
{
    benchtest::LoadCameraLibrary();
    benchtest::LoadBench("noise off\ncamera zuzirazo EB1A:7585 Minor.1 colour resolutions=320X256,160X128\n");
    Probe<CMinorCamera> cam;
    CameraListEntry e = Entry("Minor.1", 0xEB1A, 0x7585, 27, 3);
    cam.ApplyProductPreset(&e);
    ASSERT_EQ(cam.ResumeDevice(5), CAM_OK);
    ASSERT_EQ(cam.Init(nullptr, 0, nullptr, nullptr, 1), CAM_OK);
    ASSERT_EQ(cam.SetExposureTime(40000), CAM_OK);
    orvbench::CameraSettings s;
    Bench::Get().Settings("Minor.1", &s);
    EXPECT_FLOAT_EQ(s.exposureMs, 80.0f + cam.m_info.exposureUnit);
    EXPECT_EQ(s.resolution, 1);   // the resume index lowered to the last resolution
    int us = 0;
    cam.GetExposureTime(&us);
    EXPECT_EQ(us, 40000);

    Combo combo;
    cam.FillResolutionList(combo.hwnd, 0);
    std::vector<std::string> names = ComboTexts(combo.hwnd);
    ASSERT_EQ(names.size(), 3u);
    EXPECT_EQ(names.back(), "3264X1836");
    EXPECT_EQ(cam.SetResolution(1), CAM_ERR_NO_DEVICE);   // already there
    EXPECT_EQ(cam.SetCooled(1), CAM_OK);                   // no cooler: the base answers
    int size = 0;
    cam.GetRecvBufferSize(&size);
    std::vector<BYTE> raw(size_t(size) * 3);
    int r = 3;
    for (int i = 0; i < 40 && r == 3; ++i)
        r = cam.GrabFrame(raw.data());
    ASSERT_EQ(r, 1);
    std::vector<BYTE> image(raw.size());
    EXPECT_EQ(cam.Decode(raw.data(), image.data(), 160, 128, 1), CAM_OK);
}
