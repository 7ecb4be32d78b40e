// The thumbnail strip: the browser under the main view.  A row of thumbnails of one
// folder, a caption line with the current file, a progress bar for the fill, an
// expand/restore button and a popup menu that deletes files.  A click opens a picture
// into the document; a double click plays a video.  Every other part is reached through
// the links object, so the strip works on any parent.
#pragma once
#include "afxwin.h"
#include "afxcmn.h"
#include "app/browse/ThumbnailStripIds.h"
#include "app/browse/ThumbnailListCtrl.h"
#include "app/controls/SkinBitmapButton.h"
#include "app/controls/OwnerDrawMenu.h"

// Colours of the strip.
const COLORREF STRIP_CAPTION_BAND_COLOR = RGB(0xBD, 0xBD, 0xBD);
const COLORREF STRIP_CURRENT_FRAME_COLOR = RGB(0xD5, 0xD5, 0xD5);
// Height of the caption band at the bottom.
const int STRIP_CAPTION_BAND = 15;

class CThumbnailStrip : public CDialog
{
    DECLARE_DYNAMIC(CThumbnailStrip)
public:
    explicit CThumbnailStrip(CWnd* pParent = NULL);
    virtual ~CThumbnailStrip();
    enum { IDD = IDD_THUMBNAIL_STRIP };

    // Shows the folder and opens its first picture: 1 when a picture was opened.
    virtual int SetFolder(const CString& folder);
    // After the folder's files changed: tells the merge panel, refreshes the caption and
    // the highlight, and repaints.
    virtual void RefreshAfterChange();
    // Caption and current-item mark from the image store; with the Capture tab shown
    // and force 0 the caption is emptied.
    virtual void UpdateCurrentImageLabel(int force);
    // Highlights the picture the store holds, and only it (none without one): files put
    // in front or taken out shift the list's items under a highlight kept by position.
    void SelectCurrentItem();
    virtual void OnExpand();
    virtual void OnRestore();
    // Index (in the list's files) of the picture the store holds, as last found.
    int GetCurrentItem() const { return m_nCurrentItem; }

    CThumbnailListCtrl m_list;
    CProgressCtrl m_progress;
    CSkinBitmapButton m_btnRestore;
    CSkinBitmapButton m_btnExpand;
    COwnerDrawMenu m_menu;

protected:
    virtual BOOL OnInitDialog() override;
    virtual BOOL PreTranslateMessage(MSG* pMsg) override;
    virtual void OnOK() override {}
    virtual void OnCancel() override {}

    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDIS);
    afx_msg void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMIS);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnMouseLeave();
    afx_msg void OnHotTrack(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnItemClick(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnItemRClick(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnItemDblClk(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnDeleteSelected();
    afx_msg void OnExpandClicked();
    afx_msg void OnRestoreClicked();
    afx_msg LRESULT OnThumbsProgress(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    // The manage view's tab (0 Capture, 1 Browse, 2 Image); Browse without one.
    int CurrentTab() const;
    void ShowProgress();
    // A listed file is gone: say so and rescan the folder.
    void ReloadAfterMissingFile();
    // Plays a video with the shell; a missing file is handled as above.
    void PlayVideo(const CString& path);
    // Opens the first listed file when it is a picture, else leaves the view empty;
    // TRUE when a picture was opened.
    BOOL OpenFirstFile(int labelForce);
    void SwitchToImageTab(const CString& path);
    void ShowCaption(const CString& text);
    CRect CaptionBand() const;

    BOOL m_bTracking;
    int m_nCurrentItem;
    CBrush m_bandBrush;
};
