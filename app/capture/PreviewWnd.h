// Live preview window (placeholder): the camera library draws into its video static 146;
// the zoom operations keep the zoom and fill the window with the video.
#pragma once
#include "afxwin.h"
#include "app/capture/PreviewWndIds.h"

// The video static the camera library draws into.
#define IDC_PREVIEW_VIDEO 146

class CPreviewWnd : public CDialog
{
    DECLARE_DYNAMIC(CPreviewWnd)
public:
    explicit CPreviewWnd(CWnd* pParent = NULL);
    virtual ~CPreviewWnd();
    enum { IDD = IDD_PREVIEW_WND };

    virtual BOOL OnInitDialog();
    virtual void ToggleFullScreen();
    virtual void ZoomActualSize();
    virtual void ZoomToFit();
    virtual float GetZoom();
    virtual void ApplyZoom();
    virtual void FitVideoToWindow();
    // Whether the horizontal and vertical scroll bars are shown.
    virtual void GetScrollFlags(int* horizontal, int* vertical);
    virtual void SetBackgroundColor(BYTE r, BYTE g, BYTE b);
    CStatic* GetVideoStatic();

    CStatic m_video;         // id 146, where the live picture is drawn
    float m_zoom;
    COLORREF m_backgroundColor;

protected:

    DECLARE_MESSAGE_MAP()
};
