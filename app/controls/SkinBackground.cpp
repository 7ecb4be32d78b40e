#include "SkinBackground.h"

CString ProgramFolder()
{
    CString path;
    for (DWORD n = MAX_PATH;; n *= 2) {
        DWORD got = ::GetModuleFileNameW(NULL, path.GetBufferSetLength((int)n), n);
        if (got == 0) {
            path.ReleaseBuffer(0);
            break;
        }
        if (got < n) {
            path.ReleaseBuffer((int)got);
            break;
        }
        path.ReleaseBuffer(0);   // cut short: try a larger buffer
        if (n >= 0x10000) break;
    }
    int cut = path.ReverseFind(L'\\');
    return cut >= 0 ? path.Left(cut + 1) : CString();
}

CSkinBackground::CSkinBackground() : m_pOldBitmap(NULL) {}

CSkinBackground::~CSkinBackground()
{
    if (m_pOldBitmap != NULL) m_dcBitmap.SelectObject(m_pOldBitmap);
}

BOOL CSkinBackground::Load(CWnd* pWnd, LPCWSTR leaf)
{
    CString file = ProgramFolder() + L"skin\\" + leaf;
    HBITMAP hBmp = (HBITMAP)::LoadImageW(NULL, file, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    CClientDC dc(pWnd);
    if (m_dcBitmap.GetSafeHdc() == NULL) m_dcBitmap.CreateCompatibleDC(&dc);
    if (m_dcWork.GetSafeHdc() == NULL) m_dcWork.CreateCompatibleDC(&dc);
    if (hBmp == NULL) return FALSE;
    if (m_pOldBitmap != NULL) {
        m_dcBitmap.SelectObject(m_pOldBitmap);
        m_pOldBitmap = NULL;
    }
    m_bitmap.DeleteObject();
    m_bitmap.Attach(hBmp);
    BITMAP bm = {};
    m_bitmap.GetBitmap(&bm);
    m_size = CSize(bm.bmWidth, bm.bmHeight);
    m_pOldBitmap = m_dcBitmap.SelectObject(&m_bitmap);
    return TRUE;
}

void CSkinBackground::Paint(CDC* pDC, const CRect& rect)
{
    if (!IsLoaded()) return;
    pDC->SetStretchBltMode(COLORONCOLOR);
    pDC->StretchBlt(rect.left, rect.top, rect.Width(), rect.Height(), &m_dcBitmap, 0, 0, m_size.cx, m_size.cy, SRCCOPY);
}
