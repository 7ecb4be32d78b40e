// Browse tool column (placeholder).
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/browse/BrowseToolBarIds.h"

class CBrowseToolBar : public CPanelDialog
{
    DECLARE_DYNAMIC(CBrowseToolBar)
public:
    explicit CBrowseToolBar(CWnd* pParent = NULL);
    virtual ~CBrowseToolBar();
    enum { IDD = IDD_BROWSE_TOOLBAR };

    virtual void ShowZoom(float zoom);
    virtual void OnSaveImage();
    virtual void CancelSelectionMode();
    virtual void UpdateControlState();

protected:

    DECLARE_MESSAGE_MAP()
};
