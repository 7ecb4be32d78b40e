#include "CaptureSupport.h"

#include <vfw.h>

namespace captest {

void LoadBench()
{
    std::string error;
    ASSERT_TRUE(orvbench::Bench::Get().Load(
        "seed 3\nnoise off\ncamera zedodir 0547:A004 Cap.1 colour resolutions=320X240,160X120\n", &error))
        << error;
    ASSERT_EQ(QrCReflashCamera(), CAM_OK);
}

void EditCaptureSettings(const std::function<void(CaptureParam&)>& edit)
{
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    edit(mgr.capture);
    QrCCameraSetMgrParameter(&mgr);
}

CaptureParam LibraryCapture()
{
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    return mgr.capture;
}

LiveWindows::LiveWindows()
{
    parent = CreateWindowExW(0, L"STATIC", L"live", WS_POPUP | WS_VISIBLE, 640, 0, kWidth, kHeight, nullptr, nullptr,
                             nullptr, nullptr);
    child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, kWidth, kHeight, parent, nullptr,
                            nullptr, nullptr);
    wnd.Attach(child);
}

LiveWindows::~LiveWindows()
{
    wnd.Detach();
    DestroyWindow(parent);
}

bool LiveWindows::Open()
{
    if (QrCCameraInit(0, &wnd, child, 1) != CAM_OK)
        return false;
    QrCCameraParameterInit();
    // A steady 30 frames a second.
    QrCCameraSetAeState(0);
    QrCCameraSetExposureTimeMS(33333, 1);
    return true;
}

PlainParent::PlainParent(int x, int y, int w, int h)
{
    hwnd = CreateWindowExW(0, L"STATIC", L"parent", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, x, y, w, h, nullptr,
                           nullptr, nullptr, nullptr);
    wnd.Attach(hwnd);
}

PlainParent::~PlainParent()
{
    wnd.Detach();
    DestroyWindow(hwnd);
}

void CRecordingThumbList::AddFile(CString path, int flag)
{
    {
        CSingleLock lock(&m_callLock, TRUE);
        m_calls.push_back({path, GetCurrentThreadId()});
    }
    CThumbnailListCtrl::AddFile(path, flag);
}

std::vector<CRecordingThumbList::Added> CRecordingThumbList::Calls()
{
    CSingleLock lock(&m_callLock, TRUE);
    return m_calls;
}

CaptureScene::CaptureScene() {}

CaptureScene::~CaptureScene()
{
    Destroy();
    QrCCameraSetHWndReceive(nullptr);
}

void CaptureScene::Create()
{
    page.reset(new CCapturePage(&parent.wnd));
    ASSERT_TRUE(page->Create(CCapturePage::IDD, &parent.wnd));
    page->ShowWindow(SW_SHOW);
    ASSERT_TRUE(strip.Create(CThumbnailStrip::IDD, &stripParent.wnd));
    Links().strip = &strip;
    Links().thumbList = &list;
}

void CaptureScene::Destroy()
{
    if (page && page->m_hWnd != nullptr)
        page->DestroyWindow();
    page.reset();
    if (strip.m_hWnd != nullptr)
        strip.DestroyWindow();
}

void CaptureScene::Click(int id)
{
    HWND panel = PanelHwnd();
    SendMessageW(panel, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(panel, id));
}

std::u16string Text(HWND dialog, int id)
{
    char16_t buffer[512] = {};
    GetDlgItemTextW(dialog, id, reinterpret_cast<LPWSTR>(buffer), 511);
    return buffer;
}

std::u16string U16(const CString& s)
{
    return std::u16string(reinterpret_cast<const char16_t*>((LPCWSTR)s), s.GetLength());
}

bool Enabled(HWND dialog, int id)
{
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

bool Visible(HWND dialog, int id)
{
    return (GetWindowLongW(GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0;
}

bool Checked(HWND dialog, int id)
{
    return SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::u16string LoadU16(UINT id)
{
    CString s;
    s.LoadString(id);
    return U16(s);
}

AviFacts ReadAvi(const std::u16string& path)
{
    AviFacts facts;
    AVIFileInit();
    PAVISTREAM stream = nullptr;
    if (AVIStreamOpenFromFileW(&stream, W(path), streamtypeVIDEO, 0, OF_READ, nullptr) == AVIERR_OK) {
        facts.opened = true;
        facts.length = AVIStreamLength(stream);
        AVISTREAMINFOW info = {};
        AVIStreamInfoW(stream, &info, sizeof info);
        LONG size = 0;
        AVIStreamReadFormat(stream, 0, nullptr, &size);
        std::vector<BYTE> format(size > LONG(sizeof(BITMAPINFOHEADER)) ? size : sizeof(BITMAPINFOHEADER));
        if (AVIStreamReadFormat(stream, 0, format.data(), &size) == AVIERR_OK)
            facts.compression = reinterpret_cast<const BITMAPINFOHEADER*>(format.data())->biCompression;
        facts.rate = info.dwScale ? double(info.dwRate) / info.dwScale : 0;
        if (PGETFRAME frames = AVIStreamGetFrameOpen(stream, nullptr)) {
            for (LONG k = 0; k < facts.length; ++k) {
                const BITMAPINFOHEADER* dib = static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(frames, k));
                if (!dib || dib->biBitCount != 24) {
                    facts.stamps.push_back(0xFFFFFFFFu);
                    continue;
                }
                const BYTE* bits = reinterpret_cast<const BYTE*>(dib) + dib->biSize;
                facts.stamps.push_back(uint32_t(bits[0]) | uint32_t(bits[3]) << 8 | uint32_t(bits[6]) << 16 |
                                       uint32_t(bits[9]) << 24);
                if (k == 0)
                    facts.firstFrame.assign(bits, bits + size_t(dib->biWidth) * dib->biHeight * 3);
            }
            AVIStreamGetFrameClose(frames);
        }
        AVIStreamRelease(stream);
    }
    AVIFileExit();
    return facts;
}

bool WaitCaptureIdle(DWORD ms)
{
    return WaitFor([] {
        CameraMgrParam mgr;
        QrCCameraGetMgrParameter(&mgr);
        return mgr.captureRunning == 0;
    }, ms);
}

}  // namespace captest
