#include "SettingsSupport.h"

namespace settingstest {

std::vector<std::string> g_calls;

int CallCount(const char* call)
{
    int n = 0;
    for (const std::string& c : g_calls)
        n += c == call;
    return n;
}

FakeLinks::FakeLinks()
{
    g_calls.clear();
    ShellLinks& links = Links();
    links.capturePage = &page;
    links.captureTools = &tools;
    links.titleBar = &titleBar;
    links.camera = &camera;
}

void LoadBench(const std::string& cameraLine)
{
    std::string error;
    ASSERT_TRUE(orvbench::Bench::Get().Load("seed 7\nnoise off\n" + cameraLine + "\n", &error)) << error;
    ASSERT_EQ(QrCReflashCamera(), CAM_OK);
}

void LoadEmptyBench()
{
    std::string error;
    ASSERT_TRUE(orvbench::Bench::Get().Load("seed 1\n", &error)) << error;
    QrCReflashCamera();
}

LiveCamera::LiveCamera(const std::string& cameraLine)
{
    LoadBench(cameraLine);
    parent = CreateWindowExW(0, L"STATIC", L"live", WS_POPUP | WS_VISIBLE, 600, 0, 320, 256, nullptr, nullptr,
                             nullptr, nullptr);
    child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 320, 256, parent, nullptr, nullptr,
                            nullptr);
    wnd.Attach(child);
    open = QrCCameraInit(0, &wnd, child, 1) == CAM_OK;
    if (open)
        QrCCameraParameterInit();
}

LiveCamera::~LiveCamera()
{
    QrCCameraUnInit();
    wnd.Detach();
    DestroyWindow(parent);
}

LivePreview::LivePreview(const char* cameraLine, const char* cameraName) : name(cameraName)
{
    LoadBench(cameraLine);
    frame = CreateWindowExW(0, L"STATIC", L"preview", WS_POPUP | WS_VISIBLE, 600, 0, 320, 256, nullptr, nullptr,
                            nullptr, nullptr);
    video = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 320, 256, frame, nullptr, nullptr,
                            nullptr);
    preview.Attach(frame);
    preview.m_video.Attach(video);
    Links().preview = &preview;
    open = QrCCameraInit(0, &preview.m_video, video, 1) == CAM_OK;
    if (open)
        QrCCameraParameterInit();
}

LivePreview::~LivePreview()
{
    QrCCameraUnInit();
    Links().preview = nullptr;
    preview.m_video.Detach();
    preview.Detach();
    DestroyWindow(frame);
}

bool LivePreview::Frames(uint32_t n)
{
    const uint32_t start = orvbench::Bench::Get().FrameCount(name);
    return WaitFor([&] { return orvbench::Bench::Get().FrameCount(name) >= start + n; }, 5000);
}

PlainParent::PlainParent(int width, int height)
{
    hwnd = CreateWindowExW(0, L"STATIC", L"parent", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, width, height,
                           nullptr, nullptr, nullptr, nullptr);
    wnd.Attach(hwnd);
}

PlainParent::~PlainParent()
{
    wnd.Detach();
    DestroyWindow(hwnd);
}

void PumpProgramMessages(DWORD ms)
{
    const DWORD start = GetTickCount();
    do {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (!AfxPreTranslateMessage(&m)) {
                TranslateMessage(&m);
                DispatchMessageW(&m);
            }
        }
        Sleep(1);
    } while (GetTickCount() - start < ms);
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

std::u16string LoadU16(UINT id)
{
    CString s;
    s.LoadString(id);
    return U16(s);
}

CSkinSlider* Slider(HWND dialog, int id)
{
    return static_cast<CSkinSlider*>(CWnd::FromHandlePermanent(GetDlgItem(dialog, id)));
}

void MoveSlider(HWND dialog, int id, int pos)
{
    Slider(dialog, id)->SetPos(pos);
    SendMessageW(dialog, WM_SLIDER_MOVED, id, Slider(dialog, id)->GetPos());
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

void Click(HWND dialog, int id)
{
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
}

CameraCurParam Current()
{
    CameraCurParam cur;
    QrCCameraGetCurParameter(&cur);
    return cur;
}

CameraParamInfo Info()
{
    CameraParamInfo info;
    QrCCameraGetParameterInfo(&info, 1);
    return info;
}

Manager ManagerRecord()
{
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    Manager m;
    m.cameraType = mgr.cameraType;
    m.sensorKind = mgr.sensorKind;
    m.longExposure = mgr.longExposure;
    m.showChannel = mgr.showChannel;
    m.teamCount = mgr.CntParam;
    for (int c = 0; c < 4; c++) {
        m.gamma[c] = mgr.gamma[c];
        m.low[c] = mgr.levelsLow[c];
        m.high[c] = mgr.levelsHigh[c];
        m.autoLevels[c] = mgr.autoLevels[c];
    }
    for (int i = 0; i < mgr.CntParam && i < mgr.teamNames.GetSize(); i++) {
        m.teams.push_back(mgr.teamNames[i]);
        m.setNumbers.push_back(mgr.teamSetNumber[i]);
    }
    return m;
}

DialogWatcher::Rule RegionAt(POINT from, POINT to)
{
    return [from, to](const SeenDialog& d) {
        SetCursorPos(to.x, to.y);
        SendMessageW(d.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
        SendMessageW(d.hwnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
        SendMessageW(d.hwnd, WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
        return IDOK;
    };
}

}  // namespace settingstest
