#include "app/capture/PreviewRegion.h"

#include <algorithm>

#include "app/capture/PreviewWnd.h"
#include "app/controls/ScreenRegionDialog.h"

CRect PreviewRegionBounds(CPreviewWnd* preview)
{
    CRect bounds(0, 0, 0, 0);
    if (preview == NULL || preview->GetSafeHwnd() == NULL)
        return bounds;
    CStatic* video = preview->GetVideoStatic();
    if (video == NULL || video->GetSafeHwnd() == NULL)
        return bounds;
    CRect picture, shown;
    video->GetWindowRect(&picture);
    preview->GetWindowRect(&shown);
    bounds.left = std::max(picture.left, shown.left);
    bounds.top = std::max(picture.top, shown.top);
    bounds.right = bounds.left + std::min(picture.right - bounds.left, shown.Width());
    bounds.bottom = bounds.top + std::min(picture.bottom - bounds.top, shown.Height());
    int horizontal = 0, vertical = 0;
    preview->GetScrollFlags(&horizontal, &vertical);
    if (vertical)
        bounds.right = std::min<LONG>(bounds.right, shown.right - ::GetSystemMetrics(SM_CXVSCROLL));
    if (horizontal)
        bounds.bottom = std::min<LONG>(bounds.bottom, shown.bottom - ::GetSystemMetrics(SM_CYHSCROLL));
    if (bounds.right <= bounds.left || bounds.bottom <= bounds.top)
        bounds.SetRectEmpty();
    return bounds;
}

BOOL PickPreviewRegion(CPreviewWnd* preview, CRect* clientRect)
{
    const CRect bounds = PreviewRegionBounds(preview);
    if (bounds.IsRectEmpty())
        return FALSE;
    CScreenRegionDialog dialog(NULL);
    dialog.SetBoundsRect(&bounds);
    if (dialog.DoModal() != IDOK)
        return FALSE;
    CRect chosen;
    if (!dialog.GetSelectedRect(&chosen))
        return FALSE;
    preview->GetVideoStatic()->ScreenToClient(&chosen);
    *clientRect = chosen;
    return TRUE;
}
