#include "app/capture/CaptureProgressPanel.h"
#include "camera/core/QrCCamera.h"

IMPLEMENT_DYNAMIC(CCaptureProgressPanel, CPanelDialog)

namespace {

const UINT kChannel = 168, kChannelActive = 169;
const UINT kEditNormal = 294, kEditDisabled = 295;

int AtLeastOne(int n) { return n > 1 ? n : 1; }

BOOL IsCamDrvABC(int type) { return type == 11 || type == 12 || type == 13; }

// The driver cameras' shot, whose length is not known in advance: the bar moves in
// 100 ms steps over the exposure plus a fixed allowance.
CCaptureProgressPanel::ShotEstimate SteppedShot(int total)
{
    CCaptureProgressPanel::ShotEstimate e = {AtLeastOne(total), CCaptureProgressPanel::DEFAULT_PERIOD, FALSE};
    return e;
}

CCaptureProgressPanel::ShotEstimate TimedShot(int total)
{
    const int t = AtLeastOne(total);
    CCaptureProgressPanel::ShotEstimate e = {t, t, TRUE};
    return e;
}

} // namespace

BEGIN_MESSAGE_MAP(CCaptureProgressPanel, CPanelDialog)
    ON_MESSAGE(WM_CAPTURE_PROGRESS_START, OnProgressStart)
    ON_MESSAGE(WM_CAPTURE_PROGRESS_SAVED, OnProgressSaved)
    ON_MESSAGE(WM_CAPTURE_PROGRESS_END, OnProgressEnd)
    ON_WM_TIMER()
END_MESSAGE_MAP()

CCaptureProgressPanel::CCaptureProgressPanel(CWnd* pParent)
    : CPanelDialog(IDD, pParent), m_nTotal(100), m_nTicks(0), m_nShotPeriod(0), m_nIntervalPeriod(0)
{
}

CCaptureProgressPanel::~CCaptureProgressPanel() {}

void CCaptureProgressPanel::DoDataExchange(CDataExchange* pDX)
{
    CPanelDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_PROGRESS_SLIDER, m_slider);
    DDX_Control(pDX, IDC_PROGRESS_PERCENT, m_percentEdit);
}

BOOL CCaptureProgressPanel::OnInitDialog()
{
    CPanelDialog::OnInitDialog();
    AddTransparentStatic(IDC_PROGRESS_LABEL);
    m_slider.SetChannelBitmaps(kChannel, kChannelActive, FALSE);
    m_percentEdit.SetBitmaps(kEditNormal, kEditDisabled);
    m_percentEdit.SetFocusRedirect(TRUE);
    return TRUE;
}

CCaptureProgressPanel::ShotEstimate CCaptureProgressPanel::FirstShot(const ShotInputs& in)
{
    int b = (int)(in.exposureUs / 1000);
    if (b < 200) b = 200;
    if (in.processing != 0 && in.fluorescenceType == 2) b = (b + 500) * 7;
    const BOOL sameRes = in.previewRes == in.captureRes;
    if (in.mode != 0) {
        if (!sameRes && (in.product == 17 || in.product == 24 || in.product == 25)) {
            // These products bin the capture from the preview resolution: the shot
            // scales with the resolution step.
            const int d = in.captureRes > in.previewRes ? in.captureRes - in.previewRes : in.previewRes - in.captureRes;
            const int k = (int)(2.5 * d);
            const int s = in.captureRes > in.previewRes ? b / k : k * b;
            return TimedShot((s + 6500) / 100);
        }
        return TimedShot((b + 500) / 100);
    }
    if ((IsCamDrvABC(in.cameraType) || sameRes) && in.processing == 0)
        return TimedShot(in.cameraType == 9 ? (b + 3000) / 100 : (b + 500) / 100);
    const BOOL slow = (in.flatField != 0 && in.cameraType == 9) || in.processing != 0;
    return SteppedShot((b + 99) / 100 + (slow ? 70 : 25));
}

CCaptureProgressPanel::ShotEstimate CCaptureProgressPanel::NextShot(const ShotInputs& in)
{
    const int e = (int)(in.exposureUs / 1000);
    if (in.mode != 0) return TimedShot((e + 500) / 100);
    if (IsCamDrvABC(in.cameraType) || in.previewRes == in.captureRes)
        return TimedShot(in.cameraType == 9 ? (e + 3000) / 100 : (e + 500) / 100);
    const BOOL slow = in.flatField != 0 && in.cameraType == 9;
    return SteppedShot((e + 99) / 100 + (slow ? 70 : 25));
}

CCaptureProgressPanel::ShotInputs CCaptureProgressPanel::ReadInputs()
{
    CameraCurParam cur;
    QrCCameraGetCurParameter(&cur);
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    CameraParamInfo info;
    QrCCameraGetParameterInfo(&info, 1);
    ShotInputs in;
    in.exposureUs = (unsigned)cur.exposureTime;
    in.flatField = cur.flatField;
    in.mode = mgr.mode;
    in.cameraType = mgr.cameraType;
    in.previewRes = mgr.ResPreview;
    in.captureRes = mgr.ResCapture;
    in.product = info.productIndex;
    in.processing = mgr.capture.ProcessingEnabled;
    in.fluorescenceType = mgr.capture.FluorescenceType;
    return in;
}

void CCaptureProgressPanel::StopTimer(UINT id)
{
    KillTimer(id);
    if (id == TIMER_SHOT) m_nShotPeriod = 0;
    else m_nIntervalPeriod = 0;
}

void CCaptureProgressPanel::StartShot(const ShotEstimate& estimate)
{
    m_nTotal = estimate.total;
    m_slider.SetRange(0, 100);
    if (estimate.restart) m_slider.SetPos(0);
    m_nShotPeriod = estimate.period;
    SetTimer(TIMER_SHOT, (UINT)estimate.period, NULL);
}

void CCaptureProgressPanel::ShowPercent(int percent)
{
    CString text;
    text.Format(L"%d%%", percent);
    m_percentEdit.SetWindowText(text);
}

// The label is written again so that it repaints over the stretched background.
void CCaptureProgressPanel::RefreshLabel()
{
    CString text;
    GetDlgItemText(IDC_PROGRESS_LABEL, text);
    SetDlgItemText(IDC_PROGRESS_LABEL, text);
    Invalidate();
}

void CCaptureProgressPanel::Tick(int limit)
{
    if (m_nTicks < limit) m_nTicks++;
}

LRESULT CCaptureProgressPanel::OnProgressStart(WPARAM, LPARAM)
{
    RefreshLabel();
    const ShotInputs in = ReadInputs();
    ShowPercent(0);
    m_nTicks = 0;
    StopTimer(TIMER_INTERVAL);
    StartShot(FirstShot(in));
    return 0;
}

LRESULT CCaptureProgressPanel::OnProgressSaved(WPARAM, LPARAM)
{
    RefreshLabel();
    m_nTicks = 0;
    StopTimer(TIMER_SHOT);
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    if (mgr.capture.IsLapse) {
        m_percentEdit.SetWindowText(L"Interval");
        m_nTotal = AtLeastOne(mgr.capture.Space / INTERVAL_STEPS);
        m_nIntervalPeriod = m_nTotal;
        SetTimer(TIMER_INTERVAL, (UINT)m_nTotal, NULL);
    }
    return 0;
}

LRESULT CCaptureProgressPanel::OnProgressEnd(WPARAM, LPARAM)
{
    StopTimer(TIMER_SHOT);
    StopTimer(TIMER_INTERVAL);
    return 0;
}

void CCaptureProgressPanel::OnTimer(UINT_PTR nIDEvent)
{
    RefreshLabel();
    if (nIDEvent == TIMER_SHOT) {
        Tick(m_nTotal);
        const int percent = m_nTicks * 100 / AtLeastOne(m_nTotal);
        m_slider.SetPos(percent);
        ShowPercent(percent);
    } else if (nIDEvent == TIMER_INTERVAL) {
        Tick(INTERVAL_STEPS);
        m_slider.SetPos(m_nTicks);
        m_percentEdit.SetWindowText(L"Interval");
        if (m_nTicks >= INTERVAL_STEPS) {
            StopTimer(TIMER_INTERVAL);
            const ShotInputs in = ReadInputs();
            ShowPercent(0);
            m_nTicks = 0;
            StartShot(NextShot(in));
        }
    }
    CPanelDialog::OnTimer(nIDEvent);
}
