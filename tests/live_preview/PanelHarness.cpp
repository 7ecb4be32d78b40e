#include "tests/live_preview/PanelHarness.h"

namespace preview {

std::vector<std::string>& CallLog()
{
    static std::vector<std::string> log;
    return log;
}

int Calls(const std::string& name)
{
    int n = 0;
    for (const std::string& entry : CallLog()) n += entry == name;
    return n;
}

int IndexOf(const std::string& name)
{
    for (size_t i = 0; i < CallLog().size(); ++i)
        if (CallLog()[i] == name) return (int)i;
    return -1;
}

// Records the call and refreshes the camera panel as the page does.
void FakeCapturePage::RefreshAllPanels()
{
    CallLog().push_back("CapturePage::RefreshAllPanels");
    CCameraPanel* camera = Links().camera;
    if (camera == NULL) return;
    partialAtRefresh = camera->IsPartialDisplay();
    camera->RefreshControls();
    camera->RefreshSliders();
    camera->RefreshResolutionCombos();
}

BOOL FakeDoc::OnOpenDocument(LPCWSTR path)
{
    CallLog().push_back("Doc::OnOpenDocument");
    openedPath = path;
    trackingAtOpen = Links().store != NULL ? Links().store->IsTrackingOpenedFile() : -1;
    return TRUE;
}

PanelHarness::PanelHarness() : live(100, 100, 480, 360), host(1500, 40, 300, 420)
{
    CallLog().clear();
    WCHAR temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    baseFolder.Format(L"%slive_preview_%lu\\", temp, ::GetTickCount());
    ::CreateDirectoryW(baseFolder, NULL);
    store.SetBaseFolder(baseFolder);

    capture.Create(CCapturePanel::IDD, &host);
    videoRecord.Create(CVideoRecordPanel::IDD, &host);
    progress.Create(CCaptureProgressPanel::IDD, &host);
    exposure.Create(CExposurePanel::IDD, &host);
    meter.Create(CProgressPopup::IDD, &live.owner);
    meter.ShowWindow(SW_HIDE);
    tools.Create(CCaptureToolBar::IDD, &live.owner);
    tools.SetWindowPos(NULL, 590, 100, 38, 360, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    videoSpy.reset(new MessageSpy(videoRecord.m_hWnd));
    progressSpy.reset(new MessageSpy(progress.m_hWnd));

    ShellLinks& links = Links();
    links.store = &store;
    links.doc = &doc;
    links.frame = &frame;
    links.capturePage = &capturePage;
    links.imagePage = &imagePage;
    links.capture = &capture;
    links.videoRecord = &videoRecord;
    links.captureProgress = &progress;
    links.exposure = &exposure;
    links.colorParam = &colorParam;
    links.paramGroup = &paramGroup;
    links.titleBar = &titleBar;
    links.measurePanel = &measure;
    links.comparePane = &compare;
    links.focusMeter = &meter;
    links.captureTools = &tools;
    links.camera = &panel;
    links.view = NULL;
    links.manage = NULL;
    links.layers = NULL;
    panel.Create(CCameraPanel::IDD, &host);
    panel.ShowWindow(SW_SHOWNOACTIVATE);
}

PanelHarness::~PanelHarness()
{
    QrCCameraUnInit();
    videoSpy.reset();
    progressSpy.reset();
    panel.DestroyWindow();
    tools.DestroyWindow();
    meter.DestroyWindow();
    capture.DestroyWindow();
    videoRecord.DestroyWindow();
    progress.DestroyWindow();
    exposure.DestroyWindow();
    ::DeleteFileW(baseFolder + L"_Dynmeasure_.jpg");
    ::RemoveDirectoryW(baseFolder);
}

CString PanelHarness::Text(CWnd& wnd, int id)
{
    CString text;
    wnd.GetDlgItemText(id, text);
    return text;
}

BOOL PanelHarness::Enabled(int id)
{
    // The sliders keep their own enabled state.
    const int sliders[] = {IDC_CAMERA_EXPOSURE, IDC_CAMERA_GAIN, IDC_CAMERA_CONTRAST, IDC_CAMERA_SATURATION,
                           IDC_CAMERA_GAMMA};
    for (int slider : sliders)
        if (id == slider) return panel.Slider(id).IsEnabled();
    CWnd* item = panel.GetDlgItem(id);
    return item != NULL && item->IsWindowEnabled();
}

BOOL PanelHarness::Visible(int id)
{
    CWnd* item = panel.GetDlgItem(id);
    return item != NULL && (item->GetStyle() & WS_VISIBLE) != 0;
}

void PanelHarness::MoveSlider(int id, int position)
{
    panel.Slider(id).SetPos(position);
    panel.SendMessage(WM_SLIDER_MOVED, id, position);
}

}  // namespace preview
