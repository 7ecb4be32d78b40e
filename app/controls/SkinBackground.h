// The panels' common background: "skin\panel_small_bg.bmp" (or another file of the
// skin folder) from the program folder, stretched over a client area.
#pragma once
#include "afxwin.h"

// The folder of the running program, ending in a backslash; no length limit.
CString ProgramFolder();

class CSkinBackground
{
public:
    CSkinBackground();
    ~CSkinBackground();

    // Loads skin\<leaf> from the program folder into a memory DC compatible with pWnd's.
    BOOL Load(CWnd* pWnd, LPCWSTR leaf = L"panel_small_bg.bmp");
    BOOL IsLoaded() const { return m_bitmap.GetSafeHandle() != NULL; }
    // Stretches the whole bitmap over rect; nothing when no bitmap was loaded.  The
    // stretched copy is kept for the next paint of the same size, so a control that
    // repaints on every mouse move only copies pixels.
    void Paint(CDC* pDC, const CRect& rect);

    CBitmap m_bitmap;
    CDC m_dcBitmap;   // holds m_bitmap
    CDC m_dcWork;     // holds the stretched copy
    CSize m_size;

private:
    void ReleaseStretched();

    CBitmap* m_pOldBitmap;
    CBitmap m_stretched;
    CBitmap* m_pOldWork;
    CSize m_stretchedSize;
};
