// Measuring and printing figures, each a ratio against a reference timed in the same run:
//   print preview of four 12 MP pictures / four plain StretchDIBits into the same
//     rectangles                                                   (aim: at most 1.5)
//   comparison pane paint of 4096 x 3072 at zoom 1, scrolled / one StretchDIBits of
//     the visible part                                             (aim: at most 1.5)
//   10,000 counter marks and 1,000 measurement units: drawing the units and
//     refreshing the counts per repaint / drawing the picture alone, and the same
//     with half the marks (reported; the cost should grow linearly with the marks)
//   a slider move on 4096 x 3072 until the view is repainted / memcpy of the picture
//     (reported)
#include "afxwin.h"
#include "app/image/ComparePane.h"
#include "app/image/ImageAdjustPanel.h"
#include "app/store/ImageStore.h"
#include "app/measure/CounterPanel.h"
#include "app/shell/ShellLinks.h"
#include "app/controls/SkinSlider.h"
#include "external/measure/QrMeasure.h"
#include "xImage.h"

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <vector>

namespace {

double Now()
{
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / frequency.QuadPart;
}

// Median seconds of `runs` calls.
template <class F>
double Time(int runs, F f)
{
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        const double start = Now();
        f();
        t.push_back(Now() - start);
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

CString TempFile(LPCWSTR name)
{
    WCHAR temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    CString path;
    path.Format(L"%sbench_mp_%u_%s", temp, GetCurrentProcessId(), name);
    return path;
}

CString WritePattern(LPCWSTR name, int w, int h)
{
    CxImage image;
    image.Create(w, h, 24, CXIMAGE_FORMAT_BMP);
    BYTE* bits = image.GetBits(0);
    const int pitch = (int)image.GetEffWidth();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w * 3; ++x)
            bits[y * pitch + x] = BYTE((x ^ y) + x / 7);
    const CString path = TempFile(name);
    image.Save((LPCWSTR)path, CXIMAGE_FORMAT_BMP);
    return path;
}

// A 32-bit DIB selected into a DC.
struct Surface {
    HDC hdc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    CDC dc;
    Surface(int w, int h)
    {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HDC screen = GetDC(nullptr);
        hdc = CreateCompatibleDC(screen);
        ReleaseDC(nullptr, screen);
        bitmap = CreateDIBSection(hdc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        old = SelectObject(hdc, bitmap);
        dc.Attach(hdc);
    }
    ~Surface()
    {
        dc.Detach();
        SelectObject(hdc, old);
        DeleteObject(bitmap);
        DeleteDC(hdc);
    }
};

void Stretch(HDC dc, CxImage& image, const RECT& to, int sx, int sy, int sw, int sh)
{
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = (LONG)image.GetWidth();
    bi.bmiHeader.biHeight = (LONG)image.GetHeight();
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, to.left, to.top, to.right - to.left, to.bottom - to.top, sx,
                  (int)image.GetHeight() - sy - sh, sw, sh, image.GetBits(0), &bi, DIB_RGB_COLORS, SRCCOPY);
}

void PrintPreview()
{
    CImageStore* store = CImageStore::Create();
    store->SetPageRect(CRect(0, 0, 400, 574));
    for (int i = 0; i < 4; ++i) {
        CString name;
        name.Format(L"p%d.bmp", i);
        const CString path = WritePattern(name, 4000, 3000);
        store->AddPrintItem(path);
        DeleteFileW(path);
    }
    Surface page(400, 574);
    store->DrawPrintLayout(&page.dc);   // the lazy layout, once
    const double ours = Time(9, [&] { store->DrawPrintLayout(&page.dc); GdiFlush(); });
    const double plain = Time(9, [&] {
        for (PrintItem& item : store->GetPrintLayout().items)
            Stretch(page.hdc, *item.image, item.imageRect, 0, 0, (int)item.image->GetWidth(),
                    (int)item.image->GetHeight());
        GdiFlush();
    });
    printf("print preview, four 12 MP pictures: %.2f ms / StretchDIBits %.2f ms = %.2f (aim <= 1.5)\n",
           ours * 1e3, plain * 1e3, ours / plain);
    CImageStore::Destroy(store);
}

void ComparePaint(CWnd& parent)
{
    CComparePane pane;
    pane.Create(CComparePane::IDD, &parent);
    pane.ModifyStyle(WS_POPUP, WS_CHILD);
    pane.SetParent(&parent);
    pane.MoveWindow(0, 0, 800, 600);
    pane.ShowWindow(SW_SHOW);
    const CString path = WritePattern(L"cmp.bmp", 4096, 3072);
    pane.OpenFile(path, 0);
    DeleteFileW(path);
    pane.SetZoom(1.0f);
    for (int i = 0; i < 40; ++i) {
        pane.SendMessage(WM_HSCROLL, SB_LINERIGHT, 0);
        pane.SendMessage(WM_VSCROLL, SB_LINERIGHT, 0);
    }
    CRect client;
    pane.GetClientRect(&client);
    const double ours = Time(15, [&] { pane.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW); GdiFlush(); });
    CxImage* image = pane.GetStore()->GetCurrentImage();
    const CPoint offset = pane.GetScrollOffset();
    // The store's drawing alone, without the window's paint cycle around it.
    CDC* pictureDC = pane.GetDlgItem(IDC_COMPARE_PICTURE)->GetDC();
    const double drawing = Time(15, [&] { pane.GetStore()->DrawInWindow(&pane, pictureDC); GdiFlush(); });
    pane.GetDlgItem(IDC_COMPARE_PICTURE)->ReleaseDC(pictureDC);
    CClientDC dc(&pane);
    const double plain = Time(15, [&] {
        Stretch(dc.GetSafeHdc(), *image, client, offset.x, offset.y, client.Width(), client.Height());
        GdiFlush();
    });
    printf("comparison pane, 4096 x 3072 at zoom 1, scrolled: %.2f ms / StretchDIBits %.2f ms = %.2f (aim <= 1.5); "
           "the drawing without the paint cycle %.2f ms = %.2f\n",
           ours * 1e3, plain * 1e3, ours / plain, drawing * 1e3, drawing / plain);
    pane.DestroyWindow();
}

void MarksAndUnits(CWnd& parent)
{
    CWnd view;
    view.CreateEx(0, AfxRegisterWndClass(0), L"view", WS_POPUP | WS_VISIBLE, 0, 0, 1024, 768, NULL, NULL);
    CImageStore* store = CImageStore::Instance();
    Links().store = store;
    store->CreateMeasure(&view);
    const CString path = WritePattern(L"marks.bmp", 1024, 768);
    store->OpenFile(path, 0);
    DeleteFileW(path);
    CQrMeasure* m = (CQrMeasure*)store->GetMeasure();
    CCounterPanel counter;
    counter.Create(CCounterPanel::IDD, &parent);
    Surface surface(1024, 768);
    CxImage* image = store->GetCurrentImage();
    const RECT whole = {0, 0, 1024, 768};
    const double picture = Time(9, [&] { Stretch(surface.hdc, *image, whole, 0, 0, 1024, 768); GdiFlush(); });

    CQrMeasure::MenuItemEvent(CQrMeasure::ToolLine, m);
    for (int i = 0; i < 1000; ++i) {
        const int x = (i * 37) % 1000, y = (i * 53) % 740;
        m->OnLButtonDown(CPoint(x, y));
        m->OnLButtonUp(CPoint(x + 20, y + 15));
    }
    double withMarks[2] = {0, 0};
    const int counts[2] = {5000, 10000};
    CQrMeasure::MenuItemEvent(CQrMeasure::ToolCounter, m);
    int made = 0;
    for (int pass = 0; pass < 2; ++pass) {
        for (; made < counts[pass]; ++made) {
            m->SetCompteursColor((unsigned char)(made % 5));
            m->OnLButtonDown(CPoint((made * 13) % 1020, (made * 7) % 760));
            m->OnLButtonUp(CPoint((made * 13) % 1020, (made * 7) % 760));
        }
        withMarks[pass] = Time(9, [&] {
            m->DrawAllUnit(&surface.dc, CSize(0, 0));
            counter.RefreshCounts();
            GdiFlush();
        });
    }
    printf("1,000 units with 5,000 / 10,000 marks: %.2f / %.2f ms per repaint, picture alone %.2f ms: "
           "%.2f / %.2f of the picture (growth x%.2f for twice the marks)\n",
           withMarks[0] * 1e3, withMarks[1] * 1e3, picture * 1e3, withMarks[0] / picture, withMarks[1] / picture,
           withMarks[1] / withMarks[0]);
    CQrMeasure::MenuItemEvent(CQrMeasure::ToolSelect, m);
    store->ClearMeasurements();
    counter.DestroyWindow();
    view.DestroyWindow();
}

void SliderDrag(CWnd& parent)
{
    CWnd view;
    view.CreateEx(0, AfxRegisterWndClass(0), L"view", WS_POPUP | WS_VISIBLE, 0, 0, 1024, 768, NULL, NULL);
    CImageStore* store = CImageStore::Instance();
    const CString path = WritePattern(L"drag.bmp", 4096, 3072);
    store->OpenFile(path, 0);
    DeleteFileW(path);
    store->FitToRect(CRect(0, 0, 1024, 768));
    CImageAdjustPanel panel;
    panel.Create(CImageAdjustPanel::IDD, &parent);
    CSkinSlider* slider = (CSkinSlider*)CWnd::FromHandle(::GetDlgItem(panel.GetSafeHwnd(), IDC_ADJUST_BRIGHTNESS));
    int pos = 0;
    CClientDC dc(&view);
    // What the redraw thread does for each request: the adjustment pass, then the view.
    const double ours = Time(9, [&] {
        pos = pos == 40 ? -40 : 40;
        slider->SetPos(pos);
        panel.SendMessage(WM_SLIDER_MOVED, IDC_ADJUST_BRIGHTNESS, 0);
        store->RunAdjustments();
        store->DrawToView(&view, &dc);
        GdiFlush();
    });
    const size_t bytes = (size_t)4096 * 3072 * 3;
    std::vector<BYTE> from(bytes, 1), to(bytes);
    const double copy = Time(9, [&] { memcpy(to.data(), from.data(), bytes); });
    printf("slider move on 4096 x 3072 to repainted view: %.2f ms / memcpy %.2f ms = %.2f (reported)\n", ours * 1e3,
           copy * 1e3, ours / copy);
    store->RevertAdjustments();
    panel.DestroyWindow();
    view.DestroyWindow();
}

}  // namespace

int main()
{
    printf("measuring and printing: ratios against references timed in this run\n");
    CWnd parent;
    if (!parent.CreateEx(0, AfxRegisterWndClass(0), L"bench", WS_POPUP | WS_VISIBLE, 0, 0, 1024, 768, NULL, NULL)) {
        printf("no window could be created (is a display running?)\n");
        return 1;
    }
    PrintPreview();
    ComparePaint(parent);
    MarksAndUnits(parent);
    SliderDrag(parent);
    parent.DestroyWindow();
    return 0;
}
