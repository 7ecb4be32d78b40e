#include "afximpl.h"
#include <vector>

IMPLEMENT_DYNCREATE(CGdiObject, CObject)
IMPLEMENT_DYNAMIC(CPen, CGdiObject)
IMPLEMENT_DYNAMIC(CBrush, CGdiObject)
IMPLEMENT_DYNAMIC(CFont, CGdiObject)
IMPLEMENT_DYNAMIC(CBitmap, CGdiObject)
IMPLEMENT_DYNAMIC(CRgn, CGdiObject)
IMPLEMENT_DYNAMIC(CPalette, CGdiObject)

CGdiObject::CGdiObject() : m_hObject(NULL) {}
CGdiObject::~CGdiObject() { DeleteObject(); }

HGDIOBJ CGdiObject::GetSafeHandle() const { return AfxIsNullThis(this) ? NULL : m_hObject; }

CGdiObject* CGdiObject::FromHandle(HGDIOBJ hObject)
{
    if (hObject == NULL) return NULL;
    {
        AfxGlobalsLock lock;
        auto& m = AfxGetProcessState()->m_permGdi;
        auto it = m.find(hObject);
        if (it != m.end()) return it->second;
    }
    auto& temps = AfxGetThreadState()->m_tempGdi;
    auto it = temps.find(hObject);
    if (it != temps.end()) return it->second;
    CGdiObject* p = new CGdiObject;
    p->m_hObject = hObject;
    temps[hObject] = p;
    return p;
}

void CGdiObject::DeleteTempMap()
{
    auto& temps = AfxGetThreadState()->m_tempGdi;
    std::vector<CGdiObject*> doomed;
    for (auto& kv : temps) doomed.push_back(kv.second);
    temps.clear();
    for (CGdiObject* p : doomed) {
        p->m_hObject = NULL;   // temporaries never own their handle
        delete p;
    }
}

BOOL CGdiObject::Attach(HGDIOBJ hObject)
{
    if (hObject == NULL) return FALSE;
    if (m_hObject != NULL) DeleteObject();
    m_hObject = hObject;
    AfxGlobalsLock lock;
    AfxGetProcessState()->m_permGdi[hObject] = this;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach()
{
    HGDIOBJ hObject = m_hObject;
    if (hObject != NULL) {
        AfxGlobalsLock lock;
        auto& m = AfxGetProcessState()->m_permGdi;
        auto it = m.find(hObject);
        if (it != m.end() && it->second == this) m.erase(it);
    }
    m_hObject = NULL;
    return hObject;
}

BOOL CGdiObject::DeleteObject()
{
    if (m_hObject == NULL) return FALSE;
    return ::DeleteObject(Detach());
}

int CGdiObject::GetObject(int nCount, LPVOID lpObject) const { return ::GetObjectW(m_hObject, nCount, lpObject); }
UINT CGdiObject::GetObjectType() const { return ::GetObjectType(m_hObject); }
BOOL CGdiObject::CreateStockObject(int nIndex) { return Attach(::GetStockObject(nIndex)); }
BOOL CGdiObject::UnrealizeObject() { return ::UnrealizeObject(m_hObject); }

// Pens
CPen* CPen::FromHandle(HPEN hPen) { return (CPen*)CGdiObject::FromHandle(hPen); }
CPen::CPen() {}
CPen::CPen(int nPenStyle, int nWidth, COLORREF crColor)
{
    if (!Attach(::CreatePen(nPenStyle, nWidth, crColor))) AfxThrowResourceException();
}
CPen::CPen(int nPenStyle, int nWidth, const LOGBRUSH* pLogBrush, int nStyleCount, const DWORD* lpStyle)
{
    if (!Attach(::ExtCreatePen(nPenStyle, nWidth, pLogBrush, nStyleCount, lpStyle))) AfxThrowResourceException();
}
BOOL CPen::CreatePen(int nPenStyle, int nWidth, COLORREF crColor) { return Attach(::CreatePen(nPenStyle, nWidth, crColor)); }
BOOL CPen::CreatePen(int nPenStyle, int nWidth, const LOGBRUSH* pLogBrush, int nStyleCount, const DWORD* lpStyle)
{
    return Attach(::ExtCreatePen(nPenStyle, nWidth, pLogBrush, nStyleCount, lpStyle));
}
BOOL CPen::CreatePenIndirect(LPLOGPEN lpLogPen) { return Attach(::CreatePenIndirect(lpLogPen)); }
int CPen::GetLogPen(LOGPEN* pLogPen) { return ::GetObjectW(m_hObject, sizeof(LOGPEN), pLogPen); }
int CPen::GetExtLogPen(EXTLOGPEN* pLogPen) { return ::GetObjectW(m_hObject, sizeof(EXTLOGPEN), pLogPen); }

// Brushes
CBrush* CBrush::FromHandle(HBRUSH hBrush) { return (CBrush*)CGdiObject::FromHandle(hBrush); }
CBrush::CBrush() {}
CBrush::CBrush(COLORREF crColor) { if (!Attach(::CreateSolidBrush(crColor))) AfxThrowResourceException(); }
CBrush::CBrush(int nIndex, COLORREF crColor) { if (!Attach(::CreateHatchBrush(nIndex, crColor))) AfxThrowResourceException(); }
CBrush::CBrush(CBitmap* pBitmap) { if (!Attach(::CreatePatternBrush((HBITMAP)pBitmap->GetSafeHandle()))) AfxThrowResourceException(); }
BOOL CBrush::CreateSolidBrush(COLORREF crColor) { return Attach(::CreateSolidBrush(crColor)); }
BOOL CBrush::CreateHatchBrush(int nIndex, COLORREF crColor) { return Attach(::CreateHatchBrush(nIndex, crColor)); }
BOOL CBrush::CreateBrushIndirect(const LOGBRUSH* lpLogBrush) { return Attach(::CreateBrushIndirect(lpLogBrush)); }
BOOL CBrush::CreatePatternBrush(CBitmap* pBitmap) { return Attach(::CreatePatternBrush((HBITMAP)pBitmap->GetSafeHandle())); }
BOOL CBrush::CreateDIBPatternBrush(const void* lpPackedDIB, UINT nUsage) { return Attach(::CreateDIBPatternBrushPt(lpPackedDIB, nUsage)); }
BOOL CBrush::CreateSysColorBrush(int nIndex) { return Attach(::GetSysColorBrush(nIndex)); }
int CBrush::GetLogBrush(LOGBRUSH* pLogBrush) { return ::GetObjectW(m_hObject, sizeof(LOGBRUSH), pLogBrush); }

// Fonts
CFont* CFont::FromHandle(HFONT hFont) { return (CFont*)CGdiObject::FromHandle(hFont); }
CFont::CFont() {}
BOOL CFont::CreateFontIndirect(const LOGFONTW* lpLogFont) { return Attach(::CreateFontIndirectW(lpLogFont)); }
BOOL CFont::CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, BYTE bItalic,
                       BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet, BYTE nOutPrecision, BYTE nClipPrecision,
                       BYTE nQuality, BYTE nPitchAndFamily, LPCWSTR lpszFacename)
{
    return Attach(::CreateFontW(nHeight, nWidth, nEscapement, nOrientation, nWeight, bItalic, bUnderline, cStrikeOut,
                                nCharSet, nOutPrecision, nClipPrecision, nQuality, nPitchAndFamily, lpszFacename));
}

BOOL CFont::CreatePointFont(int nPointSize, LPCWSTR lpszFaceName, CDC* pDC)
{
    LOGFONTW logFont = {};
    logFont.lfCharSet = DEFAULT_CHARSET;
    logFont.lfHeight = nPointSize;
    if (lpszFaceName) lstrcpynW(logFont.lfFaceName, lpszFaceName, LF_FACESIZE);
    return CreatePointFontIndirect(&logFont, pDC);
}

BOOL CFont::CreatePointFontIndirect(const LOGFONTW* lpLogFont, CDC* pDC)
{
    HDC hDC = pDC ? pDC->m_hAttribDC : ::GetDC(NULL);
    LOGFONTW logFont = *lpLogFont;
    // Tenths of a point to device units, as the height of a character cell.
    POINT pt = { 0, ::MulDiv(::GetDeviceCaps(hDC, LOGPIXELSY), logFont.lfHeight, 720) };
    ::DPtoLP(hDC, &pt, 1);
    POINT ptOrg = { 0, 0 };
    ::DPtoLP(hDC, &ptOrg, 1);
    logFont.lfHeight = -abs(pt.y - ptOrg.y);
    if (pDC == NULL) ::ReleaseDC(NULL, hDC);
    return CreateFontIndirect(&logFont);
}

int CFont::GetLogFont(LOGFONTW* pLogFont) { return ::GetObjectW(m_hObject, sizeof(LOGFONTW), pLogFont); }

// Bitmaps
CBitmap* CBitmap::FromHandle(HBITMAP hBitmap) { return (CBitmap*)CGdiObject::FromHandle(hBitmap); }
CBitmap::CBitmap() {}

// Device bitmaps are avoided: under Wine each one costs a look at the display settings
// (three server round trips) when it is made and again whenever it is selected into a
// DC, and the skins make and select hundreds. A DIB section draws the same for free.
BOOL CBitmap::LoadBitmap(LPCWSTR lpszResourceName)
{
    HINSTANCE hInst = AfxFindResourceHandle(lpszResourceName, (LPCWSTR)RT_BITMAP);
    return Attach((HBITMAP)::LoadImageW(hInst, lpszResourceName, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}
BOOL CBitmap::LoadBitmap(UINT nIDResource) { return LoadBitmap(MAKEINTRESOURCEW(nIDResource)); }
BOOL CBitmap::LoadOEMBitmap(UINT nIDBitmap) { return Attach(::LoadBitmapW(NULL, MAKEINTRESOURCEW(nIDBitmap))); }
BOOL CBitmap::CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits)
{
    return Attach(::CreateBitmap(nWidth, nHeight, nPlanes, nBitcount, lpBits));
}
BOOL CBitmap::CreateBitmapIndirect(LPBITMAP lpBitmap) { return Attach(::CreateBitmapIndirect(lpBitmap)); }
BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight) { return Attach(AfxCreateCompatibleBitmap(pDC->m_hDC, nWidth, nHeight)); }
BOOL CBitmap::CreateDiscardableBitmap(CDC* pDC, int nWidth, int nHeight) { return Attach(AfxCreateCompatibleBitmap(pDC->m_hDC, nWidth, nHeight)); }

// For a screen or window DC, a DIB section; anything else (a memory DC, which already
// gives a DIB section for a DIB section selected, a printer) as the platform makes it.
HBITMAP AfxCreateCompatibleBitmap(HDC hDC, int nWidth, int nHeight)
{
    // Thirty-two bits whatever the display's depth: asking for the depth costs the same
    // round trips as the device bitmap, and the blit to the screen converts.
    if (hDC != NULL && nWidth > 0 && nHeight > 0 && ::GetObjectType(hDC) == OBJ_DC &&
        ::GetDeviceCaps(hDC, TECHNOLOGY) == DT_RASDISPLAY) {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = nWidth;
        bi.bmiHeader.biHeight = nHeight;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        void* bits = NULL;
        if (HBITMAP hBitmap = ::CreateDIBSection(hDC, &bi, DIB_RGB_COLORS, &bits, NULL, 0)) return hBitmap;
    }
    return ::CreateCompatibleBitmap(hDC, nWidth, nHeight);
}

// A skin file, as a DIB section like the loaded resources.
HBITMAP AfxLoadBitmapFile(LPCWSTR lpszPath)
{
    return (HBITMAP)::LoadImageW(NULL, lpszPath, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
}

int CBitmap::GetBitmap(BITMAP* pBitMap) { return ::GetObjectW(m_hObject, sizeof(BITMAP), pBitMap); }
DWORD CBitmap::SetBitmapBits(DWORD dwCount, const void* lpBits) { return ::SetBitmapBits((HBITMAP)m_hObject, dwCount, lpBits); }
DWORD CBitmap::GetBitmapBits(DWORD dwCount, LPVOID lpBits) const { return ::GetBitmapBits((HBITMAP)m_hObject, dwCount, lpBits); }
CSize CBitmap::SetBitmapDimension(int nWidth, int nHeight)
{
    SIZE size = {};
    ::SetBitmapDimensionEx((HBITMAP)m_hObject, nWidth, nHeight, &size);
    return size;
}
CSize CBitmap::GetBitmapDimension() const
{
    SIZE size = {};
    ::GetBitmapDimensionEx((HBITMAP)m_hObject, &size);
    return size;
}

// Regions
CRgn* CRgn::FromHandle(HRGN hRgn) { return (CRgn*)CGdiObject::FromHandle(hRgn); }
CRgn::CRgn() {}
BOOL CRgn::CreateRectRgn(int x1, int y1, int x2, int y2) { return Attach(::CreateRectRgn(x1, y1, x2, y2)); }
BOOL CRgn::CreateRectRgnIndirect(LPCRECT lpRect) { return Attach(::CreateRectRgnIndirect(lpRect)); }
BOOL CRgn::CreateEllipticRgn(int x1, int y1, int x2, int y2) { return Attach(::CreateEllipticRgn(x1, y1, x2, y2)); }
BOOL CRgn::CreateEllipticRgnIndirect(LPCRECT lpRect) { return Attach(::CreateEllipticRgnIndirect(lpRect)); }
BOOL CRgn::CreatePolygonRgn(const POINT* lpPoints, int nCount, int nMode) { return Attach(::CreatePolygonRgn(lpPoints, nCount, nMode)); }
BOOL CRgn::CreatePolyPolygonRgn(const POINT* lpPoints, const INT* lpPolyCounts, int nCount, int nPolyFillMode)
{
    return Attach(::CreatePolyPolygonRgn(lpPoints, lpPolyCounts, nCount, nPolyFillMode));
}
BOOL CRgn::CreateRoundRectRgn(int x1, int y1, int x2, int y2, int x3, int y3) { return Attach(::CreateRoundRectRgn(x1, y1, x2, y2, x3, y3)); }
void CRgn::SetRectRgn(int x1, int y1, int x2, int y2) { ::SetRectRgn((HRGN)m_hObject, x1, y1, x2, y2); }
void CRgn::SetRectRgn(LPCRECT lpRect) { ::SetRectRgn((HRGN)m_hObject, lpRect->left, lpRect->top, lpRect->right, lpRect->bottom); }
int CRgn::CombineRgn(const CRgn* pRgn1, const CRgn* pRgn2, int nCombineMode)
{
    return ::CombineRgn((HRGN)m_hObject, (HRGN)pRgn1->GetSafeHandle(), (HRGN)pRgn2->GetSafeHandle(), nCombineMode);
}
int CRgn::CopyRgn(const CRgn* pRgnSrc) { return ::CombineRgn((HRGN)m_hObject, (HRGN)pRgnSrc->GetSafeHandle(), NULL, RGN_COPY); }
BOOL CRgn::EqualRgn(const CRgn* pRgn) const { return ::EqualRgn((HRGN)m_hObject, (HRGN)pRgn->GetSafeHandle()); }
int CRgn::OffsetRgn(int x, int y) { return ::OffsetRgn((HRGN)m_hObject, x, y); }
int CRgn::OffsetRgn(POINT point) { return ::OffsetRgn((HRGN)m_hObject, point.x, point.y); }
int CRgn::GetRgnBox(LPRECT lpRect) const { return ::GetRgnBox((HRGN)m_hObject, lpRect); }
BOOL CRgn::PtInRegion(int x, int y) const { return ::PtInRegion((HRGN)m_hObject, x, y); }
BOOL CRgn::PtInRegion(POINT point) const { return ::PtInRegion((HRGN)m_hObject, point.x, point.y); }
BOOL CRgn::RectInRegion(LPCRECT lpRect) const { return ::RectInRegion((HRGN)m_hObject, lpRect); }

// Palettes
CPalette* CPalette::FromHandle(HPALETTE hPalette) { return (CPalette*)CGdiObject::FromHandle(hPalette); }
CPalette::CPalette() {}
BOOL CPalette::CreatePalette(LPLOGPALETTE lpLogPalette) { return Attach(::CreatePalette(lpLogPalette)); }
