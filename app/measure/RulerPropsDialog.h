// Ruler properties dialog (placeholder): a modal dialog with OK and Cancel.
#pragma once
#include "afxwin.h"
#include "app/measure/RulerPropsDialogIds.h"

class CRulerPropsDialog : public CDialog
{
    DECLARE_DYNAMIC(CRulerPropsDialog)
public:
    explicit CRulerPropsDialog(CWnd* pParent = NULL);
    virtual ~CRulerPropsDialog();
    enum { IDD = IDD_RULER_PROPS };

protected:

    DECLARE_MESSAGE_MAP()
};
