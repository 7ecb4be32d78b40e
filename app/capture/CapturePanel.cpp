#include "app/capture/CapturePanel.h"

IMPLEMENT_DYNAMIC(CCapturePanel, CPanelDialog)

BEGIN_MESSAGE_MAP(CCapturePanel, CPanelDialog)
    ON_MESSAGE(WM_HOTKEY_CAPTURE, OnHotkeyCapture)
    ON_MESSAGE(WM_HOTKEY_RECORD_START, OnHotkeyRecordStart)
    ON_MESSAGE(WM_HOTKEY_RECORD_STOP, OnHotkeyRecordStop)
END_MESSAGE_MAP()

CCapturePanel::CCapturePanel(CWnd* pParent) : CPanelDialog(IDD, pParent), m_bSeriesRunning(0), m_bSeriesStop(0), m_nShotCounter(0) {}
CCapturePanel::~CCapturePanel() {}

void CCapturePanel::UpdateControlState() {}

void CCapturePanel::OnCapture() {}

void CCapturePanel::StartVideoRecording() {}

void CCapturePanel::DoDataExchange(CDataExchange* pDX)
{
    CPanelDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_CAPTURE_RECORD, m_btnRecord);
    DDX_Text(pDX, IDC_CAPTURE_SHOTS, m_nShotCounter);
}

LRESULT CCapturePanel::OnHotkeyCapture(WPARAM wParam, LPARAM lParam)
{
    (void)wParam;
    (void)lParam;
    return 0;
}

LRESULT CCapturePanel::OnHotkeyRecordStart(WPARAM wParam, LPARAM lParam)
{
    (void)wParam;
    (void)lParam;
    return 0;
}

LRESULT CCapturePanel::OnHotkeyRecordStop(WPARAM wParam, LPARAM lParam)
{
    (void)wParam;
    (void)lParam;
    return 0;
}
