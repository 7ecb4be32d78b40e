// Our side of the composition benchmark (run under Wine by bench_compose.sh, which
// runs the references natively on the same files and prints the ratios):
//   bench_compose stitch <folder> <.ext> <count> <out>
//       eaStitch end to end over tile_00<ext>.. (median of three runs), then how many
//       tiles the stitcher placed within a pixel of positions.txt;
//       prints "seconds <s> within <n> of <count> result <code>"
#include <windows.h>

#include "Stitcher.h"
#include "eaImage.h"

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
    std::vector<double> times;
    int result = 0;
    for (int run = 0; run < 3; ++run) {
        double start = Now();
        result = eaStitch(0, count, p.data(), out.c_str());
        times.push_back(Now() - start);
    }
    std::sort(times.begin(), times.end());

    // Where the stitcher put each tile, against the truth.
    std::vector<std::vector<unsigned char>> files(count);
    for (int i = 0; i < count; ++i)
        ReadAll(paths[i], &files[i]);
    std::vector<unsigned char> encoded;
    std::vector<eastitch::Placement> at;
    int within = 0;
    std::vector<unsigned char> text;
    if (eastitch::StitchFiles(files, ext, &encoded, &at) == eastitch::kOk
        && ReadAll(folder + "\\positions.txt", &text)) {
        std::string all(text.begin(), text.end());
        size_t pos = 0;
        for (int i = 0; i < count; ++i) {
            size_t end = all.find('\n', pos);
            char name[64];
            int x = 0, y = 0;
            if (std::sscanf(all.substr(pos, end - pos).c_str(), "%63s %d %d", name, &x, &y) == 3
                && std::abs(at[i].x - x) <= 1 && std::abs(at[i].y - y) <= 1)
                ++within;
            pos = end + 1;
        }
    }
    std::printf("seconds %.3f within %d of %d result %d\n", times[1], within, count, result);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 6 && std::strcmp(argv[1], "stitch") == 0)
        return Stitch(argv[2], argv[3], std::atoi(argv[4]), argv[5]);
    std::fprintf(stderr, "usage: bench_compose stitch <folder> <.ext> <count> <out>\n");
    return 2;
}
