#include "app/capture/CameraPanel.h"
#include "camera/core/QrCCamera.h"
#include "app/capture/PreviewWnd.h"
#include "app/shell/ShellLinks.h"
#include "app/res/resource.h"

IMPLEMENT_DYNAMIC(CCameraPanel, CPanelDialog)

BEGIN_MESSAGE_MAP(CCameraPanel, CPanelDialog)
    ON_MESSAGE(WM_CAMERA_REMOVED, OnCameraRemoved)
END_MESSAGE_MAP()

CCameraPanel::CCameraPanel(CWnd* pParent) : CPanelDialog(IDD, pParent) {}
CCameraPanel::~CCameraPanel() {}

void CCameraPanel::PlayCamera()
{
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    if (mgr.runState == 0) {
        QrCCameraUnInit();
        return;
    }
    CPreviewWnd* preview = Links().preview;
    if (preview == NULL || preview->m_hWnd == NULL) return;
    CStatic* video = preview->GetVideoStatic();
    CRect client;
    preview->GetClientRect(&client);
    video->MoveWindow(&client);
    HWND frame = ::GetDlgItem(preview->m_hWnd, IDC_PREVIEW_FRAME);
    if (QrCCameraInit(mgr.ResPreview, video, frame, 1) != 1) {
        AfxMessageBox(IDS_CAMERA_INIT_FAILED, MB_OK);
        return;
    }
    QrCCameraParameterInit();
    CRect show;
    video->GetClientRect(&show);
    QrCCameraSetShowRect(&show);
}

void CCameraPanel::RefreshControls() {}

void CCameraPanel::RefreshResolutionCombos() {}

void CCameraPanel::RefreshSliders() {}

void CCameraPanel::OnCapture() {}

int CCameraPanel::IsPartialDisplay()
{
    return 0;
}

void CCameraPanel::OnFullDisplay() {}

LRESULT CCameraPanel::OnCameraRemoved(WPARAM wParam, LPARAM lParam)
{
    (void)wParam;
    (void)lParam;
    return 0;
}

void CCameraPanel::UseSmallPreviewResolution() {}
