// Zoom, placement, ruler cross, drawing into a plain window, the save with overlays and
// the image operations.
#include "StoreSupport.h"
#include "app/store/MeasureObject.h"
#include "support/gtest.h"
#include "support/wintest.h"
#include <math.h>
#include <algorithm>

namespace {

struct Store {
    CImageStore* s = CImageStore::Create();
    ~Store() { CImageStore::Destroy(s); }
    CImageStore* operator->() { return s; }
};

CxImage Current(CImageStore* store)
{
    CSingleLock lock(&store->m_lock, TRUE);
    return store->GetCurrentImage() ? CxImage(*store->GetCurrentImage()) : CxImage();
}

// Paints the view into a 32-bit section through the store and returns the pixels.
std::vector<DWORD> Paint(CImageStore* store, CWnd* view, int w, int h)
{
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = w;
    bmi.bmiHeader.biHeight = -h;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    void* bits = NULL;
    HDC mem = ::CreateCompatibleDC(NULL);
    HBITMAP dib = ::CreateDIBSection(mem, &bmi, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old = ::SelectObject(mem, dib);
    CDC dc;
    dc.Attach(mem);
    store->DrawToView(view, &dc);
    dc.Detach();
    ::GdiFlush();
    std::vector<DWORD> out((DWORD*)bits, (DWORD*)bits + w * h);
    ::SelectObject(mem, old);
    ::DeleteObject(dib);
    ::DeleteDC(mem);
    return out;
}

// Paints into a section pre-filled with a marker colour, the target clipped to clip.
std::vector<DWORD> PaintClipped(CImageStore* store, CWnd* view, int w, int h, const CRect& clip)
{
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = w;
    bmi.bmiHeader.biHeight = -h;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    void* bits = NULL;
    HDC mem = ::CreateCompatibleDC(NULL);
    HBITMAP dib = ::CreateDIBSection(mem, &bmi, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old = ::SelectObject(mem, dib);
    std::fill((DWORD*)bits, (DWORD*)bits + w * h, 0x123456u);
    HRGN region = ::CreateRectRgnIndirect(&clip);
    ::SelectClipRgn(mem, region);
    ::DeleteObject(region);
    CDC dc;
    dc.Attach(mem);
    store->DrawToView(view, &dc);
    dc.Detach();
    ::GdiFlush();
    std::vector<DWORD> out((DWORD*)bits, (DWORD*)bits + w * h);
    ::SelectObject(mem, old);
    ::DeleteObject(dib);
    ::DeleteDC(mem);
    return out;
}

}  // namespace

TEST(StoreView, PaintingTheClipBoxAloneMatchesTheFullPaint)
{
    TempFolder dir;
    Store store;
    const int w = 1000, h = 700;
    TestView view(w, h);
    ASSERT_EQ(1, store->OpenFile(WritePicture(dir, L"p.bmp", MakePicture(400, 300, 24), CXIMAGE_FORMAT_BMP), 1));
    for (float zoom : {1.0f, 0.5f, 4.0f}) {
        store->SetZoom(zoom);
        const std::vector<DWORD> full = Paint(store.s, &view, w, h);
        // The off-screen bitmap kept from the last paint changes nothing.
        EXPECT_TRUE(full == Paint(store.s, &view, w, h)) << "zoom " << zoom;
        // Clips across the picture's edge, inside it and off it.
        for (const CRect& clip : {CRect(250, 150, 523, 331), CRect(420, 260, 433, 271), CRect(0, 0, 90, 700)}) {
            const std::vector<DWORD> part = PaintClipped(store.s, &view, w, h, clip);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const DWORD expected = clip.PtInRect(CPoint(x, y)) ? full[y * w + x] : 0x123456u;
                    ASSERT_EQ(expected, part[y * w + x]) << "zoom " << zoom << " at " << x << "," << y;
                }
        }
    }
    // A smaller grey picture after a large one: the background, not the old picture,
    // surrounds it.
    store->SetZoom(1.0f);
    CxImage grey = FlatPicture(100, 80, 8, 77);
    ASSERT_EQ(1, store->OpenFile(WritePicture(dir, L"g.bmp", grey, CXIMAGE_FORMAT_BMP), 1));
    store->SetZoom(1.0f);
    const std::vector<DWORD> px = Paint(store.s, &view, w, h);
    EXPECT_EQ(CRect(450, 310, 550, 390), store->GetImageRect());
    EXPECT_EQ(0xBDBDBDu, px[210 * w + 310] & 0xFFFFFF);
    EXPECT_EQ(0xBDBDBDu, px[480 * w + 690] & 0xFFFFFF);
    EXPECT_EQ(0x4D4D4Du, px[350 * w + 500] & 0xFFFFFF);
}

TEST(StoreView, ZoomSteps)
{
    Store store;
    EXPECT_EQ(1.0f, store->GetZoom());   // heap stores start at 1.0 too
    store->ResetZoom();
    store->ZoomOut();
    EXPECT_EQ(0.75f, store->GetZoom());
    store->ZoomOut();
    const float in[] = {0.75f, 1.0f, 1.5f, 2.0f, 4.0f, 8.0f, 16.0f, 16.0f};
    for (float z : in) {
        store->ZoomIn();
        EXPECT_EQ(z, store->GetZoom());
    }
    const float out[] = {8.0f, 4.0f, 2.0f, 1.5f, 1.0f, 0.75f, 0.5f, 0.25f, 0.125f, 0.0625f, 0.0625f};
    for (float z : out) {
        store->ZoomOut();
        EXPECT_EQ(z, store->GetZoom());
    }
    TempFolder dir;
    ASSERT_EQ(1, store->OpenFile(WritePicture(dir, L"z.bmp", MakePicture(40, 20, 24), CXIMAGE_FORMAT_BMP), 0));
    store->SetZoom(3.0f);
    store->ZoomIn();
    EXPECT_EQ(6.0f, store->GetZoom());
    store->SetZoom(3.0f);
    store->ZoomOut();
    EXPECT_EQ(1.5f, store->GetZoom());
    RECT empty = {10, 10, 10, 50};
    store->FitToRect(&empty);
    EXPECT_EQ(1.5f, store->GetZoom());
    RECT box = {0, 0, 100, 100};
    store->FitToRect(&box);
    EXPECT_EQ(2.5f, store->GetZoom());
}

TEST(StoreView, RulerSpacingFollowsTheZoom)
{
    Store store;
    RulerAttributes r;
    store->GetRulerAttributes(r);
    store->ResetZoom();
    store->GetRulerAttributes(r);
    EXPECT_EQ(100u, r.majorSpacing);
    for (int k = 0; k < 10; ++k)
        EXPECT_EQ(10u, r.minorGaps[k]);
    store->ZoomOut();   // 0.75
    store->GetRulerAttributes(r);
    EXPECT_EQ(75u, r.majorSpacing);
    const DWORD gaps[10] = {8, 8, 8, 8, 8, 7, 7, 7, 7, 7};
    for (int k = 0; k < 10; ++k)
        EXPECT_EQ(gaps[k], r.minorGaps[k]);
    store->ZoomOut();
    store->ZoomOut();   // 0.25
    store->GetRulerAttributes(r);
    EXPECT_EQ(40u, r.majorSpacing);
}

TEST(StoreView, PlacementBandsAndDrawing)
{
    TempFolder dir;
    Store store;
    TestView view(1000, 700);
    ASSERT_EQ(1, store->OpenFile(WritePicture(dir, L"p.bmp", MakePicture(400, 300, 24), CXIMAGE_FORMAT_BMP), 1));
    std::vector<DWORD> px = Paint(store.s, &view, 1000, 700);
    EXPECT_EQ(CRect(300, 200, 700, 500), store->GetImageRect());
    // Image pixel (0, 0) at view (300, 200); the background around it.
    CxImage picture = Current(store.s);
    const RGBQUAD c = picture.GetPixelColor(0, 299);
    EXPECT_EQ((DWORD)(c.rgbRed << 16 | c.rgbGreen << 8 | c.rgbBlue), px[200 * 1000 + 300] & 0xFFFFFF);
    EXPECT_EQ(0xBDBDBDu, px[100 * 1000 + 100] & 0xFFFFFF);
    int x = 350, y = 260;
    ASSERT_TRUE(store->MapViewToImage(&view, x, y));
    EXPECT_EQ(50, x);
    EXPECT_EQ(60, y);

    // Ruler bands: top edge in, bottom edge out; the drag stops at the picture's edge.
    store->SetRulerVisible(1);
    Paint(store.s, &view, 1000, 700);
    const CPoint centre = store->GetRulerCentre();
    EXPECT_EQ(CPoint(500, 350), centre);
    EXPECT_TRUE(store->HitTestRuler(320, centre.y - 8));
    EXPECT_TRUE(store->EndRulerDrag());
    EXPECT_FALSE(store->HitTestRuler(320, centre.y + 8));
    EXPECT_FALSE(store->EndRulerDrag());
    ASSERT_TRUE(store->HitTestRuler(centre.x, 250));
    EXPECT_TRUE(store->DragRuler(900, 20));
    EXPECT_EQ(CPoint(700, 200), store->GetRulerCentre());
    EXPECT_TRUE(store->EndRulerDrag());

    // Zoom 4: the picture starts at the origin and the view scrolls.
    store->SetZoom(4.0f);
    store->SetGridVisible(1);
    Paint(store.s, &view, 1000, 700);
    EXPECT_EQ(CRect(0, 0, 1600, 1200), store->GetImageRect());
}

TEST(StoreView, HitTestsFollowTheScrolledView)
{
    TempFolder dir;
    Store store;
    TestView view(400, 300);
    view.ModifyStyle(0, WS_HSCROLL | WS_VSCROLL);
    ASSERT_EQ(1, store->OpenFile(WritePicture(dir, L"s.bmp", MakePicture(400, 300, 24), CXIMAGE_FORMAT_BMP), 1));
    store->SetZoom(4.0f);
    SCROLLINFO si = {sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 1599, 400, 0};
    view.SetScrollInfo(SB_HORZ, &si, TRUE);
    si.nMax = 1199;
    si.nPage = 300;
    view.SetScrollInfo(SB_VERT, &si, TRUE);
    view.SetScrollPos(SB_HORZ, 500, FALSE);
    view.SetScrollPos(SB_VERT, 300, FALSE);
    store->SetRulerVisible(1);
    Paint(store.s, &view, 400, 300);
    // The cross stands at the picture's centre, (800, 600) in drawing coordinates,
    // which the scrolled view shows at client (300, 300).
    EXPECT_EQ(CPoint(800, 600), store->GetRulerCentre());
    EXPECT_TRUE(store->HitTestRuler(300, 150));
    store->EndRulerDrag();
    EXPECT_FALSE(store->HitTestRuler(100, 100));
}

TEST(StoreView, SaveWithOverlaysBurnsInTheMeasurementsAndKeepsTheRest)
{
    TempFolder dir;
    CImageStore* store = CImageStore::Instance();
    TestView view(600, 400);
    store->CreateMeasure(&view);
    store->SetBaseFolder(dir.Folder());
    const CString path = WritePicture(dir, L"m.png", MakePicture(200, 100, 24), CXIMAGE_FORMAT_PNG);
    ASSERT_EQ(1, store->OpenFile(path, 1));
    store->ClearMeasurements();
    store->SetZoom(2.0f);
    Paint(store, &view, 600, 400);
    const float zoom = store->GetZoom();
    const CRect rect = store->GetImageRect();
    // A line from image (20, 50) to (180, 50), drawn with the mouse at zoom 2.
    ASSERT_TRUE(CQrMeasure::MenuItemEvent(CQrMeasure::ToolLine, store->GetMeasure()));
    store->OnMeasureLButtonDown(&view, rect.left + 40, rect.top + 100, 0, 0);
    store->OnMeasureMouseMove(&view, rect.left + 200, rect.top + 100, 0, 0);
    store->OnMeasureMouseMove(&view, rect.left + 360, rect.top + 100, 0, 0);
    store->OnMeasureLButtonUp(&view, rect.left + 360, rect.top + 100, 0, 0);
    EXPECT_GE(store->GetMeasure()->GetUnitCount(), 1);
    store->SetNote(L"overlay note");
    const CString saved = dir.Path(L"with lines.png");
    ASSERT_TRUE(store->SaveWithOverlays(saved));
    EXPECT_EQ(zoom, store->GetZoom());
    EXPECT_EQ(rect, store->GetImageRect());
    CxImage out, original;
    ASSERT_TRUE(out.Load(saved, CXIMAGE_FORMAT_PNG));
    ASSERT_TRUE(original.Load(path, CXIMAGE_FORMAT_PNG));
    ASSERT_EQ(200u, out.GetWidth());
    int changed = 0, onLine = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x) {
            const RGBQUAD a = out.GetPixelColor(x, 99 - y), b = original.GetPixelColor(x, 99 - y);
            if (memcmp(&a, &b, 3) != 0) {
                ++changed;
                onLine += abs(y - 50) <= 3 && x >= 15 && x <= 185;
            }
        }
    EXPECT_GT(onLine, 100);
    EXPECT_LT(changed - onLine, 2000);   // labels aside, the rest is the picture
    // The saved copy has its own note; the store's picture is unchanged.
    CFileStatus status;
    ASSERT_TRUE(CFile::GetStatus(saved, status));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(store->NoteFilePath(L"with lines.png", status.m_ctime)));
    CxImage shown = Current(store);
    const RGBQUAD s = shown.GetPixelColor(100, 49), o = original.GetPixelColor(100, 49);
    EXPECT_EQ(0, memcmp(&s, &o, 3));
    store->ClearMeasurements();
    store->ReleaseImages();
}

// The stretch raises each byte's low end by the dye's full channels, red, green and blue
// pairing with bytes 0, 1 and 2; mode 1 then picks the brightest stretched byte.
TEST(StoreView, ChannelColourStretchRaisesLowsByTheDyesFullChannels)
{
    TempFolder dir;
    Store source, target;
    CxImage colour;
    colour.Create(40, 6, 24);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 40; ++x) {
            BYTE* q = colour.GetBits(y) + 3 * x;
            q[0] = (BYTE)(10 + 5 * x);   // 10..205
            q[1] = (BYTE)(20 + 4 * x);   // 20..176
            q[2] = (BYTE)(30 + 3 * x + y);   // 30..152
        }
    const CString path = WritePicture(dir, L"c.bmp", colour, CXIMAGE_FORMAT_BMP);
    const int lows[3] = {10, 20, 30}, highs[3] = {205, 176, 152};
    auto level = [](int v, int lo, int hi) {
        if (v >= hi) return 255;
        if (v <= lo) return 0;
        return (int)std::floor((double)(v - lo) / (hi - lo) * 255.0 + 0.5);
    };
    struct Case { DyeRecord dye; int raise[3]; };
    const Case cases[] = {
        {{550, 600, 255, 0, 0}, {2, 3, 3}},
        {{500, 520, 0, 255, 0}, {3, 2, 3}},
        {{400, 450, 0, 0, 255}, {3, 3, 2}},
        {{500, 600, 255, 255, 0}, {5, 5, 6}},
    };
    for (const Case& c : cases) {
        ChannelColorRequest request;
        request.optimize = 1;
        request.colours.push_back(c.dye);
        const int gains[3] = {c.dye.B, c.dye.G, c.dye.R};
        for (int mode = 0; mode < 2; ++mode) {
            ASSERT_EQ(1, target->OpenFile(path, 0));
            ASSERT_EQ(1, source->ApplyChannelColor(request, target.s, mode));
            const CxImage out = Current(target.s);
            unsigned long long sums[3] = {0, 0, 0};
            for (int y = 0; y < 6; ++y)
                for (int x = 0; x < 40; ++x)
                    for (int k = 0; k < 3; ++k)
                        sums[k] += level(colour.GetBits(y)[3 * x + k], lows[k] + c.raise[k], highs[k]);
            int pick = 0;
            for (int k = 1; k < 3; ++k)
                if (sums[k] >= sums[pick]) pick = k;
            for (int y = 0; y < 6; ++y)
                for (int x = 0; x < 40; ++x)
                    for (int k = 0; k < 3; ++k) {
                        const int from = mode ? pick : k;
                        const int v = level(colour.GetBits(y)[3 * x + from], lows[from] + c.raise[from], highs[from]);
                        ASSERT_EQ(v * gains[k] / 255, out.GetBits(y)[3 * x + k])
                            << "dye " << c.dye.R << "/" << c.dye.G << "/" << c.dye.B << " mode " << mode
                            << " at " << x << "," << y << " byte " << k;
                    }
        }
    }
}

TEST(StoreView, ChannelColourShiftAndMerge)
{
    TempFolder dir;
    Store source, target;
    // A small 8-bit picture (its BMP is shorter than width × height × 3 would be).
    ASSERT_EQ(1, target->OpenFile(WritePicture(dir, L"g.bmp", MakePicture(6, 5, 8), CXIMAGE_FORMAT_BMP), 0));
    ChannelColorRequest red;
    red.colours.push_back({600, 620, 255, 0, 0});
    ASSERT_EQ(1, source->ApplyChannelColor(red, target.s, 0));
    CxImage out = Current(target.s);
    EXPECT_EQ(24, out.GetBpp());
    EXPECT_EQ(6u, out.GetWidth());
    const RGBQUAD p = out.GetPixelColor(3, 2);
    EXPECT_EQ(0, p.rgbGreen);
    EXPECT_EQ(0, p.rgbBlue);
    EXPECT_EQ(MakePicture(6, 5, 8).GetPixelColor(3, 2).rgbRed, p.rgbRed);

    // Colour source: mode 0 keeps the red byte, mode 1 takes the brightest channel.
    CxImage colour;
    colour.Create(7, 3, 24);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x) {
            BYTE* q = colour.GetBits(y) + 3 * x;
            q[0] = (BYTE)(200 + x);   // blue is the brightest
            q[1] = 50;
            q[2] = (BYTE)(10 * x);
        }
    const CString cpath = WritePicture(dir, L"c.bmp", colour, CXIMAGE_FORMAT_BMP);
    ASSERT_EQ(1, target->OpenFile(cpath, 0));
    ASSERT_EQ(1, source->ApplyChannelColor(red, target.s, 0));
    out = Current(target.s);
    EXPECT_EQ(40, out.GetPixelColor(4, 1).rgbRed);
    EXPECT_EQ(0, out.GetPixelColor(4, 1).rgbBlue);
    ASSERT_EQ(1, target->OpenFile(cpath, 0));
    ASSERT_EQ(1, source->ApplyChannelColor(red, target.s, 1));
    out = Current(target.s);
    EXPECT_EQ(204, out.GetPixelColor(4, 1).rgbRed);

    // Shift limits: the full height blacks out, one more is refused.
    ASSERT_EQ(1, target->OpenFile(cpath, 0));
    EXPECT_EQ(0, CImageStore::ShiftImage(target.s, 0, 4));
    EXPECT_EQ(1, CImageStore::ShiftImage(target.s, 0, 3));
    out = Current(target.s);
    for (int y = 0; y < 3; ++y)
        EXPECT_EQ(0, out.GetPixelColor(2, y).rgbBlue);
    ASSERT_EQ(1, target->OpenFile(cpath, 0));
    EXPECT_EQ(1, CImageStore::ShiftImage(target.s, 2, -1));
    out = Current(target.s);
    EXPECT_EQ(0, out.GetPixelColor(1, 1).rgbBlue);   // vacated on the left
    EXPECT_EQ(colour.GetPixelColor(1, 2).rgbBlue, out.GetPixelColor(3, 1).rgbBlue);
    EXPECT_EQ(0, CImageStore::ShiftImage(NULL, 1, 1));

    // HDR: the per-pixel formula over red, green and blue, on inputs that all differ (equal
    // inputs come back unchanged in any channel order); a size mismatch writes nothing.
    CxImage a = MakePicture(64, 32, 24), b = MakePicture(64, 32, 24), c = FlatPicture(64, 32, 24, 250);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x) {
            BYTE* q = b.GetBits(y) + 3 * x;
            q[0] = (BYTE)(255 - q[0]);
            q[1] = (BYTE)(17 * x + 40 * y);
            q[2] = (BYTE)(q[2] / 2 + 60);
        }
    HdrMergeRequest request;
    request.inputs = {WritePicture(dir, L"h0.png", a, CXIMAGE_FORMAT_PNG),
                      WritePicture(dir, L"h1.png", b, CXIMAGE_FORMAT_PNG),
                      WritePicture(dir, L"h2.png", c, CXIMAGE_FORMAT_PNG)};
    request.output = dir.Path(L"hdr.png");
    ASSERT_EQ(1, CImageStore::MergeImageFiles(request));
    CxImage merged;
    ASSERT_TRUE(merged.Load(request.output, CXIMAGE_FORMAT_PNG));
    for (int i = 0; i < 64 * 32; ++i) {
        const int x = i % 64, y = i / 64;
        double Y = 0, U = 0, V = 0;
        for (CxImage* img : {&a, &b, &c}) {
            const RGBQUAD q = img->GetPixelColor(x, y);
            const double c0 = q.rgbRed, c1 = q.rgbGreen, c2 = q.rgbBlue;
            Y += 0.299 * c0 + 0.587 * c1 + 0.114 * c2;
            U += 0.436 * c2 - (0.289 * c1 + 0.147 * c0);
            V += 0.615 * c0 - 0.515 * c1 - 0.1 * c2;
        }
        Y /= 3;
        U /= 3;
        V /= 3;
        auto clamp = [](double v) { return v < 0 ? 0 : (v > 255 ? 255 : (int)std::lround(v)); };
        const RGBQUAD m = merged.GetPixelColor(x, y);
        EXPECT_EQ(clamp(Y + 1.14 * V), m.rgbRed) << x << "," << y;
        EXPECT_EQ(clamp(Y - 0.39 * U - 0.58 * V), m.rgbGreen) << x << "," << y;
        EXPECT_EQ(clamp(Y + 2.03 * U), m.rgbBlue) << x << "," << y;
    }
    request.inputs[2] = WritePicture(dir, L"h3.png", FlatPicture(63, 32, 24, 1), CXIMAGE_FORMAT_PNG);
    request.output = dir.Path(L"nothing.png");
    EXPECT_EQ(0, CImageStore::MergeImageFiles(request));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(request.output));
    // A write that fails is reported.
    request.inputs[2] = WritePicture(dir, L"h2.png", c, CXIMAGE_FORMAT_PNG);
    request.output = dir.Path(L"no such folder\\hdr.png");
    EXPECT_EQ(0, CImageStore::MergeImageFiles(request));
}
