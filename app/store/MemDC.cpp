#include "app/store/MemDC.h"

namespace {

int SurfaceDepth(HDC dc)
{
    if (::GetObjectType(dc) == OBJ_MEMDC) {
        BITMAP bm;
        if (::GetObjectW(::GetCurrentObject(dc, OBJ_BITMAP), sizeof bm, &bm))
            return bm.bmBitsPixel * bm.bmPlanes;
    }
    return ::GetDeviceCaps(dc, BITSPIXEL) * ::GetDeviceCaps(dc, PLANES);
}

bool Fits(CBitmap* bitmap, int depth, int width, int height)
{
    BITMAP bm;
    return bitmap->GetSafeHandle() != NULL && bitmap->GetBitmap(&bm) &&
           bm.bmBitsPixel * bm.bmPlanes == depth && bm.bmWidth >= width && bm.bmHeight >= height;
}

}  // namespace

CMemDC::CMemDC(CDC* target, CBitmap* keep, BOOL fill)
    : m_target(target), m_surface(NULL), m_oldBitmap(NULL), m_offScreen(FALSE)
{
    m_rect.SetRectEmpty();
    if (target == NULL)
        return;
    m_bPrinting = target->IsPrinting();
    target->GetClipBox(&m_rect);
    if (m_bPrinting || m_rect.IsRectEmpty()) {
        // Straight onto the target.
        Attach(target->GetSafeHdc());
        return;
    }
    CreateCompatibleDC(target);
    CRect device = m_rect;
    target->LPtoDP(&device);
    device.NormalizeRect();
    m_surface = keep != NULL ? keep : &m_bitmap;
    if (!Fits(m_surface, SurfaceDepth(target->GetSafeHdc()), device.Width(), device.Height())) {
        m_surface->DeleteObject();
        m_surface->CreateCompatibleBitmap(target, device.Width(), device.Height());
    }
    m_oldBitmap = SelectObject(m_surface);
    SetMapMode(target->GetMapMode());
    // Drawing coordinates are the target's own.
    SetWindowOrg(m_rect.left, m_rect.top);
    if (fill)
        FillSolidRect(&m_rect, target->GetBkColor());
    m_offScreen = TRUE;
}

CMemDC::~CMemDC()
{
    if (m_target == NULL)
        return;
    if (m_offScreen) {
        m_target->BitBlt(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), this, m_rect.left,
                         m_rect.top, SRCCOPY);
        SelectObject(m_oldBitmap);
        DeleteDC();
    } else {
        Detach();
    }
}
