// The modal fluorescence guide: the live picture in its own frame, the camera
// library's image and optimise steps with the exposure and gain they reach, a dye
// slider and the apply flag. Finishing hands back to the Capture page.
#pragma once
#include "afxwin.h"
#include "app/fluorescence/FluorescencePanelIds.h"
#include "app/store/DyeTable.h"
#include "camera/core/QrCCamera.h"
#include "app/controls/SkinBitmapButton.h"
#include "app/controls/SkinSlider.h"

class CFluorescenceWizard : public CDialog
{
    DECLARE_DYNAMIC(CFluorescenceWizard)
public:
    explicit CFluorescenceWizard(CWnd* pParent = NULL);
    virtual ~CFluorescenceWizard();
    enum { IDD = IDD_FLUORESCENCE_WIZARD };

    // The library's dye settings into slider, check box and colour; nothing is sent.
    void LoadDyeFromCamera();
    // Sends the dye at the slider's position with its table colour.
    void ApplyDyeFromSlider();

    // "\r\n\r\n" + caption + the exposure and gain lines, as the guide text shows them.
    static CString ResultText(const CString& caption, unsigned exposureMicros, int gain);

protected:
    virtual BOOL OnInitDialog() override;
    virtual void DoDataExchange(CDataExchange* pDX) override;
    virtual void OnOK() override;
    virtual void OnCancel() override;

    afx_msg void OnPaint();
    afx_msg void OnDestroy();
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnImageStep();
    afx_msg void OnOptimiseStep();
    afx_msg void OnFinish();
    afx_msg void OnCheckClicked();
    afx_msg void OnDefault();
    afx_msg void OnApplyCheck();
    afx_msg LRESULT OnCameraFrameStatus(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSliderChanged(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void ShowCurrentColour(int r, int g, int b);
    void ShowResult();
    void InvalidateItem(int id);

    CComboBox m_dyeCombo;
    CStatic m_currentColourFrame;
    CSkinBitmapButton m_defaultButton;
    CSkinBitmapButton m_applyCheck;
    CSkinSlider m_dyeSlider;
    CSkinBitmapButton m_speedUpCheck;
    CSkinBitmapButton m_finishButton;
    CSkinBitmapButton m_optimiseButton;
    CSkinBitmapButton m_imageButton;
    int m_speedUp;
    int m_applyFlag;
    HDC m_savedDrawDC;
    HWND m_savedDrawWnd;     // the window m_savedDrawDC belonged to
    RECT m_savedShowRect;
    // The camera as the wizard found it, for a cancel to go back to.
    CameraCurParam m_savedParams;
    BOOL m_speedUpSwitched;  // the image step took the speed-up resolution
    BYTE m_step;             // 0 none yet, 1 image, 2 optimise
    COLORREF m_colour;
    DyeSettings m_dye;
    DyeNames m_dyeNames;
    HBITMAP m_hBackground;
    HDC m_hMemDC;
    HGDIOBJ m_oldBitmap;
};
