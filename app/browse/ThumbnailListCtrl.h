// The thumbnail list inside the strip (placeholder until the browser replaces it): the
// paths of the listed files, newest first.
#pragma once
#include "afxwin.h"
#include <vector>

class CThumbnailListCtrl : public CWnd
{
    DECLARE_DYNAMIC(CThumbnailListCtrl)
public:
    CThumbnailListCtrl();
    virtual ~CThumbnailListCtrl();

    // Puts path at the front (moving it there when it is listed already).  Safe to
    // call from the capture collector thread.
    virtual void AddFile(CString path, int flag);
    virtual void GetFileNames(std::vector<CString>& out);
    // Whether the strip is expanded over the whole right-hand column.
    virtual BOOL IsExpanded() const { return m_bExpanded; }
    void SetExpanded(BOOL expanded) { m_bExpanded = expanded; }

protected:
    CCriticalSection m_lock;
    std::vector<CString> m_paths;
    BOOL m_bExpanded;
};
