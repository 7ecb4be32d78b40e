// Thumbnail strip (placeholder): the list, its progress control and the caption line.
#pragma once
#include "afxwin.h"
#include "app/browse/ThumbnailStripIds.h"
#include "app/browse/ThumbnailListCtrl.h"

class CThumbnailStrip : public CDialog
{
    DECLARE_DYNAMIC(CThumbnailStrip)
public:
    explicit CThumbnailStrip(CWnd* pParent = NULL);
    virtual ~CThumbnailStrip();
    enum { IDD = IDD_THUMBNAIL_STRIP };

    virtual BOOL OnInitDialog();
    virtual int SetFolder(const CString& folder);
    virtual void RefreshAfterChange();
    virtual void UpdateCurrentImageLabel(int force);

    CThumbnailListCtrl m_list;

protected:

    DECLARE_MESSAGE_MAP()
};
