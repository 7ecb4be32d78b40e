// Shared pieces of the fluorescence panel and wizard tests: bench cameras opened live
// through the camera library, a plain parent window, and small control helpers.
#pragma once

// The bench header comes first: the framework's string header turns a cast it makes
// into an error.
#include "external/bench/Bench.h"

#include "support/gtest.h"
#include "support/wintest.h"

#include "afxwin.h"
#include "camera/core/CameraManager.h"
#include "app/fluorescence/FluorescencePanel.h"
#include "app/fluorescence/FluorescenceWizard.h"
#include "app/shell/ShellLinks.h"

#include "app/controls/SkinSlider.h"

#include <commctrl.h>
#include <string>

// Reaches the camera manager's live state (a friend of CCameraManager).
class CCameraManagerProbe {
public:
    static CCameraManager& M() { return CCameraManager::Instance(); }
    static RECT ShowRect() { return M().m_displayRect; }
    static int SetPoint() { return M().m_coolingSetPoint; }
    static void SetCoolingDegree(int degrees) { M().m_cur.CoolingDegree = degrees; }
    static HWND GuideWindow() { return M().m_hGuideWnd; }
    static int RunState() { return M().m_runState; }
};

namespace fluotest {

const char kCooled[] = "Cool.1";        // 5172:840A: a cooled camera of sensor kind 2
const char kSpeedUp[] = "Fast.1";       // 0547:E80C: the product with the guide's speed-up
const int kNoNewFrame = 2;              // the camera library's "no frame yet" answer

// Loads a one-camera bench and makes that camera the library's current one.
inline void LoadBench(const std::string& cameraLine)
{
    std::string error;
    ASSERT_TRUE(orvbench::Bench::Get().Load("seed 5\nnoise off\n" + cameraLine + "\n", &error)) << error;
    ASSERT_EQ(QrCReflashCamera(), CAM_OK);
}

inline void LoadCooledBench()
{
    LoadBench(std::string("camera zedodir 5172:840A ") + kCooled + " mono cooled resolutions=320X256");
}

// A top-level window with a child the live picture is drawn into; the parent gets the
// library's frame messages.
class LiveWindows {
public:
    LiveWindows()
    {
        parent = CreateWindowExW(0, L"STATIC", L"live", WS_POPUP | WS_VISIBLE, 600, 0, 320, 256,
                                 nullptr, nullptr, nullptr, nullptr);
        child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 320, 256, parent,
                                nullptr, nullptr, nullptr);
        attached = wnd.Attach(child);
    }
    ~LiveWindows()
    {
        if (attached)
            wnd.Detach();
        DestroyWindow(parent);
    }
    bool Open() { return QrCCameraInit(0, &wnd, child, 1) == CAM_OK; }
    HWND parent = nullptr;
    HWND child = nullptr;
    BOOL attached = FALSE;
    CWnd wnd;
};

// A plain top-level window that panels are created on.
class PlainParent {
public:
    PlainParent()
    {
        hwnd = CreateWindowExW(0, L"STATIC", L"parent", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                               260, 620, nullptr, nullptr, nullptr, nullptr);
        wnd.Attach(hwnd);
    }
    ~PlainParent()
    {
        wnd.Detach();
        DestroyWindow(hwnd);
    }
    HWND hwnd = nullptr;
    CWnd wnd;
};

inline DyeSettings LibraryDye()
{
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    return mgr.dye;
}

inline bool SameDye(const DyeSettings& a, const DyeSettings& b)
{
    return a.ApplyDye == b.ApplyDye && a.ColorIndex == b.ColorIndex && a.NameIndex == b.NameIndex &&
           a.ExWaveLen == b.ExWaveLen && a.EmWaveLen == b.EmWaveLen && a.R == b.R && a.G == b.G &&
           a.B == b.B;
}

inline std::u16string Text(HWND dialog, int id)
{
    char16_t buffer[512] = {};
    GetDlgItemTextW(dialog, id, reinterpret_cast<LPWSTR>(buffer), 511);
    return buffer;
}

inline std::u16string U16(const CString& s)
{
    return std::u16string(reinterpret_cast<const char16_t*>((LPCWSTR)s), s.GetLength());
}

// The panel's own slider object behind a control id.
inline CSkinSlider* Slider(HWND dialog, int id)
{
    return static_cast<CSkinSlider*>(CWnd::FromHandlePermanent(GetDlgItem(dialog, id)));
}

inline int SliderPos(HWND dialog, int id)
{
    return Slider(dialog, id)->GetPos();
}

inline int SliderMin(HWND dialog, int id)
{
    return Slider(dialog, id)->m_nMin;
}

inline int SliderMax(HWND dialog, int id)
{
    return Slider(dialog, id)->m_nMax;
}

// What a slider sends when its thumb is released at pos.
inline void MoveSlider(HWND dialog, int id, int pos)
{
    Slider(dialog, id)->SetPos(pos);
    SendMessageW(dialog, WM_SLIDER_MOVED, id, pos);
}

inline bool Enabled(HWND dialog, int id)
{
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

// Makes the camera's grabs answer "no new frame" for a while, pumping meanwhile.
inline void NoFramesFor(const char* camera, DWORD ms)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        orvbench::Bench::Get().InjectGrabResult(camera, kNoNewFrame);
        PumpMessagesFor(10);
    }
}

}  // namespace fluotest
