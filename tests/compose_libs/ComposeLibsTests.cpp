// The composition libraries on bench data: the focus measure and unsharp mask, and the
// tile stitcher (placement, mosaic, failures, paths); the row bands they run on.
#include <windows.h>

#include "support/gtest.h"

#include "Bands.h"
#include "ComposeData.h"
#include "DoFDll.h"
#include "Stitcher.h"
#include "eaImage.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

using composedata::Picture;

namespace {

// A fresh folder under the temporary folder, removed with its files afterwards.
class Folder
{
public:
    explicit Folder(const std::u16string& leaf = u"compose_libs")
    {
        WCHAR temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        m_path = reinterpret_cast<const char16_t*>(temp);
        m_path += leaf + u"_" + Number(GetCurrentProcessId()) + u"_" + Number(s_counter++);
        CreateDirectoryW(W(m_path), nullptr);
    }
    ~Folder() { Remove(m_path); }
    const std::u16string& Path() const { return m_path; }
    std::u16string File(const std::u16string& name) const { return m_path + u"\\" + name; }

    static const WCHAR* W(const std::u16string& s) { return reinterpret_cast<const WCHAR*>(s.c_str()); }
    static std::u16string Number(unsigned n)
    {
        std::u16string s;
        do {
            s.insert(s.begin(), char16_t(u'0' + n % 10));
            n /= 10;
        } while (n);
        return s;
    }

private:
    static void Remove(const std::u16string& folder)
    {
        WIN32_FIND_DATAW found;
        HANDLE h = FindFirstFileW(W(folder + u"\\*"), &found);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                std::u16string name = reinterpret_cast<const char16_t*>(found.cFileName);
                if (name == u"." || name == u"..")
                    continue;
                std::u16string path = folder + u"\\" + name;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    Remove(path);
                else
                    DeleteFileW(W(path));
            } while (FindNextFileW(h, &found));
            FindClose(h);
        }
        RemoveDirectoryW(W(folder));
    }
    static unsigned s_counter;
    std::u16string m_path;
};
unsigned Folder::s_counter = 0;

std::string Utf8(const std::u16string& s)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, Folder::W(s), -1, nullptr, 0, nullptr, nullptr);
    std::string out(n, 0);
    WideCharToMultiByte(CP_UTF8, 0, Folder::W(s), -1, &out[0], n, nullptr, nullptr);
    out.resize(n - 1);
    return out;
}

bool WriteFileBytes(const std::u16string& path, const std::vector<uint8_t>& bytes)
{
    HANDLE f = CreateFileW(Folder::W(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    DWORD put = 0;
    bool ok = WriteFile(f, bytes.data(), DWORD(bytes.size()), &put, nullptr) && put == bytes.size();
    CloseHandle(f);
    return ok;
}

bool ReadPicture(const std::u16string& path, Picture* picture)
{
    HANDLE f = CreateFileW(Folder::W(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    std::vector<uint8_t> bytes(GetFileSize(f, nullptr));
    DWORD got = 0;
    bool ok = ReadFile(f, bytes.data(), DWORD(bytes.size()), &got, nullptr) && got == bytes.size();
    CloseHandle(f);
    return ok && composedata::Decode(bytes, picture);
}

bool Exists(const std::u16string& path)
{
    return GetFileAttributesW(Folder::W(path)) != INVALID_FILE_ATTRIBUTES;
}

// Writes the tiles as BMP files in a shuffled order; returns their UTF-8 paths in the
// order written and, in `order`, which tile each path holds.
std::vector<std::string> WriteTiles(const Folder& folder, const std::vector<Picture>& tiles,
                                    unsigned shuffleSeed, std::vector<int>* order)
{
    order->resize(tiles.size());
    for (size_t i = 0; i < tiles.size(); ++i)
        (*order)[i] = int(i);
    std::shuffle(order->begin(), order->end(), std::mt19937(shuffleSeed));
    std::vector<std::string> paths;
    for (size_t k = 0; k < order->size(); ++k) {
        std::vector<uint8_t> bytes;
        EXPECT_TRUE(composedata::Encode(tiles[(*order)[k]], ".bmp", &bytes));
        std::u16string path = folder.File(u"t" + Folder::Number(unsigned(k)) + u".bmp");
        EXPECT_TRUE(WriteFileBytes(path, bytes));
        paths.push_back(Utf8(path));
    }
    return paths;
}

int Stitch(const std::vector<std::string>& paths, const std::string& output)
{
    std::vector<const char*> p;
    for (auto& s : paths)
        p.push_back(s.c_str());
    return eaStitch(0, int(p.size()), p.data(), output.c_str());
}

// Tiles of which one overlaps nothing: the stitch fails with the place error and leaves no
// mosaic named `name` in the folder.  Returns the tiles' paths.
std::vector<std::string> ExpectRefusedToPlace(const Folder& folder, const std::vector<Picture>& tiles,
                                              unsigned shuffleSeed, const std::u16string& name)
{
    std::vector<int> order;
    auto paths = WriteTiles(folder, tiles, shuffleSeed, &order);
    const std::u16string out = folder.File(name);
    EXPECT_EQ(EA_ERR_PLACE, Stitch(paths, Utf8(out)));
    EXPECT_FALSE(Exists(out));
    return paths;
}

void Crop(Picture* p, int width, int height)
{
    width = std::min(width, p->width);
    height = std::min(height, p->height);
    std::vector<uint8_t> out;
    for (int y = 0; y < height; ++y)
        out.insert(out.end(), p->Row(y), p->Row(y) + width * 3);
    p->bgr.swap(out);
    p->width = width;
    p->height = height;
}

DofImage View(Picture& p)
{
    return DofImage{p.width, p.height, p.width * 3, p.bgr.data()};
}

std::vector<float> Focus(Picture& p)
{
    std::vector<float> m(size_t(p.width) * p.height, -1.0f);
    DofImage image = View(p);
    DofMatrix focus{p.height, p.width, p.width * int(sizeof(float)), m.data()};
    EXPECT_EQ(1, ExtendDeepOfField(&image, &focus));
    return m;
}

// The composite the depth-of-field worker makes: every pixel from the plane whose focus
// measure is largest there, later planes winning ties.
Picture HardChoice(std::vector<Picture>& planes)
{
    Picture out = planes[0];
    std::vector<float> best = Focus(planes[0]);
    for (size_t k = 1; k < planes.size(); ++k) {
        std::vector<float> f = Focus(planes[k]);
        for (size_t i = 0; i < f.size(); ++i)
            if (std::fabs(best[i]) <= std::fabs(f[i])) {
                best[i] = f[i];
                std::copy_n(&planes[k].bgr[3 * i], 3, &out.bgr[3 * i]);
            }
    }
    return out;
}

// The hard choice's difference from the truth over the best single plane's.
double ChoiceAgainstBestPlane(composedata::FocusStack& stack,
                              double (*difference)(const Picture&, const Picture&))
{
    double bestPlane = 1e9;
    for (auto& p : stack.planes)
        bestPlane = std::min(bestPlane, difference(p, stack.truth));
    return difference(HardChoice(stack.planes), stack.truth) / bestPlane;
}

}  // namespace

TEST(FocusMeasure, IsLargestOnThePlaneWhereEachLayerIsSharp)
{
    // Planes at -1, 0 and +1 each show one of the bench's three layers sharp.
    auto stack = composedata::MakeFocusStack(320, 240, 3, 1.0f, 3, false);
    std::vector<std::vector<float>> focus;
    for (auto& p : stack.planes)
        focus.push_back(Focus(p));
    // Where one plane matches the sharp truth clearly better than the others, that
    // plane's layer lies there: the measure must pick it.
    const size_t n = size_t(stack.truth.width) * stack.truth.height;
    int decided[3] = {0, 0, 0}, agreed[3] = {0, 0, 0};
    for (size_t i = 0; i < n; ++i) {
        int err[3];
        for (int k = 0; k < 3; ++k) {
            err[k] = 0;
            for (int c = 0; c < 3; ++c)
                err[k] += std::abs(int(stack.planes[k].bgr[3 * i + c]) - int(stack.truth.bgr[3 * i + c]));
        }
        int k = int(std::min_element(err, err + 3) - err);
        int second = INT32_MAX;
        for (int j = 0; j < 3; ++j)
            if (j != k)
                second = std::min(second, err[j]);
        if (second < err[k] + 30)
            continue;
        ++decided[k];
        int picked = 0;
        float bestValue = -1;
        for (int j = 0; j < 3; ++j)
            if (focus[j][i] > bestValue) {
                bestValue = focus[j][i];
                picked = j;
            }
        agreed[k] += picked == k;
    }
    for (int k = 0; k < 3; ++k) {
        ASSERT_GT(decided[k], 200) << "plane " << k;
        EXPECT_GT(double(agreed[k]) / decided[k], 0.85) << "plane " << k;
    }
}

TEST(FocusMeasure, HardChoiceBeatsEveryPlaneAgainstTheTruth)
{
    // The measure's window is some ten pixels: a field of a camera's size, not a thumbnail.
    auto stack = composedata::MakeFocusStack(640, 480, 5, 2.0f, 5);
    EXPECT_LT(ChoiceAgainstBestPlane(stack, composedata::MeanAbsDifference), 0.6);
}

TEST(FocusMeasure, HardChoiceOnNoisyPlanesFollowsTheSceneNotTheNoise)
{
    // A camera's noise (6 grey levels at mid-grey) on a scene of smoothly varying depth:
    // a choice that followed the noise would pick each pixel's noisiest plane and end
    // up worse than the best single plane.
    auto stack = composedata::MakeDepthStack(1024, 768, 6, 6.0f, 7);
    EXPECT_LT(ChoiceAgainstBestPlane(stack, composedata::RmsDifference), 0.98);
}

// Noisy planes as a camera's JPEGs: the compression's block edges and the noise both
// add Laplacian energy that is not the scene's.
TEST(FocusMeasure, HardChoiceOnCompressedNoisyPlanesBeatsTheBestPlane)
{
    auto stack = composedata::MakeDepthStack(1024, 768, 10, 6.0f, 1);
    for (Picture& p : stack.planes) {
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(composedata::Encode(p, ".jpg", &bytes));
        ASSERT_TRUE(composedata::Decode(bytes, &p));
    }
    EXPECT_LT(ChoiceAgainstBestPlane(stack, composedata::RmsDifference), 1.0);
}

TEST(FocusMeasure, RefusesBadArgumentsWithoutWriting)
{
    Picture p;
    p.width = 16;
    p.height = 8;
    p.bgr.assign(16 * 8 * 3, 9);
    std::vector<float> m(16 * 8, -7.0f);
    DofImage image = View(p);
    DofMatrix wrongShape{16, 8, 8 * 4, m.data()};
    EXPECT_EQ(0, ExtendDeepOfField(&image, &wrongShape));
    DofMatrix shortStep{8, 16, 8, m.data()};
    EXPECT_EQ(0, ExtendDeepOfField(&image, &shortStep));
    EXPECT_EQ(0, ExtendDeepOfField(nullptr, &shortStep));
    EXPECT_TRUE(std::all_of(m.begin(), m.end(), [](float v) { return v == -7.0f; }));
}

TEST(UnsharpMask, KeepsFlatFlatAndLiftsAnEdge)
{
    Picture flat;
    flat.width = 64;
    flat.height = 48;
    for (int i = 0; i < 64 * 48; ++i)
        flat.bgr.insert(flat.bgr.end(), {100, 150, 200});
    Picture smooth = flat, image = flat;
    DofImage s = View(smooth), d = View(image);
    EXPECT_EQ(1, usm(&s, &d));
    EXPECT_EQ(flat.bgr, image.bgr);

    // A step from 80 to 160 against a softened copy: the bright side rises above 160,
    // the dark side falls below 80, mildly.
    Picture edge = flat, soft = flat;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            for (int c = 0; c < 3; ++c) {
                edge.bgr[(y * 64 + x) * 3 + c] = x < 32 ? 80 : 160;
                soft.bgr[(y * 64 + x) * 3 + c] = x < 31 ? 80 : x > 32 ? 160 : 120;
            }
    DofImage es = View(soft), ed = View(edge);
    EXPECT_EQ(1, usm(&es, &ed));
    EXPECT_LT(edge.bgr[(10 * 64 + 31) * 3], 80);
    EXPECT_GT(edge.bgr[(10 * 64 + 32) * 3], 160);
    EXPECT_LT(edge.bgr[(10 * 64 + 32) * 3], 220);

    Picture other = flat;
    other.width = 32;
    DofImage o = View(other);
    EXPECT_EQ(0, usm(&o, &d));
}

TEST(UnsharpMask, LeavesSensorNoiseAloneButStillLiftsAStrongEdge)
{
    // A camera's noise of 6 grey levels at mid-grey and one strong step, against its
    // 3 x 3 smoothed copy, as the depth-of-field worker hands them over.
    Picture noisy;
    noisy.width = 256;
    noisy.height = 192;
    noisy.bgr.resize(size_t(256) * 192 * 3);
    for (int y = 0; y < 192; ++y)
        for (int x = 0; x < 256; ++x)
            for (int c = 0; c < 3; ++c)
                noisy.bgr[(size_t(y) * 256 + x) * 3 + c] = x < 128 ? 90 : 200;
    composedata::AddCameraNoise(&noisy, 6.0f, 11);
    Picture soft = noisy;
    for (int y = 0; y < 192; ++y)
        for (int x = 1; x < 255; ++x)
            for (int c = 0; c < 3; ++c) {
                const size_t at = (size_t(y) * 256 + x) * 3 + c;
                soft.bgr[at] = uint8_t((noisy.bgr[at - 3] + 2 * noisy.bgr[at] + noisy.bgr[at + 3] + 2) / 4);
            }
    Picture sharp = noisy;
    DofImage s = View(soft), d = View(sharp);
    ASSERT_EQ(1, usm(&s, &d));
    int changedFlat = 0;
    for (int y = 0; y < 192; ++y)
        for (int x = 8; x < 120; ++x)
            changedFlat += sharp.bgr[(size_t(y) * 256 + x) * 3 + 1] != noisy.bgr[(size_t(y) * 256 + x) * 3 + 1];
    EXPECT_LT(changedFlat, 192 * 112 / 100) << "noise was sharpened";
    int lifted = 0;
    for (int y = 0; y < 192; ++y)
        lifted += sharp.bgr[(size_t(y) * 256 + 128) * 3 + 1] > noisy.bgr[(size_t(y) * 256 + 128) * 3 + 1];
    EXPECT_GT(lifted, 150);
}

TEST(Stitching, PlacesAThreeByThreeGridInAnyOrderWithinAPixel)
{
    composedata::GridSpec spec;   // 320 x 240, 20 %, stage error up to 12 px
    auto grid = composedata::MakeTileGrid(spec);
    for (unsigned seed : {1u, 2u, 3u}) {
        std::vector<int> order(grid.tiles.size());
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = int(i);
        std::shuffle(order.begin(), order.end(), std::mt19937(seed));
        std::vector<eastitch::TileView> views;
        for (int k : order) {
            const Picture& t = grid.tiles[k];
            views.push_back({t.bgr.data(), t.width, t.height, t.width * 3});
        }
        std::vector<eastitch::Placement> at;
        ASSERT_EQ(eastitch::kOk, eastitch::PlaceTiles(views, &at)) << "order seed " << seed;
        for (size_t k = 0; k < order.size(); ++k) {
            EXPECT_LE(std::abs(at[k].x - grid.x[order[k]]), 1) << "tile " << order[k];
            EXPECT_LE(std::abs(at[k].y - grid.y[order[k]]), 1) << "tile " << order[k];
        }
    }
}

TEST(Stitching, WritesAMosaicMatchingTheTruth)
{
    composedata::GridSpec spec;
    spec.seed = 4;
    auto grid = composedata::MakeTileGrid(spec);
    Folder folder;
    std::vector<int> order;
    auto paths = WriteTiles(folder, grid.tiles, 9, &order);
    const std::u16string out = folder.File(u"mosaic.bmp");
    ASSERT_EQ(EA_OK, Stitch(paths, Utf8(out)));
    Picture mosaic;
    ASSERT_TRUE(ReadPicture(out, &mosaic));
    // Placed within a pixel, so the mosaic may be a pixel larger or smaller.
    ASSERT_LE(std::abs(grid.mosaic.width - mosaic.width), 1);
    ASSERT_LE(std::abs(grid.mosaic.height - mosaic.height), 1);
    Picture truth = grid.mosaic;
    Crop(&truth, mosaic.width, mosaic.height);
    Crop(&mosaic, truth.width, truth.height);
    // The tiles keep their lamp fall-off and noise; the truth has neither.
    EXPECT_LT(composedata::MeanAbsDifference(mosaic, truth), 12.0);
}

TEST(Stitching, FailsWithoutOutputForAnUnlinkedTileUnreadableFilesAndBadArguments)
{
    composedata::GridSpec spec;
    spec.rows = 1;
    spec.cols = 3;
    spec.seed = 6;
    auto grid = composedata::MakeTileGrid(spec);
    // A fourth tile from far away on the slide overlaps none of the others.
    composedata::GridSpec distant = spec;
    distant.overlap = -3.0;
    distant.cols = 2;
    grid.tiles.push_back(composedata::MakeTileGrid(distant).tiles[1]);
    Folder folder;
    auto paths = ExpectRefusedToPlace(folder, grid.tiles, 1, u"out.bmp");
    const std::u16string out = folder.File(u"out.bmp");

    // Two tiles with a gap between them.
    composedata::GridSpec gap = spec;
    gap.overlap = -0.1;
    gap.cols = 2;
    auto apart = composedata::MakeTileGrid(gap);
    Folder other;
    ExpectRefusedToPlace(other, apart.tiles, 1, u"out.bmp");

    std::vector<std::string> unreadable = {paths[0], Utf8(folder.File(u"missing.bmp"))};
    EXPECT_EQ(EA_ERR_READ, Stitch(unreadable, Utf8(out)));
    WriteFileBytes(folder.File(u"junk.bmp"), {'B', 'M', 1, 2, 3});
    std::vector<std::string> junk = {paths[0], paths[1], Utf8(folder.File(u"junk.bmp"))};
    EXPECT_EQ(EA_ERR_READ, Stitch(junk, Utf8(out)));
    EXPECT_FALSE(Exists(out));

    EXPECT_EQ(EA_ERR_ARGUMENT, Stitch({paths[0]}, Utf8(out)));
    EXPECT_EQ(EA_ERR_ARGUMENT, Stitch(paths, Utf8(folder.File(u"out.xyz"))));
    const char* withNull[] = {paths[0].c_str(), nullptr};
    EXPECT_EQ(EA_ERR_ARGUMENT, eaStitch(0, 2, withNull, Utf8(out).c_str()));
    EXPECT_EQ(EA_ERR_WRITE, Stitch({paths[0], paths[1], paths[2]},
                                   Utf8(folder.File(u"no such folder\\out.bmp"))));
}

TEST(Stitching, ReadsAndWritesChinesePathsLongerThan260Characters)
{
    composedata::GridSpec spec;
    spec.rows = 1;
    spec.cols = 2;
    spec.seed = 8;
    auto grid = composedata::MakeTileGrid(spec);
    Folder base(u"拼接測試");
    std::u16string deep = base.Path();
    while (deep.size() < 280) {
        deep += u"\\顯微鏡圖像資料夾第一層的名稱很長很長很長很長很長很長";
        ASSERT_TRUE(CreateDirectoryW(Folder::W(u"\\\\?\\" + deep), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    }
    std::vector<std::string> paths;
    for (size_t i = 0; i < grid.tiles.size(); ++i) {
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(composedata::Encode(grid.tiles[i], ".bmp", &bytes));
        std::u16string path = deep + u"\\圖塊" + Folder::Number(unsigned(i)) + u".bmp";
        ASSERT_TRUE(WriteFileBytes(u"\\\\?\\" + path, bytes));
        paths.push_back(Utf8(path));
    }
    const std::u16string out = deep + u"\\拼接結果.bmp";
    ASSERT_GT(out.size(), 260u);
    EXPECT_EQ(EA_OK, Stitch(paths, Utf8(out)));
    Picture mosaic;
    EXPECT_TRUE(ReadPicture(u"\\\\?\\" + out, &mosaic));
    EXPECT_LE(std::abs(grid.mosaic.width - mosaic.width), 1);
}

namespace {

// Passes of eight bands, some with a band asking for bands of its own; counts how
// often each band ran in each pass.
struct BandPasses
{
    static const int kPasses = 20;
    LONG hits[kPasses][8] = {};
    LONG nested[kPasses][4] = {};
    int pass = 0;

    static DWORD WINAPI Run(void* param)
    {
        BandPasses& self = *static_cast<BandPasses*>(param);
        for (self.pass = 0; self.pass < kPasses; ++self.pass) {
            auto band = [&self](int k) {
                InterlockedIncrement(&self.hits[self.pass][k]);
                if (k == 3 && self.pass % 2) {
                    auto inner = [&self](int j) { InterlockedIncrement(&self.nested[self.pass][j]); };
                    orvbands::ForEachBand(4, inner);
                }
            };
            orvbands::ForEachBand(8, band);
        }
        return 0;
    }
};

}  // namespace

TEST(RowBands, EveryBandRunsOnceWhenPassesOverlapAndNest)
{
    std::vector<BandPasses> runs(4);
    std::vector<HANDLE> threads;
    for (BandPasses& r : runs)
        threads.push_back(CreateThread(nullptr, 0, BandPasses::Run, &r, 0, nullptr));
    ASSERT_EQ(DWORD(WAIT_OBJECT_0),
              WaitForMultipleObjects(DWORD(threads.size()), threads.data(), TRUE, 60000))
        << "passes did not end";
    for (HANDLE t : threads)
        CloseHandle(t);
    int wrong = 0;
    for (const BandPasses& r : runs)
        for (int p = 0; p < BandPasses::kPasses; ++p) {
            for (int k = 0; k < 8; ++k)
                wrong += r.hits[p][k] != 1;
            for (int j = 0; j < 4; ++j)
                wrong += r.nested[p][j] != (p % 2 ? 1 : 0);
        }
    EXPECT_EQ(0, wrong);
}

// Camera-like tiles where a third of the slide is smooth: most overlaps hold too little
// fine detail to be sure on their own, but the loops they close tie every tile.
TEST(Stitching, JoinsALowTextureGridWithinAPixelAndRefusesATileThatMatchesNothing)
{
    composedata::GridSpec spec;
    spec.tileWidth = 1024;
    spec.tileHeight = 768;
    spec.rows = 2;
    spec.cols = 3;
    spec.overlap = 0.1;
    spec.stageError = 10;
    spec.emptyShare = 0.3f;
    spec.cameraNoise = 6;
    spec.smoothShare = 0.33f;
    spec.gainSpread = 0.08f;
    spec.seed = 2;
    auto grid = composedata::MakeTileGrid(spec);
    std::vector<eastitch::TileView> views;
    for (const Picture& t : grid.tiles)
        views.push_back({t.bgr.data(), t.width, t.height, t.width * 3});
    std::vector<eastitch::Placement> at;
    ASSERT_EQ(eastitch::kOk, eastitch::PlaceTiles(views, &at));
    for (size_t k = 0; k < at.size(); ++k) {
        EXPECT_LE(std::abs(at[k].x - grid.x[k]), 1) << "tile " << k;
        EXPECT_LE(std::abs(at[k].y - grid.y[k]), 1) << "tile " << k;
    }

    // A corner tile turned upside down overlaps nothing: no partial mosaic.
    Picture& corner = grid.tiles.back();
    std::reverse(corner.bgr.begin(), corner.bgr.end());
    Folder folder;
    ExpectRefusedToPlace(folder, grid.tiles, 3, u"mosaic.bmp");
}
