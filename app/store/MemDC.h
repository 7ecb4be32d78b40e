// An off-screen drawing context over a target: everything drawn into it lands in a
// bitmap the size of the target's clip box, copied to the target in one step when it
// goes, so a repaint never flickers. On a printer it draws straight onto the target.
#pragma once
#include "afxwin.h"

class CMemDC : public CDC
{
public:
    // keep: a bitmap the caller holds between paints, reused while it is compatible with
    // the target and large enough (a fresh bitmap costs more than the paint itself).
    // fill: FALSE when the caller paints every pixel of the clip box itself.
    explicit CMemDC(CDC* target, CBitmap* keep = NULL, BOOL fill = TRUE);
    virtual ~CMemDC();
    const CRect& GetRect() const { return m_rect; }

private:
    CDC* m_target;
    CRect m_rect;
    CBitmap m_bitmap;
    CBitmap* m_surface;
    CBitmap* m_oldBitmap;
    BOOL m_offScreen;
};
