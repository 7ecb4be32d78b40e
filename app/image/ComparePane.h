// Comparison pane (placeholder): holds a store of its own.
#pragma once
#include "afxwin.h"
#include "app/image/ComparePaneIds.h"
#include "app/image/ImageStore.h"

class CComparePane : public CDialog
{
    DECLARE_DYNAMIC(CComparePane)
public:
    explicit CComparePane(CWnd* pParent = NULL);
    virtual ~CComparePane();
    enum { IDD = IDD_COMPARE_PANE };

    virtual BOOL OnInitDialog();
    virtual int OpenFile(LPCWSTR path, int readInfo);
    virtual void ReleaseImages();
    virtual void FitToWindow(int keepOwnZoom);
    virtual void SetZoom(float zoom);
    virtual float GetZoom();
    virtual void OpenSelectedThumbnail();
    virtual void MirrorImage();
    virtual void FlipImage();
    CImageStore* GetStore();

    CImageStore* m_pStore;   // owned
    float m_zoom;

protected:

    DECLARE_MESSAGE_MAP()
};
