#include "app/shell/CapturePage.h"
#include "app/shell/FoldPanel.h"
#include "app/shell/ShellLinks.h"
#include "app/res/resource.h"
#include "app/browse/ThumbnailStrip.h"
#include "app/browse/ThumbnailListCtrl.h"
#include "app/capture/CaptureStringIds.h"
#include "camera/core/QrCCamera.h"

IMPLEMENT_DYNAMIC(CCapturePage, CTabPage)

BEGIN_MESSAGE_MAP(CCapturePage, CTabPage)
    ON_MESSAGE(WM_CAPTURE_DONE, OnCaptureDone)
    ON_MESSAGE(WM_CAPTURE_PROGRESS, OnCaptureProgress)
END_MESSAGE_MAP()

CCapturePage::CCapturePage(CWnd* pParent) : CTabPage(IDD, pParent)
{
    ShellLinks& links = Links();
    links.capturePage = this;
    links.camera = &m_cameraPanel;
    links.capture = &m_capturePanel;
    links.exposure = &m_exposurePanel;
    links.colorParam = &m_colorParamPanel;
    links.fluorescence = &m_fluorescencePanel;
    links.paramGroup = &m_paramGroupPanel;
    links.videoRecord = &m_videoRecordPanel;
    links.captureProgress = &m_captureProgressPanel;
    links.captureSections = &m_sections;
}

CCapturePage::~CCapturePage()
{
    LinkDeferredParts(false);
    ShellLinks& links = Links();
    if (links.camera == &m_cameraPanel) links.camera = NULL;
    if (links.videoRecord == &m_videoRecordPanel) links.videoRecord = NULL;
    if (links.captureProgress == &m_captureProgressPanel) links.captureProgress = NULL;
}

void CCapturePage::LinkDeferredParts(bool build)
{
    ShellLinks& links = Links();
    Link(links.capturePage, this, build);
    Link(links.capture, &m_capturePanel, build);
    Link(links.exposure, &m_exposurePanel, build);
    Link(links.colorParam, &m_colorParamPanel, build);
    Link(links.fluorescence, &m_fluorescencePanel, build);
    Link(links.paramGroup, &m_paramGroupPanel, build);
    Link(links.captureSections, &m_sections, build);
}

void CCapturePage::AddDeferredSection(int index)
{
    CPanelDialog* const panels[] = {&m_capturePanel, &m_exposurePanel, &m_colorParamPanel, &m_fluorescencePanel,
                                    &m_paramGroupPanel};
    const UINT templates[] = {CCapturePanel::IDD, CExposurePanel::IDD, CColorParamPanel::IDD,
                              CFluorescencePanel::IDD, CParameterGroupPanel::IDD};
    const UINT titles[] = {IDS_SECTION_SAVE, IDS_SECTION_EXPOSURE, IDS_SECTION_COLOR, IDS_SECTION_FLUORESCENCE,
                           IDS_SECTION_PARAMETERS};
    CFoldPanel* section = AddSectionInSteps(*panels[index], templates[index], titles[index]);
    section->SetExpanded(FALSE);
}

BOOL CCapturePage::OnInitDialog()
{
    CTabPage::OnInitDialog();
    // The camera library's first call: it builds the camera manager and finds a camera.
    if (!m_bDeferSections) QrCReflashCamera();
    m_videoRecordPanel.Create(CVideoRecordPanel::IDD, this);
    m_videoRecordPanel.ShowWindow(SW_SHOW);
    m_captureProgressPanel.Create(CCaptureProgressPanel::IDD, this);
    m_captureProgressPanel.ShowWindow(SW_HIDE);

    AddSection(m_cameraPanel, CCameraPanel::IDD, IDS_SECTION_MAIN);
    AddOrDeferSections();
    LayoutPanels();
    return TRUE;
}

CPoint CCapturePage::FirstSectionOrigin()
{
    if (m_videoRecordPanel.m_hWnd == NULL) return CTabPage::FirstSectionOrigin();
    CRect r;
    m_videoRecordPanel.GetWindowRect(&r);
    ScreenToClient(&r);
    return CPoint(r.left, r.bottom + 5);
}

void CCapturePage::LayoutPanels()
{
    if (m_hWnd == NULL) return;
    if (m_captureProgressPanel.m_hWnd != NULL)
        m_captureProgressPanel.SetWindowPos(NULL, PAGE_CONTENT_LEFT, PAGE_CONTENT_TOP, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (m_videoRecordPanel.m_hWnd != NULL)
        m_videoRecordPanel.SetWindowPos(NULL, PAGE_CONTENT_LEFT, PAGE_CONTENT_TOP, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    CTabPage::LayoutPanels();
}

void CCapturePage::RefreshAllPanels()
{
    for (int step = 0; RefreshPanelsStep(step); step++) {
    }
}

BOOL CCapturePage::RefreshPanelsStep(int step)
{
    if (m_exposurePanel.m_hWnd == NULL || m_colorParamPanel.m_hWnd == NULL || m_paramGroupPanel.m_hWnd == NULL ||
        m_cameraPanel.m_hWnd == NULL || m_videoRecordPanel.m_hWnd == NULL || m_fluorescencePanel.m_hWnd == NULL)
        return FALSE;
    switch (step) {
    case 0:
        m_videoRecordPanel.UpdateControlState();
        m_cameraPanel.RefreshControls();
        m_cameraPanel.RefreshSliders();
        m_cameraPanel.RefreshResolutionCombos();
        return TRUE;
    case 1:
        m_exposurePanel.ConfigureForCamera();
        m_exposurePanel.RefreshFromCamera();
        m_exposurePanel.UpdateControlState();
        return TRUE;
    case 2:
        m_colorParamPanel.ConfigureForCamera();
        m_colorParamPanel.RefreshFromCamera();
        m_colorParamPanel.UpdateControlState();
        return TRUE;
    case 3:
        m_fluorescencePanel.UpdateControlState();
        m_fluorescencePanel.RefreshFromCamera();
        m_fluorescencePanel.ShowDyeSettings();
        m_paramGroupPanel.UpdateControlState();
        m_paramGroupPanel.RefillGroupCombo();
        m_capturePanel.UpdateControlState();
        return TRUE;
    default:
        return FALSE;
    }
}

namespace {

void EnableItem(CWnd& panel, int id, BOOL enable)
{
    CWnd* item = panel.m_hWnd != NULL ? panel.GetDlgItem(id) : NULL;
    if (item != NULL) item->EnableWindow(enable);
}

void ShowItem(CWnd& panel, int id, BOOL show)
{
    CWnd* item = panel.m_hWnd != NULL ? panel.GetDlgItem(id) : NULL;
    if (item != NULL) item->ShowWindow(show ? SW_SHOW : SW_HIDE);
}

} // namespace

void CCapturePage::ResetRecordButton(BOOL cameraRuns)
{
    m_capturePanel.ShowRecordIdle(cameraRuns);
}

LRESULT CCapturePage::OnCaptureDone(WPARAM wParam, LPARAM lParam)
{
    // A shot the library skipped or failed to write names no file (or, later in a
    // series, not this shot's file): only names it gives are used.
    const int state = (int)lParam;
    // A recording's file is closed first: one that got no frame is removed, unnamed.
    const BOOL recorded = state != 1 || QrCCameraReleaseCapture() == CAM_OK;
    CString name;
    const BOOL named = QrCCameraGetSaveImageFileName(&name, (int)wParam) == CAM_OK && !name.IsEmpty();
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    const BOOL runs = mgr.runState == 0;

    if (state == 1) {
        // A recording ended.
        ShowItem(m_videoRecordPanel, IDC_VIDEO_COUNTER, FALSE);
        if (m_videoRecordPanel.m_hWnd != NULL) m_videoRecordPanel.Invalidate();
        ResetRecordButton(runs);
        ShowItem(m_capturePanel, IDC_CAPTURE_COUNTER, FALSE);
        EnableItem(m_videoRecordPanel, IDC_VIDEO_CAPTURE, runs);
        EnableItem(m_cameraPanel, IDC_CAMERA_CAPTURE, runs);
        EnableItem(m_capturePanel, IDC_CAPTURE_CAPTURE, runs);
        EnableItem(m_capturePanel, IDC_CAPTURE_SHOTS, FALSE);
        EnableItem(m_capturePanel, IDC_CAPTURE_STOP_SERIES, FALSE);
    }

    if (state != -1) {
        if (m_capturePanel.m_bSeriesRunning && mgr.capture.IsLapse) {
            if (named) m_capturePanel.QueueSavedName(name);
            if (state == 0) {
                // The last shot: every file the library recorded goes to the collector
                // (names queued already are not queued again), and no more will come.
                CString recorded;
                for (int i = 0; QrCCameraGetSaveImageFileName(&recorded, i) == CAM_OK; i++)
                    m_capturePanel.QueueSavedName(recorded);
                m_capturePanel.CloseNameQueue();
            }
        } else if (named) {
            ShellLinks& links = Links();
            if (links.strip != NULL) ShowItem(*links.strip, IDC_STRIP_PROGRESS, TRUE);
            ::Sleep(500);
            if (links.thumbList != NULL) links.thumbList->AddFile(name, 1);
            if (links.strip != NULL) links.strip->RefreshAfterChange();
            if (m_captureProgressPanel.m_hWnd != NULL) m_captureProgressPanel.PostMessage(WM_CAPTURE_PROGRESS_SAVED);
        }
    }

    if (state == 0 || state == -1) {
        if (!m_capturePanel.m_bSeriesRunning) {
            if (m_captureProgressPanel.m_hWnd != NULL) {
                m_captureProgressPanel.PostMessage(WM_CAPTURE_PROGRESS_END);
                m_captureProgressPanel.ShowWindow(SW_HIDE);
            }
            ShowItem(m_videoRecordPanel, IDC_VIDEO_RATE_LABEL, TRUE);
            ShowItem(m_videoRecordPanel, IDC_VIDEO_RATE, TRUE);
            if (m_videoRecordPanel.m_hWnd != NULL) m_videoRecordPanel.ShowWindow(SW_SHOW);
            EnableItem(m_cameraPanel, IDC_CAMERA_CAPTURE, runs);
            EnableItem(m_capturePanel, IDC_CAPTURE_CAPTURE, runs);
            EnableItem(m_videoRecordPanel, IDC_VIDEO_CAPTURE, runs);
            EnableItem(m_capturePanel, IDC_CAPTURE_SHOTS, FALSE);
            EnableItem(m_capturePanel, IDC_CAPTURE_STOP_SERIES, FALSE);
            ShowItem(m_capturePanel, IDC_CAPTURE_COUNTER, FALSE);
            ShowItem(m_videoRecordPanel, IDC_VIDEO_COUNTER, FALSE);
        }
        ResetRecordButton(runs);
        QrCCameraSetResDefault();
    }

    if (m_videoRecordPanel.m_hWnd != NULL) m_videoRecordPanel.Invalidate();
    if (m_capturePanel.m_hWnd != NULL) m_capturePanel.Invalidate();
    if (!recorded) AfxMessageBox(IDS_RECORD_NO_FRAMES, MB_OK | MB_ICONWARNING);
    return 0;
}

LRESULT CCapturePage::OnCaptureProgress(WPARAM wParam, LPARAM)
{
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    m_capturePanel.m_nShotCounter = (int)wParam + 1;
    // Once per frame while recording: only the counter is written, so that this stays
    // cheap and leaves the other fields as the user has them.
    m_capturePanel.ShowShotCounter();
    const CaptureParam& cap = mgr.capture;
    const BOOL video = cap.CaptureType == CAPTURE_TYPE_AVI;
    int total = video ? cap.AviFrame : cap.Count;
    CString text;
    if (video && (cap.IsTimeRecord || cap.IsManual)) text.Format(L"%dS", (int)wParam);
    else text.Format(L"%d / %d", m_capturePanel.m_nShotCounter, total);
    if (!(m_capturePanel.m_bSeriesRunning && cap.IsLapse)) {
        CDialog* panels[2] = {&m_videoRecordPanel, &m_capturePanel};
        const int ids[2] = {IDC_VIDEO_COUNTER, IDC_CAPTURE_COUNTER};
        for (int i = 0; i < 2; i++) {
            if (panels[i]->m_hWnd == NULL) continue;
            CString shown;
            panels[i]->GetDlgItemText(ids[i], shown);
            if (shown == text) continue;
            panels[i]->SetDlgItemText(ids[i], text);
            CWnd* item = panels[i]->GetDlgItem(ids[i]);
            if (item != NULL) item->UpdateWindow();
        }
    }
    return 0;
}
