#include "MarkerBar.h"

namespace {

CSize LoadSized(CBitmap& bmp, UINT nID)
{
    bmp.DeleteObject();
    BITMAP bm = {};
    if (LOWORD(nID) == 0 || !bmp.LoadBitmap(LOWORD(nID)) || !bmp.GetBitmap(&bm)) return CSize(0, 0);
    return CSize(bm.bmWidth, bm.bmHeight);
}

} // namespace

CMarkerBar::CMarkerBar(BOOL bMiddle, UINT nTrackID, UINT nLowID, UINT nHighID, UINT nMidID, UINT nNotify)
    : m_nTarget(TARGET_NONE), m_nBase(0), m_nSpan(5), m_nLow(0), m_nHigh(5), m_nMid(2), m_bMiddle(bMiddle),
      m_nTrackID(nTrackID), m_nLowID(nLowID), m_nHighID(nHighID), m_nMidID(nMidID), m_nNotify(nNotify)
{
}

CMarkerBar::~CMarkerBar()
{
    m_track.DestroyWindow();
    m_mid.DestroyWindow();
    m_high.DestroyWindow();
    m_low.DestroyWindow();
}

BEGIN_MESSAGE_MAP(CMarkerBar, CWnd)
    ON_WM_CREATE()
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
END_MESSAGE_MAP()

BOOL CMarkerBar::CreateBar(CWnd* pParent, const RECT& rect, UINT nID, UINT nTrackBmp, UINT nLowBmp, UINT nHighBmp,
                           UINT nMidBmp)
{
    if (LOWORD(nTrackBmp) == 0 && LOWORD(nLowBmp) == 0 && LOWORD(nHighBmp) == 0 && LOWORD(nMidBmp) == 0) return FALSE;
    // Clipping the statics out keeps a repaint of the bar from repainting every marker.
    if (!CWnd::Create(NULL, NULL, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, rect, pParent, nID)) return FALSE;
    CSize track = LoadSized(m_bmpTrack, nTrackBmp);
    CSize low = LoadSized(m_bmpLow, nLowBmp);
    CSize high = LoadSized(m_bmpHigh, nHighBmp);
    CSize mid = m_bMiddle ? LoadSized(m_bmpMid, nMidBmp) : CSize(0, 0);

    // The bitmap statics size themselves to their bitmaps.
    const DWORD style = WS_CHILD | WS_VISIBLE | SS_BITMAP;
    m_track.Create(L"", style, CRect(CPoint(low.cx / 2, 0), track), this, m_nTrackID);
    m_low.Create(L"", style, CRect(CPoint(0, track.cy), low), this, m_nLowID);
    m_high.Create(L"", style, CRect(CPoint(track.cx, track.cy), high), this, m_nHighID);
    if (m_bMiddle) m_mid.Create(L"", style, CRect(CPoint(track.cx / 2, track.cy), mid), this, m_nMidID);
    m_track.SetBitmap((HBITMAP)m_bmpTrack.GetSafeHandle());
    m_low.SetBitmap((HBITMAP)m_bmpLow.GetSafeHandle());
    m_high.SetBitmap((HBITMAP)m_bmpHigh.GetSafeHandle());
    if (m_bMiddle) m_mid.SetBitmap((HBITMAP)m_bmpMid.GetSafeHandle());
    return TRUE;
}

int CMarkerBar::OnCreate(LPCREATESTRUCT)
{
    if (Default() == -1) return -1;
    m_background.Load(this);
    return 0;
}

BOOL CMarkerBar::OnEraseBkgnd(CDC*) { return TRUE; }

void CMarkerBar::OnPaint()
{
    CPaintDC dc(this);
    CRect rect;
    GetClientRect(&rect);
    m_background.Paint(&dc, rect);
}

void CMarkerBar::SetRange(int nMin, int nMax)
{
    if (nMin < 0) nMin = 0;
    m_nSpan = nMin > nMax ? nMin : nMax;
    m_nLow = 0;
    m_nHigh = m_nSpan;
    m_nMid = m_nSpan / 2;
}

CRect CMarkerBar::TrackRect() const
{
    CRect rect(0, 0, 0, 0);
    if (m_track.m_hWnd == NULL) return rect;
    m_track.GetWindowRect(&rect);
    ScreenToClient(&rect);
    return rect;
}

BOOL CMarkerBar::PlaceMarker(CStatic& marker, int nValue)
{
    if (marker.m_hWnd == NULL) return FALSE;
    CRect track = TrackRect();
    CRect rect;
    marker.GetWindowRect(&rect);
    ScreenToClient(&rect);
    int w = rect.Width();
    int nLeft;
    // Placed by v x width / span, not by whole pixels per unit: a span wider than the
    // track would otherwise put every marker at the left.
    if (nValue == m_nSpan) nLeft = track.right - w / 2;
    else if (m_nSpan <= 0 || track.Width() <= 0) nLeft = track.left - w / 2;
    else nLeft = track.left + (int)((long long)nValue * track.Width() / m_nSpan) - w / 2;
    if (nLeft == rect.left) return FALSE;
    marker.MoveWindow(nLeft, rect.top, w, rect.Height(), TRUE);
    return TRUE;
}

void CMarkerBar::UpdateAfterMove(BOOL bMoved)
{
    // A value that lands on the same pixel changes nothing on screen; a drag sets the
    // markers on every mouse move, so that case is common.
    if (m_hWnd != NULL && bMoved) {
        Invalidate();
        UpdateWindow();
    }
}

void CMarkerBar::SetLowHigh(int nLow, int nHigh)
{
    if (nLow > nHigh) return;
    auto rel = [this](int v) {
        v -= m_nBase;
        return v < 0 ? 0 : (v > m_nSpan ? m_nSpan : v);
    };
    m_nLow = rel(nLow);
    m_nHigh = rel(nHigh);
    const BOOL bLowMoved = PlaceMarker(m_low, m_nLow);
    const BOOL bHighMoved = PlaceMarker(m_high, m_nHigh);
    UpdateAfterMove(bLowMoved || bHighMoved);
}

void CMarkerBar::SetMidValue(int nMid)
{
    nMid -= m_nBase;
    m_nMid = nMid < 0 ? 0 : (nMid > m_nSpan ? m_nSpan : nMid);
    UpdateAfterMove(PlaceMarker(m_mid, m_nMid));
}

void CMarkerBar::OnLButtonDown(UINT, CPoint point)
{
    SetCapture();
    if (m_nLow == m_nHigh && m_nLow == 0) {
        m_nTarget = TARGET_HIGH;
    } else if (m_nLow == m_nHigh && m_nLow == m_nSpan) {
        m_nTarget = TARGET_LOW;
    } else {
        auto hit = [this, point](CStatic& marker) {
            if (marker.m_hWnd == NULL) return false;
            CRect rect;
            marker.GetWindowRect(&rect);
            ScreenToClient(&rect);
            return rect.PtInRect(point) != FALSE;
        };
        if (hit(m_low)) m_nTarget = TARGET_LOW;
        else if (hit(m_high)) m_nTarget = TARGET_HIGH;
        else if (m_bMiddle && hit(m_mid)) m_nTarget = TARGET_MID;
        else m_nTarget = TARGET_NONE;
    }
}

void CMarkerBar::OnLButtonUp(UINT, CPoint)
{
    m_nTarget = TARGET_NONE;
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
}

void CMarkerBar::OnMouseMove(UINT, CPoint point)
{
    if (m_nTarget == TARGET_NONE) {
        Default();
        return;
    }
    CRect track = TrackRect();
    int w = track.Width();
    int x = point.x - track.left;
    x = x < 0 ? 0 : (x > w ? w : x);
    long long scaled = w > 0 ? (long long)m_nSpan * x : 0;
    switch (m_nTarget) {
    case TARGET_LOW:
        SetLowHigh(m_nBase + (w > 0 ? (int)(scaled / w) : 0), GetHigh());
        break;
    case TARGET_HIGH:
        SetLowHigh(GetLow(), m_nBase + (w > 0 ? (int)(scaled / w) : 0));
        break;
    case TARGET_MID:
        SetMidValue(m_nBase + (w > 0 ? (int)((double)scaled / w + 0.5) : 0));
        break;
    }
    HWND hParent = ::GetParent(m_hWnd);
    if (hParent != NULL) ::PostMessageW(hParent, m_nNotify, (WPARAM)GetDlgCtrlID(), 0);
}
