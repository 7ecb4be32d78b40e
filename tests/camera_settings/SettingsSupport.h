// Shared pieces of the camera settings panel tests: bench cameras opened live through
// the camera library, plain parents, recording fakes for what the panels reach through
// the links, and control helpers.
#pragma once

// The bench header comes first: the framework's string header turns a cast it makes
// into an error.
#include "external/bench/Bench.h"

#include "support/gtest.h"
#include "support/wintest.h"

#include "afxwin.h"
#include "app/capture/CameraPanel.h"
#include "app/capture/CapturePanel.h"
#include "app/capture/CaptureToolBar.h"
#include "app/capture/PreviewWnd.h"
#include "app/capture/VideoRecordPanel.h"
#include "app/controls/SkinSlider.h"
#include "app/shell/CapturePage.h"
#include "app/shell/ShellLinks.h"
#include "app/shell/TitleBar.h"
#include "camera/core/QrCCamera.h"

#include <string>
#include <vector>

namespace settingstest {

// What the fakes saw, in order.
extern std::vector<std::string> g_calls;
int CallCount(const char* call);

class CFakeCapturePage : public CCapturePage {
public:
    void RefreshAllPanels() override { g_calls.push_back("RefreshAllPanels"); }
    // The stepped refresh seen as one, in two steps.
    BOOL RefreshPanelsStep(int step) override
    {
        if (step == 0) g_calls.push_back("RefreshAllPanels");
        return step < 2;
    }
    void LayoutPanels() override { g_calls.push_back("LayoutPanels"); }
};

class CFakeCaptureToolBar : public CCaptureToolBar {
public:
    void RefreshFromCamera() override { g_calls.push_back("ToolsRefreshFromCamera"); }
};

class CFakeTitleBar : public CTitleBar {
public:
    void ToggleMaximize() override { g_calls.push_back("ToggleMaximize"); }
    void RelayoutFrame() override { g_calls.push_back("RelayoutFrame"); }
};

class CFakeCameraPanel : public CCameraPanel {
public:
    void RefreshControls() override { g_calls.push_back("RefreshControls"); }
    void RefreshSliders() override { g_calls.push_back("RefreshSliders"); }
    void RefreshResolutionCombos() override { g_calls.push_back("RefreshResolutionCombos"); }
    void PlayCamera() override { g_calls.push_back("PlayCamera"); }
};

// Fills the links with the fakes above for one test; the scope restores them.
class FakeLinks {
public:
    FakeLinks();
    ShellLinksScope scope;
    CFakeCapturePage page;
    CFakeCaptureToolBar tools;
    CFakeTitleBar titleBar;
    CFakeCameraPanel camera;
};

// One camera on the bench (a "camera ..." line), made the library's current one.
void LoadBench(const std::string& cameraLine);
// A bench with no camera on it, taken up by the library.
void LoadEmptyBench();
// The same camera opened for live display into a window of its own.
class LiveCamera {
public:
    explicit LiveCamera(const std::string& cameraLine);
    ~LiveCamera();
    bool open = false;
    HWND parent = nullptr;
    HWND child = nullptr;
    CWnd wnd;
};

// The live picture inside a preview window the links name, as the main frame has it;
// the scroll flags are the test's.
class CTestPreview : public CPreviewWnd {
public:
    void GetScrollFlags(int* horizontal, int* vertical) override
    {
        *horizontal = scrollH;
        *vertical = scrollV;
    }
    int scrollH = 0, scrollV = 0;
};

// One camera on the bench opened for live display into the drawing control of a
// preview window at (600, 0), 320 x 256.
class LivePreview {
public:
    LivePreview(const char* cameraLine, const char* cameraName);
    ~LivePreview();
    // Pumps until the camera has delivered n more frames.
    bool Frames(uint32_t n = 3);
    std::string name;
    HWND frame = nullptr, video = nullptr;
    CTestPreview preview;
    bool open = false;
};

// A plain top-level window panels are created on.
class PlainParent {
public:
    PlainParent(int width = 260, int height = 640);
    ~PlainParent();
    HWND hwnd = nullptr;
    CWnd wnd;
};

// Pumps as the program's message loop does (the windows' own pre-translation first).
void PumpProgramMessages(DWORD ms);

std::u16string Text(HWND dialog, int id);
std::u16string U16(const CString& s);
std::u16string LoadU16(UINT id);
CSkinSlider* Slider(HWND dialog, int id);
// What a slider sends when its thumb is dragged to pos and released.
void MoveSlider(HWND dialog, int id, int pos);
bool Enabled(HWND dialog, int id);
bool Visible(HWND dialog, int id);
bool Checked(HWND dialog, int id);
void Click(HWND dialog, int id);

CameraCurParam Current();
CameraParamInfo Info();
// The library's record, fields the tests read.
struct Manager {
    int cameraType, sensorKind, longExposure, showChannel, teamCount;
    int gamma[4], low[4], high[4], autoLevels[4];
    std::vector<CString> teams;
    std::vector<int> setNumbers;
};
Manager ManagerRecord();

// Drags in the region picker from one screen point to another (the picker covers the
// screen), then confirms. The pointer is parked at the end point first: the system's own
// mouse moves, posted while the picker comes up, then land where the drag ends.
DialogWatcher::Rule RegionAt(POINT from, POINT to);

}  // namespace settingstest
