// Capture writers against the bare libraries, on one 1920 x 1080 frame:
//   JPEG writer (bottom-up B,G,R frame to a new file through Win32 file I/O)
//     /  libjpeg-turbo encoding the same frame, already top-down R,G,B, into memory,
//        plus one WriteFile of its bytes into a new file              (aim: at most 1.1)
//   TIFF writer (the same frame through Win32 file I/O)
//     /  libtiff writing the top-down R,G,B frame into a new file through the same
//        file calls (the writer's gathering Win32 stream)               (aim: at most 1.1)
// Each figure is the median of several runs; ratios near 1 mean the writer adds little.
#include <windows.h>

#include <math.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <vector>

#include "BufferedFileStream.h"
#include "CaptureWriters.h"
#include "bench_writers_reference.h"

namespace {

const int kWidth = 1920;
const int kHeight = 1080;
const int kRuns = 21;

double Now()
{
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / frequency.QuadPart;
}

// Every timed call starts with the frame out of the caches, as a capture's frame is
// after the display thread's work; otherwise whichever call runs second wins.
void EvictCaches()
{
    static std::vector<BYTE> sweep(64u << 20);
    for (size_t i = 0; i < sweep.size(); i += 64)
        sweep[i]++;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// A microscope-like frame: smooth background, round cells, a little sensor noise.
std::vector<BYTE> CameraFrame()
{
    std::vector<BYTE> frame(static_cast<size_t>(kWidth) * kHeight * 3);
    unsigned noise = 1;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            double v = 150 + 40 * sin(x / 97.0) * cos(y / 71.0);
            double cx = fmod(x, 160.0) - 80, cy = fmod(y, 140.0) - 70;
            if (cx * cx + cy * cy < 45 * 45)
                v -= 60;
            for (int c = 0; c < 3; ++c) {
                noise = noise * 1103515245u + 12345u;
                int s = static_cast<int>(v * (0.8 + 0.1 * c)) + static_cast<int>((noise >> 16) % 7) - 3;
                frame[(static_cast<size_t>(y) * kWidth + x) * 3 + c] =
                    static_cast<BYTE>(std::min(255, std::max(0, s)));
            }
        }
    return frame;
}

// The frame as the reference calls take it: top-down rows of R,G,B.
std::vector<BYTE> TopDownRgb(const std::vector<BYTE>& bgr)
{
    std::vector<BYTE> rgb(bgr.size());
    const size_t stride = static_cast<size_t>(kWidth) * 3;
    for (int y = 0; y < kHeight; ++y) {
        const BYTE* src = &bgr[stride * (kHeight - 1 - y)];
        BYTE* dst = &rgb[stride * y];
        for (int x = 0; x < kWidth; ++x) {
            dst[3 * x] = src[3 * x + 2];
            dst[3 * x + 1] = src[3 * x + 1];
            dst[3 * x + 2] = src[3 * x];
        }
    }
    return rgb;
}

// The reference's file: created as the writer creates its own, written in one call.
bool WriteWholeFile(const WCHAR* path, const unsigned char* data, unsigned long size)
{
    HANDLE file = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, data, size, &written, nullptr) && written == size;
    CloseHandle(file);
    return ok;
}

// The reference's TIFF: a new file opened as the writer opens its own, seen through the
// writer's stream.
bool WriteReferenceTiff(const WCHAR* path, const unsigned char* rgb)
{
    HANDLE file = CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool ok;
    {
        BufferedFileStream stream(file);
        ok = ReferenceTiffWrite(stream.Table(), rgb, kWidth, kHeight) && stream.Flush();
    }
    CloseHandle(file);
    return ok;
}

}  // namespace

int main()
{
    WCHAR temp[MAX_PATH], jpegPath[MAX_PATH + 32], tiffPath[MAX_PATH + 32];
    WCHAR refJpegPath[MAX_PATH + 32], refTiffPath[MAX_PATH + 32];
    GetTempPathW(MAX_PATH, temp);
    wsprintfW(jpegPath, L"%sbench_writer_%lu.jpg", temp, GetCurrentProcessId());
    wsprintfW(tiffPath, L"%sbench_writer_%lu.tif", temp, GetCurrentProcessId());
    wsprintfW(refJpegPath, L"%sbench_reference_%lu.jpg", temp, GetCurrentProcessId());
    wsprintfW(refTiffPath, L"%sbench_reference_%lu.tif", temp, GetCurrentProcessId());

    std::vector<BYTE> frame = CameraFrame();
    std::vector<BYTE> rgb = TopDownRgb(frame);
    std::vector<double> writerJpeg, referenceJpeg, writerTiff, referenceTiff;
    unsigned long jpegBytes = 0;
    bool ok = true;

    for (int run = 0; run < kRuns && ok; ++run) {
        DeleteFileW(jpegPath);  // a capture names a new file for every shot
        DeleteFileW(refJpegPath);
        EvictCaches();
        double t0 = Now();
        ok &= WriteJpegFile(jpegPath, frame.data(), kWidth, kHeight) == WRITER_OK;
        writerJpeg.push_back(Now() - t0);
        EvictCaches();
        t0 = Now();
        unsigned char* encoded = nullptr;
        jpegBytes = ReferenceJpegEncode(rgb.data(), kWidth, kHeight, &encoded);
        ok &= jpegBytes > 0 && WriteWholeFile(refJpegPath, encoded, jpegBytes);
        referenceJpeg.push_back(Now() - t0);
        ReferenceFree(encoded);
    }
    for (int run = 0; run < kRuns && ok; ++run) {
        DeleteFileW(tiffPath);  // the writer would otherwise append a page
        DeleteFileW(refTiffPath);
        EvictCaches();
        double t0 = Now();
        ok &= WriteTiffFile(tiffPath, frame.data(), kWidth, kHeight) == WRITER_OK;
        writerTiff.push_back(Now() - t0);
        EvictCaches();
        t0 = Now();
        ok &= WriteReferenceTiff(refTiffPath, rgb.data());
        referenceTiff.push_back(Now() - t0);
    }
    DeleteFileW(jpegPath);
    DeleteFileW(tiffPath);
    DeleteFileW(refJpegPath);
    DeleteFileW(refTiffPath);
    if (!ok || !jpegBytes) {
        fprintf(stderr, "a write failed\n");
        return 1;
    }

    const double wj = Median(writerJpeg), rj = Median(referenceJpeg);
    const double wt = Median(writerTiff), rt = Median(referenceTiff);
    printf("frame %dx%d, median of %d runs\n", kWidth, kHeight, kRuns);
    printf("JPEG writer %.2f ms, libjpeg-turbo encode + one WriteFile %.2f ms (%lu bytes): ratio %.2f (aim <= 1.1)\n",
           wj * 1e3, rj * 1e3, jpegBytes, wj / rj);
    printf("TIFF writer %.2f ms, libtiff through the same file calls %.2f ms: ratio %.2f (aim <= 1.1)\n",
           wt * 1e3, rt * 1e3, wt / rt);
    return 0;
}
