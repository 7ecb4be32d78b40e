#include "support/gtest.h"

#include <windows.h>

#include <string.h>

#include <string>
#include <vector>

#include "external/bench/FrameRecords.h"
#include "external/camdrv/CamDrv.h"

namespace {

struct Library
{
    const char* dll;
    const char* token;
    char family;
    int cameraType;
};

const Library kLibraries[] = {
    {"CamDrvA.dll", "CamDrvAII", 'A', 11}, {"CamDrvB.dll", "CamDrvB", 'B', 12},
    {"CamDrvC.dll", "CamDrvCII", 'C', 13}, {"CamDrvD.dll", "CamDrvDII", 'D', 5},
    {"CamDrvE.dll", "CamDrvEC", 'E', 1},   {"CamDrvF.dll", "CamDrvFBW", 'F', 7},
    {"CamDrvG.dll", "CamDrvG", 'G', 9},    {"CamDrvH.dll", "CamDrvHBW", 'H', 8},
    {"CamDrvJ.dll", "CamDrvJC", 'J', 2},   {"CamDrvK.dll", "CamDrvKC", 'K', 20},
    {"CamDrvL.dll", "CamDrvLC", 'L', 3},
};

// Which families offer an operation, as the device layer relies on; "*" is every one.
const struct { const char* op; const char* families; } kOperations[] = {
    {"Init", "*"}, {"UnInit", "*"}, {"Play", "*"}, {"Stop", "*"}, {"GrabFrame", "*"},
    {"Decode", "*"}, {"CaptureFile", "*"}, {"GetImageSize", "*"}, {"SetAeState", "*"},
    {"GetAeState", "*"}, {"SetAeTarget", "*"}, {"GetAeTarget", "*"},
    {"SetExposureTime", "*"}, {"GetExposureTime", "*"}, {"GetRowTime", "*"},
    {"SetAnalogGain", "*"}, {"GetAnalogGain", "*"}, {"SetGamma", "*"}, {"GetGamma", "*"},
    {"SetContrast", "*"}, {"GetContrast", "*"}, {"SetMirror", "*"}, {"GetMirror", "*"},
    {"SetFrameSpeed", "*"}, {"GetFrameSpeed", "*"}, {"SaveParameter", "*"},
    {"ReadParameter", "*"}, {"GetCurrentParameterTeam", "*"}, {"CalcFlatFielding", "*"},
    {"GetCalcFlatFieldingState", "*"}, {"SetFlatFieldingState", "*"},
    {"GetFlatFieldingState", "*"}, {"GetLevelsCounts", "*"}, {"SetLevelsValues", "*"},
    {"GetLevelsValues", "*"}, {"SetAutoLevelsState", "*"}, {"GetAutoLevelsState", "*"},
    {"GetImageDataRGB24", "FHEJK"},
    {"SetAWBState", "GDEJKLAC"}, {"GetAWBStateResult", "GDEJKLAC"},
    {"GetAWBState", "GDLAC"},
    {"RestartLongExposure", "FGH"},
    {"SetBlackLevel", "FGHABC"}, {"GetBlackLevel", "FGHABC"},
    {"SetGain", "GDEJKLAC"}, {"GetGain", "GDEJKLAC"}, {"SetSaturation", "GDEJKLAC"},
    {"GetSaturation", "GDEJKLAC"}, {"SetColorEnhancement", "GDEJKLAC"},
    {"GetColorEnhancement", "GDEJKLAC"}, {"SetMonochrome", "GDEJKLAC"},
    {"GetMonochrome", "GDEJKLAC"},
    {"SetDataWide", "FGHABC"}, {"GetDataWide", "FGHABC"},
    {"CorrectionDead", "DABC"},
    {"SetResolution", "GABC"}, {"GetResolution", "GABC"},
    {"SetFilter", "GDJLA"}, {"GetFilter", "GDJLA"},
    {"GetMaxExposure", "ABC"},
};

// The frame buffers the camera manager allocates for each camera type; 0 means
// width x height x 3 + 512 (x 6 + 512 with 16-bit data).
int ManagerBufferBytes(int cameraType)
{
    switch (cameraType) {
    case 7: case 8: return 8355840;
    case 9: return 30246720;
    case 11: return 31887360;
    case 12: return 7987200;
    case 13: return 75497472;
    default: return 0;
    }
}

typedef int(WINAPI* Init4Fn)(CamDrvFrameCallback, int, HWND, int);
typedef int(WINAPI* Init3Fn)(int, HWND, int);
typedef int(WINAPI* VoidFn)(void);
typedef int(WINAPI* IntFn)(int);
typedef int(WINAPI* PtrFn)(void*);
typedef int(WINAPI* TwoPtrFn)(void*, void*);
typedef int(WINAPI* TwoIntFn)(int, int);
typedef int(WINAPI* DecodeFn)(BYTE*, BYTE*, int, int, int);
typedef int(WINAPI* CaptureFn)(LPCWSTR, int, int);

// One driver library, called by operation name. Libraries stay loaded for the whole
// run, as the camera library's import table keeps them.
class Driver
{
public:
    explicit Driver(const Library& library) : m_library(library)
    {
        m_module = LoadLibraryA(library.dll);
    }
    ~Driver()
    {
        if (m_module)
            Call<VoidFn>("UnInit");
    }
    bool Loaded() const { return m_module != NULL; }
    FARPROC Find(const char* op) const
    {
        std::string name = std::string(m_library.token) + "Camera" + op;
        return GetProcAddress(m_module, name.c_str());
    }
    template <class F, class... A> int Call(const char* op, A... args)
    {
        F fn = reinterpret_cast<F>(Find(op));
        return fn ? fn(args...) : -1000;
    }
    int Init(int resolution)
    {
        if (m_library.family == 'G')
            return Call<Init3Fn>("Init", resolution, HWND(NULL), 0);
        return Call<Init4Fn>("Init", CamDrvFrameCallback(NULL), resolution, HWND(NULL), 0);
    }
    int Grab(std::vector<BYTE>& frame)
    {
        int answer;
        for (int tries = 0; tries < 50; ++tries)
            if ((answer = Call<PtrFn>("GrabFrame", frame.data())) == 1 || answer == 2)
                return answer;
        return answer;
    }
    void Size(int* width, int* height) { Call<TwoPtrFn>("GetImageSize", width, height); }
    // Polls a calculation the way the camera manager does; the final result.
    int Poll(const char* op)
    {
        int busy = 1, result = 0;
        for (int i = 0; i < 300 && busy; ++i) {
            Call<TwoPtrFn>(op, &busy, &result);
            if (busy)
                Sleep(10);
        }
        return busy ? -1 : result;
    }

private:
    Library m_library;
    HMODULE m_module;
};

const Library& Find(char family)
{
    for (const Library& library : kLibraries)
        if (library.family == family)
            return library;
    return kLibraries[0];
}

// Mean of one byte slot (0 blue, 1 green, 2 red) over a square of a 24-bit picture.
double Mean(const std::vector<BYTE>& image, int width, int x0, int y0, int size, int slot)
{
    double sum = 0;
    for (int y = y0; y < y0 + size; ++y)
        for (int x = x0; x < x0 + size; ++x)
            sum += image[(size_t(y) * width + x) * 3 + slot];
    return sum / (size * size);
}

}  // namespace

TEST(CamDrvLibraries, EachExportsExactlyItsFamilysOperations)
{
    for (const Library& library : kLibraries) {
        Driver driver(library);
        ASSERT_TRUE(driver.Loaded()) << library.dll;
        for (const auto& operation : kOperations) {
            bool expected = operation.families[0] == '*' ||
                            strchr(operation.families, library.family) != nullptr;
            EXPECT_EQ(driver.Find(operation.op) != nullptr, expected)
                << library.token << "Camera" << operation.op;
        }
    }
}

TEST(CamDrvLibraries, FramesFitTheManagersBuffersAtEveryResolution)
{
    for (const Library& library : kLibraries) {
        Driver driver(library);
        bool wide = driver.Find("SetDataWide") != nullptr;
        EXPECT_EQ(driver.Init(99), 0) << library.dll;
        for (int index = 0; driver.Init(index) == 1; ++index) {
            if (wide)
                driver.Call<IntFn>("SetDataWide", 1);
            int width = 0, height = 0;
            driver.Size(&width, &height);
            ASSERT_GT(width * height, 0);
            int bytes = ManagerBufferBytes(library.cameraType);
            if (!bytes)
                bytes = width * height * (wide ? 6 : 3) + 512;
            // A guard behind the buffer shows any write past its end.
            std::vector<BYTE> raw(bytes + 64, 0xA5), image(bytes + 64, 0xA5);
            ASSERT_EQ(driver.Grab(raw), 1) << library.dll << " resolution " << index;
            EXPECT_EQ(driver.Call<DecodeFn>("Decode", raw.data(), image.data(), width, height, 0),
                      1);
            for (int i = 0; i < 64; ++i) {
                ASSERT_EQ(raw[bytes + i], 0xA5) << library.dll << " resolution " << index;
                ASSERT_EQ(image[bytes + i], 0xA5) << library.dll << " resolution " << index;
            }
            if (wide)
                driver.Call<IntFn>("SetDataWide", 0);
            driver.Call<VoidFn>("UnInit");
        }
    }
}

TEST(CamDrvLibraries, DecodeGivesBitmapRowsOfEightOrSixteenBitSamples)
{
    Driver driver(Find('A'));
    ASSERT_EQ(driver.Init(1), 1);
    int width = 0, height = 0;
    driver.Size(&width, &height);
    EXPECT_EQ(width, 664);
    EXPECT_EQ(height, 512);
    std::vector<BYTE> raw(size_t(width) * height * 6), image(size_t(width) * height * 6);
    ASSERT_EQ(driver.Grab(raw), 1);
    const orvbench::RawFrameHeader* header =
        reinterpret_cast<const orvbench::RawFrameHeader*>(raw.data());
    EXPECT_EQ(header->magic, orvbench::kRawFrameMagic);
    EXPECT_EQ(header->width, width);
    EXPECT_EQ(header->depth, 8);

    EXPECT_EQ(driver.Call<DecodeFn>("Decode", raw.data(), image.data(), width + 2, height, 1), 0);
    ASSERT_EQ(driver.Call<DecodeFn>("Decode", raw.data(), image.data(), width, height, 1), 1);
    std::vector<BYTE> narrow(image.begin(), image.begin() + size_t(width) * height * 3);

    // With data width on, the frame carries 16-bit samples and Decode without rgbOut
    // gives 16-bit samples whose high bytes match the 8-bit picture.
    ASSERT_EQ(driver.Call<IntFn>("SetDataWide", 1), 1);
    ASSERT_EQ(driver.Grab(raw), 1);
    EXPECT_EQ(header->depth, 16);
    ASSERT_EQ(driver.Call<DecodeFn>("Decode", raw.data(), image.data(), width, height, 0), 1);
    int offCount = 0;
    for (size_t i = 0; i < narrow.size(); i += 97)
        offCount += abs(int(image[i * 2 + 1]) - int(narrow[i])) > 6;
    EXPECT_LT(offCount, int(narrow.size() / 97 / 50));
    ASSERT_EQ(driver.Call<DecodeFn>("Decode", raw.data(), image.data(), width, height, 1), 1);
    EXPECT_NEAR(Mean(image, width, 300, 200, 40, 1), Mean(narrow, width, 300, 200, 40, 1), 6.0);
}

TEST(CamDrvLibraries, WhiteBalanceAndFlatFieldFinishAfterAFewFrames)
{
    Driver driver(Find('C'));
    ASSERT_EQ(driver.Init(1), 1);
    int width = 0, height = 0;
    driver.Size(&width, &height);
    std::vector<BYTE> raw(size_t(width) * height * 6), image(size_t(width) * height * 3);
    ASSERT_EQ(driver.Grab(raw), 1);

    ASSERT_EQ(driver.Call<IntFn>("SetAWBState", 1), 1);
    int busy = 0, result = 0;
    driver.Call<TwoPtrFn>("GetAWBStateResult", &busy, &result);
    EXPECT_EQ(busy, 1);
    for (int i = 0; i < 3; ++i)
        driver.Grab(raw);
    EXPECT_EQ(driver.Poll("GetAWBStateResult"), 1);
    ASSERT_EQ(driver.Call<DecodeFn>("Decode", raw.data(), image.data(), width, height, 1), 1);
    // Background in the middle of the picture comes out grey.
    double blue = Mean(image, width, width / 2 - 8, 8, 16, 0);
    double green = Mean(image, width, width / 2 - 8, 8, 16, 1);
    double red = Mean(image, width, width / 2 - 8, 8, 16, 2);
    EXPECT_NEAR(red, green, 8.0);
    EXPECT_NEAR(blue, green, 8.0);

    // The flat field evens out the darker corners.
    auto cornerToCentre = [&]() {
        driver.Call<DecodeFn>("Decode", raw.data(), image.data(), width, height, 1);
        return Mean(image, width, 2, 2, 12, 1) / Mean(image, width, width / 2 - 6, 4, 12, 1);
    };
    double before = cornerToCentre();
    ASSERT_EQ(driver.Call<VoidFn>("CalcFlatFielding"), 1);
    EXPECT_EQ(driver.Poll("GetCalcFlatFieldingState"), 1);  // no grabs: finishes on time
    ASSERT_EQ(driver.Call<IntFn>("SetFlatFieldingState", 1), 1);
    double after = cornerToCentre();
    EXPECT_LT(before, 0.93);
    EXPECT_GT(after, before + 0.04);

    // Without a camera a calculation is refused rather than left busy.
    driver.Call<VoidFn>("UnInit");
    EXPECT_EQ(driver.Call<VoidFn>("CalcFlatFielding"), 0);
    EXPECT_EQ(driver.Call<IntFn>("SetAWBState", 1), 0);
}

TEST(CamDrvLibraries, LongExposureReportsProgressAndRestarts)
{
    Driver driver(Find('G'));
    std::vector<BYTE> raw(30246720);
    EXPECT_EQ(driver.Call<PtrFn>("GrabFrame", raw.data()), 0);  // not initialised
    ASSERT_EQ(driver.Init(3), 1);
    ASSERT_EQ(driver.Call<IntFn>("SetExposureTime", 5000), 1);
    int ms = 0;
    driver.Call<PtrFn>("GetExposureTime", &ms);
    EXPECT_EQ(ms, 5000);
    DWORD start = GetTickCount();
    EXPECT_EQ(driver.Call<PtrFn>("GrabFrame", raw.data()), 3);
    EXPECT_LT(GetTickCount() - start, 1000u);
    ASSERT_EQ(driver.Call<IntFn>("RestartLongExposure", 0), 1);
    EXPECT_EQ(driver.Call<PtrFn>("GrabFrame", raw.data()), 4);

    // A short exposure again: the first frame tells that it spans the change.
    ASSERT_EQ(driver.Call<IntFn>("SetExposureTime", 10), 1);
    EXPECT_EQ(driver.Grab(raw), 2);
    EXPECT_EQ(driver.Grab(raw), 1);
}

TEST(CamDrvLibraries, SettingsRangesParameterSetsAndFiles)
{
    Driver b(Find('B'));
    int max = 0;
    EXPECT_EQ(b.Call<PtrFn>("GetMaxExposure", &max), 1);
    EXPECT_EQ(max, 50000);

    Driver driver(Find('E'));
    ASSERT_EQ(driver.Init(2), 1);
    EXPECT_EQ(driver.Call<TwoIntFn>("SetLevelsValues", 200, 100), -4);
    EXPECT_EQ(driver.Call<TwoIntFn>("SetLevelsValues", 10, 240), 1);
    EXPECT_EQ(driver.Call<TwoIntFn>("SetMirror", 2, 1), 0);

    ASSERT_EQ(driver.Call<IntFn>("SetGamma", 120), 1);
    ASSERT_EQ(driver.Call<IntFn>("SaveParameter", 3), 1);
    ASSERT_EQ(driver.Call<IntFn>("SetGamma", 80), 1);
    EXPECT_EQ(driver.Call<IntFn>("SaveParameter", 22), 0);
    ASSERT_EQ(driver.Call<IntFn>("ReadParameter", 3), 1);
    BYTE gamma = 0, team = 0;
    driver.Call<PtrFn>("GetGamma", &gamma);
    driver.Call<PtrFn>("GetCurrentParameterTeam", &team);
    EXPECT_EQ(gamma, 120);
    EXPECT_EQ(team, 3);

    WCHAR folder[MAX_PATH], base[MAX_PATH], file[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    wsprintfW(base, L"%scamdrv_capture_%u", folder, GetCurrentProcessId());
    ASSERT_EQ(driver.Call<CaptureFn>("CaptureFile", base, 2, 1), 1);
    wsprintfW(file, L"%s.bmp", base);
    HANDLE h = CreateFileW(file, GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    BITMAPFILEHEADER fileHeader;
    BITMAPINFOHEADER info;
    DWORD got = 0;
    ReadFile(h, &fileHeader, sizeof(fileHeader), &got, NULL);
    ReadFile(h, &info, sizeof(info), &got, NULL);
    DWORD size = GetFileSize(h, NULL);
    CloseHandle(h);
    DeleteFileW(file);
    EXPECT_EQ(fileHeader.bfType, 0x4D42);
    EXPECT_EQ(info.biWidth, 640);  // the capture resolution, not the live one
    EXPECT_EQ(info.biHeight, 480);
    EXPECT_EQ(size, 54u + 640 * 480 * 3);

    // The other formats by their leading bytes; an unknown format writes nothing.
    const struct { int type; const WCHAR* extension; const char* magic; } kFiles[] = {
        {1, L"jpg", "\xFF\xD8"}, {8, L"tif", "II*"}, {4, L"raw", "ORRF"}};
    for (const auto& expected : kFiles) {
        ASSERT_EQ(driver.Call<CaptureFn>("CaptureFile", base, expected.type, 2), 1);
        wsprintfW(file, L"%s.%s", base, expected.extension);
        char head[4] = {0};
        h = CreateFileW(file, GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
        ASSERT_NE(h, INVALID_HANDLE_VALUE) << expected.type;
        ReadFile(h, head, sizeof(head), &got, NULL);
        CloseHandle(h);
        DeleteFileW(file);
        EXPECT_EQ(memcmp(head, expected.magic, strlen(expected.magic)), 0) << expected.type;
    }
    EXPECT_EQ(driver.Call<CaptureFn>("CaptureFile", base, 32, 0), 0);
}
