#include "app/image/MemDC.h"

CMemDC::CMemDC(CDC* target) : m_target(target), m_oldBitmap(NULL), m_offScreen(FALSE)
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
    m_bitmap.CreateCompatibleBitmap(target, device.Width(), device.Height());
    m_oldBitmap = SelectObject(&m_bitmap);
    SetMapMode(target->GetMapMode());
    // Drawing coordinates are the target's own.
    SetWindowOrg(m_rect.left, m_rect.top);
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
