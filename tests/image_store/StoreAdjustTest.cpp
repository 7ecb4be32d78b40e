// Display adjustments, levels, histogram, edits, crop and the redraw thread.
#include "StoreSupport.h"
#include "support/gtest.h"
#include "support/wintest.h"
#include <math.h>
#include <stdio.h>

namespace {

struct Store {
    CImageStore* s = CImageStore::Create();
    ~Store() { CImageStore::Destroy(s); }
    CImageStore* operator->() { return s; }
};

// Reads the current picture under the store's lock.
CxImage Current(CImageStore* store)
{
    CSingleLock lock(&store->m_lock, TRUE);
    return store->GetCurrentImage() ? CxImage(*store->GetCurrentImage()) : CxImage();
}

// A picture of hard-edged noise, so every tap and every band edge matters.
CxImage NoisePicture(int width, int height, int bpp, unsigned seed)
{
    CxImage picture;
    picture.Create(width, height, bpp);
    if (bpp == 8)
        picture.SetGrayPalette();
    const int samples = bpp == 8 ? width : width * 3;
    for (int y = 0; y < height; ++y)
        for (int i = 0; i < samples; ++i) {
            seed = seed * 1103515245u + 12345u;
            picture.GetBits(y)[i] = (BYTE)(seed >> 16);
        }
    return picture;
}

// The unsharp mask written out plainly: 11 Gaussian taps, mirrored edges, truncating
// division by the taps' sum after each pass, out = in + (in - blur) x value / 10.
void PlainSharpen(CxImage& picture, int value)
{
    const float s = (float)value * 0.1f;
    const double a = 1.0 / (s * s + s * s), c = sqrt(a * 0.31830987732601135);
    int taps[11], sum = 0;
    for (int k = -5; k <= 5; ++k)
        sum += taps[k + 5] = (int)(exp(-k * k * a) * c * 1000.0);
    const int w = (int)picture.GetWidth(), h = (int)picture.GetHeight();
    const int ch = picture.GetBpp() == 24 ? 3 : 1;
    auto reflect = [](int i, int n) {
        i = i < 0 ? -i - 1 : i;
        i = i >= n ? 2 * n - i - 1 : i;
        return i < 0 ? 0 : (i >= n ? n - 1 : i);
    };
    std::vector<int> blurH((size_t)w * h * ch);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int k = 0; k < ch; ++k) {
                int acc = 0;
                for (int t = -5; t <= 5; ++t)
                    acc += taps[t + 5] * picture.GetBits(y)[reflect(x + t, w) * ch + k];
                blurH[((size_t)y * w + x) * ch + k] = acc / sum;
            }
    for (int y = 0; y < h; ++y)
        for (int i = 0; i < w * ch; ++i) {
            int acc = 0;
            for (int t = -5; t <= 5; ++t)
                acc += taps[t + 5] * blurH[(size_t)reflect(y + t, h) * w * ch + i];
            const int p = picture.GetBits(y)[i], d = p - acc / sum;
            const int v = (int)(d * s + p);
            picture.GetBits(y)[i] = (BYTE)(v < 0 ? 0 : (v > 255 ? 255 : v));
        }
}

void ExpectSameSamples(const CxImage& expected, const CxImage& actual, const char* what)
{
    ASSERT_EQ(expected.GetWidth(), actual.GetWidth()) << what;
    ASSERT_EQ(expected.GetHeight(), actual.GetHeight()) << what;
    ASSERT_EQ(expected.GetBpp(), actual.GetBpp()) << what;
    const DWORD samples = expected.GetWidth() * (expected.GetBpp() / 8);
    for (DWORD y = 0; y < expected.GetHeight(); ++y)
        for (DWORD i = 0; i < samples; ++i)
            ASSERT_EQ(expected.GetBits(y)[i], actual.GetBits(y)[i]) << what << " row " << y << " sample " << i;
}

}  // namespace

TEST(StoreAdjust, PipelineAppliesRequestsAndNeutralValuesRestoreTheBase)
{
    TempFolder dir;
    Store store;
    const CString path = WritePicture(dir, L"p.bmp", MakePicture(64, 40, 24), CXIMAGE_FORMAT_BMP);
    ASSERT_EQ(1, store->OpenFile(path, 1));
    const CxImage base = Current(store.s);
    store->SetBrightness(20);
    EXPECT_TRUE(store->IsBrightnessChanged());
    EXPECT_EQ(1, store->RunAdjustments());
    EXPECT_FALSE(store->IsBrightnessChanged());
    CxImage lit = Current(store.s);
    CxImage expect(base);
    expect.Light(20, 0);
    EXPECT_EQ(0, memcmp(lit.GetBits(), expect.GetBits(), lit.GetSize()));
    // Everything at once equals the steps one after the other.
    store->SetContrast(30);
    store->SetGamma(150);
    store->SetSaturation(-40);
    store->SetLevels(10, 240);
    EXPECT_EQ(1, store->RunAdjustments());
    expect.Light(0, 30);
    expect.Gamma(1.5f);
    expect.Saturate(-40, 1);
    BYTE table[256];
    BuildLevelsTable(10, 240, table);
    for (DWORD y = 0; y < expect.GetHeight(); ++y)
        for (DWORD i = 0; i < expect.GetWidth() * 3; ++i)
            expect.GetBits(y)[i] = table[expect.GetBits(y)[i]];
    CxImage all = Current(store.s);
    EXPECT_EQ(0, memcmp(all.GetBits(), expect.GetBits(), all.GetSize()));
    // Back to neutral: the base, byte for byte.
    store->SetBrightness(0);
    store->SetContrast(0);
    store->SetGamma(100);
    store->SetSaturation(0);
    store->SetLevels(0, 255);
    EXPECT_EQ(1, store->RunAdjustments());
    CxImage neutral = Current(store.s);
    EXPECT_EQ(0, memcmp(neutral.GetBits(), base.GetBits(), base.GetSize()));
    EXPECT_FALSE(store->IsLevelsChanged() || store->IsGammaChanged());
}

TEST(StoreAdjust, LevelsTablesAndHistogram)
{
    BYTE t[256];
    BuildLevelsTable(10, 10, t);
    EXPECT_EQ(0, t[9]);
    EXPECT_EQ(255, t[10]);
    BuildLevelsTable(255, 1, t);
    EXPECT_EQ(0, t[1]);
    EXPECT_EQ(255, t[2]);
    BuildLevelsTable(0, 255, t);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(i, t[i]);
    BYTE rows[2][8] = {{0, 50, 100, 200, 0, 50, 100, 200}, {255, 128, 1, 2, 3, 4, 5, 6}};
    EXPECT_EQ(0, ApplyLevelsTable8(0, 100, NULL, 8, 2));
    EXPECT_EQ(1, ApplyLevelsTable8(0, 100, &rows[0][0], 8, 2));
    EXPECT_EQ(128, rows[0][1]);
    EXPECT_EQ(255, rows[0][3]);

    TempFolder dir;
    Store store;
    // A tiny picture: the threshold is 0 and the histogram cap would be 0.
    const CString tiny = WritePicture(dir, L"tiny.bmp", FlatPicture(10, 10, 8, 77), CXIMAGE_FORMAT_BMP);
    ASSERT_EQ(1, store->OpenFile(tiny, 1));
    store->ComputeHistogram();
    EXPECT_EQ(100, store->GetHistogram()[77]);
    int b = -1, w = -1;
    store->GetSuggestedLevels(b, w);
    EXPECT_EQ(0, b);
    EXPECT_EQ(255, w);
    HDC dc = ::CreateCompatibleDC(NULL);
    HBITMAP bmp = ::CreateCompatibleBitmap(dc, 300, 130);
    ::SelectObject(dc, bmp);
    CDC cdc;
    cdc.Attach(dc);
    store->DrawHistogram(&cdc, CRect(0, 0, 260, 130));
    store->DrawLevelMarkers(&cdc, CRect(0, 0, 260, 130));
    cdc.Detach();
    ::DeleteDC(dc);
    ::DeleteObject(bmp);
}

TEST(StoreAdjust, AutoLevelsKeepTheOtherAdjustments)
{
    TempFolder dir;
    Store store;
    CxImage ramp;
    ramp.Create(256, 100, 8);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 256; ++x)
            ramp.GetBits(y)[x] = (BYTE)(40 + x * 150 / 255);
    const CString path = WritePicture(dir, L"ramp.bmp", ramp, CXIMAGE_FORMAT_BMP);
    ASSERT_EQ(1, store->OpenFile(path, 1));
    store->SetBrightness(-30);
    store->RunAdjustments();
    store->ComputeHistogram();
    ASSERT_EQ(1, store->ApplyAutoLevels());
    int b, w;
    store->GetSuggestedLevels(b, w);
    CxImage expect(ramp);
    expect.Light(-30, 0);
    BYTE t[256];
    BuildLevelsTable(b, w, t);
    expect.Pixels().ApplyTable(t);
    CxImage shown = Current(store.s);
    EXPECT_EQ(0, memcmp(shown.GetBits(), expect.GetBits(), shown.GetSize()));
}

TEST(StoreAdjust, PaletteAndGreyPicturesAdjustByColour)
{
    TempFolder dir;
    Store store;
    CxImage pal;
    pal.Create(33, 5, 4);
    RGBQUAD colours[16];
    for (int i = 0; i < 16; ++i)
        colours[i] = {(BYTE)(i * 16), (BYTE)(200 - i * 8), (BYTE)(i * 5 + 40), 0};
    pal.SetPalette(colours, 16);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 33; ++x)
            pal.SetPixelIndex(x, y, (BYTE)((x + y) % 16));
    const CString path = WritePicture(dir, L"pal.bmp", pal, CXIMAGE_FORMAT_BMP);
    ASSERT_EQ(1, store->OpenFile(path, 1));
    store->SetLevels(40, 200);
    store->SetSharpen(12);
    ASSERT_EQ(1, store->RunAdjustments());
    CxImage shown = Current(store.s);
    // The levels went through the colours: a flat area stays the mapped colour.
    BYTE t[256];
    BuildLevelsTable(40, 200, t);
    const RGBQUAD c = shown.GetPixelColor(16, 2);
    const RGBQUAD o = pal.GetPixelColor(16, 2);
    EXPECT_NEAR(t[o.rgbGreen], c.rgbGreen, 40);
    EXPECT_GT(shown.GetWidth(), 0u);

    // Grey stays 8-bit grey through the pipeline.
    const CString grey = WritePicture(dir, L"g.bmp", MakePicture(40, 20, 8), CXIMAGE_FORMAT_BMP);
    ASSERT_EQ(1, store->OpenFile(grey, 1));
    store->SetContrast(40);
    store->SetSharpen(5);
    ASSERT_EQ(1, store->RunAdjustments());
    CxImage g = Current(store.s);
    EXPECT_EQ(8, g.GetBpp());
    EXPECT_TRUE(g.IsGrayScale());
}

TEST(StoreAdjust, EverySharpenValueLeavesAFlatPictureFlat)
{
    TempFolder dir;
    Store store;
    for (int bpp : {8, 24})
        for (int size : {3, 40}) {
            const CString path = WritePicture(dir, L"flat.bmp", FlatPicture(size, size, bpp, 128), CXIMAGE_FORMAT_BMP);
            ASSERT_EQ(1, store->OpenFile(path, 1));
            for (int v = 1; v <= 30; ++v) {
                store->SetSharpen(v);
                ASSERT_EQ(1, store->RunAdjustments());
                CxImage shown = Current(store.s);
                for (DWORD y = 0; y < shown.GetHeight(); ++y)
                    for (DWORD x = 0; x < shown.GetWidth() * (bpp / 8); ++x)
                        ASSERT_EQ(128, shown.GetBits(y)[x]) << "value " << v << " size " << size;
            }
        }
    // An edge gets steeper.
    CxImage step;
    step.Create(20, 4, 8);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 20; ++x)
            step.GetBits(y)[x] = x < 10 ? 100 : 150;
    ASSERT_EQ(1, store->OpenFile(WritePicture(dir, L"step.bmp", step, CXIMAGE_FORMAT_BMP), 1));
    store->SetSharpen(15);
    store->RunAdjustments();
    CxImage sharp = Current(store.s);
    EXPECT_LT(sharp.GetBits(1)[9], 100);
    EXPECT_GT(sharp.GetBits(1)[10], 150);
}

TEST(StoreAdjust, CropSurvivesASliderMoveAndRotateUndoesWithDefault)
{
    TempFolder dir;
    Store store;
    TestView view(800, 600);
    const CString path = WritePicture(dir, L"c.bmp", MakePicture(400, 300, 24), CXIMAGE_FORMAT_BMP);
    ASSERT_EQ(1, store->OpenFile(path, 1));
    // The picture sits at (200, 150) in an 800 x 600 view.
    store->SetSelectionFromTracker(&view, CRect(210, 160, 313, 200));
    store->CropToSelection();
    int w = 0, h = 0;
    store->GetImageSize(&w, &h);
    EXPECT_EQ(100, w);   // 103 rounded down to a multiple of 4
    EXPECT_EQ(40, h);
    store->SetBrightness(10);
    store->RunAdjustments();
    store->GetImageSize(&w, &h);
    EXPECT_EQ(100, w);
    EXPECT_EQ(40, h);
    // Too narrow: nothing happens; a selection beyond the picture is pulled in.
    store->SetSelectionFromTracker(&view, CRect(210, 160, 212, 170));
    store->CropToSelection();
    store->GetImageSize(&w, &h);
    EXPECT_EQ(100, w);

    ASSERT_EQ(1, store->OpenFile(path, 1));
    ASSERT_TRUE(store->RotateRight());
    store->GetImageSize(&w, &h);
    EXPECT_EQ(300, w);
    EXPECT_EQ(400, h);
    store->SetContrast(20);
    store->RunAdjustments();
    store->GetImageSize(&w, &h);
    EXPECT_EQ(300, w);
    store->RevertAdjustments();
    store->GetImageSize(&w, &h);
    EXPECT_EQ(400, w);
    EXPECT_EQ(300, h);
    EXPECT_FALSE(store->IsContrastChanged());
}

namespace {

struct PipelineThread {
    CImageStore* store;
    volatile LONG stop;
    volatile LONG passes;
};

DWORD WINAPI RunPipeline(void* param)
{
    PipelineThread* t = static_cast<PipelineThread*>(param);
    int value = 0;
    while (!t->stop) {
        t->store->SetBrightness(++value % 40);
        t->store->RunAdjustments();
        CDC dc;
        dc.Attach(::CreateCompatibleDC(NULL));
        HBITMAP bmp = ::CreateCompatibleBitmap(dc.GetSafeHdc(), 64, 64);
        HGDIOBJ old = ::SelectObject(dc.GetSafeHdc(), bmp);
        t->store->DrawCentered(CWnd::FromHandle(::GetDesktopWindow()), &dc, CRect(0, 0, 64, 64));
        ::SelectObject(dc.GetSafeHdc(), old);
        ::DeleteObject(bmp);
        ::DeleteDC(dc.Detach());
        ::InterlockedIncrement(&t->passes);
    }
    return 0;
}

}  // namespace

TEST(StoreAdjust, OpensAndReleasesWhileTheRedrawThreadWorks)
{
    TempFolder dir;
    Store store;
    const CString a = WritePicture(dir, L"a.bmp", MakePicture(120, 80, 24), CXIMAGE_FORMAT_BMP);
    const CString b = WritePicture(dir, L"b.png", MakePicture(60, 90, 8), CXIMAGE_FORMAT_PNG);
    PipelineThread t = {store.s, 0, 0};
    HANDLE thread = ::CreateThread(NULL, 0, RunPipeline, &t, 0, NULL);
    ASSERT_NE((HANDLE)NULL, thread);
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(1, store->OpenFile(i % 2 ? a : b, i % 3 == 0));
        if (i % 5 == 0)
            store->ReleaseImages();
        if (i % 7 == 0)
            store->RotateLeft();
    }
    ::InterlockedExchange(&t.stop, 1);
    EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(thread, 30000));
    ::CloseHandle(thread);
    EXPECT_GT(t.passes, 0);
}

TEST(StoreAdjust, BandedPassesEqualThePlainComputation)
{
    TempFolder dir;
    Store store;
    // Sharpen: tiny pictures, widths below the kernel, and heights split into row bands.
    const int sizes[][2] = {{1, 1}, {2, 3}, {4, 70}, {11, 7}, {257, 130}};
    for (int bpp : {8, 24})
        for (const auto& size : sizes) {
            const CxImage picture = NoisePicture(size[0], size[1], bpp, 7u * size[0] + size[1]);
            ASSERT_EQ(1, store->OpenFile(WritePicture(dir, L"n.bmp", picture, CXIMAGE_FORMAT_BMP), 1));
            for (int value : {1, 7, 15, 30}) {
                store->SetSharpen(value);
                ASSERT_EQ(1, store->RunAdjustments());
                CxImage expected(picture);
                PlainSharpen(expected, value);
                char what[64];
                snprintf(what, sizeof what, "%dx%d, %d bits, sharpen %d", size[0], size[1], bpp, value);
                ExpectSameSamples(expected, Current(store.s), what);
            }
        }

    // The fused table over row bands (pictures past a megabyte) against the steps one
    // after another over the whole picture.
    store->ResetAdjustments();
    for (int bpp : {8, 24}) {
        const int w = bpp == 8 ? 1201 : 701, h = 1001;
        const CxImage picture = NoisePicture(w, h, bpp, 99u + bpp);
        ASSERT_EQ(1, store->OpenFile(WritePicture(dir, L"big.bmp", picture, CXIMAGE_FORMAT_BMP), 1));
        store->SetBrightness(10);
        store->SetContrast(20);
        store->SetGamma(120);
        store->SetLevels(10, 240);
        ASSERT_EQ(1, store->RunAdjustments());
        CxImage expected(picture);
        expected.Light(10, 0);
        expected.Light(0, 20);
        expected.Gamma(120 * 0.01f);   // the slider's percent, as the store reads it
        BYTE t[256];
        BuildLevelsTable(10, 240, t);
        for (DWORD y = 0; y < expected.GetHeight(); ++y)
            for (DWORD i = 0; i < expected.GetWidth() * (bpp / 8); ++i)
                expected.GetBits(y)[i] = t[expected.GetBits(y)[i]];
        ExpectSameSamples(expected, Current(store.s), bpp == 8 ? "tables, grey" : "tables, colour");
        store->ResetAdjustments();
    }
}
