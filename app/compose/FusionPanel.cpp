#include "app/compose/FusionPanel.h"

#include "app/compose/ImageFusionDialog.h"
#include "camera/core/QrCCamera.h"

IMPLEMENT_DYNAMIC(CFusionPanel, CPanelDialog)

BEGIN_MESSAGE_MAP(CFusionPanel, CPanelDialog)
    ON_BN_CLICKED(IDC_FUSION_EDOF, OnEdof)
    ON_BN_CLICKED(IDC_FUSION_STITCH, OnStitch)
    ON_BN_CLICKED(IDC_FUSION_HDR, OnHdr)
END_MESSAGE_MAP()

CFusionPanel::CFusionPanel(CWnd* pParent) : CPanelDialog(IDD, pParent) {}
CFusionPanel::~CFusionPanel() {}

BOOL CFusionPanel::OnInitDialog()
{
    CPanelDialog::OnInitDialog();
    UpdateControlState();
    return TRUE;
}

void CFusionPanel::UpdateControlState()
{
    if (!GetSafeHwnd())
        return;
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    const BOOL known = mgr.cameraType != CAMERA_TYPE_NONE;
    for (int id : {IDC_FUSION_EDOF, IDC_FUSION_STITCH, IDC_FUSION_HDR})
        if (CWnd* button = GetDlgItem(id))
            button->EnableWindow(known);
}

void CFusionPanel::OpenComposition(int mode)
{
    CImageFusionDialog dialog(NULL);
    dialog.SetMode(mode);
    dialog.DoModal();
}

void CFusionPanel::OnEdof() { OpenComposition(FUSION_MODE_EDOF); }
void CFusionPanel::OnStitch() { OpenComposition(FUSION_MODE_STITCH); }
void CFusionPanel::OnHdr() { OpenComposition(FUSION_MODE_HDR); }
