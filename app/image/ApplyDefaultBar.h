// Apply and default for the display adjustments, as a bar of its own on the Image page;
// the page that hosts the bar's section puts the adjust sliders back to neutral.
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/controls/SkinBitmapButton.h"
#include "app/image/ApplyDefaultBarIds.h"

class CApplyDefaultBar : public CPanelDialog
{
    DECLARE_DYNAMIC(CApplyDefaultBar)
public:
    explicit CApplyDefaultBar(CWnd* pParent = NULL);
    virtual ~CApplyDefaultBar();
    enum { IDD = IDD_APPLY_DEFAULT_BAR };

protected:
    virtual BOOL OnInitDialog() override;
    afx_msg void OnApply();
    afx_msg void OnDefault();
    DECLARE_MESSAGE_MAP()

    void RedrawAndNotify();

    CSkinBitmapButton m_apply, m_default;
};
