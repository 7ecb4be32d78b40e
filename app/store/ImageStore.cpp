// Life cycle, accessors, zoom, placement, selection, ruler cross, mouse forwarding,
// panning, line approach and the measurement binding of the image store.
#include "app/store/ImageStore.h"
#include "afxprotect.h"
#include <algorithm>
#include "app/store/DyeTable.h"
#include "app/store/MeasureObject.h"
#include "camera/core/QrCCamera.h"
#include <math.h>
#include <new>
#include <shlobj.h>

namespace {

const WCHAR kRulerSection[] = L"RulerAttribute";
const int kBandHalf = 8;   // half the width of the ruler cross's bands
const float kMaxZoom = 16.0f;
const float kMinZoom = 0.0625f;

CImageStore* g_instance = NULL;

}  // namespace

// Creates an INI file as UTF-16 with its byte-order mark when it does not exist, so the
// profile functions keep Chinese text (a new file would be written in the ANSI code
// page). FALSE when the file is not there to write or is read-only: the profile
// functions would write a read-only file all the same. Shared with the picture notes.
BOOL EnsureUnicodeIni(LPCWSTR path)
{
    if (AfxIsProtectedFile(path)) return FALSE;
    HANDLE h = ::CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return ::GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
    static const BYTE bom[2] = {0xFF, 0xFE};
    DWORD written = 0;
    ::WriteFile(h, bom, 2, &written, NULL);
    ::CloseHandle(h);
    return written == 2;
}

CImageStore::CImageStore()
    : m_bitDepth(8), m_width(0), m_height(0), m_fileSize(0), m_rulerVisible(0), m_rulerDragging(0),
      m_rulerX(-1), m_rulerY(-1), m_pCurrent(NULL), m_pBase(NULL), m_pMeasure(NULL), m_toolId(10),
      m_selectedItem(0), m_scaleLine(0), m_keepItem(0), m_imageRect(0, 0, 0, 0), m_zoom(1.0f),
      m_dragStart(0, 0), m_dragScroll(0, 0), m_blackReq(0), m_whiteReq(255), m_black(0), m_white(255),
      m_suggestedBlack(0), m_suggestedWhite(255), m_brightnessReq(0), m_brightness(0), m_gammaReq(100),
      m_gamma(100), m_contrastReq(0), m_contrast(0), m_saturationReq(0), m_saturation(0),
      m_sharpenReq(0), m_sharpen(0), m_mergeMode(0), m_pOverlay(NULL), m_pMainView(NULL),
      m_pPaintedView(NULL), m_pHitView(NULL), m_stampColor(RGB(255, 0, 0)), m_showDate(0), m_showTime(0),
      m_trackOpenedFile(1), m_saved(1), m_gridVisible(0), m_gridSpacing(100), m_gridColor(RGB(0, 255, 0)),
      m_cursor(0, 0), m_cursorOffset(0, 0), m_lineApproach(0), m_measureTarget(1)
{
    memset(m_histogram, 0, sizeof m_histogram);
    m_tracker.m_nStyle = CRectTracker::dottedLine | CRectTracker::resizeOutside;
    m_tracker.m_rect.SetRectEmpty();
    m_background.CreateSolidBrush(0xBDBDBD);
    memset(&m_ruler, 0, sizeof m_ruler);
    m_ruler.transparentBK = 1;
    m_ruler.pen.lopnStyle = PS_SOLID;
    m_ruler.pen.lopnWidth.x = 1;
    m_ruler.pen.lopnColor = 0;
    m_ruler.brush.lbStyle = BS_HOLLOW;
    m_ruler.brush.lbColor = 0xFEFFFF;
    m_ruler.brush.lbHatch = 5;
    m_ruler.majorSpacing = 100;
    LoadRulerAttributes();
    FillDyeTable();
}

CImageStore::~CImageStore()
{
    delete m_pCurrent;
    delete m_pBase;
    if (m_pMeasure != NULL) {
        CQrMeasure::ReleaseSingleton();
        delete m_pMeasure;
    }
    ClearPrintItems();
    if (this == g_instance)
        SaveRulerAttributes();
}

CImageStore* CImageStore::Instance()
{
    // Lives as long as the process: the redraw thread and the panels may reach it until
    // the very end. The ruler attributes are written at once, whenever they are set and
    // by the main frame at the program's end.
    if (g_instance == NULL) {
        g_instance = new CImageStore;
        g_instance->SaveRulerAttributes();
    }
    return g_instance;
}

CImageStore* CImageStore::Create()
{
    return new (std::nothrow) CImageStore;
}

void CImageStore::Destroy(CImageStore* store)
{
    delete store;
}

void CImageStore::SwapInImages(CxImage* current, CxImage* base, CxImage** oldCurrent, CxImage** oldBase)
{
    CSingleLock lock(&m_lock, TRUE);
    *oldCurrent = m_pCurrent;
    *oldBase = m_pBase;
    m_pCurrent = current;
    m_pBase = base;
}

void CImageStore::ReleaseImages()
{
    CxImage *oldCurrent, *oldBase;
    SwapInImages(NULL, NULL, &oldCurrent, &oldBase);
    delete oldCurrent;
    delete oldBase;
}

BOOL CImageStore::HasImage() const
{
    return m_pCurrent != NULL;
}

void CImageStore::GetImageSize(int* width, int* height) const
{
    CSingleLock lock(const_cast<CCriticalSection*>(&m_lock), TRUE);
    if (m_pCurrent == NULL)
        return;
    if (width)
        *width = (int)m_pCurrent->GetWidth();
    if (height)
        *height = (int)m_pCurrent->GetHeight();
}

void CImageStore::SetFilePath(LPCWSTR path)
{
    if (path == NULL || *path == 0)
        return;
    m_path = path;
    const int slash = m_path.ReverseFind(L'\\');
    m_fileName = slash >= 0 ? m_path.Mid(slash + 1) : m_path;
}

void CImageStore::SetCursorPoint(const POINT* point)
{
    if (point != NULL)
        m_cursor = *point;
}

void CImageStore::SetBackgroundColor(int r, int g, int b)
{
    m_background.DeleteObject();
    m_background.CreateSolidBrush(RGB(r, g, b));
}

void CImageStore::SetLineApproach(int on)
{
    m_lineApproach = on;
    if (m_pMeasure != NULL)
        m_pMeasure->SetLineApch(on);
}

// Measurement binding -------------------------------------------------------------

void CImageStore::CreateMeasure(CWnd* view)
{
    if (m_pMeasure != NULL)
        return;
    m_pMeasure = new CMeasureObject(view);
    CQrMeasure::CreateCursor();
    m_pMainView = view;
    m_measureTarget = 1;
}

void CImageStore::SetMeasureTarget(int mode)
{
    if (m_pMeasure == NULL)
        return;
    CWnd* window = mode == 1 ? m_pMainView : m_pOverlay;
    if (window == NULL)
        return;
    m_pMeasure->SetMeasureWnd(window, mode);
    m_measureTarget = mode;
}

int CImageStore::GetMeasureTarget() const
{
    return m_pMeasure != NULL ? m_measureTarget : 1;
}

int CImageStore::MeasureMode() const
{
    return GetMeasureTarget();
}

void CImageStore::InvalidateMeasureTarget()
{
    CWnd* window = MeasureMode() == 1 ? m_pMainView : m_pOverlay;
    if (window != NULL && window->GetSafeHwnd() != NULL)
        window->InvalidateRect(NULL, FALSE);
}

void CImageStore::ClearMeasurements()
{
    if (m_pMeasure == NULL)
        return;
    m_pMeasure->DeleteAllUnit();
    m_pMeasure->ClearAllCompteurs();
}

float CImageStore::GetPerPixelLength() const
{
    if (m_pCurrent == NULL || m_pMeasure == NULL)
        return 0.0f;
    return CQrMeasure::GetperPixelLength();
}

LPCWSTR CImageStore::GetUnitName() const
{
    if (m_pCurrent == NULL || m_pMeasure == NULL)
        return NULL;
    return CQrMeasure::GetFathomType();
}

void CImageStore::SetLineBackgroundCallback(LineBKCallback callback)
{
    if (m_pMeasure != NULL)
        m_pMeasure->SetLineBK(callback);
}

BOOL CImageStore::ApproachLine(POINT p1, POINT p2, POINT& out1, POINT& out2)
{
    if (!m_lineApproach)
        return FALSE;
    int width = 0, height = 0;
    if (m_fileName.CompareNoCase(L"_Dynmeasure_.jpg") == 0) {
        if (!QrCCameraLineApproach(p1.x, p1.y, p2.x, p2.y, &out1, &out2))
            return FALSE;
        GetImageSize(&width, &height);
    } else {
        // The redraw thread may be rebuilding the picture: convert and search under
        // the lock.
        CSingleLock lock(&m_lock, TRUE);
        if (m_pCurrent == NULL || !m_pCurrent->IncreaseBpp(24))
            return FALSE;
        width = (int)m_pCurrent->GetWidth();
        height = (int)m_pCurrent->GetHeight();
        if (!QrCCameraLineApproachEx(m_pCurrent->GetBits(), width, height, p1.x, p1.y, p2.x, p2.y,
                                     &out1, &out2))
            return FALSE;
    }
    return out1.x >= 0 && out1.x <= width && out1.y >= 0 && out1.y <= height && out2.x >= 0 &&
           out2.x <= width && out2.y >= 0 && out2.y <= height;
}

CString CImageStore::RulerAttributesFile()
{
    WCHAR folder[MAX_PATH];
    if (!::SHGetSpecialFolderPathW(NULL, folder, CSIDL_APPDATA, FALSE))
        return CString();
    CString title;
    if (!title.LoadString(57344))
        title = L"Orvisnap";
    CString path;
    path.Format(L"%s\\%s\\MeasureAttribute.ini", folder, (LPCWSTR)title);
    return path;
}

void CImageStore::LoadRulerAttributes()
{
    const CString path = RulerAttributesFile();
    if (path.IsEmpty())
        return;
    m_ruler.transparentBK = ::GetPrivateProfileIntW(kRulerSection, L"TransparentBK", 1, path);
    m_ruler.pen.lopnColor = ::GetPrivateProfileIntW(kRulerSection, L"ColorRuler", 0, path);
    m_ruler.brush.lbColor = ::GetPrivateProfileIntW(kRulerSection, L"ColorBK", 0xFEFFFF, path);
}

void CImageStore::SetRulerAttributes(const RulerAttributes& attributes)
{
    m_ruler = attributes;
    if (this == g_instance)
        SaveRulerAttributes();
}

void CImageStore::SaveRulerAttributes() const
{
    const CString path = RulerAttributesFile();
    if (path.IsEmpty())
        return;
    // A new user's program folder may not be there yet (the store writes before the
    // main frame makes it).
    const CString folder = path.Left(path.ReverseFind(L'\\'));
    if (::GetFileAttributesW(folder) == INVALID_FILE_ATTRIBUTES &&
        ::SHCreateDirectoryExW(NULL, folder, NULL) != ERROR_SUCCESS)
        return;
    if (!EnsureUnicodeIni(path)) return;
    CString value;
    value.Format(L"%d", (int)m_ruler.transparentBK);
    ::WritePrivateProfileStringW(kRulerSection, L"TransparentBK", value, path);
    value.Format(L"%ld", (long)m_ruler.pen.lopnColor);
    ::WritePrivateProfileStringW(kRulerSection, L"ColorRuler", value, path);
    value.Format(L"%ld", (long)m_ruler.brush.lbColor);
    ::WritePrivateProfileStringW(kRulerSection, L"ColorBK", value, path);
}

// Zoom --------------------------------------------------------------------------

void CImageStore::ZoomIn()
{
    if (m_zoom < kMaxZoom) {
        if (m_zoom == 0.5f)
            m_zoom = 0.75f;
        else if (m_zoom == 0.75f)
            m_zoom = 1.0f;
        else if (m_zoom == 1.0f)
            m_zoom = 1.5f;
        else if (m_zoom == 1.5f)
            m_zoom = 2.0f;
        else
            m_zoom *= 2.0f;
    }
    UpdateRulerScale();
}

void CImageStore::ZoomOut()
{
    if (m_zoom > kMinZoom) {
        if (m_zoom == 2.0f)
            m_zoom = 1.5f;
        else if (m_zoom == 1.5f)
            m_zoom = 1.0f;
        else if (m_zoom == 1.0f)
            m_zoom = 0.75f;
        else if (m_zoom == 0.75f)
            m_zoom = 0.5f;
        else
            m_zoom *= 0.5f;
    }
    UpdateRulerScale();
}

void CImageStore::ResetZoom()
{
    m_zoom = 1.0f;
    UpdateRulerScale();
}

void CImageStore::FitToRect(const RECT* rect)
{
    int w = 0, h = 0;
    GetImageSize(&w, &h);
    // An empty rectangle would give zoom 0 (and divisions by it): the zoom stays.
    if (rect != NULL && m_pCurrent != NULL && w > 0 && h > 0 && rect->right > rect->left &&
        rect->bottom > rect->top) {
        const float zx = (float)(rect->right - rect->left) / (float)w;
        const float zy = (float)(rect->bottom - rect->top) / (float)h;
        m_zoom = zx < zy ? zx : zy;
    }
    UpdateRulerScale();
}

void CImageStore::SetZoom(float zoom)
{
    if (m_pCurrent != NULL && zoom > 0.0f)
        m_zoom = zoom;
    UpdateRulerScale();
}

// Placement, selection ----------------------------------------------------------

CPoint CImageStore::ScrollPosition(CWnd* view) const
{
    if (view == NULL || view->GetSafeHwnd() == NULL)
        return CPoint(0, 0);
    return CPoint(view->GetScrollPos(SB_HORZ), view->GetScrollPos(SB_VERT));
}

CRect CImageStore::ComputeImageRect(const CRect& client) const
{
    int w = 0, h = 0;
    GetImageSize(&w, &h);
    const double z = m_zoom;
    const int left = (int)(client.Width() - w * z > 0 ? (client.Width() - w * z) * 0.5 : 0);
    const int top = (int)(client.Height() - h * z > 0 ? (client.Height() - h * z) * 0.5 : 0);
    return CRect(left, top, left + (int)(w * z), top + (int)(h * z));
}

BOOL CImageStore::MapViewToImage(CWnd* view, int& x, int& y) const
{
    if (m_pCurrent == NULL || view == NULL || m_zoom <= 0.0f)
        return FALSE;
    CRect client;
    view->GetClientRect(&client);
    const CRect r = ComputeImageRect(client);
    const CPoint scroll = ScrollPosition(view);
    x = (int)((x - r.left + scroll.x) / m_zoom);
    y = (int)((y - r.top + scroll.y) / m_zoom);
    return TRUE;
}

void CImageStore::TrackSelection(CWnd* view, int x, int y)
{
    if (m_pCurrent == NULL || view == NULL)
        return;
    const CPoint point(x, y);
    if (m_tracker.HitTest(point) < 0) {
        CRectTracker band;
        band.m_nStyle = m_tracker.m_nStyle;
        if (band.TrackRubberBand(view, point, TRUE)) {
            band.m_rect.NormalizeRect();
            m_tracker.m_rect = band.m_rect;
            SetSelectionFromTracker(view, m_tracker.m_rect);
        } else {
            m_tracker.m_rect.SetRectEmpty();
        }
    } else if (m_tracker.Track(view, point, TRUE)) {
        m_tracker.m_rect.NormalizeRect();
        SetSelectionFromTracker(view, m_tracker.m_rect);
    } else {
        m_tracker.m_rect.SetRectEmpty();
    }
}

void CImageStore::SetSelectionFromTracker(CWnd* view, const CRect& rect)
{
    int left = rect.left, top = rect.top, right = rect.right, bottom = rect.bottom;
    if (!MapViewToImage(view, left, top) || !MapViewToImage(view, right, bottom))
        return;
    CSingleLock lock(&m_lock, TRUE);
    if (m_pCurrent == NULL)
        return;
    // Corners outside the picture are pulled to its edges.
    const int w = (int)m_pCurrent->GetWidth(), h = (int)m_pCurrent->GetHeight();
    left = std::max(0, std::min(left, w));
    right = std::max(0, std::min(right, w));
    top = std::max(0, std::min(top, h));
    bottom = std::max(0, std::min(bottom, h));
    m_pCurrent->SelectionClear();
    RECT r = {left, h - top - 1, right, h - bottom - 1};
    m_pCurrent->SelectionAddRect(r, 255);
}

void CImageStore::ClearSelection()
{
    {
        CSingleLock lock(&m_lock, TRUE);
        if (m_pCurrent != NULL)
            m_pCurrent->SelectionClear();
    }
    m_tracker.m_rect.SetRectEmpty();
}

// Ruler cross -----------------------------------------------------------------------

CPoint CImageStore::GetRulerCentre() const
{
    if (m_rulerX >= 0 && m_rulerY >= 0)
        return CPoint((int)(m_rulerX * m_zoom + m_imageRect.left), (int)(m_rulerY * m_zoom + m_imageRect.top));
    return CPoint(m_imageRect.left + (m_imageRect.right - m_imageRect.left) / 2,
                  m_imageRect.top + (m_imageRect.bottom - m_imageRect.top) / 2);
}

BOOL CImageStore::HitRulerBands(int x, int y) const
{
    const CPoint c = GetRulerCentre();
    const CRect horizontal(m_imageRect.left, c.y - kBandHalf, m_imageRect.right, c.y + kBandHalf);
    const CRect vertical(c.x - kBandHalf, m_imageRect.top, c.x + kBandHalf, m_imageRect.bottom);
    return horizontal.PtInRect(CPoint(x, y)) || vertical.PtInRect(CPoint(x, y));
}

BOOL CImageStore::HitTestRuler(int x, int y)
{
    if (!m_rulerVisible || m_pCurrent == NULL)
        return FALSE;
    // The image rectangle is in drawing coordinates: move the client point there.
    const CPoint s = ScrollPosition(m_pPaintedView);
    if (!HitRulerBands(x + s.x, y + s.y))
        return FALSE;
    m_rulerDragging = 1;
    return TRUE;
}

BOOL CImageStore::DragRuler(int x, int y)
{
    if (m_pCurrent == NULL || !m_rulerDragging)
        return FALSE;
    const CPoint s = ScrollPosition(m_pPaintedView);
    x = std::max((int)m_imageRect.left, std::min(x + s.x, (int)m_imageRect.right));
    y = std::max((int)m_imageRect.top, std::min(y + s.y, (int)m_imageRect.bottom));
    SetRulerPosition(x, y);
    return TRUE;
}

void CImageStore::SetRulerPosition(int x, int y)
{
    if (m_zoom <= 0.0f)
        return;
    m_rulerX = (int)((x - m_imageRect.left) / m_zoom);
    m_rulerY = (int)((y - m_imageRect.top) / m_zoom);
}

BOOL CImageStore::EndRulerDrag()
{
    if (!m_rulerDragging)
        return FALSE;
    m_rulerDragging = 0;
    return TRUE;
}

BOOL CImageStore::HitTestRulerDblClk(CWnd* view, int x, int y, int ox, int oy)
{
    if (!m_rulerVisible)
        return FALSE;
    const CPoint s = MeasureMode() == 1 ? ScrollPosition(view) : CPoint(ox, oy);
    return HitRulerBands(x + s.x, y + s.y);
}

// Mouse forwarding --------------------------------------------------------------------

BOOL CImageStore::InImageRect(int x, int y) const
{
    return m_imageRect.PtInRect(CPoint(x, y));
}

void CImageStore::ForwardPoint(CWnd* view, int x, int y, int ox, int oy, CPoint& out) const
{
    const CPoint s = MeasureMode() == 1 ? ScrollPosition(view) : CPoint(ox, oy);
    out = CPoint(x + s.x, y + s.y);
}

void CImageStore::OnMeasureLButtonDown(CWnd* view, int x, int y, int ox, int oy)
{
    CPoint p;
    ForwardPoint(view, x, y, ox, oy, p);
    if (m_pCurrent != NULL && view != NULL && m_pMeasure != NULL && InImageRect(p.x, p.y))
        m_pMeasure->OnLButtonDown(CPoint(p.x - m_imageRect.left, p.y - m_imageRect.top));
}

void CImageStore::OnMeasureLButtonUp(CWnd* view, int x, int y, int ox, int oy)
{
    CPoint p;
    ForwardPoint(view, x, y, ox, oy, p);
    if (m_pCurrent != NULL && view != NULL && m_pMeasure != NULL && InImageRect(p.x, p.y))
        m_pMeasure->OnLButtonUp(CPoint(p.x - m_imageRect.left, p.y - m_imageRect.top));
}

void CImageStore::OnMeasureLButtonDblClk(CWnd* view, int x, int y, int ox, int oy)
{
    CPoint p;
    ForwardPoint(view, x, y, ox, oy, p);
    if (m_pCurrent != NULL && view != NULL && m_pMeasure != NULL && InImageRect(p.x, p.y))
        m_pMeasure->OnLButtonDblClk(CPoint(p.x - m_imageRect.left, p.y - m_imageRect.top));
}

int CImageStore::OnMeasureMouseMove(CWnd* view, int x, int y, int ox, int oy)
{
    CPoint p;
    ForwardPoint(view, x, y, ox, oy, p);
    if (m_pCurrent != NULL && view != NULL && m_pMeasure != NULL && InImageRect(p.x, p.y))
        return m_pMeasure->OnMouseMove(CPoint(p.x - m_imageRect.left, p.y - m_imageRect.top));
    return 0;
}

// Panning ------------------------------------------------------------------------

void CImageStore::BeginDrag(CWnd* view, int x, int y)
{
    if (m_pCurrent == NULL || view == NULL)
        return;
    m_dragStart = CPoint(x, y);
    m_dragScroll = ScrollPosition(view);
}

void CImageStore::PanView(CWnd* view, int x, int y)
{
    int ix = x, iy = y;
    if (!MapViewToImage(view, ix, iy))
        return;
    int w = 0, h = 0;
    GetImageSize(&w, &h);
    if (ix < 0 || iy < 0 || ix >= w || iy >= h)
        return;
    ::SetCursor(::LoadCursorW(NULL, IDC_SIZEALL));
    CRect client;
    view->GetClientRect(&client);
    SCROLLINFO si = {sizeof si, SIF_RANGE};
    int pos = 0;
    if (view->GetScrollInfo(SB_HORZ, &si, SIF_RANGE) && si.nMax - si.nMin + 1 > client.Width())
        pos = m_dragScroll.x + m_dragStart.x - x;
    view->SetScrollPos(SB_HORZ, pos, TRUE);
    pos = 0;
    si.fMask = SIF_RANGE;
    if (view->GetScrollInfo(SB_VERT, &si, SIF_RANGE) && si.nMax - si.nMin + 1 > client.Height())
        pos = m_dragScroll.y + m_dragStart.y - y;
    view->SetScrollPos(SB_VERT, pos, TRUE);
}

// The dye table ----------------------------------------------------------------------

void CImageStore::GetDyeTable(DyeTableMap& out) const
{
    if (&out != &DyeTable)
        out = DyeTable;
}

void CImageStore::GetDyeNames(std::vector<CString>& out) const
{
    if (&out != &DyeNameList)
        out = DyeNameList;
}
