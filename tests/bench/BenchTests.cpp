// The simulated bench through the stand-in libraries: enumeration and hot plug,
// frame pacing, decoding against the reference rendering, picture controls, files,
// configuration sets and fault injection.
#include "BenchSupport.h"

#include "external/zuzirazo/ZuzIrazo.h"

#include <cmath>
#include <cstdio>
#include <cstring>

using namespace benchtest;
using orvbench::Bench;

namespace {

double Seconds()
{
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return double(c.QuadPart) / double(f.QuadPart);
}

// A folder of its own under the prefix's temporary folder, as a Windows path.
std::vector<WCHAR> TempFolder(const WCHAR* name)
{
    WCHAR path[MAX_PATH];
    GetTempPathW(MAX_PATH, path);
    lstrcatW(path, name);
    CreateDirectoryW(path, nullptr);
    lstrcatW(path, L"\\");
    return std::vector<WCHAR>(path, path + lstrlenW(path) + 1);
}

std::vector<WCHAR> Join(const std::vector<WCHAR>& folder, const WCHAR* file)
{
    WCHAR path[MAX_PATH];
    lstrcpyW(path, folder.data());
    lstrcatW(path, file);
    return std::vector<WCHAR>(path, path + lstrlenW(path) + 1);
}

std::vector<uint8_t> ReadAll(const WCHAR* path)
{
    HANDLE f = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    std::vector<uint8_t> data;
    if (f == INVALID_HANDLE_VALUE)
        return data;
    data.resize(GetFileSize(f, nullptr));
    DWORD got = 0;
    if (!data.empty())
        ReadFile(f, data.data(), DWORD(data.size()), &got, nullptr);
    CloseHandle(f);
    data.resize(got);
    return data;
}

struct GrabJob
{
    const char* dev;
    int result;
    double endedAt;
};

DWORD WINAPI GrabOnce(void* param)
{
    GrabJob* job = static_cast<GrabJob*>(param);
    std::vector<uint8_t> raw(RecvMemSize(job->dev));
    job->result = GetRawData(raw.data(), int(raw.size()), job->dev);
    job->endedAt = Seconds();
    return 0;
}

}  // namespace

TEST(BenchCameras, DefaultBenchHasOneColourZedOdirCamera)
{
    Bench::Get().LoadDefault();
    ASSERT_EQ(DeviceCount(), 1);
    std::string name = DeviceName(0);
    EXPECT_EQ(name, "Model73.1");
    EXPECT_EQ(DeviceVendor(name.c_str()), 0x0547);
    EXPECT_EQ(DeviceProduct(name.c_str()), 0xA005);
    EXPECT_EQ(HdDeviceCount(), 0);
    EXPECT_STREQ(DeviceName(1), "");
    EXPECT_NE(GetModuleHandleW(L"ZedOdir.dll"), nullptr);
    EXPECT_NE(GetProcAddress(GetModuleHandleW(L"ZedOdir.dll"), "DecodeRaw2Image"), nullptr);
    EXPECT_NE(GetProcAddress(GetModuleHandleW(L"ZuzIrazo.dll"), "HdSetDisplayHWND"), nullptr);
}

TEST(BenchCameras, BenchFileNamesCamerasOfBothLibraries)
{
    std::vector<WCHAR> folder = TempFolder(L"benchfile");
    std::vector<WCHAR> path = Join(folder, L"two.bench");
    const char text[] = "# two cameras\nseed 9\nnoise off\n"
                        "camera zedodir 5172:840A Cool.2 mono resolutions=696X520 clocks=Slow:12,Fast_Mode:40\n"
                        "camera zuzirazo EB1A:7585 Minor.1 colour\n";
    HANDLE f = CreateFileW(path.data(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written;
    WriteFile(f, text, sizeof text - 1, &written, nullptr);
    CloseHandle(f);
    char ansi[MAX_PATH];
    WideCharToMultiByte(CP_ACP, 0, path.data(), -1, ansi, MAX_PATH, nullptr, nullptr);
    std::string error;
    ASSERT_TRUE(Bench::Get().LoadFile(ansi, &error)) << error;

    ASSERT_EQ(DeviceCount(), 1);
    EXPECT_STREQ(DeviceName(0), "Cool.2");
    EXPECT_EQ(GetResolutionCount("Cool.2"), 1);
    EXPECT_STREQ(GetResItemName(0, "Cool.2"), "696X520");
    EXPECT_STREQ(GetPixclkItemName(1, "Cool.2"), "Fast Mode");
    ASSERT_EQ(HdDeviceCount(), 1);
    EXPECT_STREQ(HdDeviceName(0), "Minor.1");
    EXPECT_EQ(HdDeviceVendor("Minor.1"), 0xEB1A);
    EXPECT_EQ(Bench::Get().Options().seed, 9u);
    EXPECT_TRUE(Bench::Get().Options().noiseFree);
    orvbench::CameraSpec spec;
    ASSERT_TRUE(Bench::Get().Spec("Cool.2", &spec));
    EXPECT_TRUE(spec.cooled);   // the product is a cooled one
    EXPECT_FALSE(spec.colour);

    // The same file named by the environment, as a program run would find it.
    ASSERT_TRUE(SetEnvironmentVariableA("ORV_BENCH_FILE", ansi));
    Bench::Get().LoadDefault();
    Bench::Get().LoadFromEnvironment();
    EXPECT_EQ(HdDeviceCount(), 1);
    SetEnvironmentVariableA("ORV_BENCH_FILE", "C:\\no\\such.bench");
    Bench::Get().LoadFromEnvironment();
    EXPECT_STREQ(DeviceName(0), "Model73.1");
    SetEnvironmentVariableA("ORV_BENCH_FILE", nullptr);

    EXPECT_FALSE(Bench::Get().Load("camera zedodir 0547 X.1\n", &error));
    EXPECT_NE(error.find("line 1"), std::string::npos);
    EXPECT_FALSE(Bench::Get().Load("seed 1\ncamera zedodir 0547:A005 X.1 resolutions=321X200\n", &error));
    EXPECT_NE(error.find("line 2"), std::string::npos);
    EXPECT_FALSE(Bench::Get().Load("camera zedodir 0547:A005 X.1\ncamera zedodir 0547:A005 X.1\n", &error));
}

TEST(BenchCameras, PlugAndUnplugAreReportedByName)
{
    LoadBench("camera zedodir 0547:A005 A.1\n");
    EXPECT_STREQ(DeviceChange(nullptr, 1), "");
    ASSERT_TRUE(Bench::Get().Plug("camera zedodir 0547:A007 B.1"));
    EXPECT_EQ(DeviceCount(), 2);
    EXPECT_STREQ(DeviceChange(nullptr, 1), "B.1");
    EXPECT_STREQ(DeviceChange(nullptr, 1), "");
    EXPECT_FALSE(Bench::Get().Plug("camera zedodir 0547:A007 B.1"));
    ASSERT_TRUE(Bench::Get().Unplug("A.1"));
    EXPECT_EQ(DeviceCount(), 1);
    EXPECT_STREQ(DeviceName(0), "B.1");
    EXPECT_STREQ(DeviceChange(nullptr, 0), "A.1");
    // A call for an unplugged camera fails instead of touching a stale device.
    std::vector<uint8_t> raw(1024);
    EXPECT_EQ(GetRawData(raw.data(), 1024, "A.1"), ZEDODIR_DEVICE_ERROR);
    EXPECT_NE(SetGamma(100, "A.1"), 0);
}

TEST(BenchFrames, FrameRateFollowsExposureAndClock)
{
    LoadSmallBench(false);
    ASSERT_EQ(SetPixelclock(1, kSmallCamera), 0);
    ASSERT_EQ(SetExposure(25.0f, kSmallCamera), 0);
    double expected = Bench::Get().FrameRate(kSmallCamera);
    EXPECT_NEAR(expected, 40.0, 0.01);
    std::vector<uint8_t> raw(RecvMemSize(kSmallCamera));
    int frames = 0;
    GetRawData(raw.data(), int(raw.size()), kSmallCamera);   // align to the stream
    double start = Seconds();
    while (Seconds() - start < 3.0)
        if (GetRawData(raw.data(), int(raw.size()), kSmallCamera) == ZEDODIR_FRAME)
            ++frames;
    double rate = frames / (Seconds() - start);
    EXPECT_NEAR(rate, expected, expected * 0.05);
}

TEST(BenchFrames, LongExposureGrabAnswersNoFrameWithinATenthOfASecond)
{
    LoadSmallBench();
    ASSERT_EQ(SetExposure(10000.0f, kSmallCamera), 0);
    ResetDevice(kSmallCamera);
    std::vector<uint8_t> raw(RecvMemSize(kSmallCamera));
    double start = Seconds();
    EXPECT_EQ(GetRawData(raw.data(), int(raw.size()), kSmallCamera), ZEDODIR_NO_FRAME);
    EXPECT_LT(Seconds() - start, 0.15);
}

TEST(BenchFrames, ResetAndSuspendReleaseAWaitingGrabAtOnce)
{
    LoadSmallBench();
    ASSERT_EQ(SetExposure(10000.0f, kSmallCamera), 0);
    // The frame under way when the exposure grew still comes at its old time: start a
    // long one now, or the first grab may get that frame before the reset.
    ResetDevice(kSmallCamera);
    const char* ways[] = {"reset", "suspend", "exit"};
    for (const char* way : ways) {
        ResumeDevice(kSmallCamera);
        GrabJob job{kSmallCamera, 99, 0};
        HANDLE thread = CreateThread(nullptr, 0, GrabOnce, &job, 0, nullptr);
        Sleep(30);
        double released = Seconds();
        if (way == ways[0])
            ResetDevice(kSmallCamera);
        else if (way == ways[1])
            SuspendDevice(kSmallCamera);
        else
            ExitDevice();
        ASSERT_EQ(WaitForSingleObject(thread, 2000), WAIT_OBJECT_0);
        CloseHandle(thread);
        EXPECT_EQ(job.result, ZEDODIR_NO_FRAME);
        EXPECT_LT(job.endedAt - released, 0.05) << way;
    }
}

TEST(BenchFrames, RawFrameHeaderDescribesTheFrame)
{
    LoadSmallBench();
    ASSERT_EQ(SetResolution(1, kSmallCamera), 0);
    ASSERT_EQ(SetRawDepth(16, kSmallCamera), 0);
    std::vector<uint8_t> raw;
    ASSERT_EQ(GrabFrame(kSmallCamera, raw), ZEDODIR_FRAME);
    orvbench::RawFrameHeader hd;
    memcpy(&hd, raw.data(), sizeof hd);
    EXPECT_EQ(hd.magic, orvbench::kRawFrameMagic);
    EXPECT_EQ(hd.width, 160);
    EXPECT_EQ(hd.height, 128);
    EXPECT_EQ(hd.depth, 16);
    EXPECT_EQ(hd.resolution, 1);
    EXPECT_EQ(hd.mosaic, 1);
    EXPECT_EQ(hd.dataBytes, 160u * 128 * 2);
    int w = 0, h = 0;
    EXPECT_EQ(GetRawSize(&w, &h, kSmallCamera), 0);
    EXPECT_EQ(w, 160);
    EXPECT_EQ(h, 128);
    // Twelve significant bits, stored left-justified and little-endian.
    for (size_t i = 0; i < 200; ++i)
        EXPECT_EQ(raw[hd.headerSize + 2 * i] & 0x0F, 0);
    std::vector<uint8_t> tiny(100);
    EXPECT_EQ(GetRawData(tiny.data(), 100, kSmallCamera), ZEDODIR_DEVICE_ERROR);
}

TEST(BenchDecode, DecodedFrameEqualsTheReferenceRendering)
{
    for (bool noiseFree : {true, false}) {
        LoadSmallBench(noiseFree);
        SetGamma(120, kSmallCamera);
        SetChannelGain(80, 64, 70, kSmallCamera);
        SetSharpness(3, kSmallCamera);
        Picture pic;
        ASSERT_TRUE(Shoot(kSmallCamera, &pic));
        orvbench::CameraSettings s;
        ASSERT_TRUE(Bench::Get().Settings(kSmallCamera, &s));
        std::vector<uint8_t> ref;
        ASSERT_TRUE(Bench::Get().ReferenceImage(kSmallCamera, s, pic.frame, &ref));
        const orvbench::ImageRecord& rec = pic.Record();
        size_t bytes = rec.headerSize + orvbench::ImagePixelBytes(rec) + orvbench::kHistogramBytes;
        ASSERT_EQ(ref.size(), bytes);
        EXPECT_EQ(memcmp(ref.data() + rec.headerSize, pic.Pixels(), bytes - rec.headerSize), 0)
            << (noiseFree ? "noise-free" : "with noise");
    }
}

TEST(BenchDecode, FramesThisCameraCannotDeliverAreRefused)
{
    LoadSmallBench();
    std::vector<uint8_t> raw;
    ASSERT_EQ(GrabFrame(kSmallCamera, raw), ZEDODIR_FRAME);
    std::vector<uint8_t> image(raw.size() * 3);
    orvbench::RawFrameHeader hd;
    memcpy(&hd, raw.data(), sizeof hd);
    orvbench::RawFrameHeader bad = hd;
    bad.width = 60000;   // would have the decoder read and write far past the buffers
    bad.dataBytes = uint32_t(bad.width) * bad.height;
    memcpy(raw.data(), &bad, sizeof bad);
    EXPECT_NE(DecodeRaw2Image(raw.data(), image.data(), kSmallCamera), 0);
    bad = hd;
    bad.resolution = 7;
    memcpy(raw.data(), &bad, sizeof bad);
    EXPECT_NE(DecodeRaw2Image(raw.data(), image.data(), kSmallCamera), 0);
    raw[0] ^= 0xFF;
    EXPECT_NE(DecodeRaw2Image(raw.data(), image.data(), kSmallCamera), 0);
    memcpy(raw.data(), &hd, sizeof hd);
    EXPECT_EQ(DecodeRaw2Image(raw.data(), image.data(), kSmallCamera), 0);
}

TEST(BenchDecode, ImageRecordAndHistogramBlocks)
{
    LoadBench("noise on\ncamera zedodir 0547:A005 C.1 colour resolutions=320X256\n"
              "camera zedodir 0547:E004 M.1 mono resolutions=320X256\n");
    for (const char* dev : {"C.1", "M.1"}) {
        ResumeDevice(dev);
        for (int depth : {8, 16}) {
            SetRawDepth(depth, dev);
            Picture pic;
            ASSERT_TRUE(Shoot(dev, &pic));
            const orvbench::ImageRecord& rec = pic.Record();
            EXPECT_EQ(rec.width, 320);
            EXPECT_EQ(rec.height, 256);
            EXPECT_EQ(rec.bits, depth);
            EXPECT_EQ(rec.channels, std::string(dev) == "C.1" ? 3 : 1);
            EXPECT_EQ(rec.data, pic.buffer.data() + rec.headerSize);
            const orvbench::HistogramBlock* blocks = orvbench::ImageHistograms(rec);
            for (int b = 0; b < 4; ++b) {
                long sum = 0;
                for (int i = 0; i < 256; ++i)
                    sum += blocks[b].counts[i];
                EXPECT_EQ(sum, 320L * 256) << dev << " depth " << depth << " block " << b;
                EXPECT_LE(blocks[b].low, blocks[b].high);
            }
        }
    }
}

TEST(BenchDecode, DoublingAChannelGainDoublesThatChannel)
{
    LoadSmallBench();
    SetExposure(12.0f, kSmallCamera);
    Picture base, doubled;
    ASSERT_TRUE(Shoot(kSmallCamera, &base));
    ASSERT_EQ(SetChannelGain(64, 64, 128, kSmallCamera), 0);
    ASSERT_TRUE(Shoot(kSmallCamera, &doubled));
    EXPECT_NEAR(doubled.Mean(0) / base.Mean(0), 2.0, 0.04);
    EXPECT_NEAR(doubled.Mean(1), base.Mean(1), 0.5);
    EXPECT_NEAR(doubled.Mean(2), base.Mean(2), 0.5);
}

namespace {

double Spread(const Picture& p, int c)
{
    double mean = p.Mean(c), sum = 0;
    const orvbench::ImageRecord& r = p.Record();
    for (int y = 0; y < r.height; ++y)
        for (int x = 0; x < r.width; ++x)
            sum += (p.At(x, y, c) - mean) * (p.At(x, y, c) - mean);
    return std::sqrt(sum / (double(r.width) * r.height));
}

// Mean absolute difference between horizontal neighbours: noise and fine detail.
double Roughness(const Picture& p)
{
    const orvbench::ImageRecord& r = p.Record();
    double sum = 0;
    for (int y = 0; y < r.height; ++y)
        for (int x = 1; x < r.width; ++x)
            sum += std::abs(p.At(x, y, 1) - p.At(x - 1, y, 1));
    return sum / (double(r.width - 1) * r.height);
}

}  // namespace

TEST(BenchDecode, PictureControlsChangeThePictureAsExpected)
{
    LoadSmallBench();
    Picture base;
    ASSERT_TRUE(Shoot(kSmallCamera, &base));
    auto shootWith = [](auto set, auto reset) {
        set();
        Picture p;
        EXPECT_TRUE(Shoot(kSmallCamera, &p));
        reset();
        return p;
    };
    const char* d = kSmallCamera;
    Picture p;
    p = shootWith([&] { SetExposure(60.0f, d); }, [&] { SetExposure(33.0f, d); });
    EXPECT_GT(p.Mean(1), base.Mean(1) * 1.4) << "exposure";
    p = shootWith([&] { SetAnaloggain(40, d); }, [&] { SetAnaloggain(0, d); });
    EXPECT_GT(p.Mean(1), base.Mean(1) * 1.4) << "gain";
    p = shootWith([&] { SetBlacklevel(40, d); }, [&] { SetBlacklevel(0, d); });
    EXPECT_LT(p.Mean(1), base.Mean(1) - 20) << "black level";
    p = shootWith([&] { SetGamma(150, d); }, [&] { SetGamma(100, d); });
    EXPECT_GT(p.Mean(1), base.Mean(1) + 10) << "gamma";
    p = shootWith([&] { SetContrast(200, d); }, [&] { SetContrast(128, d); });
    EXPECT_GT(Spread(p, 1), Spread(base, 1) * 1.3) << "contrast";
    p = shootWith([&] { SetSaturation(0, d); }, [&] { SetSaturation(100, d); });
    EXPECT_NEAR(p.Mean(0), p.Mean(2), 1.0) << "saturation";
    EXPECT_GT(std::fabs(base.Mean(0) - base.Mean(2)), 3.0);
    p = shootWith([&] { SetMonochrome(1, d); }, [&] { SetMonochrome(0, d); });
    EXPECT_EQ(p.At(100, 100, 0), p.At(100, 100, 2)) << "monochrome";
    p = shootWith([&] { SetColorTemperature(63, d); }, [&] { SetColorTemperature(0, d); });
    EXPECT_GT(p.Mean(0) / p.Mean(2), base.Mean(0) / base.Mean(2) * 1.3) << "colour temperature";
    p = shootWith([&] { SetStretchEx(60, 200, 0, 1, d); }, [&] { SetStretchEx(0, 255, 0, 1, d); });
    EXPECT_GT(Spread(p, 1), Spread(base, 1) * 1.4) << "levels";
    EXPECT_NEAR(p.Mean(0), base.Mean(0), 0.01) << "levels of one channel";
    for (int flip = 1; flip <= 3; ++flip) {
        p = shootWith([&] { SetFlip(flip, d); }, [&] { SetFlip(0, d); });
        const int w = p.Record().width, h = p.Record().height;
        int x = 37, y = 51;
        int fx = flip & 1 ? w - 1 - x : x, fy = flip & 2 ? h - 1 - y : y;
        EXPECT_EQ(p.At(fx, fy, 1), base.At(x, y, 1)) << "flip " << flip;
    }
}

TEST(BenchDecode, DenoiseSmoothsAndSharpnessRoughens)
{
    LoadSmallBench(false);
    Picture base, smooth, sharp;
    ASSERT_TRUE(Shoot(kSmallCamera, &base));
    SetDenoise(10, kSmallCamera);
    ASSERT_TRUE(Shoot(kSmallCamera, &smooth));
    SetDenoise(0, kSmallCamera);
    SetSharpness(10, kSmallCamera);
    ASSERT_TRUE(Shoot(kSmallCamera, &sharp));
    EXPECT_LT(Roughness(smooth), Roughness(base) * 0.7);
    EXPECT_GT(Roughness(sharp), Roughness(base) * 1.5);
}

TEST(BenchDecode, CellsBlurAsTheFocusLeavesThem)
{
    LoadSmallBench();
    Picture sharp, blurred;
    Bench::Get().SetFocus(0.0f);
    ASSERT_TRUE(Shoot(kSmallCamera, &sharp));
    Bench::Get().SetFocus(4.0f);
    ASSERT_TRUE(Shoot(kSmallCamera, &blurred));
    Bench::Get().SetFocus(0.0f);
    EXPECT_LT(Roughness(blurred), Roughness(sharp) * 0.6);
    EXPECT_NEAR(blurred.Mean(1), sharp.Mean(1), sharp.Mean(1) * 0.05);   // same light
}

TEST(BenchDecode, DefectCorrectionRemovesHotPixels)
{
    LoadBench("noise off\ncamera zedodir 0547:A005 H.1 mono resolutions=640X512\n");
    ResumeDevice("H.1");
    SetExposure(5.0f, "H.1");
    Picture before, after;
    ASSERT_TRUE(Shoot("H.1", &before));
    // Hot pixels stand far above a dim picture.
    auto hot = [](const Picture& p) {
        int n = 0;
        for (int y = 1; y < 511; ++y)
            for (int x = 1; x < 639; ++x)
                if (p.At(x, y, 0) > p.At(x - 1, y, 0) + 60 && p.At(x, y, 0) > p.At(x + 1, y, 0) + 60)
                    ++n;
        return n;
    };
    ASSERT_GT(hot(before), 0);
    ASSERT_EQ(CalcDefectCorrection("H.1"), 0);
    ASSERT_EQ(SetDefectCorrectionState(1, "H.1"), 0);
    ASSERT_TRUE(Shoot("H.1", &after));
    EXPECT_EQ(hot(after), 0);
}

TEST(BenchDecode, FlatFieldEvensOutTheVignetting)
{
    LoadSmallBench();
    auto cornerToCentre = [](const Picture& p) {
        // The brightest tenth of a block is the lamp seen through empty slide.
        auto bright = [&](int x0, int y0) {
            std::vector<int> v;
            for (int y = y0; y < y0 + 24; ++y)
                for (int x = x0; x < x0 + 24; ++x)
                    v.push_back(p.At(x, y, 1));
            std::sort(v.begin(), v.end());
            return double(v[v.size() * 9 / 10]);
        };
        return bright(0, 0) / bright(148, 116);
    };
    Picture before, after;
    ASSERT_TRUE(Shoot(kSmallCamera, &before));
    ASSERT_EQ(CalcFlatfield(4, 0, kSmallCamera), 0);
    ASSERT_EQ(SetFlatfieldState(1, kSmallCamera), 0);
    ASSERT_TRUE(Shoot(kSmallCamera, &after));
    EXPECT_LT(cornerToCentre(before), 0.9);
    EXPECT_NEAR(cornerToCentre(after), 1.0, 0.05);
}

TEST(BenchDecode, AutomaticLevelsAreReadBack)
{
    LoadSmallBench();
    ASSERT_EQ(SetStretchEx(0, 255, 1, 0, kSmallCamera), 0);
    Picture p;
    ASSERT_TRUE(Shoot(kSmallCamera, &p));
    int low = -1, high = -1, state = -1;
    ASSERT_EQ(GetStretchEx(&low, &high, &state, 0, kSmallCamera), 0);
    EXPECT_EQ(state, 1);
    const orvbench::HistogramBlock* blocks = orvbench::ImageHistograms(p.Record());
    EXPECT_EQ(low, blocks[1].low);
    EXPECT_EQ(high, blocks[1].high);
    EXPECT_GT(high, low);
    EXPECT_NE(SetStretchEx(200, 100, 0, 0, kSmallCamera), 0);
    EXPECT_NE(SetStretchEx(0, 255, 0, 3, kSmallCamera), 0);
}

TEST(BenchSettings, EveryGetReturnsWhatItsSetStored)
{
    LoadSmallBench();
    const char* d = kSmallCamera;
    int v = 0, a = 0, b = 0, c = 0;
    BYTE by = 0;
    struct Pair { const char* what; int (WINAPI* set)(int, const char*); int (WINAPI* get)(int*, const char*); int value; };
    const Pair pairs[] = {
        {"gamma", SetGamma, GetGamma, 77}, {"contrast", SetContrast, GetContrast, 140},
        {"saturation", SetSaturation, GetSaturation, 90}, {"monochrome", SetMonochrome, GetMonochrome, 1},
        {"flip", SetFlip, GetFlip, 3}, {"black level", SetBlacklevel, GetBlacklevel, 12},
        {"colour enhancement", SetColorEnhancement, GetColorEnhancement, 1},
        {"colour temperature", SetColorTemperature, GetColorTemperature, 40},
        {"flat field", SetFlatfieldState, GetFlatfieldState, 1},
        {"defect", SetDefectCorrectionState, GetDefectCorrectionState, 1},
        {"shift", SetShiftOperator, GetShiftOperator, 3}, {"sharpness", SetSharpness, GetSharpness, 4},
        {"denoise", SetDenoise, GetDenoise, 6}, {"cooling", SetCooled, GetCooled, 1},
        {"filter", SetFilter, GetFilter, 2},
    };
    for (const Pair& p : pairs) {
        ASSERT_EQ(p.set(p.value, d), 0) << p.what;
        ASSERT_EQ(p.get(&v, d), 0) << p.what;
        EXPECT_EQ(v, p.value) << p.what;
    }
    ASSERT_EQ(SetExposure(12.5f, d), 0);
    EXPECT_DOUBLE_EQ(GetExposure(d), 12.5);
    ASSERT_EQ(SetAnaloggain(57, d), 0);
    EXPECT_EQ(GetAnaloggain(d), 57);
    ASSERT_EQ(SetChannelGain(10, 20, 30, d), 0);
    ASSERT_EQ(GetChannelGain(&a, &b, &c, d), 0);
    EXPECT_EQ(a, 10);
    EXPECT_EQ(b, 20);
    EXPECT_EQ(c, 30);
    ASSERT_EQ(SetGammaEx(130, 2, d), 0);
    ASSERT_EQ(GetGammaEx(&v, 2, d), 0);
    EXPECT_EQ(v, 130);
    ASSERT_EQ(SetAETarget(90, d), 0);
    ASSERT_EQ(GetAETarget(&by, d), 0);
    EXPECT_EQ(by, 90);
    ASSERT_EQ(SetAutoExposure(1, d), 0);
    ASSERT_EQ(GetAutoExposure(&by, d), 0);
    EXPECT_EQ(by, 1);
    ASSERT_EQ(SetResolution(1, d), 0);
    EXPECT_EQ(GetResolution(d), 1);
    ASSERT_EQ(SetPixelclock(1, d), 0);
    EXPECT_EQ(GetPixelclock(d), 1);
    ASSERT_EQ(SetRawDepth(16, d), 0);
    EXPECT_EQ(GetRawDepth(d), 16);
    ASSERT_EQ(SetStretchEx(10, 220, 0, 2, d), 0);
    ASSERT_EQ(GetStretchEx(&a, &b, &c, 2, d), 0);
    EXPECT_EQ(a, 10);
    EXPECT_EQ(b, 220);
    EXPECT_EQ(c, 0);
    // Values outside the ranges the library reports are refused and change nothing.
    int lo = 0, hi = 0;
    ASSERT_EQ(GetShiftOperatorRange(&lo, &hi, d), 0);
    EXPECT_NE(SetShiftOperator(hi + 1, d), 0);
    EXPECT_NE(SetResolution(2, d), 0);
    EXPECT_NE(SetRawDepth(12, d), 0);
    EXPECT_NE(SetExposure(0.0f, d), 0);
    EXPECT_EQ(GetResolution(d), 1);
    ASSERT_EQ(GetChannelGainRange(&lo, &hi, d), 0);
    EXPECT_NE(SetChannelGain(hi + 1, 64, 64, d), 0);
    float fmin = 0, fmax = 0, unit = 0;
    ASSERT_EQ(GetExposureRange(&fmin, &fmax, &unit, d), 0);
    EXPECT_GT(unit, 0.0f);
    EXPECT_LE(fmin, unit);
    EXPECT_GE(fmax, 3599999.0f);
}

TEST(BenchSettings, ConfigurationSetSurvivesARestartOfTheLibrary)
{
    std::vector<WCHAR> folder = TempFolder(L"zedconfig");
    LoadSmallBench();
    ASSERT_EQ(InitDevice(folder.data()), 0);
    SetGamma(123, kSmallCamera);
    SetExposure(44.5f, kSmallCamera);
    SetChannelGain(70, 80, 90, kSmallCamera);
    SetFlip(2, kSmallCamera);
    ASSERT_EQ(SaveConfiguration(7, kSmallCamera), 0);
    EXPECT_NE(SaveConfiguration(22, kSmallCamera), 0);
    EXPECT_NE(SaveConfiguration(-1, kSmallCamera), 0);
    ExitDevice();

    LoadSmallBench();   // a fresh library: every value back to power-up
    ASSERT_EQ(InitDevice(folder.data()), 0);
    int v = 0;
    GetGamma(&v, kSmallCamera);
    ASSERT_EQ(v, 100);
    EXPECT_NE(LoadConfiguration(8, kSmallCamera), 0);
    ASSERT_EQ(LoadConfiguration(7, kSmallCamera), 0);
    GetGamma(&v, kSmallCamera);
    EXPECT_EQ(v, 123);
    EXPECT_FLOAT_EQ(float(GetExposure(kSmallCamera)), 44.5f);
    int b = 0, g = 0, r = 0;
    GetChannelGain(&b, &g, &r, kSmallCamera);
    EXPECT_EQ(b, 70);
    EXPECT_EQ(r, 90);
    GetFlip(&v, kSmallCamera);
    EXPECT_EQ(v, 2);
    BYTE set = 0;
    ASSERT_EQ(GetCurrentConfiguration(&set, kSmallCamera), 0);
    EXPECT_EQ(set, 7);
}

TEST(BenchFiles, SavedFilesHoldTheDecodedPicture)
{
    std::vector<WCHAR> folder = TempFolder(L"zedfiles");
    LoadSmallBench();
    Picture pic;
    ASSERT_TRUE(Shoot(kSmallCamera, &pic));

    std::vector<WCHAR> bmp = Join(folder, L"shot.bmp");
    ASSERT_EQ(SetImageFormat(ZEDODIR_FORMAT_BMP, kSmallCamera), 0);
    ASSERT_EQ(SaveImage(bmp.data(), 90, kSmallCamera), 0);
    std::vector<uint8_t> data = ReadAll(bmp.data());
    ASSERT_EQ(data.size(), 54u + 320 * 256 * 3);
    EXPECT_EQ(data[0], 'B');
    EXPECT_EQ(data[1], 'M');
    EXPECT_EQ(memcmp(data.data() + 54, pic.Pixels(), 320 * 256 * 3), 0);

    std::vector<WCHAR> jpg = Join(folder, L"shot.jpg");
    ASSERT_EQ(SetImageFormat(ZEDODIR_FORMAT_JPEG, kSmallCamera), 0);
    ASSERT_EQ(SaveImage(jpg.data(), 85, kSmallCamera), 0);
    data = ReadAll(jpg.data());
    ASSERT_GT(data.size(), 1000u);
    EXPECT_EQ(data[0], 0xFF);
    EXPECT_EQ(data[1], 0xD8);
    EXPECT_EQ(data[data.size() - 2], 0xFF);
    EXPECT_EQ(data[data.size() - 1], 0xD9);

    std::vector<WCHAR> tif = Join(folder, L"shot.tif");
    ASSERT_EQ(SaveFile(tif.data(), pic.buffer.data(), ZEDODIR_FORMAT_TIFF, kSmallCamera), 0);
    data = ReadAll(tif.data());
    ASSERT_GT(data.size(), 320u * 256 * 3);
    EXPECT_EQ(memcmp(data.data(), "II*\0", 4), 0);

    std::vector<WCHAR> raw = Join(folder, L"shot.raw");
    ASSERT_EQ(SetImageFormat(ZEDODIR_FORMAT_RAW, kSmallCamera), 0);
    ASSERT_EQ(SaveImage(raw.data(), 0, kSmallCamera), 0);
    data = ReadAll(raw.data());
    ASSERT_EQ(data.size(), orvbench::kRawHeaderSize + 320u * 256);
    orvbench::RawFrameHeader hd;
    memcpy(&hd, data.data(), sizeof hd);
    EXPECT_EQ(hd.magic, orvbench::kRawFrameMagic);

    EXPECT_NE(SetImageFormat(3, kSmallCamera), 0);
}

TEST(BenchFaults, InjectedGrabResultsAndDeviceErrors)
{
    LoadSmallBench();
    std::vector<uint8_t> raw(RecvMemSize(kSmallCamera));
    ASSERT_TRUE(Bench::Get().InjectGrabResult(kSmallCamera, ZEDODIR_OVEREXPOSED));
    EXPECT_EQ(GetRawData(raw.data(), int(raw.size()), kSmallCamera), ZEDODIR_OVEREXPOSED);
    EXPECT_EQ(GrabFrame(kSmallCamera, raw), ZEDODIR_FRAME);
    ASSERT_TRUE(Bench::Get().InjectDeviceError(kSmallCamera, true));
    EXPECT_EQ(GetRawData(raw.data(), int(raw.size()), kSmallCamera), ZEDODIR_DEVICE_ERROR);
    EXPECT_EQ(GetRawData(raw.data(), int(raw.size()), kSmallCamera), ZEDODIR_DEVICE_ERROR);
    // A device in error writes no file.
    std::vector<WCHAR> bmp = Join(TempFolder(L"zedfaults"), L"error.bmp");
    DeleteFileW(bmp.data());
    EXPECT_NE(SaveImage(bmp.data(), 0, kSmallCamera), 0);
    EXPECT_EQ(GetFileAttributesW(bmp.data()), INVALID_FILE_ATTRIBUTES);
    Bench::Get().InjectDeviceError(kSmallCamera, false);
    EXPECT_EQ(GrabFrame(kSmallCamera, raw), ZEDODIR_FRAME);
    EXPECT_EQ(SaveImage(bmp.data(), 0, kSmallCamera), 0);
    EXPECT_FALSE(Bench::Get().InjectGrabResult("nobody", 3));

    // A camera that is gone answers after a device's time-out, not at once.
    ASSERT_TRUE(Bench::Get().Unplug(kSmallCamera));
    const double start = Seconds();
    EXPECT_EQ(GetRawData(raw.data(), int(raw.size()), kSmallCamera), ZEDODIR_DEVICE_ERROR);
    EXPECT_GE(Seconds() - start, 0.08);
}

TEST(BenchCooling, CooledSensorCoolsWhileTheCoolerRuns)
{
    LoadBench("camera zedodir 5172:840A Cool.1 mono resolutions=320X256\n"
              "camera zedodir 0547:A005 Warm.1 colour resolutions=320X256\n");
    float start = 0, later = 0, warm0 = 0, warm1 = 0;
    ASSERT_EQ(GetTemperature(&start, "Cool.1"), 0);
    GetTemperature(&warm0, "Warm.1");
    ASSERT_EQ(SetCooled(1, "Cool.1"), 0);
    SetCooled(1, "Warm.1");
    const double from = Seconds();
    while (Seconds() - from < 10.0) {
        GetTemperature(&later, "Cool.1");
        if (later < start - 3.0f)
            break;
        Sleep(50);
    }
    GetTemperature(&warm1, "Warm.1");
    EXPECT_LT(later, start - 3.0f);
    EXPECT_NEAR(warm1, warm0, 0.5f);
}

TEST(BenchZuzIrazo, HdCallsServeTheSecondLibrarysCameras)
{
    LoadBench("noise off\ncamera zuzirazo EB1A:7585 Minor.1 colour resolutions=320X256\n");
    ASSERT_EQ(HdDeviceCount(), 1);
    EXPECT_EQ(DeviceCount(), 0);
    ASSERT_EQ(HdResumeDevice("Minor.1"), 0);
    EXPECT_EQ(HdSetDisplayHWND(nullptr, "Minor.1"), 0);
    std::vector<uint8_t> raw(HdRecvMemSize("Minor.1"));
    int r = ZEDODIR_NO_FRAME;
    for (int i = 0; i < 40 && r == ZEDODIR_NO_FRAME; ++i)
        r = HdGetRawData(raw.data(), int(raw.size()), "Minor.1");
    ASSERT_EQ(r, 0);
    std::vector<uint8_t> image(raw.size() * 3);
    ASSERT_EQ(HdDecodeRaw2Image(raw.data(), image.data(), "Minor.1"), 0);
    EXPECT_EQ(reinterpret_cast<orvbench::ImageRecord*>(image.data())->channels, 3);
    int gamma = 0;
    HdGetGamma(&gamma, "Minor.1");
    EXPECT_EQ(gamma, 2);   // this family's neutral gamma
    EXPECT_EQ(SetGamma(100, "Minor.1"), -1);   // not a ZedOdir camera
    BYTE wb = 9;
    ASSERT_EQ(HdCalcWhiteBalance(nullptr, nullptr, "Minor.1"), 0);
    ASSERT_EQ(HdGetWhiteBalance(&wb, "Minor.1"), 0);
    EXPECT_EQ(wb, 1);
}
