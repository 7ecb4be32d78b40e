// Geometric edits and the crop: under the lock, and on the adjustment base too, so the
// next adjustment pass keeps them (the base is edited itself, not replaced by the
// adjusted picture, so adjustments are not applied twice).
#include "app/store/ImageStore.h"
#include <algorithm>

namespace {

const int kMinCropWidth = 4;

}  // namespace

#define STORE_EDIT(Name, Call)                              \
    BOOL CImageStore::Name()                                \
    {                                                       \
        if (m_pCurrent == NULL)                             \
            return FALSE;                                   \
        CSingleLock lock(&m_lock, TRUE);                    \
        if (m_pCurrent == NULL || m_pBase == NULL)          \
            return FALSE;                                   \
        const BOOL ok = m_pCurrent->Call();                 \
        if (ok && !m_pBase->Call())                         \
            m_pBase->Copy(*m_pCurrent);                     \
        return ok;                                          \
    }

STORE_EDIT(Flip, Flip)
STORE_EDIT(Mirror, Mirror)
STORE_EDIT(RotateLeft, RotateLeft)
STORE_EDIT(RotateRight, RotateRight)

#undef STORE_EDIT

void CImageStore::CropToSelection()
{
    if (m_pCurrent == NULL || !m_pCurrent->SelectionIsValid())
        return;
    CSingleLock lock(&m_lock, TRUE);
    if (m_pCurrent == NULL || m_pBase == NULL || !m_pCurrent->SelectionIsValid())
        return;
    const int h = (int)m_pCurrent->GetHeight(), w = (int)m_pCurrent->GetWidth();
    RECT box;
    m_pCurrent->SelectionGetBox(box);
    int top = h - box.top - 1, bottom = h - box.bottom - 1;
    int left = std::max(0, (int)box.left), right = std::min(w, (int)box.right);
    top = std::max(0, std::min(top, h));
    bottom = std::max(0, std::min(bottom, h));
    const int width = right - left;
    // Too narrow to keep a multiple of 4 pixels: nothing to crop to.
    if (width < kMinCropWidth || bottom <= top)
        return;
    right = left + width - width % 4;
    if (!m_pCurrent->Crop(left, top, right, bottom))
        return;
    // The base follows, or the next slider move would bring the whole picture back.
    if (!m_pBase->Crop(left, top, right, bottom))
        m_pBase->Copy(*m_pCurrent);
    m_tracker.m_rect.SetRectEmpty();
}
