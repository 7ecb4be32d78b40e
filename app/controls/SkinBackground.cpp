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

CSkinBackground::CSkinBackground() : m_pOldBitmap(NULL), m_pOldWork(NULL), m_stretchedSize(0, 0) {}

CSkinBackground::~CSkinBackground()
{
    ReleaseStretched();
    if (m_pOldBitmap != NULL) m_dcBitmap.SelectObject(m_pOldBitmap);
}

void CSkinBackground::ReleaseStretched()
{
    if (m_pOldWork != NULL) {
        m_dcWork.SelectObject(m_pOldWork);
        m_pOldWork = NULL;
    }
    m_stretched.DeleteObject();
    m_stretchedSize = CSize(0, 0);
}

BOOL CSkinBackground::Load(CWnd* pWnd, LPCWSTR leaf)
{
    CString file = ProgramFolder() + L"skin\\" + leaf;
    HBITMAP hBmp = AfxLoadBitmapFile(file);
    CClientDC dc(pWnd);
    if (m_dcBitmap.GetSafeHdc() == NULL) m_dcBitmap.CreateCompatibleDC(&dc);
    if (m_dcWork.GetSafeHdc() == NULL) m_dcWork.CreateCompatibleDC(&dc);
    if (hBmp == NULL) return FALSE;
    ReleaseStretched();
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
    const CSize size(rect.Width(), rect.Height());
    if (size.cx <= 0 || size.cy <= 0) return;
    if (size != m_stretchedSize && m_dcWork.GetSafeHdc() != NULL) {
        ReleaseStretched();
        if (m_stretched.CreateCompatibleBitmap(pDC, size.cx, size.cy)) {
            m_pOldWork = m_dcWork.SelectObject(&m_stretched);
            m_dcWork.SetStretchBltMode(COLORONCOLOR);
            m_dcWork.StretchBlt(0, 0, size.cx, size.cy, &m_dcBitmap, 0, 0, m_size.cx, m_size.cy, SRCCOPY);
            m_stretchedSize = size;
        }
    }
    if (size == m_stretchedSize) {
        pDC->BitBlt(rect.left, rect.top, size.cx, size.cy, &m_dcWork, 0, 0, SRCCOPY);
        return;
    }
    pDC->SetStretchBltMode(COLORONCOLOR);
    pDC->StretchBlt(rect.left, rect.top, size.cx, size.cy, &m_dcBitmap, 0, 0, m_size.cx, m_size.cy, SRCCOPY);
}
