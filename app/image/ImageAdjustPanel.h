// The Image page's display adjustments: brightness, gamma, contrast, saturation and
// sharpen sliders with their values, and levels, apply, default, extended depth of field
// and stitching. A slider sets the requested value in the process-wide store; the main
// view's redraw thread applies it.
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/controls/SkinBitmapButton.h"
#include "app/controls/SkinEdit.h"
#include "app/controls/SkinSlider.h"
#include "app/image/ImageAdjustPanelIds.h"

class CImageStore;
class CStitchProgressDialog;

class CImageAdjustPanel : public CPanelDialog
{
    DECLARE_DYNAMIC(CImageAdjustPanel)
public:
    explicit CImageAdjustPanel(CWnd* pParent = NULL);
    virtual ~CImageAdjustPanel();
    enum { IDD = IDD_IMAGE_ADJUST_PANEL };
    static const int kSliders = 5;

    virtual void UpdateControlState();
    // Every slider back to neutral; the store's values stay as they are.
    virtual void ResetSliders();
    virtual void ShowValues();
    int GetSliderPos(int id) const;
    CStitchProgressDialog* GetStitchProgress() const { return m_pStitchProgress; }

    struct SliderRow
    {
        int slider, value, label;
        int minimum, maximum, neutral;
        double scale;        // value text = position x scale
        const WCHAR* format;
        void (CImageStore::*setter)(int);
    };
    static const SliderRow kSliderRows[kSliders];

protected:
    virtual BOOL OnInitDialog() override;
    // The stitching file choice and worker; 1 when a worker started.
    virtual int StartStitch(const CString& folder);
    virtual void GetStitchResult(CString& path);

    afx_msg void OnLevels();
    afx_msg void OnApply();
    afx_msg void OnDefault();
    afx_msg void OnDepthOfField();
    afx_msg void OnStitch();
    afx_msg LRESULT OnSliderMessage(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnStitchDone(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnStitchProgressClosed(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    static int RowOf(int sliderId);
    void ShowValue(int row);
    void RedrawMainView();

    CSkinSlider m_sliders[kSliders];
    CSkinEdit m_values[kSliders];
    CSkinBitmapButton m_buttons[5];
    CWnd m_unusedA, m_unusedB;
    CStitchProgressDialog* m_pStitchProgress;
};
