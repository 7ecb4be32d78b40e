// Fluorescence figures against a 1392 x 1040 bench camera with the dye applied:
//   displayed frames per second while the dye slider is dragged at 60 positions a
//     second (each position sends a dye record)  /  the same camera undisturbed
//     (aim: at least 0.95)
//   displayed / camera frames per second inside the fluorescence wizard, beside the
//     same figure for the plain preview window                   (aim: at least 0.98)
//   the dye table's filling and one copy of it, in microseconds (reported only)
#include "external/bench/Bench.h"   // before the framework, whose string header rejects its cast

#include "afxwin.h"
#include "app/fluorescence/FluorescencePanel.h"
#include "app/fluorescence/FluorescenceWizard.h"
#include "camera/core/CameraManager.h"

#include <stdio.h>

#include <string>

namespace {

const char kName[] = "Bench.1";

double Now()
{
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / frequency.QuadPart;
}

// Counts the frames the display thread reports drawn to the preview's parent.
LONG g_shown = 0;
WNDPROC g_original = nullptr;

LRESULT CALLBACK CountingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_CAMERA_FRAME_STATUS && wp == 1)
        InterlockedIncrement(&g_shown);
    return CallWindowProcW(g_original, hwnd, msg, wp, lp);
}

// Pumps for ms; every `every` ms calls step (when given).
void Pump(DWORD ms, void (*step)(void*) = nullptr, void* arg = nullptr, DWORD every = 0)
{
    const DWORD end = GetTickCount() + ms;
    DWORD next = GetTickCount();
    while (static_cast<int>(end - GetTickCount()) > 0) {
        if (step && static_cast<int>(GetTickCount() - next) >= 0) {
            step(arg);
            next += every;
        }
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    }
}

double ShownRate(DWORD ms, void (*step)(void*) = nullptr, void* arg = nullptr, DWORD every = 0)
{
    const LONG first = g_shown;
    const double start = Now();
    Pump(ms, step, arg, every);
    return (g_shown - first) / (Now() - start);
}

struct Drag {
    HWND panel;
    HWND slider;
    int pos;
};

void DragStep(void* arg)
{
    Drag* d = static_cast<Drag*>(arg);
    d->pos = (d->pos + 1) % 148;
    static_cast<CSkinSlider*>(CWnd::FromHandlePermanent(d->slider))->SetPos(d->pos);
    SendMessageW(d->panel, WM_SLIDER_MOVING, IDC_FLUO_DYE_SLIDER, d->pos);
}

double g_wizardRate = 0.0;

// Runs inside the wizard's modal loop: measures, then closes it.
void CALLBACK WizardTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    Pump(1500);
    g_wizardRate = ShownRate(5000);
    HWND wizard = FindWindowW(L"#32770", nullptr);
    if (wizard)
        PostMessageW(wizard, WM_COMMAND, IDCANCEL, 0);
}

}  // namespace

int main()
{
    printf("fluorescence: dragged / undisturbed displayed fps, wizard displayed / camera fps, dye table\n");

    const double fillStart = Now();
    FillDyeTable();
    const double fillUs = (Now() - fillStart) * 1e6;
    DyeTableMap copy;
    const double copyStart = Now();
    CopyDyeTable(copy);
    const double copyUs = (Now() - copyStart) * 1e6;

    std::string error;
    if (!orvbench::Bench::Get().Load("seed 1\nnoise on\ncamera zedodir 5172:840A " + std::string(kName) +
                                         " mono cooled resolutions=1392X1040\n",
                                     &error) ||
        QrCReflashCamera() != CAM_OK) {
        printf("bench not opened (%s)\n", error.c_str());
        return 1;
    }
    HWND parent = CreateWindowExW(0, L"STATIC", L"bench", WS_POPUP | WS_VISIBLE, 0, 0, 696, 520, nullptr,
                                  nullptr, nullptr, nullptr);
    HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 696, 520, parent, nullptr,
                                 nullptr, nullptr);
    if (!parent || !child) {
        printf("no window could be created (is a display running?)\n");
        return 1;
    }
    g_original = (WNDPROC)SetWindowLongPtrW(parent, GWLP_WNDPROC, (LONG_PTR)CountingProc);
    CWnd wnd;
    wnd.Attach(child);
    if (QrCCameraInit(0, &wnd, child, 1) != CAM_OK) {
        printf("camera not opened\n");
        return 1;
    }
    QrCCameraParameterInit();
    const double cameraFps = orvbench::Bench::Get().FrameRate(kName);

    HWND host = CreateWindowExW(0, L"STATIC", L"host", WS_POPUP | WS_VISIBLE, 700, 0, 260, 620, nullptr,
                                nullptr, nullptr, nullptr);
    CWnd hostWnd;
    hostWnd.Attach(host);
    CFluorescencePanel panel;
    panel.Create(CFluorescencePanel::IDD, &hostWnd);
    HWND panelHwnd = panel.GetSafeHwnd();
    CheckDlgButton(panelHwnd, IDC_FLUO_APPLY, BST_CHECKED);
    SendMessageW(panelHwnd, WM_COMMAND, MAKEWPARAM(IDC_FLUO_APPLY, BN_CLICKED),
                 (LPARAM)GetDlgItem(panelHwnd, IDC_FLUO_APPLY));

    Pump(2000);
    const double undisturbed = ShownRate(5000);
    Drag drag = {panelHwnd, GetDlgItem(panelHwnd, IDC_FLUO_DYE_SLIDER), 0};
    const double dragged = ShownRate(5000, DragStep, &drag, 1000 / 60);
    const double preview = undisturbed;

    SetTimer(nullptr, 0, 200, WizardTimer);
    CFluorescenceWizard wizard(nullptr);
    wizard.DoModal();

    printf("camera %.2f fps (1392x1040, dye applied)\n", cameraFps);
    printf("dragging the dye slider at 60/s: displayed %.2f fps / undisturbed %.2f fps = %.3f (aim >= 0.95)\n",
           dragged, undisturbed, undisturbed > 0 ? dragged / undisturbed : 0.0);
    printf("inside the wizard: displayed / camera = %.3f (aim >= 0.98); preview window: %.3f\n",
           cameraFps > 0 ? g_wizardRate / cameraFps : 0.0, cameraFps > 0 ? preview / cameraFps : 0.0);
    printf("dye table: filling %.0f us, one copy %.0f us (%zu dyes)\n", fillUs, copyUs, copy.size());

    panel.DestroyWindow();
    hostWnd.Detach();
    DestroyWindow(host);
    QrCCameraUnInit();
    QrCSetCamera(CAMERA_TYPE_NONE);
    wnd.Detach();
    DestroyWindow(parent);
    return 0;
}
