// The composition workers on bench data: result names, the adjust panel's stitching and
// the depth-of-field worker, with real files and posted messages.
#include <windows.h>

#include "support/gtest.h"
#include "support/wintest.h"

#include "ComposeData.h"
#include "app/compose/ComposeMessages.h"
#include "app/compose/CompositionFiles.h"
#include "app/compose/EdofWorker.h"
#include "app/compose/StitchWorkers.h"
#include "app/store/ImageRequests.h"
#include "app/store/ImageStore.h"
#include "eaImage.h"
#include "xImage.h"

#include <algorithm>
#include <cstring>
#include <vector>

using composedata::Picture;

namespace {

class Folder
{
public:
    explicit Folder(const CString& leaf = L"compose")
    {
        static int counter = 0;
        WCHAR temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        m_path.Format(L"%s%s_%u_%d", temp, (LPCWSTR)leaf, GetCurrentProcessId(), counter++);
        CreateDirectoryW(m_path, nullptr);
    }
    ~Folder()
    {
        WIN32_FIND_DATAW found;
        HANDLE h = FindFirstFileW(m_path + L"\\*", &found);
        if (h != INVALID_HANDLE_VALUE) {
            do
                DeleteFileW(m_path + L"\\" + found.cFileName);
            while (FindNextFileW(h, &found));
            FindClose(h);
        }
        RemoveDirectoryW(m_path);
    }
    const CString& Path() const { return m_path; }
    CString File(LPCWSTR name) const { return m_path + L"\\" + name; }
    // count files named by pattern with 0, 1, ...
    std::vector<CString> Numbered(LPCWSTR pattern, size_t count) const
    {
        std::vector<CString> files;
        for (size_t i = 0; i < count; ++i) {
            CString name;
            name.Format(pattern, int(i));
            files.push_back(File(name));
        }
        return files;
    }

private:
    CString m_path;
};

bool Exists(const CString& path)
{
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

// An empty file, or one holding `bytes`.
void Touch(const CString& path, const std::vector<uint8_t>& bytes = {})
{
    HANDLE f = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    DWORD put = 0;
    if (!bytes.empty())
        EXPECT_TRUE(WriteFile(f, bytes.data(), DWORD(bytes.size()), &put, nullptr));
    CloseHandle(f);
}

// Writes a bench picture through the program's own codecs.
void Write(const Picture& p, const CString& path, DWORD type)
{
    CxImage image;
    image.Create(p.width, p.height, 24, type);
    for (int y = 0; y < p.height; ++y)
        std::memcpy(image.GetBits(p.height - 1 - y), p.Row(y), size_t(p.width) * 3);
    ASSERT_TRUE(image.Save((LPCWSTR)path, type)) << image.GetLastError();
}

bool Read(const CString& path, Picture* p)
{
    CxImage image;
    if (!image.Load((LPCWSTR)path, CXIMAGE_FORMAT_UNKNOWN) || (image.GetBpp() != 24 && !image.IncreaseBpp(24)))
        return false;
    p->width = int(image.GetWidth());
    p->height = int(image.GetHeight());
    p->bgr.resize(size_t(p->width) * p->height * 3);
    for (int y = 0; y < p->height; ++y)
        std::memcpy(&p->bgr[size_t(y) * p->width * 3], image.GetBits(p->height - 1 - y), size_t(p->width) * 3);
    return true;
}

SYSTEMTIME g_fixedTime = {2026, 3, 0, 7, 9, 5, 4, 0};
void FixedClock(SYSTEMTIME* now) { *now = g_fixedTime; }

struct ClockScope
{
    ClockScope() { SetCompositionClock(FixedClock); }
    ~ClockScope() { SetCompositionClock(nullptr); }
};

}  // namespace

TEST(ResultNames, UniqueNamesCountUpAndLookOnlyAtTheFileName)
{
    Folder folder;
    CString wanted = folder.File(L"combine.tif");
    CString path = wanted;
    EXPECT_EQ(1, MakeUniqueFileName(path));
    EXPECT_EQ(wanted, path);
    Touch(wanted);
    EXPECT_EQ(1, MakeUniqueFileName(path));
    EXPECT_EQ(folder.File(L"combine_1.tif"), path);
    Touch(path);
    path = wanted;
    EXPECT_EQ(1, MakeUniqueFileName(path));
    EXPECT_EQ(folder.File(L"combine_2.tif"), path);

    // A dot in the folder's name is no extension.
    Folder dotted(L"with.dot");
    CString bare = dotted.File(L"combine");
    Touch(bare);
    path = bare;
    EXPECT_EQ(0, MakeUniqueFileName(path));
    EXPECT_EQ(bare, path);
    EXPECT_EQ(CString(L""), FileExtensionOf(bare));
    EXPECT_EQ(CString(L".tif"), FileExtensionOf(dotted.File(L"a.b.tif")));
}

TEST(ResultNames, SecondDepthOfFieldResultInOneSecondGetsASuffix)
{
    ClockScope clock;
    Folder folder;
    CString first = EdofResultPath(folder.Path(), L"plane_00.tif");
    EXPECT_EQ(folder.File(L"EDoF_P0307090504.tif"), first);
    Touch(first);
    EXPECT_EQ(folder.File(L"EDoF_P0307090504_1.tif"), EdofResultPath(folder.Path(), L"plane_00.tif"));
}

TEST(AdjustPanelStitch, StitchesChosenTilesIntoTheirFolderWhateverTheCurrentFolder)
{
    composedata::GridSpec spec;
    spec.seed = 11;
    auto grid = composedata::MakeTileGrid(spec);
    Folder folder(L"拼接圖塊");
    const std::vector<CString> files = folder.Numbered(L"圖塊%d.bmp", grid.tiles.size());
    for (size_t i = 0; i < grid.tiles.size(); ++i)
        Write(grid.tiles[i], files[i], CXIMAGE_FORMAT_BMP);
    Touch(folder.File(L"圖像拼接.bmp"));
    WCHAR before[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, before);
    WCHAR temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    SetCurrentDirectoryW(temp);

    MessageReceiver receiver;
    EXPECT_EQ(0, StartAdjustPanelStitch({files[0]}, receiver.Hwnd()));
    EXPECT_EQ(0, StartAdjustPanelStitch(std::vector<CString>(31, files[0]), receiver.Hwnd()));
    ASSERT_EQ(1, StartAdjustPanelStitch(files, receiver.Hwnd()));
    // A second start while the first runs is refused and leaves the first alone.
    EXPECT_EQ(0, StartAdjustPanelStitch(files, receiver.Hwnd()));
    ASSERT_TRUE(receiver.WaitForMessage(WM_STITCH_DONE, 60000));
    SetCurrentDirectoryW(before);
    EXPECT_EQ(1u, receiver.LastWParam(WM_STITCH_DONE));
    EXPECT_EQ(1, receiver.Count(WM_STITCH_DONE));
    CString result;
    GetStitchResultPath(result);
    EXPECT_EQ(folder.File(L"圖像拼接_1.bmp"), result);
    Picture mosaic;
    ASSERT_TRUE(Read(result, &mosaic));
    EXPECT_LE(std::abs(mosaic.width - grid.mosaic.width), 1);
    EXPECT_FALSE(AdjustPanelStitchRunning());
    DeleteFileW(result);
}

TEST(AdjustPanelStitch, FailureIsReportedAndLeavesNoFile)
{
    composedata::GridSpec spec;
    spec.rows = 1;
    spec.cols = 2;
    spec.overlap = -0.2;   // a gap between the two
    auto grid = composedata::MakeTileGrid(spec);
    Folder folder;
    std::vector<CString> files = {folder.File(L"a.bmp"), folder.File(L"b.bmp")};
    Write(grid.tiles[0], files[0], CXIMAGE_FORMAT_BMP);
    Write(grid.tiles[1], files[1], CXIMAGE_FORMAT_BMP);
    MessageReceiver receiver;
    ASSERT_EQ(1, StartAdjustPanelStitch(files, receiver.Hwnd()));
    ASSERT_TRUE(receiver.WaitForMessage(WM_STITCH_DONE, 60000));
    EXPECT_EQ(0u, receiver.LastWParam(WM_STITCH_DONE));
    EXPECT_FALSE(Exists(folder.File(L"圖像拼接.bmp")));
}

namespace {

// Runs the worker on a job and collects what it posts.
struct EdofRun
{
    MessageReceiver receiver;
    int steps = 0;
    WPARAM final = 99;

    void Run(const std::vector<CString>& inputs, const CString& output)
    {
        EdofJob* job = new EdofJob;
        job->notify = receiver.Hwnd();
        job->inputs = inputs;
        job->output = output;
        ASSERT_NE(_beginthread(EdofThread, 0, job), uintptr_t(-1));
        ASSERT_TRUE(WaitFor([&] {
            for (const SpyMessage& m : receiver.Messages())
                if (m.msg == WM_FUSION_PROGRESS && m.wParam != FUSION_STEP)
                    return true;
            return false;
        }, 60000));
        for (const SpyMessage& m : receiver.Messages()) {
            if (m.msg != WM_FUSION_PROGRESS)
                continue;
            if (m.wParam == FUSION_STEP)
                ++steps;
            else
                final = m.wParam;
        }
    }
};

}  // namespace

TEST(DepthOfField, FiveBenchPlanesComeCloseToTheAllInFocusTruth)
{
    auto stack = composedata::MakeFocusStack(320, 240, 5, 2.0f, 21, false);
    Folder folder;
    const std::vector<CString> inputs = folder.Numbered(L"plane_%d.tif", stack.planes.size());
    double bestPlane = 1e9;
    for (size_t i = 0; i < stack.planes.size(); ++i) {
        Write(stack.planes[i], inputs[i], CXIMAGE_FORMAT_TIF);
        bestPlane = std::min(bestPlane, composedata::MeanAbsDifference(stack.planes[i], stack.truth));
    }
    const CString output = EdofResultPath(folder.Path(), L"plane_0.tif");
    EdofRun run;
    run.Run(inputs, output);
    EXPECT_EQ(4, run.steps);
    EXPECT_EQ(FUSION_DONE, run.final);
    Picture result;
    ASSERT_TRUE(Read(output, &result));
    EXPECT_LT(composedata::MeanAbsDifference(result, stack.truth), 0.6 * bestPlane);
    CxImage written;
    ASSERT_TRUE(written.Load((LPCWSTR)output, CXIMAGE_FORMAT_UNKNOWN));
    EXPECT_EQ(DWORD(CXIMAGE_FORMAT_TIF), written.GetType());
}

// Noisy camera JPEGs merged into a JPEG: written too coarsely, the result gives back in
// compression what the merge won over the planes.
TEST(DepthOfField, AJpegResultComesAsCloseToTheTruthAsTheSameMergeWrittenWhole)
{
    auto stack = composedata::MakeDepthStack(512, 384, 6, 6.0f, 5);
    Folder folder;
    const std::vector<CString> inputs = folder.Numbered(L"plane_%d.jpg", stack.planes.size());
    for (size_t i = 0; i < stack.planes.size(); ++i) {
        // As a camera writes them, with halved colour.
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(composedata::Encode(stack.planes[i], ".jpg", &bytes));
        Touch(inputs[i], bytes);
    }
    Picture jpeg, whole;
    for (auto [output, picture] : {std::make_pair(folder.File(L"merged.jpg"), &jpeg),
                                   std::make_pair(folder.File(L"merged.bmp"), &whole)}) {
        EdofRun run;
        run.Run(inputs, output);
        ASSERT_EQ(FUSION_DONE, run.final);
        ASSERT_TRUE(Read(output, picture));
    }
    EXPECT_LT(composedata::RmsDifference(jpeg, whole), 2.5);
    EXPECT_LT(composedata::RmsDifference(jpeg, stack.truth),
              composedata::RmsDifference(whole, stack.truth) + 0.4);
}

TEST(DepthOfField, EqualSharpnessTakesTheLaterPlane)
{
    Picture dark, light;
    for (Picture* p : {&dark, &light}) {
        p->width = 64;
        p->height = 48;
    }
    dark.bgr.assign(64 * 48 * 3, 40);
    light.bgr.assign(64 * 48 * 3, 200);
    Folder folder;
    Write(dark, folder.File(L"a.bmp"), CXIMAGE_FORMAT_BMP);
    Write(light, folder.File(L"b.bmp"), CXIMAGE_FORMAT_BMP);
    EdofRun run;
    run.Run({folder.File(L"a.bmp"), folder.File(L"b.bmp")}, folder.File(L"out.bmp"));
    ASSERT_EQ(FUSION_DONE, run.final);
    Picture result;
    ASSERT_TRUE(Read(folder.File(L"out.bmp"), &result));
    EXPECT_EQ(light.bgr, result.bgr);
}

TEST(DepthOfField, FailsWithoutAFileForUnreadableResizedOrUnsavable)
{
    auto stack = composedata::MakeFocusStack(160, 120, 3, 1.0f, 22);
    Folder folder;
    const std::vector<CString> inputs = folder.Numbered(L"p%d.bmp", stack.planes.size());
    for (size_t i = 0; i < stack.planes.size(); ++i)
        Write(stack.planes[i], inputs[i], CXIMAGE_FORMAT_BMP);
    // An input gone by the time the worker reaches it.
    {
        EdofRun run;
        run.Run({inputs[0], inputs[1], folder.File(L"gone.bmp")}, folder.File(L"out1.bmp"));
        EXPECT_EQ(FUSION_FAILED, run.final);
        EXPECT_FALSE(Exists(folder.File(L"out1.bmp")));
    }
    // An input replaced by one of another size.
    {
        auto tiny = composedata::MakeFocusStack(80, 60, 1, 0.0f, 23);
        Write(tiny.planes[0], folder.File(L"small.bmp"), CXIMAGE_FORMAT_BMP);
        EdofRun run;
        run.Run({inputs[0], folder.File(L"small.bmp")}, folder.File(L"out2.bmp"));
        EXPECT_EQ(FUSION_FAILED, run.final);
        EXPECT_FALSE(Exists(folder.File(L"out2.bmp")));
    }
    // A result that cannot be written.
    {
        EdofRun run;
        run.Run(inputs, folder.File(L"missing folder\\out3.bmp"));
        EXPECT_EQ(FUSION_FAILED, run.final);
    }
    {
        EdofRun run;
        run.Run({}, folder.File(L"out4.bmp"));
        EXPECT_EQ(FUSION_FAILED, run.final);
        EXPECT_EQ(0, run.steps);
    }
}

namespace {

CxImage Colour(const Picture& p)
{
    CxImage image;
    image.Create(p.width, p.height, 24);
    for (int y = 0; y < p.height; ++y)
        std::memcpy(image.GetBits(p.height - 1 - y), p.Row(y), size_t(p.width) * 3);
    return image;
}

// Whether a result holds a picture of the expected size, in a type its name holds.
void ExpectPicture(const CString& path, int width, int height, int slack)
{
    CxImage image;
    ASSERT_TRUE(image.LoadAsColour(path)) << ToUtf8(path) << ": " << image.GetLastError();
    EXPECT_LE(std::abs(int(image.GetWidth()) - width), slack) << ToUtf8(path);
    EXPECT_LE(std::abs(int(image.GetHeight()) - height), slack) << ToUtf8(path);
    // The content names its type where it has a signature; TGA and WBMP have none.
    CxImage typed;
    const DWORD type = CxImage::GetTypeFromFileName(path);
    ASSERT_TRUE(typed.Load(path, type));
    // JPEG 2000 names hold a container or a bare code stream alike.
    const DWORD got = typed.GetType();
    const bool jpeg2000 = (type == CXIMAGE_FORMAT_JP2 || type == CXIMAGE_FORMAT_JPC)
                       && (got == CXIMAGE_FORMAT_JP2 || got == CXIMAGE_FORMAT_JPC);
    EXPECT_TRUE(got == type || jpeg2000) << ToUtf8(path) << " holds type " << got;
}

}  // namespace

// One input of every type the composition dialogs list: depth of field, HDR and
// stitching read it through the program's picture core and write a result of the type
// the result's name gives.
TEST(EveryListedFormat, IsReadAndWrittenByDepthOfFieldHdrAndStitching)
{
    composedata::GridSpec spec;
    spec.tileWidth = 240;
    spec.tileHeight = 180;
    spec.rows = 1;
    spec.cols = 2;
    spec.overlap = 0.4;
    spec.stageError = 4;
    spec.seed = 31;
    auto grid = composedata::MakeTileGrid(spec);
    const WCHAR* const kExtensions[] = {L"gif", L"tga", L"pcx", L"ico", L"cur", L"wbmp", L"wmf",
                                        L"emf", L"mng", L"jng", L"pgx", L"j2k", L"jpc", L"j2c",
                                        L"jp2", L"ras", L"pnm", L"pgm", L"ppm", L"tif", L"png",
                                        L"jpg", L"bmp"};
    Folder folder;
    for (const WCHAR* ext : kExtensions) {
        SCOPED_TRACE(ToUtf8(ext));
        const CString dot = CString(L".") + ext;
        const CString a = folder.File(CString(L"a") + dot), b = folder.File(CString(L"b") + dot);
        CxImage first = Colour(grid.tiles[0]), second = Colour(grid.tiles[1]);
        ASSERT_TRUE(first.SaveByName(a)) << first.GetLastError();
        ASSERT_TRUE(second.SaveByName(b)) << second.GetLastError();

        EdofRun run;
        run.Run({a, b}, folder.File(CString(L"edof") + dot));
        EXPECT_EQ(FUSION_DONE, run.final);
        ExpectPicture(folder.File(CString(L"edof") + dot), spec.tileWidth, spec.tileHeight, 0);

        HdrMergeRequest request;
        request.inputs = {a, b, b};
        request.output = folder.File(CString(L"hdr") + dot);
        EXPECT_EQ(1, CImageStore::MergeImageFiles(request));
        ExpectPicture(request.output, spec.tileWidth, spec.tileHeight, 0);

        // Stitching needs the detail of the overlap: the one-bit type keeps too little.
        if (CxImage::GetTypeFromFileName(a) == CXIMAGE_FORMAT_WBMP)
            continue;
        const std::string tiles[] = {ToUtf8(a), ToUtf8(b)};
        const char* paths[] = {tiles[0].c_str(), tiles[1].c_str()};
        const CString mosaic = folder.File(CString(L"stitch") + dot);
        EXPECT_EQ(EA_OK, eaStitch(0, 2, paths, ToUtf8(mosaic).c_str()));
        ExpectPicture(mosaic, grid.mosaic.width, grid.mosaic.height, 1);
    }
}
