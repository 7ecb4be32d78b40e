// Our side of the composition benchmark (run under Wine by bench_compose.sh, which
// runs the references natively on the same files and prints the ratios):
//   bench_compose stitch <folder> <.ext> <count> <out>
//       eaStitch end to end over tile_00<ext>.. (median of three runs, wall clock and
//       processor time of all threads), then how many tiles the stitcher placed within
//       a pixel of positions.txt; prints "seconds <s> cpu <s> within <n> of <count> result <code>"
//   bench_compose edof <folder> <.ext> <count> <out>
//       the depth-of-field worker end to end over plane_00<ext>.. (median of three)
//   bench_compose hdr <folder> <.ext> <out>
//       the HDR merge end to end over exposure_00<ext>..02 (median of three)
//   bench_compose channels
//       the channel merge of four 4096 x 3072 channels against four plain copies
#include <windows.h>

#include "Stitcher.h"
#include "eaImage.h"
#include "app/compose/ChannelMerge.h"
#include "app/compose/ComposeMessages.h"
#include "app/compose/EdofWorker.h"
#include "app/store/ImageRequests.h"
#include "app/store/ImageStore.h"
#include "xImage.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

double Now()
{
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) / frequency.QuadPart;
}

// Seconds of processor time the process has used, all its threads together.
double ProcessCpu()
{
    FILETIME created, ended, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
    auto seconds = [](const FILETIME& t) {
        return (double(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) * 1e-7;
    };
    return seconds(kernel) + seconds(user);
}

double Median(std::vector<double> t)
{
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

bool ReadAll(const std::string& path, std::vector<unsigned char>* bytes)
{
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    bytes->resize(GetFileSize(f, nullptr));
    DWORD got = 0;
    bool ok = ReadFile(f, bytes->data(), DWORD(bytes->size()), &got, nullptr) && got == bytes->size();
    CloseHandle(f);
    return ok;
}

CString Wide(const std::string& s)
{
    return CString(s.c_str());
}

int Stitch(const std::string& folder, const std::string& ext, int count, const std::string& out)
{
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "\\tile_%02d", i);
        paths.push_back(folder + name + ext);
    }
    std::vector<const char*> p;
    for (auto& s : paths)
        p.push_back(s.c_str());
    std::vector<double> times, cpu;
    int result = 0;
    for (int run = 0; run < 3; ++run) {
        double start = Now(), startCpu = ProcessCpu();
        result = eaStitch(0, count, p.data(), out.c_str());
        times.push_back(Now() - start);
        cpu.push_back(ProcessCpu() - startCpu);
    }

    // Where the stitcher put each tile, against the truth. It works on the pictures'
    // rows as CxImage keeps them, bottom first, so its y counts from the mosaic's foot.
    std::vector<CxImage> tiles(count);
    std::vector<eastitch::TileView> views;
    for (int i = 0; i < count; ++i) {
        tiles[i].LoadAsColour(Wide(paths[i]));
        views.push_back({tiles[i].GetBits(0), int(tiles[i].GetWidth()), int(tiles[i].GetHeight()),
                         int(tiles[i].GetEffWidth())});
    }
    std::vector<eastitch::Placement> at;
    int within = 0;
    std::vector<unsigned char> text;
    if (eastitch::PlaceTiles(views, &at) == eastitch::kOk
        && ReadAll(folder + "\\positions.txt", &text)) {
        int mosaicWidth, mosaicHeight;
        eastitch::MosaicSize(views, at, &mosaicWidth, &mosaicHeight);
        std::string all(text.begin(), text.end());
        size_t pos = 0;
        for (int i = 0; i < count; ++i) {
            size_t end = all.find('\n', pos);
            char name[64];
            int x = 0, y = 0;
            const int top = mosaicHeight - at[i].y - views[i].height;
            if (std::sscanf(all.substr(pos, end - pos).c_str(), "%63s %d %d", name, &x, &y) == 3
                && std::abs(at[i].x - x) <= 1 && std::abs(top - y) <= 1)
                ++within;
            pos = end + 1;
        }
    }
    std::printf("seconds %.3f cpu %.3f within %d of %d result %d\n", Median(times), Median(cpu), within,
                count, result);
    return 0;
}

std::string Numbered(const std::string& folder, const char* stem, int i, const std::string& ext)
{
    char name[32];
    std::snprintf(name, sizeof name, "\\%s_%02d", stem, i);
    return folder + name + ext;
}

int Edof(const std::string& folder, const std::string& ext, int count, const std::string& out)
{
    HWND receiver = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    std::vector<double> times;
    WPARAM result = FUSION_FAILED;
    for (int run = 0; run < 3; ++run) {
        DeleteFileW(Wide(out));
        EdofJob* job = new EdofJob;
        job->notify = receiver;
        for (int i = 0; i < count; ++i)
            job->inputs.push_back(Wide(Numbered(folder, "plane", i, ext)));
        job->output = Wide(out);
        const double start = Now();
        _beginthread(EdofThread, 0, job);
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0)) {
            if (msg.message == WM_FUSION_PROGRESS && msg.wParam != FUSION_STEP) {
                result = msg.wParam;
                break;
            }
            DispatchMessageW(&msg);
        }
        times.push_back(Now() - start);
    }
    DestroyWindow(receiver);
    std::printf("seconds %.3f result %d\n", Median(times), int(result));
    return 0;
}

int Hdr(const std::string& folder, const std::string& ext, const std::string& out)
{
    HdrMergeRequest request;
    for (int i = 0; i < 3; ++i)
        request.inputs.push_back(Wide(Numbered(folder, "exposure", i, ext)));
    request.output = Wide(out);
    std::vector<double> times;
    int result = 0;
    for (int run = 0; run < 3; ++run) {
        const double start = Now();
        result = CImageStore::MergeImageFiles(request);
        times.push_back(Now() - start);
    }
    std::printf("seconds %.3f result %d\n", Median(times), result);
    return 0;
}

int Channels()
{
    const int w = 4096, h = 3072;
    std::vector<CxImage> channels(4);
    for (int k = 0; k < 4; ++k) {
        channels[k].Create(w, h, 24, CXIMAGE_FORMAT_BMP);
        BYTE* bits = channels[k].GetBits(0);
        for (DWORD i = 0; i < channels[k].GetSize(); ++i)
            bits[i] = BYTE((i * 7 + k * 31) & 0x7F);
    }
    std::vector<const CxImage*> in;
    for (const CxImage& c : channels)
        in.push_back(&c);
    std::vector<POINT> offsets(4, POINT{0, 0});
    std::vector<double> merge, copy;
    std::vector<BYTE> target(channels[0].GetSize());
    for (int run = 0; run < 5; ++run) {
        CxImage out;
        double start = Now();
        MergeChannelPictures(in, offsets, &out);
        merge.push_back(Now() - start);
        start = Now();
        for (const CxImage& c : channels)
            std::memcpy(target.data(), c.GetBits(0), target.size());
        copy.push_back(Now() - start);
    }
    std::printf("merge %.3f copies %.3f ratio %.2f\n", Median(merge), Median(copy), Median(merge) / Median(copy));
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 6 && std::strcmp(argv[1], "edof") == 0)
        return Edof(argv[2], argv[3], std::atoi(argv[4]), argv[5]);
    if (argc == 5 && std::strcmp(argv[1], "hdr") == 0)
        return Hdr(argv[2], argv[3], argv[4]);
    if (argc == 2 && std::strcmp(argv[1], "channels") == 0)
        return Channels();
    if (argc == 6 && std::strcmp(argv[1], "stitch") == 0)
        return Stitch(argv[2], argv[3], std::atoi(argv[4]), argv[5]);
    std::fprintf(stderr, "usage: bench_compose stitch <folder> <.ext> <count> <out>\n");
    return 2;
}
