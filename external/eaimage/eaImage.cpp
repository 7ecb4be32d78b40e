// The library's front: UTF-8 paths to Win32 files, decoded and written by the
// program's picture core (CxImage); the native stitcher sees pixels only.
#include <windows.h>

#include "eaImage.h"
#include "Bands.h"
#include "Stitcher.h"
#include "xImage.h"

#include <vector>

namespace {

// A UTF-8 path as a Win32 path that passes the 260-character limit: full, with the
// long-path prefix when it is long. Empty when the text is not UTF-8.
std::vector<WCHAR> WidePath(const char* utf8)
{
    int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, nullptr, 0);
    if (n <= 1)
        return {};
    std::vector<WCHAR> wide(n);
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, wide.data(), n);
    DWORD full = GetFullPathNameW(wide.data(), 0, nullptr, nullptr);
    if (!full)
        return wide;
    std::vector<WCHAR> path(full + 4);
    static const WCHAR kPrefix[] = {'\\', '\\', '?', '\\'};
    DWORD got = GetFullPathNameW(wide.data(), full, path.data() + 4, nullptr);
    if (!got || got >= full)
        return wide;
    const bool unc = path[4] == '\\' && path[5] == '\\';
    if (got < MAX_PATH - 12 || unc)
        return std::vector<WCHAR>(path.begin() + 4, path.end());
    std::copy(kPrefix, kPrefix + 4, path.begin());
    return path;
}

// Decodes every tile through the program's picture core, several at once.
bool LoadTiles(int count, const char* const* paths, std::vector<CxImage>* tiles)
{
    tiles->resize(count);
    std::vector<char> loaded(count, 0);
    const int bands = orvbands::BandCount(count, 1);
    auto band = [&](int k) {
        for (int i = k; i < count; i += bands) {
            std::vector<WCHAR> path = WidePath(paths[i]);
            loaded[i] = !path.empty() && (*tiles)[i].LoadAsColour(path.data());
        }
    };
    orvbands::ForEachBand(bands, band);
    for (int i = 0; i < count; ++i)
        if (!loaded[i] || (*tiles)[i].GetWidth() != (*tiles)[0].GetWidth()
            || (*tiles)[i].GetHeight() != (*tiles)[0].GetHeight())
            return false;
    return true;
}

int Stitch(int reserved, int count, const char* const* paths, const char* output)
{
    if (reserved != 0 || count < 2 || !paths || !output || !*output)
        return EA_ERR_ARGUMENT;
    for (int i = 0; i < count; ++i)
        if (!paths[i] || !*paths[i])
            return EA_ERR_ARGUMENT;
    const std::vector<WCHAR> target = WidePath(output);
    const DWORD type = target.empty() ? 0 : CxImage::GetTypeFromFileName(target.data());
    if (type == CXIMAGE_FORMAT_UNKNOWN)
        return EA_ERR_ARGUMENT;
    std::vector<CxImage> tiles;
    if (!LoadTiles(count, paths, &tiles))
        return EA_ERR_READ;
    // CxImage keeps rows bottom first; the stitcher works on them as they are, and its
    // mosaic comes out bottom first too, as the mosaic's own picture wants it.
    std::vector<eastitch::TileView> views;
    for (CxImage& t : tiles)
        views.push_back({t.GetBits(0), int(t.GetWidth()), int(t.GetHeight()), int(t.GetEffWidth())});
    std::vector<eastitch::Placement> at;
    const int placed = eastitch::PlaceTiles(views, &at);
    if (placed != eastitch::kOk)
        return placed;
    int width, height;
    eastitch::MosaicSize(views, at, &width, &height);
    CxImage mosaic;
    if (!mosaic.Create(DWORD(width), DWORD(height), 24, type))
        return EA_ERR_RESOURCES;
    eastitch::BlendTiles(views, at, mosaic.GetBits(0), int(mosaic.GetEffWidth()));
    tiles.clear();
    return mosaic.SaveByName(target.data()) ? EA_OK : EA_ERR_WRITE;
}

}  // namespace

extern "C" __attribute__((ms_abi)) int eaStitch(int reserved, int count, const char* const* paths,
                                                const char* output)
{
    try {
        return Stitch(reserved, count, paths, output);
    } catch (...) {
        return EA_ERR_RESOURCES;
    }
}
