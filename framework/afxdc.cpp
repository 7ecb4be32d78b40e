#include "afximpl.h"
#include <vector>

IMPLEMENT_DYNCREATE(CDC, CObject)
IMPLEMENT_DYNAMIC(CPaintDC, CDC)
IMPLEMENT_DYNAMIC(CClientDC, CDC)
IMPLEMENT_DYNAMIC(CWindowDC, CDC)

CDC::CDC() : m_hDC(NULL), m_hAttribDC(NULL), m_bPrinting(FALSE) {}

CDC::~CDC()
{
    if (m_hDC != NULL) ::DeleteDC(Detach());
}

HDC CDC::GetSafeHdc() const { return AfxIsNullThis(this) ? NULL : m_hDC; }
CWnd* CDC::GetWindow() const { return CWnd::FromHandle(::WindowFromDC(m_hDC)); }

CDC* CDC::FromHandle(HDC hDC)
{
    if (hDC == NULL) return NULL;
    {
        AfxGlobalsLock lock;
        auto& m = AfxGetProcessState()->m_permDC;
        auto it = m.find(hDC);
        if (it != m.end()) return it->second;
    }
    auto& temps = AfxGetThreadState()->m_tempDC;
    auto it = temps.find(hDC);
    if (it != temps.end()) return it->second;
    CDC* p = new CDC;
    p->m_hDC = p->m_hAttribDC = hDC;
    temps[hDC] = p;
    return p;
}

void CDC::DeleteTempMap()
{
    auto& temps = AfxGetThreadState()->m_tempDC;
    std::vector<CDC*> doomed;
    for (auto& kv : temps) doomed.push_back(kv.second);
    temps.clear();
    for (CDC* p : doomed) {
        p->m_hDC = p->m_hAttribDC = NULL;   // temporaries never own their DC
        delete p;
    }
}

BOOL CDC::Attach(HDC hDC)
{
    if (hDC == NULL || m_hDC != NULL) return FALSE;
    m_hDC = m_hAttribDC = hDC;
    AfxGlobalsLock lock;
    AfxGetProcessState()->m_permDC[hDC] = this;
    return TRUE;
}

HDC CDC::Detach()
{
    HDC hDC = m_hDC;
    if (hDC != NULL) {
        AfxGlobalsLock lock;
        auto& m = AfxGetProcessState()->m_permDC;
        auto it = m.find(hDC);
        if (it != m.end() && it->second == this) m.erase(it);
    }
    m_hDC = m_hAttribDC = NULL;
    return hDC;
}

void CDC::SetAttribDC(HDC hDC) { m_hAttribDC = hDC; }
void CDC::SetOutputDC(HDC hDC) { m_hDC = hDC; }
void CDC::ReleaseAttribDC() { m_hAttribDC = NULL; }
void CDC::ReleaseOutputDC() { m_hDC = NULL; }

BOOL CDC::CreateDC(LPCWSTR lpszDriverName, LPCWSTR lpszDeviceName, LPCWSTR lpszOutput, const void* lpInitData)
{
    return Attach(::CreateDCW(lpszDriverName, lpszDeviceName, lpszOutput, (const DEVMODEW*)lpInitData));
}
BOOL CDC::CreateIC(LPCWSTR lpszDriverName, LPCWSTR lpszDeviceName, LPCWSTR lpszOutput, const void* lpInitData)
{
    return Attach(::CreateICW(lpszDriverName, lpszDeviceName, lpszOutput, (const DEVMODEW*)lpInitData));
}
BOOL CDC::CreateCompatibleDC(CDC* pDC) { return Attach(::CreateCompatibleDC(pDC->GetSafeHdc())); }
BOOL CDC::DeleteDC()
{
    if (m_hDC == NULL) return FALSE;
    return ::DeleteDC(Detach());
}

int CDC::SaveDC() { return ::SaveDC(m_hDC); }
BOOL CDC::RestoreDC(int nSavedDC) { return ::RestoreDC(m_hDC, nSavedDC); }
int CDC::GetDeviceCaps(int nIndex) const { return ::GetDeviceCaps(m_hAttribDC, nIndex); }

CPen* CDC::SelectObject(CPen* pPen) { return (CPen*)CGdiObject::FromHandle(::SelectObject(m_hDC, pPen->GetSafeHandle())); }
CBrush* CDC::SelectObject(CBrush* pBrush) { return (CBrush*)CGdiObject::FromHandle(::SelectObject(m_hDC, pBrush->GetSafeHandle())); }
CFont* CDC::SelectObject(CFont* pFont) { return (CFont*)CGdiObject::FromHandle(::SelectObject(m_hDC, pFont->GetSafeHandle())); }
CBitmap* CDC::SelectObject(CBitmap* pBitmap) { return (CBitmap*)CGdiObject::FromHandle(::SelectObject(m_hDC, pBitmap->GetSafeHandle())); }
int CDC::SelectObject(CRgn* pRgn) { return (int)(INT_PTR)::SelectObject(m_hDC, pRgn->GetSafeHandle()); }
CGdiObject* CDC::SelectObject(CGdiObject* pObject) { return CGdiObject::FromHandle(::SelectObject(m_hDC, pObject->GetSafeHandle())); }
HGDIOBJ CDC::SelectObject(HGDIOBJ hObject) { return ::SelectObject(m_hDC, hObject); }
CGdiObject* CDC::SelectStockObject(int nIndex) { return CGdiObject::FromHandle(::SelectObject(m_hDC, ::GetStockObject(nIndex))); }
CPen* CDC::GetCurrentPen() const { return CPen::FromHandle((HPEN)::GetCurrentObject(m_hDC, OBJ_PEN)); }
CBrush* CDC::GetCurrentBrush() const { return CBrush::FromHandle((HBRUSH)::GetCurrentObject(m_hDC, OBJ_BRUSH)); }
CFont* CDC::GetCurrentFont() const { return CFont::FromHandle((HFONT)::GetCurrentObject(m_hDC, OBJ_FONT)); }
CBitmap* CDC::GetCurrentBitmap() const { return CBitmap::FromHandle((HBITMAP)::GetCurrentObject(m_hDC, OBJ_BITMAP)); }
CPalette* CDC::SelectPalette(CPalette* pPalette, BOOL bForceBackground)
{
    return CPalette::FromHandle(::SelectPalette(m_hDC, (HPALETTE)pPalette->GetSafeHandle(), bForceBackground));
}
UINT CDC::RealizePalette() { return ::RealizePalette(m_hDC); }

COLORREF CDC::GetBkColor() const { return ::GetBkColor(m_hAttribDC); }
COLORREF CDC::SetBkColor(COLORREF crColor) { return ::SetBkColor(m_hDC, crColor); }
int CDC::GetBkMode() const { return ::GetBkMode(m_hAttribDC); }
int CDC::SetBkMode(int nBkMode) { return ::SetBkMode(m_hDC, nBkMode); }
COLORREF CDC::GetTextColor() const { return ::GetTextColor(m_hAttribDC); }
COLORREF CDC::SetTextColor(COLORREF crColor) { return ::SetTextColor(m_hDC, crColor); }
int CDC::GetROP2() const { return ::GetROP2(m_hAttribDC); }
int CDC::SetROP2(int nDrawMode) { return ::SetROP2(m_hDC, nDrawMode); }
int CDC::GetStretchBltMode() const { return ::GetStretchBltMode(m_hAttribDC); }
int CDC::SetStretchBltMode(int nStretchMode) { return ::SetStretchBltMode(m_hDC, nStretchMode); }
int CDC::GetPolyFillMode() const { return ::GetPolyFillMode(m_hAttribDC); }
int CDC::SetPolyFillMode(int nPolyFillMode) { return ::SetPolyFillMode(m_hDC, nPolyFillMode); }
int CDC::GetMapMode() const { return ::GetMapMode(m_hAttribDC); }
int CDC::SetMapMode(int nMapMode) { return ::SetMapMode(m_hDC, nMapMode); }
CPoint CDC::GetViewportOrg() const { POINT p; ::GetViewportOrgEx(m_hAttribDC, &p); return p; }
CPoint CDC::SetViewportOrg(int x, int y) { POINT p = {}; ::SetViewportOrgEx(m_hDC, x, y, &p); return p; }
CPoint CDC::SetViewportOrg(POINT point) { return SetViewportOrg(point.x, point.y); }
CPoint CDC::OffsetViewportOrg(int nWidth, int nHeight) { POINT p = {}; ::OffsetViewportOrgEx(m_hDC, nWidth, nHeight, &p); return p; }
CPoint CDC::GetWindowOrg() const { POINT p; ::GetWindowOrgEx(m_hAttribDC, &p); return p; }
CPoint CDC::SetWindowOrg(int x, int y) { POINT p = {}; ::SetWindowOrgEx(m_hDC, x, y, &p); return p; }
CPoint CDC::SetWindowOrg(POINT point) { return SetWindowOrg(point.x, point.y); }
CSize CDC::GetViewportExt() const { SIZE s; ::GetViewportExtEx(m_hAttribDC, &s); return s; }
CSize CDC::SetViewportExt(int cx, int cy) { SIZE s = {}; ::SetViewportExtEx(m_hDC, cx, cy, &s); return s; }
CSize CDC::SetViewportExt(SIZE size) { return SetViewportExt(size.cx, size.cy); }
CSize CDC::GetWindowExt() const { SIZE s; ::GetWindowExtEx(m_hAttribDC, &s); return s; }
CSize CDC::SetWindowExt(int cx, int cy) { SIZE s = {}; ::SetWindowExtEx(m_hDC, cx, cy, &s); return s; }
CSize CDC::SetWindowExt(SIZE size) { return SetWindowExt(size.cx, size.cy); }
void CDC::DPtoLP(LPPOINT lpPoints, int nCount) const { ::DPtoLP(m_hAttribDC, lpPoints, nCount); }
void CDC::DPtoLP(LPRECT lpRect) const { ::DPtoLP(m_hAttribDC, (LPPOINT)lpRect, 2); }
void CDC::LPtoDP(LPPOINT lpPoints, int nCount) const { ::LPtoDP(m_hAttribDC, lpPoints, nCount); }
void CDC::LPtoDP(LPRECT lpRect) const { ::LPtoDP(m_hAttribDC, (LPPOINT)lpRect, 2); }
COLORREF CDC::GetNearestColor(COLORREF crColor) const { return ::GetNearestColor(m_hAttribDC, crColor); }

int CDC::GetClipBox(LPRECT lpRect) const { return ::GetClipBox(m_hDC, lpRect); }
int CDC::SelectClipRgn(CRgn* pRgn) { return ::SelectClipRgn(m_hDC, (HRGN)pRgn->GetSafeHandle()); }
int CDC::SelectClipRgn(CRgn* pRgn, int nMode) { return ::ExtSelectClipRgn(m_hDC, (HRGN)pRgn->GetSafeHandle(), nMode); }
int CDC::ExcludeClipRect(int x1, int y1, int x2, int y2) { return ::ExcludeClipRect(m_hDC, x1, y1, x2, y2); }
int CDC::ExcludeClipRect(LPCRECT r) { return ::ExcludeClipRect(m_hDC, r->left, r->top, r->right, r->bottom); }
int CDC::IntersectClipRect(int x1, int y1, int x2, int y2) { return ::IntersectClipRect(m_hDC, x1, y1, x2, y2); }
int CDC::IntersectClipRect(LPCRECT r) { return ::IntersectClipRect(m_hDC, r->left, r->top, r->right, r->bottom); }
BOOL CDC::PtVisible(int x, int y) const { return ::PtVisible(m_hDC, x, y); }
BOOL CDC::RectVisible(LPCRECT lpRect) const { return ::RectVisible(m_hDC, lpRect); }

CPoint CDC::GetCurrentPosition() const { POINT p; ::GetCurrentPositionEx(m_hAttribDC, &p); return p; }
CPoint CDC::MoveTo(int x, int y) { POINT p = {}; ::MoveToEx(m_hDC, x, y, &p); return p; }
CPoint CDC::MoveTo(POINT point) { return MoveTo(point.x, point.y); }
BOOL CDC::LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
BOOL CDC::LineTo(POINT point) { return ::LineTo(m_hDC, point.x, point.y); }
BOOL CDC::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) { return ::Arc(m_hDC, x1, y1, x2, y2, x3, y3, x4, y4); }
BOOL CDC::Arc(LPCRECT r, POINT ptStart, POINT ptEnd) { return ::Arc(m_hDC, r->left, r->top, r->right, r->bottom, ptStart.x, ptStart.y, ptEnd.x, ptEnd.y); }
BOOL CDC::Polyline(const POINT* lpPoints, int nCount) { return ::Polyline(m_hDC, lpPoints, nCount); }
BOOL CDC::PolyBezier(const POINT* lpPoints, int nCount) { return ::PolyBezier(m_hDC, lpPoints, nCount); }
BOOL CDC::Polygon(const POINT* lpPoints, int nCount) { return ::Polygon(m_hDC, lpPoints, nCount); }
BOOL CDC::PolyPolygon(const POINT* lpPoints, const INT* lpPolyCounts, int nCount) { return ::PolyPolygon(m_hDC, lpPoints, lpPolyCounts, nCount); }
BOOL CDC::Rectangle(int x1, int y1, int x2, int y2) { return ::Rectangle(m_hDC, x1, y1, x2, y2); }
BOOL CDC::Rectangle(LPCRECT r) { return ::Rectangle(m_hDC, r->left, r->top, r->right, r->bottom); }
BOOL CDC::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3) { return ::RoundRect(m_hDC, x1, y1, x2, y2, x3, y3); }
BOOL CDC::RoundRect(LPCRECT r, POINT point) { return ::RoundRect(m_hDC, r->left, r->top, r->right, r->bottom, point.x, point.y); }
BOOL CDC::Ellipse(int x1, int y1, int x2, int y2) { return ::Ellipse(m_hDC, x1, y1, x2, y2); }
BOOL CDC::Ellipse(LPCRECT r) { return ::Ellipse(m_hDC, r->left, r->top, r->right, r->bottom); }
BOOL CDC::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) { return ::Pie(m_hDC, x1, y1, x2, y2, x3, y3, x4, y4); }
BOOL CDC::Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) { return ::Chord(m_hDC, x1, y1, x2, y2, x3, y3, x4, y4); }
void CDC::FillRect(LPCRECT lpRect, CBrush* pBrush) { ::FillRect(m_hDC, lpRect, (HBRUSH)pBrush->GetSafeHandle()); }
void CDC::FrameRect(LPCRECT lpRect, CBrush* pBrush) { ::FrameRect(m_hDC, lpRect, (HBRUSH)pBrush->GetSafeHandle()); }
void CDC::InvertRect(LPCRECT lpRect) { ::InvertRect(m_hDC, lpRect); }
BOOL CDC::FillRgn(CRgn* pRgn, CBrush* pBrush) { return ::FillRgn(m_hDC, (HRGN)pRgn->GetSafeHandle(), (HBRUSH)pBrush->GetSafeHandle()); }
BOOL CDC::FrameRgn(CRgn* pRgn, CBrush* pBrush, int nWidth, int nHeight)
{
    return ::FrameRgn(m_hDC, (HRGN)pRgn->GetSafeHandle(), (HBRUSH)pBrush->GetSafeHandle(), nWidth, nHeight);
}
BOOL CDC::PaintRgn(CRgn* pRgn) { return ::PaintRgn(m_hDC, (HRGN)pRgn->GetSafeHandle()); }
BOOL CDC::InvertRgn(CRgn* pRgn) { return ::InvertRgn(m_hDC, (HRGN)pRgn->GetSafeHandle()); }

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF clr)
{
    COLORREF old = ::SetBkColor(m_hDC, clr);
    ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, lpRect, NULL, 0, NULL);
    ::SetBkColor(m_hDC, old);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF clr)
{
    RECT r = { x, y, x + cx, y + cy };
    FillSolidRect(&r, clr);
}

void CDC::Draw3dRect(LPCRECT lpRect, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
    Draw3dRect(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top, clrTopLeft, clrBottomRight);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
    FillSolidRect(x, y, cx - 1, 1, clrTopLeft);
    FillSolidRect(x, y, 1, cy - 1, clrTopLeft);
    FillSolidRect(x + cx, y, -1, cy, clrBottomRight);
    FillSolidRect(x, y + cy, cx, -1, clrBottomRight);
}

void CDC::DrawFocusRect(LPCRECT lpRect) { ::DrawFocusRect(m_hDC, lpRect); }
BOOL CDC::DrawEdge(LPRECT lpRect, UINT nEdge, UINT nFlags) { return ::DrawEdge(m_hDC, lpRect, nEdge, nFlags); }
BOOL CDC::DrawFrameControl(LPRECT lpRect, UINT nType, UINT nState) { return ::DrawFrameControl(m_hDC, lpRect, nType, nState); }
BOOL CDC::DrawIcon(int x, int y, HICON hIcon) { return ::DrawIcon(m_hDC, x, y, hIcon); }
BOOL CDC::DrawIcon(POINT point, HICON hIcon) { return ::DrawIcon(m_hDC, point.x, point.y, hIcon); }

BOOL CDC::PatBlt(int x, int y, int nWidth, int nHeight, DWORD dwRop) { return ::PatBlt(m_hDC, x, y, nWidth, nHeight, dwRop); }
BOOL CDC::BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop)
{
    return ::BitBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC->GetSafeHdc(), xSrc, ySrc, dwRop);
}
BOOL CDC::StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, int nSrcWidth, int nSrcHeight, DWORD dwRop)
{
    return ::StretchBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC->GetSafeHdc(), xSrc, ySrc, nSrcWidth, nSrcHeight, dwRop);
}
BOOL CDC::TransparentBlt(int xDest, int yDest, int nDestWidth, int nDestHeight, CDC* pSrcDC, int xSrc, int ySrc,
                         int nSrcWidth, int nSrcHeight, UINT clrTransparent)
{
    return ::GdiTransparentBlt(m_hDC, xDest, yDest, nDestWidth, nDestHeight, pSrcDC->GetSafeHdc(), xSrc, ySrc,
                               nSrcWidth, nSrcHeight, clrTransparent);
}
COLORREF CDC::GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
COLORREF CDC::GetPixel(POINT point) const { return ::GetPixel(m_hDC, point.x, point.y); }
COLORREF CDC::SetPixel(int x, int y, COLORREF crColor) { return ::SetPixel(m_hDC, x, y, crColor); }
COLORREF CDC::SetPixel(POINT point, COLORREF crColor) { return ::SetPixel(m_hDC, point.x, point.y, crColor); }
BOOL CDC::SetPixelV(int x, int y, COLORREF crColor) { return ::SetPixelV(m_hDC, x, y, crColor); }
BOOL CDC::FloodFill(int x, int y, COLORREF crColor) { return ::FloodFill(m_hDC, x, y, crColor); }
BOOL CDC::ExtFloodFill(int x, int y, COLORREF crColor, UINT nFillType) { return ::ExtFloodFill(m_hDC, x, y, crColor, nFillType); }

BOOL CDC::TextOut(int x, int y, LPCWSTR lpszString, int nCount) { return ::TextOutW(m_hDC, x, y, lpszString, nCount); }
BOOL CDC::TextOut(int x, int y, const CString& str) { return TextOut(x, y, (LPCWSTR)str, str.GetLength()); }
BOOL CDC::ExtTextOut(int x, int y, UINT nOptions, LPCRECT lpRect, LPCWSTR lpszString, UINT nCount, LPINT lpDxWidths)
{
    return ::ExtTextOutW(m_hDC, x, y, nOptions, lpRect, lpszString, nCount, lpDxWidths);
}
BOOL CDC::ExtTextOut(int x, int y, UINT nOptions, LPCRECT lpRect, const CString& str, LPINT lpDxWidths)
{
    return ExtTextOut(x, y, nOptions, lpRect, (LPCWSTR)str, str.GetLength(), lpDxWidths);
}
int CDC::DrawText(LPCWSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat) { return ::DrawTextW(m_hDC, lpszString, nCount, lpRect, nFormat); }
int CDC::DrawText(const CString& str, LPRECT lpRect, UINT nFormat) { return DrawText((LPCWSTR)str, str.GetLength(), lpRect, nFormat); }
CSize CDC::GetTextExtent(LPCWSTR lpszString, int nCount) const { SIZE s = {}; ::GetTextExtentPoint32W(m_hAttribDC, lpszString, nCount, &s); return s; }
CSize CDC::GetTextExtent(const CString& str) const { return GetTextExtent((LPCWSTR)str, str.GetLength()); }
CSize CDC::GetOutputTextExtent(const CString& str) const { SIZE s = {}; ::GetTextExtentPoint32W(m_hDC, str, str.GetLength(), &s); return s; }
BOOL CDC::GetTextMetrics(LPTEXTMETRICW lpMetrics) const { return ::GetTextMetricsW(m_hAttribDC, lpMetrics); }
UINT CDC::GetTextAlign() const { return ::GetTextAlign(m_hAttribDC); }
UINT CDC::SetTextAlign(UINT nFlags) { return ::SetTextAlign(m_hDC, nFlags); }
int CDC::GetTextFace(int nCount, LPWSTR lpszFacename) const { return ::GetTextFaceW(m_hAttribDC, nCount, lpszFacename); }
int CDC::GetTextFace(CString& rString) const
{
    int n = ::GetTextFaceW(m_hAttribDC, LF_FACESIZE, rString.GetBuffer(LF_FACESIZE));
    rString.ReleaseBuffer();
    return n;
}
int CDC::SetTextCharacterExtra(int nCharExtra) { return ::SetTextCharacterExtra(m_hDC, nCharExtra); }

int CDC::StartDoc(LPDOCINFOW lpDocInfo) { return ::StartDocW(m_hDC, lpDocInfo); }
int CDC::StartPage() { return ::StartPage(m_hDC); }
int CDC::EndPage() { return ::EndPage(m_hDC); }
int CDC::EndDoc() { return ::EndDoc(m_hDC); }
int CDC::AbortDoc() { return ::AbortDoc(m_hDC); }
int CDC::Escape(int nEscape, int nCount, LPCSTR lpszInData, LPVOID lpOutData) { return ::Escape(m_hDC, nEscape, nCount, lpszInData, lpOutData); }

CPaintDC::CPaintDC(CWnd* pWnd)
{
    m_hWnd = pWnd->GetSafeHwnd();
    if (!Attach(::BeginPaint(m_hWnd, &m_ps))) AfxThrowResourceException();
}

CPaintDC::~CPaintDC()
{
    ::EndPaint(m_hWnd, &m_ps);
    Detach();
}

CClientDC::CClientDC(CWnd* pWnd)
{
    m_hWnd = pWnd->GetSafeHwnd();
    if (!Attach(::GetDC(m_hWnd))) AfxThrowResourceException();
}

CClientDC::~CClientDC() { ::ReleaseDC(m_hWnd, Detach()); }

CWindowDC::CWindowDC(CWnd* pWnd)
{
    m_hWnd = pWnd->GetSafeHwnd();
    if (!Attach(::GetWindowDC(m_hWnd))) AfxThrowResourceException();
}

CWindowDC::~CWindowDC() { ::ReleaseDC(m_hWnd, Detach()); }
