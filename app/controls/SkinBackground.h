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
    // Stretches the whole bitmap over rect; nothing when no bitmap was loaded.
    void Paint(CDC* pDC, const CRect& rect);

    CBitmap m_bitmap;
    CDC m_dcBitmap;   // holds m_bitmap
    CDC m_dcWork;     // a second memory DC for its owner's drawing
    CSize m_size;

private:
    CBitmap* m_pOldBitmap;
};
