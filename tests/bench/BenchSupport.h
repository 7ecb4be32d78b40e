// Helpers for the camera bench tests: a bench with known cameras, grabbing and
// decoding through the stand-in library, and picture statistics.
#pragma once

#include "support/gtest.h"

#include <windows.h>

#include "external/bench/Bench.h"
#include "external/zedodir/ZedOdir.h"

#include <string>
#include <vector>

namespace benchtest {

// A bench of one small, noise-free colour camera, resumed.
static const char kSmallCamera[] = "Cam.1";

inline void LoadBench(const std::string& text)
{
    std::string error;
    ASSERT_TRUE(orvbench::Bench::Get().Load(text, &error)) << error;
}

inline void LoadSmallBench(bool noiseFree = true)
{
    LoadBench(std::string("seed 5\nnoise ") + (noiseFree ? "off" : "on")
              + "\ncamera zedodir 0547:A005 Cam.1 colour resolutions=320X256,160X128\n");
    ASSERT_EQ(ResumeDevice(kSmallCamera), 0);
}

// The framework and the camera library reach this program through their C++ symbols
// only, which leaves them out of its import table: load them as modules so their own
// imports are resolved before any of their code runs.
inline void LoadCameraLibrary()
{
    ASSERT_NE(LoadLibraryW(L"orvfw.dll"), nullptr);
    ASSERT_NE(LoadLibraryW(L"QrCCamera.dll"), nullptr);
}

// Grabs until a frame arrives (at most about two seconds).
inline int GrabFrame(const char* dev, std::vector<uint8_t>& raw)
{
    raw.assign(RecvMemSize(dev), 0);
    int r = ZEDODIR_NO_FRAME;
    for (int i = 0; i < 40 && r == ZEDODIR_NO_FRAME; ++i)
        r = GetRawData(raw.data(), int(raw.size()), dev);
    return r;
}

struct Picture
{
    std::vector<uint8_t> buffer;
    orvbench::RawFrameHeader frame{};
    const orvbench::ImageRecord& Record() const
    {
        return *reinterpret_cast<const orvbench::ImageRecord*>(buffer.data());
    }
    const uint8_t* Pixels() const { return buffer.data() + Record().headerSize; }
    // 8-bit value of channel c (0 red, 1 green, 2 blue) at column x, row y from the top.
    int At(int x, int y, int c) const
    {
        const orvbench::ImageRecord& r = Record();
        int bytes = r.bits / 8, ch = r.channels;
        int sc = ch == 3 ? 2 - c : 0;
        size_t i = ((size_t(r.height - 1 - y) * r.width + x) * ch + sc) * bytes;
        return Pixels()[i + bytes - 1];
    }
    double Mean(int c) const
    {
        const orvbench::ImageRecord& r = Record();
        double sum = 0;
        for (int y = 0; y < r.height; ++y)
            for (int x = 0; x < r.width; ++x)
                sum += At(x, y, c);
        return sum / (double(r.width) * r.height);
    }
};

// Grabs one frame and decodes it through the library.
inline bool Shoot(const char* dev, Picture* pic)
{
    std::vector<uint8_t> raw;
    if (GrabFrame(dev, raw) != ZEDODIR_FRAME)
        return false;
    memcpy(&pic->frame, raw.data(), sizeof pic->frame);
    pic->buffer.assign(raw.size() * 3, 0);
    return DecodeRaw2Image(raw.data(), pic->buffer.data(), dev) == 0;
}

}  // namespace benchtest
