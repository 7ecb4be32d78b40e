#include "app/image/ImageStore.h"
#include "app/fluorescence/DyeTable.h"
#include <new>

CImageStore::CImageStore()
    : m_hImage(NULL), m_width(0), m_height(0), m_zoom(1.0f), m_mergeMode(0), m_trackOpenedFile(1), m_saved(1),
      m_pMeasure(NULL), m_pOverlay(NULL), m_pView(NULL), m_measureTarget(1), m_background(RGB(189, 189, 189))
{
    FillDyeTable();
}

CImageStore::~CImageStore()
{
    if (m_hImage != NULL) ::DeleteObject(m_hImage);
}

CImageStore* CImageStore::Instance()
{
    static CImageStore* s_store = new CImageStore;
    return s_store;
}

CImageStore* CImageStore::Create() { return new (std::nothrow) CImageStore; }
void CImageStore::Destroy(CImageStore* store) { delete store; }

int CImageStore::OpenFile(LPCWSTR path, int)
{
    ReleaseImages();
    if (path == NULL) return 0;
    CString p(path);
    int dot = p.ReverseFind('.');
    CString ext = dot >= 0 ? p.Mid(dot + 1) : CString();
    ext.MakeLower();
    if (ext != L"bmp") return 0;
    HBITMAP h = (HBITMAP)::LoadImageW(NULL, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    if (h == NULL) return 0;
    BITMAP bm = {};
    ::GetObjectW(h, sizeof(bm), &bm);
    CSingleLock lock(&m_lock, TRUE);
    m_hImage = h;
    m_width = bm.bmWidth;
    m_height = bm.bmHeight;
    m_zoom = 1.0f;
    SetFilePath(path);
    return 1;
}

void CImageStore::ReleaseImages()
{
    CSingleLock lock(&m_lock, TRUE);
    if (m_hImage != NULL) ::DeleteObject(m_hImage);
    m_hImage = NULL;
}

BOOL CImageStore::HasImage() const { return m_hImage != NULL; }

void CImageStore::GetImageSize(int* width, int* height) const
{
    if (m_hImage == NULL) return;
    if (width) *width = m_width;
    if (height) *height = m_height;
}

void CImageStore::SetFilePath(LPCWSTR path)
{
    if (path == NULL || *path == 0) return;
    m_path = path;
    int slash = m_path.ReverseFind('\\');
    m_fileName = slash >= 0 ? m_path.Mid(slash + 1) : m_path;
}

void CImageStore::SetZoom(float zoom)
{
    if (m_hImage != NULL) m_zoom = zoom;
}

void CImageStore::ResetZoom() { m_zoom = 1.0f; }

void CImageStore::FitToRect(const RECT* rect)
{
    if (m_hImage == NULL || rect == NULL || m_width <= 0 || m_height <= 0) return;
    float zx = (float)(rect->right - rect->left) / m_width;
    float zy = (float)(rect->bottom - rect->top) / m_height;
    float z = zx < zy ? zx : zy;
    if (z > 0) m_zoom = z;
}

void CImageStore::DrawCentered(CWnd*, CDC* dc, RECT rect)
{
    CSingleLock lock(&m_lock, TRUE);
    if (m_hImage == NULL) return;
    int w = (int)(m_width * m_zoom), h = (int)(m_height * m_zoom);
    int x = ((rect.right - rect.left) - w) / 2, y = ((rect.bottom - rect.top) - h) / 2;
    if (x < 0) x = 0;
    if (y < 0) y = 0;
    HDC mem = ::CreateCompatibleDC(dc->m_hDC);
    HGDIOBJ old = ::SelectObject(mem, m_hImage);
    ::SetStretchBltMode(dc->m_hDC, COLORONCOLOR);
    ::StretchBlt(dc->m_hDC, x, y, w, h, mem, 0, 0, m_width, m_height, SRCCOPY);
    ::SelectObject(mem, old);
    ::DeleteDC(mem);
}

void CImageStore::DrawToView(CWnd* view, CDC* dc)
{
    CRect client;
    view->GetClientRect(&client);
    POINT org = {};
    ::GetViewportOrgEx(dc->m_hDC, &org);
    CRect area(-org.x, -org.y, -org.x + client.Width(), -org.y + client.Height());
    int w = (int)(m_width * m_zoom), h = (int)(m_height * m_zoom);
    if (m_hImage == NULL) w = h = 0;
    int x = client.Width() > w ? (client.Width() - w) / 2 : 0;
    int y = client.Height() > h ? (client.Height() - h) / 2 : 0;
    // Background around the picture, then the picture.
    HBRUSH br = ::CreateSolidBrush(m_background);
    HRGN rgn = ::CreateRectRgnIndirect(&area);
    HRGN pic = ::CreateRectRgn(x, y, x + w, y + h);
    ::CombineRgn(rgn, rgn, pic, RGN_DIFF);
    ::OffsetRgn(rgn, org.x, org.y);
    ::FillRgn(dc->m_hDC, rgn, br);
    ::DeleteObject(pic);
    ::DeleteObject(rgn);
    ::DeleteObject(br);
    if (m_hImage != NULL) DrawCentered(view, dc, CRect(0, 0, client.Width() > w ? client.Width() : w,
                                                        client.Height() > h ? client.Height() : h));
}

void CImageStore::SetBackgroundColor(int r, int g, int b) { m_background = RGB(r, g, b); }
void CImageStore::DrawLiveOverlay(CWnd*, CDC*, int, int) {}

void CImageStore::SetCursorPoint(const POINT* point)
{
    if (point != NULL) m_cursor = *point;
}

void CImageStore::CreateMeasure(CWnd* view) { m_pView = view; }

void CImageStore::SetMeasureTarget(int mode)
{
    if (m_pMeasure == NULL) return;
    m_measureTarget = mode == 1 ? 1 : 0;
}

void CImageStore::InvalidateMeasureTarget()
{
    CWnd* target = m_measureTarget == 1 ? m_pView : m_pOverlay;
    if (target != NULL && target->m_hWnd != NULL) target->Invalidate(FALSE);
}

void CImageStore::ClearMeasurements() {}

void CImageStore::TrackSelection(CWnd*, int, int) {}
BOOL CImageStore::HitTestRuler(int, int) { return FALSE; }
BOOL CImageStore::DragRuler(int, int) { return FALSE; }
BOOL CImageStore::EndRulerDrag() { return FALSE; }
BOOL CImageStore::HitTestRulerDblClk(CWnd*, int, int, int, int) { return FALSE; }
void CImageStore::OnMeasureLButtonDown(CWnd*, int, int, int, int) {}
void CImageStore::OnMeasureLButtonUp(CWnd*, int, int, int, int) {}
void CImageStore::OnMeasureLButtonDblClk(CWnd*, int, int, int, int) {}
int CImageStore::OnMeasureMouseMove(CWnd*, int, int, int, int) { return 0; }
void CImageStore::BeginDrag(CWnd*, int, int) {}
void CImageStore::PanView(CWnd*, int, int) {}
void CImageStore::CropToSelection() {}
