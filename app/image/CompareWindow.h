// Comparison window (placeholder): its panes in a vector.
#pragma once
#include "afxwin.h"
#include "app/image/CompareWindowIds.h"
#include <vector>
#include "app/image/ComparePane.h"

class CCompareWindow : public CDialog
{
    DECLARE_DYNAMIC(CCompareWindow)
public:
    explicit CCompareWindow(CWnd* pParent = NULL);
    virtual ~CCompareWindow();
    enum { IDD = IDD_COMPARE_WINDOW };

    virtual void CreatePanes(int layout);
    virtual void DestroyPanes();
    virtual void LayoutPanes();
    void GetPanes(std::vector<CComparePane*>& out);

    std::vector<CComparePane*> m_panes;

protected:

    DECLARE_MESSAGE_MAP()
};
