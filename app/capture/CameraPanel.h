// Camera panel (placeholder until the live-preview work replaces it): opens and stops the
// camera into the preview window; the other operations do nothing yet.
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/capture/CameraPanelIds.h"
#include "app/capture/CameraHotplugListener.h"

// Posted by the white-balance wizard to the camera panel when it wants to be closed.
const UINT WM_WB_WIZARD_CLOSED = 0xB10;

class CCameraPanel : public CPanelDialog
{
    DECLARE_DYNAMIC(CCameraPanel)
public:
    explicit CCameraPanel(CWnd* pParent = NULL);
    virtual ~CCameraPanel();
    enum { IDD = IDD_CAMERA_PANEL };

    virtual void PlayCamera();
    virtual void RefreshControls();
    virtual void RefreshResolutionCombos();
    virtual void RefreshSliders();
    virtual void OnCapture();
    virtual int IsPartialDisplay();
    virtual void OnFullDisplay();
    virtual void UseSmallPreviewResolution();

protected:
    afx_msg LRESULT OnCameraRemoved(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};
