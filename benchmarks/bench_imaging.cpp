// The image core against references measured in the same run:
//   display adjustments on 4096 x 3072 RGB    / memcpy of the picture
//   load and save of JPEG, PNG, TIFF, GIF, JP2 / the bare library on the same bytes
//                                                (JPEG: a plain decode into 3-byte pixels)
//   opening a 12 MP JPEG into the store       / a plain decode of its bytes into 3-byte
//                                                pixels (the file read and the copies
//                                                the store keeps are ours to pay)
//   drawing into a 1600 x 1000 view at zoom 0.25, 1 and 4 / one StretchDIBits of the
//   visible part
// Each figure is the median of several runs.
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/store/ImageStore.h"
#include "bench_imaging_reference.h"
#include "Codecs.h"
#include "LibraryDecoders.h"

namespace {

const int kW = 4096, kH = 3072;

double Now()
{
    static LARGE_INTEGER f;
    if (!f.QuadPart)
        QueryPerformanceFrequency(&f);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return (double)t.QuadPart / f.QuadPart;
}

template <typename F>
double Median(int runs, F f)
{
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        const double t0 = Now();
        f(i);
        t.push_back(Now() - t0);
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

void Report(const char* name, double ours, double reference, const char* aim)
{
    printf("%-44s %9.2f ms  ref %9.2f ms  ratio %6.2f  %s\n", name, ours * 1000, reference * 1000,
           ours / reference, aim);
}

CxImage Photo(int w, int h, bool grey)
{
    CxImage image;
    image.Create(w, h, grey ? 8 : 24);
    for (int y = 0; y < h; ++y) {
        BYTE* row = image.GetBits(y);
        for (int x = 0; x < w; ++x) {
            const int v = (x * 255 / w + y * 255 / h) / 2 + ((x * 7 + y * 13) & 15);
            if (grey) {
                row[x] = (BYTE)v;
            } else {
                row[3 * x] = (BYTE)v;
                row[3 * x + 1] = (BYTE)(255 - x * 255 / w);
                row[3 * x + 2] = (BYTE)((y * 255 / h) ^ (x & 31));
            }
        }
    }
    return image;
}

CString TempFile(LPCWSTR name)
{
    WCHAR dir[MAX_PATH];
    ::GetTempPathW(MAX_PATH, dir);
    return CString(dir) + name;
}

std::vector<uint8_t> TopDownRgb(const CxImage& image)
{
    const int w = (int)image.GetWidth(), h = (int)image.GetHeight();
    std::vector<uint8_t> rgb((size_t)w * h * 3);
    for (int y = 0; y < h; ++y) {
        const BYTE* s = image.GetBits(h - 1 - y);
        uint8_t* d = rgb.data() + (size_t)y * w * 3;
        for (int x = 0; x < w; ++x) {
            d[3 * x] = s[3 * x + 2];
            d[3 * x + 1] = s[3 * x + 1];
            d[3 * x + 2] = s[3 * x];
        }
    }
    return rgb;
}

void Adjustments(CImageStore* store, const CxImage& photo)
{
    std::vector<BYTE> copy(photo.GetSize());
    const double ref = Median(7, [&](int) { memcpy(copy.data(), photo.GetBits(), copy.size()); });
    const double tables = Median(5, [&](int i) {
        store->SetBrightness(10 + (i & 1));
        store->SetContrast(20);
        store->SetGamma(120);
        store->SetLevels(10, 240);
        store->RunAdjustments();
    });
    Report("adjust: brightness, contrast, gamma, levels", tables, ref, "(aim <= 3)");
    store->ResetAdjustments();
    const double saturation = Median(3, [&](int i) {
        store->SetSaturation(-30 - (i & 1));
        store->RunAdjustments();
    });
    Report("adjust: saturation -30", saturation, ref, "(reported)");
    store->ResetAdjustments();
    const double sharpen = Median(3, [&](int i) {
        store->SetSharpen(15 + (i & 1) * 0);
        store->SetBrightness(i & 1);
        store->RunAdjustments();
    });
    Report("adjust: sharpen 15", sharpen, ref, "(aim <= 40)");
    store->ResetAdjustments();
    store->RunAdjustments();
}

void Codecs()
{
    struct Case {
        const char* name;
        int format;
        int w, h;
        bool grey;
        const char* ext;
    } cases[] = {{"JPEG", CXIMAGE_FORMAT_JPG, 2048, 1536, false, "x.jpg"},
                 {"PNG", CXIMAGE_FORMAT_PNG, 2048, 1536, false, "x.png"},
                 {"TIFF", CXIMAGE_FORMAT_TIF, 2048, 1536, false, "x.tif"},
                 {"GIF (8-bit)", CXIMAGE_FORMAT_GIF, 2048, 1536, true, "x.gif"},
                 {"JP2", CXIMAGE_FORMAT_JP2, 1024, 768, false, "x.jp2"}};
    for (const Case& c : cases) {
        const CxImage photo = Photo(c.w, c.h, c.grey);
        std::vector<uint8_t> bytes;
        std::string err;
        orv_img::EncodeImage(c.format, photo.Pixels(), bytes, 90, err);
        const int runs = c.format == CXIMAGE_FORMAT_JP2 ? 3 : 5;
        const double ours = Median(runs, [&](int) {
            orv_img::PixelImage img;
            orv_img::DecodeImage(c.format, bytes.data(), bytes.size(), img, err);
        });
        const double bare = Median(runs, [&](int) {
            if (c.format == CXIMAGE_FORMAT_JPG) {
                std::vector<uint8_t> bgr;
                BareJpegDecode(bytes.data(), bytes.size(), bgr);
            } else {
                RgbaImage ref;
                DecodeWithLibrary(c.ext, bytes, ref);
            }
        });
        std::string name = std::string("load ") + c.name;
        Report(name.c_str(), ours, bare, "(aim <= 1.2)");
        const double save = Median(runs, [&](int) {
            std::vector<uint8_t> out;
            orv_img::EncodeImage(c.format, photo.Pixels(), out, 90, err);
        });
        name = std::string("save ") + c.name;
        if (c.format == CXIMAGE_FORMAT_JPG || c.format == CXIMAGE_FORMAT_PNG) {
            const std::vector<uint8_t> rgb = TopDownRgb(photo);
            const double ref = Median(runs, [&](int) {
                std::vector<uint8_t> out;
                if (c.format == CXIMAGE_FORMAT_JPG)
                    BareJpegEncode(rgb.data(), c.w, c.h, 90, out);
                else
                    BarePngEncode(rgb.data(), c.w, c.h, out);
            });
            Report(name.c_str(), save, ref, "(aim <= 1.2)");
        } else {
            printf("%-44s %9.2f ms  (no bare writer here)\n", name.c_str(), save * 1000);
        }
    }
}

void OpenJpeg(CImageStore* store, const CxImage& photo)
{
    const CString path = TempFile(L"bench12mp.jpg");
    CxImage copy(photo);
    copy.Save(path, CXIMAGE_FORMAT_JPG);
    std::vector<uint8_t> bytes;
    std::string err;
    ReadWholeFile(path, bytes, err);
    const double open = Median(3, [&](int) { store->OpenFile(path, 1); });
    const double bare = Median(3, [&](int) {
        std::vector<uint8_t> bgr;
        BareJpegDecode(bytes.data(), bytes.size(), bgr);
    });
    Report("OpenFile 12 MP JPEG", open, bare, "(reported)");
    ::DeleteFileW(path);
}

void Drawing(CImageStore* store, const CString& path, const char* label)
{
    const int vw = 1600, vh = 1000;
    CWnd view;
    view.CreateEx(0, L"STATIC", L"", WS_POPUP, 0, 0, vw, vh, NULL, NULL);
    store->OpenFile(path, 0);
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = vw;
    bmi.bmiHeader.biHeight = -vh;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    void* bits = NULL;
    HDC mem = ::CreateCompatibleDC(NULL);
    HBITMAP dib = ::CreateDIBSection(mem, &bmi, DIB_RGB_COLORS, &bits, NULL, 0);
    ::SelectObject(mem, dib);
    CDC dc;
    dc.Attach(mem);
    for (float zoom : {0.25f, 1.0f, 4.0f}) {
        store->SetZoom(zoom);
        const double ours = Median(5, [&](int) {
            store->DrawToView(&view, &dc);
            ::GdiFlush();
        });
        const CRect r = store->ComputeImageRect(CRect(0, 0, vw, vh));
        CxImage* image = store->GetCurrentImage();
        struct {
            BITMAPINFOHEADER h;
            RGBQUAD c[256];
        } info;
        image->FillBitmapInfo(reinterpret_cast<BITMAPINFO*>(&info));
        const int sw = (int)std::min<double>(image->GetWidth(), vw / zoom);
        const int sh = (int)std::min<double>(image->GetHeight(), vh / zoom);
        const double ref = Median(5, [&](int) {
            ::SetStretchBltMode(mem, COLORONCOLOR);
            ::StretchDIBits(mem, r.left, r.top, (int)(sw * zoom), (int)(sh * zoom), 0,
                            image->GetHeight() - sh, sw, sh, image->GetBits(),
                            reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, SRCCOPY);
            ::GdiFlush();
        });
        char name[64];
        snprintf(name, sizeof name, "DrawToView %s zoom %.2f", label, zoom);
        Report(name, ours, ref, "(aim <= 1.5)");
    }
    dc.Detach();
    ::DeleteDC(mem);
    ::DeleteObject(dib);
    view.DestroyWindow();
}

}  // namespace

int main()
{
    printf("bench_imaging: medians; ratios against references measured in this run\n");
    CImageStore* store = CImageStore::Create();
    const CxImage photo = Photo(kW, kH, false);
    const CString rgbPath = TempFile(L"bench_rgb.bmp");
    CxImage(photo).Save(rgbPath, CXIMAGE_FORMAT_BMP);
    store->OpenFile(rgbPath, 1);
    Adjustments(store, photo);
    Codecs();
    OpenJpeg(store, photo);
    Drawing(store, rgbPath, "RGB");
    const CString greyPath = TempFile(L"bench_grey.bmp");
    Photo(kW, kH, true).Save(greyPath, CXIMAGE_FORMAT_BMP);
    Drawing(store, greyPath, "grey");
    ::DeleteFileW(rgbPath);
    ::DeleteFileW(greyPath);
    CImageStore::Destroy(store);
    return 0;
}
