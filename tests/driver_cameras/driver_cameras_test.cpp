// The eleven driver-library camera families, each over its stand-in library.
#include "support/gtest.h"

#include <windows.h>

#include <limits.h>
#include <string.h>

#include <memory>
#include <vector>

#include "camera/core/CameraManager.h"
#include "camera/device/CamDrvBDevice.h"
#include "camera/device/CamDrvDDevice.h"
#include "camera/device/CamDrvLDevice.h"
#include "camera/device/CameraListBase.h"
#include "camera/device/DriverCameraFactory.h"
#include "camera/device/ProductPresets.h"
#include "camera/device/SimulatedUsbHost.h"

extern "C" DWORD WINAPI AfxFrameworkVersion(void);

// Whether the live threads have taken a frame (a friend of the manager).
class CCameraManagerProbe {
public:
    static bool FrameReceived() { return CCameraManager::Instance().m_frameReceived != 0; }
};

namespace {

struct Family {
    int code;
    char letter;
    const char* model;
    BYTE sensorKind;
    int bufferBytes;          // the manager's fixed frame buffer; 0: width x height x 3 + 512
    bool wide;                // offers 16-bit data
    std::vector<const char*> preview, capture;
};

const std::vector<Family>& Families()
{
    static const std::vector<Family> families = {
        {7, 'F', "Model36", 2, 8355840, true, {"1360*1024", "680*512", "340*256"}, {}},
        {9, 'G', "Model48", 2, 30246720, true,
         {"2572*1956 Full Res", "1284*852 Fast View", "1280*960 2X2Bin", "640*480 4X4Bin"}, {}},
        {8, 'H', "Model39", 2, 8355840, true, {"1360*1024", "680*512", "340*256"}, {}},
        {5, 'D', "Model33", 1, 0, false,
         {"3664*2748", "1600*1200", "1280*960", "800*600", "640*480"}, {}},
        {1, 'E', "Model44", 1, 0, false, {"1280*960", "640*480", "320*240 "}, {}},
        {2, 'J', "Model29", 1, 0, false, {"2048*1536", "1024*768", "640*480"}, {}},
        {20, 'K', "Model79", 1, 0, false, {"2048*1536", "1024*768", "640*480"}, {}},
        {3, 'L', "Model30", 1, 0, false, {"2592*1944", "1280*960", "1024*768", "640*480"}, {}},
        {11, 'A', "Model49", 1, 31887360, true, {"1280*1038", "664*512Bin", "640*512SWBin"},
         {"1280*1038", "664*512Bin", "640*512SWBin", "2560*2076"}},
        {12, 'B', "Model51", 1, 7987200, true,
         {"1280*1040", "1280*800", "668*512Bin", "640*512SWBin"}, {}},
        {13, 'C', "Model50", 1, 75497472, true, {"2048*1536", "1024*768 Bin"},
         {"2048*1536", "1024*768 Bin", "4096*3072"}},
    };
    return families;
}

const Family& ByLetter(char letter)
{
    for (const Family& family : Families())
        if (family.letter == letter)
            return family;
    return Families()[0];
}

// A device of the family, not yet opened; closed again when the test ends.
struct OpenDevice {
    std::unique_ptr<CDriverCameraDevice> device;
    explicit OpenDevice(int code)
        : device(static_cast<CDriverCameraDevice*>(CreateDriverCameraDevice(code))) {}
    ~OpenDevice()
    {
        if (device)
            device->UnInit();
    }
    CDriverCameraDevice* operator->() { return device.get(); }
};

OpenDevice Make(char letter)
{
    return OpenDevice(ByLetter(letter).code);
}

bool SameText(const CString& text, const char* expected)
{
    return text == CString(expected);
}

// Grabs until a frame comes (the first may wait out the running exposure); a frame
// exposed across a setting change counts.
bool Grab(CDriverCameraDevice* device, BYTE* frame)
{
    for (int tries = 0; tries < 60; ++tries) {
        const int answer = device->GrabFrame(frame);
        if (answer == 1 || answer == 2)
            return true;
    }
    return false;
}

// The texts a resolution list put into a combo box, and its selection.
std::vector<CString> ListTexts(CDriverCameraDevice* device, int previewList, int* selected)
{
    HWND parent = CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr,
                                nullptr, nullptr);
    HWND combo = CreateWindowW(L"COMBOBOX", L"", WS_CHILD | CBS_DROPDOWNLIST, 0, 0, 180, 200,
                               parent, nullptr, nullptr, nullptr);
    std::vector<CString> texts;
    if (device->FillResolutionList(combo, previewList) == CAM_OK) {
        const int count = int(SendMessageW(combo, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            WCHAR text[64] = {0};
            SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            texts.push_back(CString(text));
        }
        *selected = int(SendMessageW(combo, CB_GETCURSEL, 0, 0));
    }
    DestroyWindow(parent);
    return texts;
}

// Opens the tables and the library table to the tests.
template <class Device> class Exposed : public Device {
public:
    DriverCameraCalls& Calls() { return this->m_calls; }
    CameraCurParam& Last() { return this->m_last; }
    std::vector<int>& Exposures() { return this->m_exposureTable; }
};

// Library stand-ins for the cases the bench cannot produce.
int g_exposureCalls = 0;
int g_exposureZeroAnswers = 0;
int WINAPI ExposureSettlingLate(int* milliseconds)
{
    ++g_exposureCalls;
    *milliseconds = g_exposureCalls > g_exposureZeroAnswers ? 33 : 0;
    return 1;
}

BYTE g_librarySpeed = 0;
std::vector<int> g_speedsSet;
int WINAPI FakeGetFrameSpeed(BYTE* speed)
{
    *speed = g_librarySpeed;
    return 1;
}
int WINAPI FakeSetFrameSpeed(int speed)
{
    g_speedsSet.push_back(speed);
    return 1;
}

}  // namespace

TEST(DriverCameras, EachCodeCreatesItsFamilyWithItsLibraryCalls)
{
    ASSERT_NE(AfxFrameworkVersion(), 0u);
    for (const Family& family : Families()) {
        OpenDevice device(family.code);
        ASSERT_TRUE(device.device) << family.letter;
        EXPECT_EQ(device->Traits().cameraType, family.code);
        // Every operation the family forwards was found in its library.
        EXPECT_TRUE(device->CallsComplete()) << family.letter;
        CameraParamInfo info;
        device->GetParameterInfo(&info);
        EXPECT_EQ(info.productIndex, family.code);
        EXPECT_EQ(info.sensorKind, family.sensorKind) << family.letter;
        EXPECT_TRUE(SameText(info.modelName, family.model)) << family.letter;
        EXPECT_TRUE(SameText(info.deviceName, family.model)) << family.letter;
    }
    for (int code : {-1, 0, 4, 10, 18, 19, 26})
        EXPECT_EQ(CreateDriverCameraDevice(code), nullptr) << code;
}

TEST(DriverCameras, FramesFitTheManagersBufferAndDecodeToTheirSize)
{
    for (const Family& family : Families()) {
        OpenDevice device(family.code);
        ASSERT_EQ(device->Init(nullptr, 0, nullptr, nullptr, 1), CAM_OK) << family.letter;
        for (int wide = 0; wide <= (family.wide ? 1 : 0); ++wide) {
            if (family.wide) {
                ASSERT_EQ(device->SetDataWide(wide), CAM_OK);
            }
            int width = 0, height = 0;
            ASSERT_EQ(device->GetImageSize(&width, &height), CAM_OK);
            ASSERT_GT(width * height, 0);
            CameraParamInfo info;
            device->GetParameterInfo(&info);
            const size_t bytes = family.bufferBytes ? size_t(family.bufferBytes)
                : size_t(width) * height * (info.Feature(7) ? 6 : 3) + 512;
            const size_t guard = 64;
            std::vector<BYTE> raw(bytes + guard, 0xA5), image(bytes + guard, 0xA5);
            ASSERT_TRUE(Grab(device.device.get(), raw.data())) << family.letter;
            for (size_t i = bytes; i < bytes + guard; ++i)
                ASSERT_EQ(raw[i], 0xA5) << family.letter << " wrote past the buffer";

            // 8-bit output on request, 16-bit samples otherwise when data width is on.
            for (int rgbOut = 1; rgbOut >= 0; --rgbOut) {
                std::fill(image.begin(), image.end(), 0xA5);
                ASSERT_EQ(device->Decode(raw.data(), image.data(), width, height, rgbOut), CAM_OK);
                const size_t expected = size_t(width) * height * ((wide && !rgbOut) ? 6 : 3);
                ASSERT_LE(expected, bytes);
                for (size_t i = expected; i < expected + guard; ++i)
                    ASSERT_EQ(image[i], 0xA5) << family.letter << " wide " << wide;
                int written = 0;
                for (size_t i = expected - guard; i < expected; ++i)
                    written += image[i] != 0xA5;
                EXPECT_GT(written, 0) << family.letter << " wide " << wide;
            }
        }
        if (family.wide)
            device->SetDataWide(0);
    }
}

TEST(DriverCameras, ResolutionListsAndTheirCounts)
{
    for (const Family& family : Families()) {
        OpenDevice device(family.code);
        for (int previewList = 1; previewList >= 0; --previewList) {
            const std::vector<const char*>& expected =
                (!previewList && !family.capture.empty()) ? family.capture : family.preview;
            int selected = -1;
            std::vector<CString> texts = ListTexts(device.device.get(), previewList, &selected);
            ASSERT_EQ(texts.size(), expected.size()) << family.letter << " " << previewList;
            for (size_t i = 0; i < texts.size(); ++i)
                EXPECT_TRUE(SameText(texts[i], expected[i])) << family.letter << " " << i;
            EXPECT_EQ(selected, 0);
        }
        CameraParamInfo info;
        device->GetParameterInfo(&info);
        EXPECT_EQ(info.previewResolutionCount, int(family.preview.size()));
        EXPECT_EQ(info.captureResolutionCount,
                  int(family.capture.empty() ? family.preview.size() : family.capture.size()));
    }
}

TEST(DriverCameras, ConstructorTablesAndRanges)
{
    const int* common = CProductPresets::kExposureTable;
    {
        Exposed<CCamDrvDDevice> d;  // gain table only
        CameraParamInfo info;
        d.GetParameterInfo(&info);
        EXPECT_EQ(info.gainStepMax, 8);
        EXPECT_EQ(d.StepToGain(8), 188);  // the last value lies one step above the range
        EXPECT_EQ(d.GainToStep(100), 6);
        EXPECT_EQ(info.maxExposure, 3000);
        EXPECT_EQ(d.Exposures().size(), 1u);
        EXPECT_EQ(d.Last().modeByte, 2);
        EXPECT_EQ(d.Last().colorEnhancement, 1);
        EXPECT_EQ(d.Last().gain, 20);
    }
    OpenDevice f(7), g(9), h(8), b(12), l(3);
    CameraParamInfo info;
    f->GetParameterInfo(&info);
    EXPECT_EQ(info.exposureStepMax, 87);
    EXPECT_EQ(f->StepToExposure(87), common[85]);
    EXPECT_EQ(info.Feature(1), 1);
    EXPECT_EQ(info.Feature(2), 0);
    EXPECT_EQ(info.Feature(7), 1);
    EXPECT_EQ(info.gainFactorMax, 1023);

    g->GetParameterInfo(&info);
    EXPECT_EQ(info.exposureStepMax, 89);
    EXPECT_EQ(g->StepToExposure(89), common[87]);
    EXPECT_EQ(g->StepToExposure(90), 616679);
    EXPECT_EQ(g->ExposureToStep(600000), 90);
    EXPECT_EQ(info.gainRegisterMin, 170);
    EXPECT_EQ(info.maxExposure, 1040);

    h->GetParameterInfo(&info);
    EXPECT_EQ(info.exposureStepMax, 102);
    EXPECT_EQ(h->StepToExposure(101), common[99]);
    EXPECT_EQ(h->StepToExposure(102), 3999999);
    EXPECT_EQ(h->StepToExposure(103), 4366666);
    EXPECT_EQ(info.Feature(1), 0);

    b->GetParameterInfo(&info);
    EXPECT_EQ(info.Feature(4), 0);
    EXPECT_EQ(info.Feature(8), 0);
    EXPECT_EQ(info.gainStepMax, 6);
    EXPECT_EQ(info.maxExposure, 21600);

    CameraCurParam last;
    l->GetLastParameter(&last);
    EXPECT_EQ(last.modeByte, 3);
}

TEST(DriverCameras, MaximumExposureIsReadAtInitAndCapped)
{
    const struct { char letter; int maximum; } kCases[] = {
        {'A', 64800}, {'B', 27000}, {'C', 37800}};  // libraries answer 64800, 50000, 60000
    for (const auto& c : kCases) {
        OpenDevice device = Make(c.letter);
        CameraParamInfo info;
        device->GetParameterInfo(&info);
        EXPECT_EQ(info.maxExposure, 21600);
        ASSERT_EQ(device->Init(nullptr, 1, nullptr, nullptr, 0), CAM_OK);
        device->GetParameterInfo(&info);
        EXPECT_EQ(info.maxExposure, c.maximum) << c.letter;
    }
    // A refused Init reads nothing.
    OpenDevice b = Make('B');
    EXPECT_EQ(b->Init(nullptr, 99, nullptr, nullptr, 0), 0);
    CameraParamInfo info;
    b->GetParameterInfo(&info);
    EXPECT_EQ(info.maxExposure, 21600);
}

TEST(DriverCameras, ExposureIsSetInMillisecondsAndReportedInMicroseconds)
{
    for (const Family& family : Families()) {
        OpenDevice device(family.code);
        ASSERT_EQ(device->Init(nullptr, 0, nullptr, nullptr, 0), CAM_OK);
        ASSERT_EQ(device->SetExposureTime(33), CAM_OK);
        int micro = 0;
        EXPECT_EQ(device->GetExposureTime(&micro), CAM_OK);
        EXPECT_EQ(micro, 33000) << family.letter;
    }
    // Over 35 minutes the microseconds no longer fit an int: the answer saturates.
    OpenDevice h = Make('H');
    ASSERT_EQ(h->Init(nullptr, 2, nullptr, nullptr, 0), CAM_OK);
    ASSERT_EQ(h->SetExposureTime(3999999), CAM_OK);
    int micro = 0;
    h->GetExposureTime(&micro);
    EXPECT_EQ(micro, INT_MAX);
}

TEST(DriverCameras, FamilyDWaitsBoundedlyForASettledExposure)
{
    Exposed<CCamDrvDDevice> d;
    d.Calls().GetExposureTime = ExposureSettlingLate;
    g_exposureCalls = 0;
    g_exposureZeroAnswers = 3;
    int micro = 0;
    EXPECT_EQ(d.GetExposureTime(&micro), CAM_OK);
    EXPECT_EQ(micro, 33000);
    EXPECT_EQ(g_exposureCalls, 4);

    // A library that never settles: the wait ends and the answer is a failure.
    g_exposureCalls = 0;
    g_exposureZeroAnswers = INT_MAX;
    const DWORD start = GetTickCount();
    micro = 5;
    EXPECT_EQ(d.GetExposureTime(&micro), CAM_FAILED);
    const DWORD waited = GetTickCount() - start;
    EXPECT_EQ(micro, 0);
    EXPECT_GE(waited, CCamDrvDDevice::kExposureWaitMs - 20);
    EXPECT_LT(waited, CCamDrvDDevice::kExposureWaitMs + 1000);
}

TEST(DriverCameras, FrameSpeedRulesOfFamiliesLAndB)
{
    Exposed<CCamDrvLDevice> l;
    l.Calls().GetFrameSpeed = FakeGetFrameSpeed;
    l.Calls().SetFrameSpeed = FakeSetFrameSpeed;
    const struct { BYTE library, reported; bool resets; } kL[] = {
        {0, 1, false}, {1, 2, true}, {2, 2, false}, {5, 2, false}};
    for (const auto& c : kL) {
        g_librarySpeed = c.library;
        g_speedsSet.clear();
        BYTE speed = 99;
        EXPECT_EQ(l.GetFrameSpeed(&speed), CAM_OK);
        EXPECT_EQ(speed, c.reported) << int(c.library);
        const std::vector<int> expected = c.resets ? std::vector<int>{0, 1} : std::vector<int>();
        EXPECT_EQ(g_speedsSet, expected);
    }

    Exposed<CCamDrvBDevice> b;
    b.Calls().GetFrameSpeed = FakeGetFrameSpeed;
    const struct { BYTE library, reported; } kB[] = {{0, 1}, {1, 1}, {2, 2}, {4, 4}};
    for (const auto& c : kB) {
        g_librarySpeed = c.library;
        BYTE speed = 99;
        b.GetFrameSpeed(&speed);
        EXPECT_EQ(speed, c.reported) << int(c.library);
    }

    // The other families report the library's own value.
    OpenDevice e = Make('E');
    ASSERT_EQ(e->SetFrameSpeed(3), CAM_OK);
    BYTE speed = 0;
    e->GetFrameSpeed(&speed);
    EXPECT_EQ(speed, 3);
}

TEST(DriverCameras, ResetChannelGainsRestoresTheFamilysWhiteBalance)
{
    const struct { char letter; int r, g, b; } kCases[] = {
        {'G', 96, 64, 80}, {'D', 97, 64, 59}, {'E', 68, 64, 76}, {'J', 68, 64, 76},
        {'K', 68, 64, 76}, {'L', 132, 64, 82}, {'A', 64, 64, 69}, {'C', 64, 64, 69}};
    for (const auto& c : kCases) {
        OpenDevice device = Make(c.letter);
        ASSERT_EQ(device->SetGain(10, 20, 30), CAM_OK);
        ASSERT_EQ(device->SetColorEnhancement(1), CAM_OK);
        EXPECT_EQ(device->ResetChannelGains(), CAM_OK);
        int r = 0, g = 0, b = 0, enhancement = 1;
        device->GetGain(&r, &g, &b);
        device->GetColorEnhancement(&enhancement);
        EXPECT_EQ(r, c.r) << c.letter;
        EXPECT_EQ(g, c.g) << c.letter;
        EXPECT_EQ(b, c.b) << c.letter;
        EXPECT_EQ(enhancement, 0) << c.letter;
    }
    // Families without channel gains keep the device base.
    OpenDevice f = Make('F');
    EXPECT_EQ(f->ResetChannelGains(), CAM_OK);
    int r = 7, g = 7, b = 7;
    f->GetGain(&r, &g, &b);
    EXPECT_EQ(r, 7);
}

TEST(DriverCameras, DecodeExGammaExFilterAndDefaults)
{
    // G: DecodeEx gives 8-bit output even with 16-bit data on; other families keep the base.
    OpenDevice g = Make('G');
    ASSERT_EQ(g->Init(nullptr, 3, nullptr, nullptr, 0), CAM_OK);
    ASSERT_EQ(g->SetDataWide(1), CAM_OK);
    int width = 0, height = 0;
    g->GetImageSize(&width, &height);
    const size_t pixels = size_t(width) * height;
    std::vector<BYTE> raw(pixels * 2 + 1024), image(pixels * 6 + 64, 0xA5);
    ASSERT_TRUE(Grab(g.device.get(), raw.data()));
    ASSERT_EQ(g->DecodeEx(raw.data(), image.data(), width, height), CAM_OK);
    EXPECT_NE(image[pixels * 3 - 1], 0xA5);
    EXPECT_EQ(image[pixels * 3], 0xA5);
    g->SetDataWide(0);
    OpenDevice a = Make('A');
    std::fill(image.begin(), image.end(), 0xA5);
    EXPECT_EQ(a->DecodeEx(raw.data(), image.data(), width, height), CAM_OK);
    EXPECT_EQ(image[0], 0xA5);

    // GammaEx is the library's gamma in G, D, E, J, L only.
    for (char letter : {'G', 'D', 'E', 'J', 'L', 'K', 'A'}) {
        OpenDevice device = Make(letter);
        device->SetGamma(100);
        EXPECT_EQ(device->SetGammaEx(140, 2), CAM_OK);
        int gamma = -1, gammaEx = -1;
        device->GetGamma(&gamma);
        device->GetGammaEx(&gammaEx, 2);
        const bool forwards = strchr("GDEJL", letter) != nullptr;
        EXPECT_EQ(gamma, forwards ? 140 : 100) << letter;
        EXPECT_EQ(gammaEx, forwards ? 140 : -1) << letter;
    }

    // Filter: forwarded by G, D, J, L, A; E answers done without a filter; others refuse.
    OpenDevice e = Make('E'), j = Make('J'), f = Make('F');
    int on = 9;
    EXPECT_EQ(e->SetFilter(1), CAM_OK);
    EXPECT_EQ(e->GetFilter(&on), CAM_OK);
    EXPECT_EQ(on, 9);
    EXPECT_EQ(j->SetFilter(1), CAM_OK);
    EXPECT_EQ(j->GetFilter(&on), CAM_OK);
    EXPECT_EQ(on, 1);
    j->SetFilter(0);
    EXPECT_EQ(f->SetFilter(1), CAM_FAILED);

    // Default parameters: the driver form (F, H, A, B, C) against the base form.
    CameraCurParam out;
    f->GetDefaultParameter(&out, 1);
    EXPECT_EQ(out.HDFrameSpeed, 2);
    EXPECT_EQ(out.exposureTime, 33000);
    OpenDevice b = Make('B');
    b->GetDefaultParameter(&out, 1);
    EXPECT_EQ(out.exposureTime, 40000);
    b->GetDefaultParameter(&out, 0);
    EXPECT_EQ(out.exposureTime, 33000);
    EXPECT_EQ(out.colorEnhancement, 0);
    a->GetDefaultParameter(&out, 2);
    EXPECT_EQ(out.colorEnhancement, 1);
    EXPECT_EQ(out.saturation, 128);
    g->GetDefaultParameter(&out, 1);
    EXPECT_EQ(out.HDFrameSpeed, 0);
}

TEST(DriverCameras, LevelsAndDefectCorrectionReachTheLibrary)
{
    OpenDevice a = Make('A');
    ASSERT_EQ(a->Init(nullptr, 1, nullptr, nullptr, 0), CAM_OK);
    // The channel is not passed on: one set of levels serves all channels.
    EXPECT_EQ(a->SetLevelsValues(10, 200, 3), CAM_OK);
    int low = 0, high = 0;
    EXPECT_EQ(a->GetLevelsValues(&low, &high, 1), CAM_OK);
    EXPECT_EQ(low, 10);
    EXPECT_EQ(high, 200);
    EXPECT_EQ(a->SetLevelsValues(200, 10, 0), CAM_ERR_ORDER);
    a->SetLevelsValues(0, 255, 0);
    EXPECT_EQ(a->CalcDefectCorrection(), CAM_OK);
    // E has no defect correction in its library: the base answers.
    OpenDevice e = Make('E');
    EXPECT_EQ(e->CalcDefectCorrection(), CAM_OK);
    BYTE resolution = 7;
    EXPECT_EQ(e->GetResolution(&resolution), CAM_OK);
    EXPECT_EQ(resolution, 7);
}

TEST(DriverCameras, TheManagerChoosesAndOpensThemByCode)
{
    CCameraManager::SetDeviceFactory(CreateDriverCameraDevice);
    const struct { int code; const char* model; BYTE sensorKind; int width, height; } kCases[] = {
        {12, "Model51", 1, 1280, 1040}, {8, "Model39", 2, 1360, 1024}};
    for (const auto& c : kCases) {
        ASSERT_EQ(QrCSetCamera(c.code), CAM_OK);
        CameraParamInfo info;
        ASSERT_EQ(QrCCameraGetParameterInfo(&info, 1), CAM_OK);
        EXPECT_EQ(info.productIndex, c.code);
        EXPECT_TRUE(SameText(info.modelName, c.model)) << c.code;
        CameraMgrParam param;
        QrCCameraGetMgrParameter(&param);
        EXPECT_EQ(param.cameraType, c.code);
        EXPECT_EQ(param.sensorKind, c.sensorKind);

        ASSERT_EQ(QrCCameraInit(0, nullptr, nullptr, 1), CAM_OK) << c.code;
        int width = 0, height = 0;
        EXPECT_EQ(QrCCameraGetImageSize(&width, &height), CAM_OK);
        EXPECT_EQ(width, c.width);
        EXPECT_EQ(height, c.height);
        const DWORD start = GetTickCount();
        while (!CCameraManagerProbe::FrameReceived() && GetTickCount() - start < 5000)
            Sleep(5);
        EXPECT_TRUE(CCameraManagerProbe::FrameReceived()) << c.code;
        EXPECT_EQ(QrCCameraUnInit(), CAM_OK);
    }
    QrCSetCamera(CAMERA_TYPE_NONE);
    CCameraManager::SetDeviceFactory(nullptr);
}

// The row time the library reads is in microseconds, and so is the stored exposure:
// an exposure set in time comes back from its whole rows, and those rows from it.
TEST(DriverCameras, ExposureLinesAndRowTimeAgreeInMicroseconds)
{
    CCameraManager::SetDeviceFactory(CreateDriverCameraDevice);
    ASSERT_EQ(QrCSetCamera(CAMERA_TYPE_CAMDRVB), CAM_OK);
    ASSERT_EQ(QrCCameraInit(0, nullptr, nullptr, 1), CAM_OK);
    QrCCameraSetAeState(0);
    float row = 0;
    ASSERT_EQ(QrCCameraGetRowTime(&row), CAM_OK);
    ASSERT_GT(row, 1.0f);
    ASSERT_LT(row, 1000.0f);   // a row takes microseconds, not milliseconds

    ASSERT_EQ(QrCCameraSetExposureTimeMS(10000, 1), CAM_OK);
    CameraCurParam cur;
    QrCCameraGetCurParameter(&cur);
    const int lines = cur.exposureLines;
    EXPECT_GE(lines * double(row), 10000.0 - 1e-3);
    EXPECT_LT((lines - 1) * double(row), 10000.0);

    ASSERT_EQ(QrCCameraSetExposureLineTime(lines), CAM_OK);
    QrCCameraGetCurParameter(&cur);
    EXPECT_EQ(cur.exposureLines, lines);
    EXPECT_GE(cur.exposureTime, 10000 - 1);
    EXPECT_LT(cur.exposureTime, 10000 + row);
    EXPECT_EQ(QrCCameraUnInit(), CAM_OK);
    QrCSetCamera(CAMERA_TYPE_NONE);
    CCameraManager::SetDeviceFactory(nullptr);
}

TEST(DriverCameras, RefreshFindsTheUsbCameraAndMakesItsFamilyCurrent)
{
    // One controller with the camera of type 13 behind a hub; the library lists are empty.
    SimulatedUsbController controller = {};
    controller.number = 0;
    controller.rootHubPorts = 2;
    SimulatedUsbDevice devices[2] = {};
    devices[0].ports[0] = 2;
    devices[0].vendorId = 0x1D6B;
    devices[0].productId = 0x0002;
    devices[0].hubPorts = 4;
    devices[1].ports[0] = 2;
    devices[1].ports[1] = 3;
    devices[1].vendorId = 0x0547;
    devices[1].productId = 0xC009;
    CSimulatedUsbHost host(SimulatedUsbTree{&controller, 1, devices, 2});

    CCameraManager& manager = CCameraManager::Instance();
    manager.InstallCameraLists(new CCameraListBase, new CCameraListBase, new CCameraListBase);
    manager.SetUsbHost(&host);
    CCameraManager::SetDeviceFactory(CreateDriverCameraDevice);
    EXPECT_EQ(QrCReflashCamera(), CAM_OK);
    CameraParamInfo info;
    QrCCameraGetParameterInfo(&info, 1);
    EXPECT_EQ(info.productIndex, 13);
    EXPECT_TRUE(SameText(info.modelName, "Model50"));
    QrCSetCamera(CAMERA_TYPE_NONE);
    manager.SetUsbHost(nullptr);
    CCameraManager::SetDeviceFactory(nullptr);
}
