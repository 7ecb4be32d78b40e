#include "app/browse/ThumbnailListCtrl.h"
#include "app/browse/RecycleBin.h"
#include "app/browse/ThumbnailRender.h"
#include <algorithm>

namespace {

// Thumbnails per row: one every 140 pixels of width.
const int kColumnPitch = 140;
// AddFile waits for a file still being written: 11 tries, 300 ms apart.
const int kAddAttempts = 11;
const DWORD kAddRetryMs = 300;
// One handover message applies at most this much work, so the GUI keeps answering.
// Handovers applied per take of m_lock: each take may wait for a thread that a busy
// machine has not scheduled.
const size_t kHandoversPerLock = 16;
const DWORD kHandoverSliceMs = 15;
// Threads rendering thumbnails at most, the loader's own included.
const int kMaxRenderThreads = 8;

// Readable as a C runtime's "r" would open it.
BOOL CanOpenForReading(LPCWSTR path)
{
    HANDLE file = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return FALSE;
    ::CloseHandle(file);
    return TRUE;
}

// The loader drops files that are gone; a file another program holds stays listed.
BOOL IsGone(LPCWSTR path)
{
    if (CanOpenForReading(path)) return FALSE;
    const DWORD error = ::GetLastError();
    return error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION;
}

CString NameOf(const CString& path)
{
    const int slash = path.ReverseFind(L'\\');
    return slash >= 0 ? path.Mid(slash + 1) : path;
}

}  // namespace

IMPLEMENT_DYNAMIC(CThumbnailListCtrl, CListCtrl)

BEGIN_MESSAGE_MAP(CThumbnailListCtrl, CListCtrl)
    ON_NOTIFY_REFLECT(LVN_GETDISPINFOW, OnGetDispInfo)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CThumbnailListCtrl::CThumbnailListCtrl()
    : m_firstIndex(0), m_columns(6), m_currentIndex(0), m_currentRow(0), m_loadPending(1), m_needsRefill(0),
      m_loading(0), m_pImageList(NULL), m_bExpanded(FALSE), m_bTracking(FALSE), m_hNotify(NULL),
      m_generation(0), m_stop(0), m_hLoader(NULL), m_frontSeq(0), m_backSeq(0), m_slotCount(0),
      m_drainPosted(0)
{
}

CThumbnailListCtrl::~CThumbnailListCtrl()
{
    StopLoader();
    m_handovers.clear();
    delete m_pImageList;
}

std::u16string CThumbnailListCtrl::Key(const CString& path)
{
    return std::u16string((const char16_t*)(LPCWSTR)path, (size_t)path.GetLength());
}

std::u16string CThumbnailListCtrl::LowerKey(const CString& path)
{
    CString lower = path;
    lower.MakeLower();
    return Key(lower);
}

void CThumbnailListCtrl::AppendLocked(const CString& path)
{
    const long long seq = ++m_backSeq;
    m_paths.push_back(Entry{path, seq});
    m_byLower[LowerKey(path)].push_back(seq);
    m_slots.emplace(Key(path), -1);
}

void CThumbnailListCtrl::PrependLocked(const CString& path)
{
    const long long seq = --m_frontSeq;
    m_paths.insert(m_paths.begin(), Entry{path, seq});
    m_byLower[LowerKey(path)].push_back(seq);
    m_slots.emplace(Key(path), -1);
}

size_t CThumbnailListCtrl::IndexOfSeqLocked(long long seq) const
{
    auto it = std::lower_bound(m_paths.begin(), m_paths.end(), seq,
                               [](const Entry& entry, long long value) { return entry.seq < value; });
    return it != m_paths.end() && it->seq == seq ? (size_t)(it - m_paths.begin()) : m_paths.size();
}

std::vector<size_t> CThumbnailListCtrl::FindAllLocked(const CString& path) const
{
    std::vector<size_t> found;
    auto it = m_byLower.find(LowerKey(path));
    if (it == m_byLower.end()) return found;
    for (long long seq : it->second) {
        const size_t k = IndexOfSeqLocked(seq);
        if (k < m_paths.size()) found.push_back(k);
    }
    std::sort(found.begin(), found.end());
    return found;
}

void CThumbnailListCtrl::EraseEntryLocked(size_t k)
{
    const Entry entry = m_paths[k];
    m_paths.erase(m_paths.begin() + k);
    auto lower = m_byLower.find(LowerKey(entry.path));
    if (lower != m_byLower.end()) {
        std::vector<long long>& seqs = lower->second;
        seqs.erase(std::remove(seqs.begin(), seqs.end(), entry.seq), seqs.end());
        if (seqs.empty()) m_byLower.erase(lower);
    }
    auto slot = m_slots.find(Key(entry.path));
    if (slot != m_slots.end()) {
        if (slot->second >= 0) m_freeSlots.push_back(slot->second);
        m_slots.erase(slot);
    }
}

void CThumbnailListCtrl::ClearEntriesLocked()
{
    m_paths.clear();
    m_byLower.clear();
    m_slots.clear();
    m_freeSlots.clear();
    m_frontSeq = m_backSeq = 0;
}

BOOL CThumbnailListCtrl::OnGuiThread() const
{
    return m_hWnd != NULL && ::GetWindowThreadProcessId(m_hWnd, NULL) == ::GetCurrentThreadId();
}

BOOL CThumbnailListCtrl::CreateList(CWnd* pParent, UINT nID)
{
    const DWORD style = WS_CHILD | WS_VISIBLE | LVS_ICON | LVS_SHOWSELALWAYS | LVS_AUTOARRANGE | LVS_OWNERDATA;
    if (!Create(style, CRect(0, 0, 0, 0), pParent, nID)) return FALSE;
    SetExtendedStyle(LVS_EX_ONECLICKACTIVATE);
    return TRUE;
}

void CThumbnailListCtrl::Init()
{
    if (m_pImageList == NULL) {
        m_pImageList = new CImageList;
        // Grown in steps (see TakeSlot): each growth copies the whole list.
        m_pImageList->Create(ThumbnailSize.cx, ThumbnailSize.cy, ILC_COLOR24, 0, 64);
    }
    if (m_hWnd != NULL) SetImageList(m_pImageList, LVSIL_NORMAL);
    WCHAR current[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, current);
    CSingleLock lock(&m_lock, TRUE);
    m_folder = current;
    if (m_folder.IsEmpty() || m_folder[m_folder.GetLength() - 1] != L'\\') m_folder += L"\\";
}

// ---------------------------------------------------------------------------------------
// Copies

void CThumbnailListCtrl::GetFileNames(std::vector<CString>& out)
{
    CSingleLock lock(&m_lock, TRUE);
    out.clear();
    out.reserve(m_paths.size());
    for (const Entry& entry : m_paths) out.push_back(entry.path);
}

int CThumbnailListCtrl::GetCount()
{
    CSingleLock lock(&m_lock, TRUE);
    return (int)m_paths.size();
}

CString CThumbnailListCtrl::GetFileAt(int i)
{
    CSingleLock lock(&m_lock, TRUE);
    return i >= 0 && (size_t)i < m_paths.size() ? m_paths[i].path : CString();
}

int CThumbnailListCtrl::FindPath(const CString& path)
{
    CSingleLock lock(&m_lock, TRUE);
    const std::vector<size_t> found = FindAllLocked(path);
    return found.empty() ? -1 : (int)found.front();
}

void CThumbnailListCtrl::GetFolder(CString& out)
{
    CSingleLock lock(&m_lock, TRUE);
    out = m_folder;
}

int CThumbnailListCtrl::GetFirstIndex()
{
    CSingleLock lock(&m_lock, TRUE);
    return m_firstIndex;
}

int CThumbnailListCtrl::GetImageSlot(int item)
{
    CSingleLock lock(&m_lock, TRUE);
    const size_t k = (size_t)m_firstIndex + item;
    if (item < 0 || k >= m_paths.size()) return -1;
    auto it = m_slots.find(Key(m_paths[k].path));
    return it != m_slots.end() ? it->second : -1;
}

void CThumbnailListCtrl::SetLoadPending(int pending)
{
    CSingleLock lock(&m_lock, TRUE);
    m_loadPending = pending;
}

int CThumbnailListCtrl::IsLoadPending()
{
    CSingleLock lock(&m_lock, TRUE);
    return m_loadPending;
}

BOOL CThumbnailListCtrl::IsLoading() { return m_loading != 0; }

// ---------------------------------------------------------------------------------------
// Folder

void CThumbnailListCtrl::SetFolder(const CString& path, int force)
{
    CString folder = path;
    if (!folder.IsEmpty() && folder[folder.GetLength() - 1] != L'\\' && folder[folder.GetLength() - 1] != L'/')
        folder += L"\\";
    {
        CSingleLock lock(&m_lock, TRUE);
        if (!force && folder.CompareNoCase(m_folder) == 0) {
            // Nothing to load: a progress bar shown for it goes away again.
            if (!m_loading) PostProgress(1, 1);
            return;
        }
        m_folder = folder;
        m_firstIndex = 0;
        ::InterlockedIncrement(&m_generation);
        ClearEntriesLocked();
        m_needsRefill = 0;
    }
    ClearImages();
    SyncItems();
    if (!folder.IsEmpty()) {
        CSingleLock lock(&m_lock, TRUE);
        WIN32_FIND_DATAW found;
        // No short names, and the directory read in large pieces: the scan is the part of
        // a fill that holds up the GUI thread.
        HANDLE find = ::FindFirstFileExW(folder + L"*.*", FindExInfoBasic, &found, FindExSearchNameMatch, NULL,
                                         FIND_FIRST_EX_LARGE_FETCH);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
                const CString full = folder + found.cFileName;
                if (GetImageFileType(full) != FILE_TYPE_NONE) AppendLocked(full);
            } while (::FindNextFileW(find, &found));
            ::FindClose(find);
        }
        // One allocation for the whole folder instead of a growth per thumbnail.
        if (m_pImageList != NULL && m_pImageList->GetSafeHandle() != NULL && !m_paths.empty())
            m_pImageList->SetImageCount((UINT)m_paths.size());
    }
    {
        CSingleLock lock(&m_lock, TRUE);
        m_loadPending = 1;
    }
    LoadThumbnails();
}

void CThumbnailListCtrl::ClearImages()
{
    CSingleLock lock(&m_lock, TRUE);
    m_freeSlots.clear();
    m_slotCount = 0;
    if (m_pImageList != NULL && m_pImageList->GetSafeHandle() != NULL) m_pImageList->SetImageCount(0);
}

int CThumbnailListCtrl::TakeSlot()
{
    // Under m_lock (callers hold it); the image list itself only ever on the GUI thread.
    if (!m_freeSlots.empty()) {
        const int slot = m_freeSlots.back();
        m_freeSlots.pop_back();
        return slot;
    }
    if (m_pImageList == NULL || m_pImageList->GetSafeHandle() == NULL) return -1;
    const int capacity = m_pImageList->GetImageCount();
    if (m_slotCount >= capacity) {
        // Whole-list copies stay rare: grow by a quarter, at least 64 images.
        const int grown = capacity + std::max(64, capacity / 4);
        if (!m_pImageList->SetImageCount((UINT)grown)) return -1;
    }
    return m_slotCount++;
}


// ---------------------------------------------------------------------------------------
// Loader

void CThumbnailListCtrl::LoadThumbnails()
{
    BOOL running = FALSE;
    for (;;) {
        HANDLE finishing = NULL;
        {
            CSingleLock lock(&m_lock, TRUE);
            if (!m_loading && m_loadPending) {
                if (m_hLoader != NULL) {
                    // The previous loader has cleared its flag and is on its way out;
                    // it still takes the lock to hand over its last work, so wait for
                    // it outside.
                    finishing = m_hLoader;
                    m_hLoader = NULL;
                } else {
                    m_loading = 1;
                    m_stop = 0;
                    unsigned id = 0;
                    m_hLoader = (HANDLE)_beginthreadex(NULL, 0, LoaderThread, this, 0, &id);
                    if (m_hLoader != NULL) return;
                    m_loading = 0;
                }
            }
            if (finishing == NULL) {
                running = m_loading != 0;
                m_needsRefill = 0;
            }
        }
        if (finishing == NULL) break;
        ::WaitForSingleObject(finishing, INFINITE);
        ::CloseHandle(finishing);
    }
    SyncItems();
    if (!running) PostProgress(1, 1);
    if (m_hWnd != NULL) {
        SetRedraw(TRUE);
        Invalidate();
    }
}

unsigned CThumbnailListCtrl::LoaderThread(void* param)
{
    static_cast<CThumbnailListCtrl*>(param)->RunLoader();
    _endthreadex(0);
    return 0;
}

int CThumbnailListCtrl::RenderThreadCount()
{
    SYSTEM_INFO info = {};
    ::GetSystemInfo(&info);
    // One core stays with the GUI thread.
    const int cores = (int)info.dwNumberOfProcessors;
    return std::max(1, std::min(kMaxRenderThreads, cores - 1));
}

unsigned CThumbnailListCtrl::RenderThread(void* param)
{
    RenderPass* pass = static_cast<RenderPass*>(param);
    // The video reader needs COM on this thread.
    const BOOL com = SUCCEEDED(::CoInitialize(NULL));
    pass->list->RenderFiles(*pass);
    if (com) ::CoUninitialize();
    _endthreadex(0);
    return 0;
}

void CThumbnailListCtrl::RenderFiles(RenderPass& pass)
{
    // Files are taken in list order, so the strip fills from its front.
    for (;;) {
        const LONG i = ::InterlockedIncrement(&pass.next) - 1;
        if ((size_t)i >= pass.todo.size() || m_generation != pass.generation || m_stop) break;
        const CString& path = pass.todo[i];
        Handover item = {pass.generation, HANDOVER_THUMBNAIL, path, {}};
        if (IsGone(path))
            item.kind = HANDOVER_DROP;
        else
            RenderThumbnailPixels(path, ThumbnailSize.cx, ThumbnailSize.cy, item.pixels);
        HandOver(std::move(item));
        const LONG done = ::InterlockedIncrement(&pass.done);
        // A position per per-cent step is all the bar can show; posted in order, so the
        // bar never steps back.
        const LONG percent = (LONG)((LONGLONG)done * 100 / std::max(pass.total, 1));
        if (percent > pass.posted && done < pass.total) {
            CSingleLock lock(&pass.progressLock, TRUE);
            if (percent > pass.posted) {
                pass.posted = percent;
                PostProgress(done, pass.total);
            }
        }
    }
}

void CThumbnailListCtrl::RunLoader()
{
    const BOOL com = SUCCEEDED(::CoInitialize(NULL));
    const int threads = RenderThreadCount();
    int total = 0;
    for (;;) {
        RenderPass pass;
        pass.list = this;
        {
            CSingleLock lock(&m_lock, TRUE);
            pass.generation = m_generation;
            m_loadPending = 0;
            for (size_t k = m_firstIndex; k < m_paths.size(); ++k) {
                auto it = m_slots.find(Key(m_paths[k].path));
                if (it == m_slots.end() || it->second < 0) pass.todo.push_back(m_paths[k].path);
            }
            total = (int)(m_paths.size() - std::min(m_paths.size(), (size_t)m_firstIndex));
        }
        pass.total = total;
        pass.done = total - (LONG)pass.todo.size();
        pass.posted = -1;
        std::vector<HANDLE> workers;
        const int wanted = (int)std::min<size_t>((size_t)threads, pass.todo.size());
        for (int t = 1; t < wanted; ++t) {
            unsigned id = 0;
            HANDLE worker = (HANDLE)_beginthreadex(NULL, 0, RenderThread, &pass, 0, &id);
            if (worker != NULL) workers.push_back(worker);
        }
        // This thread renders too; the others end when the files run out or the folder
        // changes.
        RenderFiles(pass);
        if (!workers.empty()) {
            ::WaitForMultipleObjects((DWORD)workers.size(), workers.data(), TRUE, INFINITE);
            for (HANDLE worker : workers) ::CloseHandle(worker);
        }
        CSingleLock lock(&m_lock, TRUE);
        if (m_stop || (m_generation == pass.generation && !m_loadPending)) {
            m_loading = 0;
            break;
        }
    }
    if (!m_stop) {
        HandOver(Handover{m_generation, HANDOVER_SYNC, CString(), {}});
        // Even an empty folder ends its fill, so the bar always goes away.
        PostProgress(std::max(total, 1), std::max(total, 1));
    }
    if (com) ::CoUninitialize();
}

void CThumbnailListCtrl::StopLoader()
{
    HANDLE thread;
    {
        CSingleLock lock(&m_lock, TRUE);
        m_stop = 1;
        thread = m_hLoader;
        m_hLoader = NULL;
    }
    if (thread != NULL) {
        ::WaitForSingleObject(thread, INFINITE);
        ::CloseHandle(thread);
    }
    m_loading = 0;
}

void CThumbnailListCtrl::PostProgress(int done, int total)
{
    const HWND notify = m_hNotify;
    if (notify != NULL) ::PostMessageW(notify, WM_THUMBS_PROGRESS, (WPARAM)done, (LPARAM)total);
}

// ---------------------------------------------------------------------------------------
// Handing work to the GUI thread

void CThumbnailListCtrl::HandOver(Handover&& item)
{
    if (OnGuiThread()) {
        ApplyHandover(item);
        SyncItems();
        Invalidate(FALSE);
        return;
    }
    {
        CSingleLock lock(&m_handoverLock, TRUE);
        m_handovers.push_back(std::move(item));
    }
    if (::InterlockedExchange(&m_drainPosted, 1) == 0) {
        const HWND hwnd = m_hWnd;
        if (hwnd == NULL || !::PostMessageW(hwnd, WM_THUMBS_HANDOVER, 0, 0)) m_drainPosted = 0;
    }
}

void CThumbnailListCtrl::DrainHandovers()
{
    m_drainPosted = 0;
    {
        CSingleLock lock(&m_handoverLock, TRUE);
        for (Handover& item : m_handovers) m_guiHandovers.push_back(std::move(item));
        m_handovers.clear();
    }
    const DWORD start = ::GetTickCount();
    size_t applied = 0;
    BOOL finished = FALSE;
    std::vector<int> shown;
    while (!m_guiHandovers.empty()) {
        {
            CSingleLock lock(&m_lock, TRUE);
            for (size_t n = 0; n < kHandoversPerLock && !m_guiHandovers.empty(); ++n) {
                Handover item = std::move(m_guiHandovers.front());
                m_guiHandovers.pop_front();
                finished = finished || item.kind == HANDOVER_SYNC;
                ApplyHandover(item, &shown);
                ++applied;
            }
        }
        if (::GetTickCount() - start >= kHandoverSliceMs) break;
    }
    // More to come: other messages go first.
    if (!m_guiHandovers.empty() && ::InterlockedExchange(&m_drainPosted, 1) == 0) PostMessage(WM_THUMBS_HANDOVER);
    if (applied > 0) {
        SyncItems();
        // Turning drawing on makes the list arrange every item: once, at the fill's end.
        if (finished) {
            SetRedraw(TRUE);
            Invalidate(FALSE);
        } else {
            InvalidateVisibleItems(shown);
        }
    }
}

void CThumbnailListCtrl::ApplyHandover(Handover& item, std::vector<int>* changed)
{
    CSingleLock lock(&m_lock, TRUE);
    if (item.generation == m_generation) {
        if (item.kind == HANDOVER_THUMBNAIL && !item.pixels.empty()) {
            auto it = m_slots.find(Key(item.path));
            // A file removed meanwhile has no entry left to show it.
            if (it != m_slots.end()) {
                if (it->second < 0) it->second = TakeSlot();
                if (it->second >= 0) PutThumbnail(it->second, item.pixels);
                if (changed != NULL)
                    for (size_t k : FindAllLocked(item.path))
                        if (m_paths[k].path == item.path && k >= (size_t)m_firstIndex)
                            changed->push_back((int)(k - m_firstIndex));
            }
        } else if (item.kind == HANDOVER_DROP) {
            const std::vector<size_t> found = FindAllLocked(item.path);
            for (size_t n = found.size(); n-- > 0;)
                if (m_paths[found[n]].path == item.path) EraseEntryLocked(found[n]);
        }
    }
    item.pixels.clear();
}

BOOL CThumbnailListCtrl::PutThumbnail(int slot, const std::vector<BYTE>& pixels)
{
    const int W = ThumbnailSize.cx, H = ThumbnailSize.cy;
    const HIMAGELIST list = m_pImageList != NULL ? m_pImageList->GetSafeHandle() : NULL;
    if (list == NULL || pixels.size() < (size_t)W * H * 3) return FALSE;
    // The list keeps its pictures in one bitmap of its own.  Written there straight, a
    // thumbnail costs a copy of its rows; a replace would cost two device contexts and
    // a bitmap made and freed, most of the GUI thread's time in a large fill.
    IMAGEINFO info = {};
    DIBSECTION dib = {};
    if (::ImageList_GetImageInfo(list, slot, &info) && info.hbmImage != NULL &&
        ::GetObjectW(info.hbmImage, sizeof(dib), &dib) == (int)sizeof(dib) && dib.dsBm.bmBits != NULL &&
        (dib.dsBm.bmBitsPixel == 24 || dib.dsBm.bmBitsPixel == 32) && info.rcImage.left >= 0 &&
        info.rcImage.top >= 0 && info.rcImage.right - info.rcImage.left == W &&
        info.rcImage.bottom - info.rcImage.top == H && info.rcImage.right <= dib.dsBm.bmWidth &&
        info.rcImage.bottom <= dib.dsBm.bmHeight) {
        ::GdiFlush();
        const int bytes = dib.dsBm.bmBitsPixel / 8;
        const BOOL bottomUp = dib.dsBmih.biHeight > 0;
        for (int y = 0; y < H; ++y) {
            const int row = info.rcImage.top + y;
            BYTE* to = static_cast<BYTE*>(dib.dsBm.bmBits) +
                       (size_t)(bottomUp ? dib.dsBm.bmHeight - 1 - row : row) * dib.dsBm.bmWidthBytes +
                       (size_t)info.rcImage.left * bytes;
            const BYTE* from = &pixels[(size_t)y * W * 3];
            if (bytes == 3) {
                memcpy(to, from, (size_t)W * 3);
            } else {
                for (int x = 0; x < W; ++x, to += 4, from += 3) {
                    to[0] = from[0], to[1] = from[1], to[2] = from[2];
                    to[3] = 0;
                }
            }
        }
        return TRUE;
    }
    HBITMAP bitmap = BitmapFromPixels(pixels, W, H);
    const BOOL replaced = bitmap != NULL && ::ImageList_Replace(list, slot, bitmap, NULL);
    if (bitmap != NULL) ::DeleteObject(bitmap);
    return replaced;
}

void CThumbnailListCtrl::InvalidateVisibleItems(const std::vector<int>& items)
{
    // Each paint of an icon view looks at every item, so a fill repaints only for the
    // thumbnails that are in sight.
    CRect client;
    GetClientRect(&client);
    const int count = GetItemCount();
    for (int item : items) {
        CRect icon;
        if (item < count && GetItemRect(item, &icon, LVIR_ICON) && icon.IntersectRect(&icon, &client))
            InvalidateRect(&icon, FALSE);
    }
}

void CThumbnailListCtrl::SyncItems()
{
    if (m_hWnd == NULL) return;
    int items;
    {
        CSingleLock lock(&m_lock, TRUE);
        items = (int)m_paths.size() - m_firstIndex;
    }
    items = std::max(items, 0);
    if (GetItemCount() == items) return;
    SendMessage(LVM_SETITEMCOUNT, (WPARAM)items, LVSICF_NOSCROLL);
    // Wine's list places virtual items that arrive after its last arrangement all at one
    // spot, over each other, whatever the auto-arrange style says.  Arranged while
    // drawing is on, every item moved is measured and invalidated one by one, seconds
    // for a few thousand; off, the arrangement only places them, and turning drawing
    // back on invalidates the list once.
    SendMessage(WM_SETREDRAW, FALSE, 0);
    SendMessage(LVM_ARRANGE, LVA_DEFAULT, 0);
    SendMessage(WM_SETREDRAW, TRUE, 0);
}

// ---------------------------------------------------------------------------------------
// Changes

void CThumbnailListCtrl::AddFile(CString path, int)
{
    for (int attempt = 1; attempt <= kAddAttempts && !CanOpenForReading(path); ++attempt)
        if (attempt < kAddAttempts) ::Sleep(kAddRetryMs);
    std::vector<BYTE> pixels;
    RenderThumbnailPixels(path, ThumbnailSize.cx, ThumbnailSize.cy, pixels);
    LONG generation;
    BOOL loading;
    int count;
    {
        CSingleLock lock(&m_lock, TRUE);
        // The same path keeps its slot: the new picture replaces the old one there.
        auto same = m_slots.find(Key(path));
        const int slot = same != m_slots.end() ? same->second : -1;
        if (same != m_slots.end()) same->second = -1;
        const std::vector<size_t> found = FindAllLocked(path);
        for (size_t n = found.size(); n-- > 0;) EraseEntryLocked(found[n]);
        PrependLocked(path);
        if (slot >= 0) {
            m_freeSlots.erase(std::remove(m_freeSlots.begin(), m_freeSlots.end(), slot), m_freeSlots.end());
            m_slots[Key(path)] = slot;
        }
        generation = m_generation;
        loading = m_loading != 0;
        count = (int)m_paths.size();
    }
    HandOver(Handover{generation, HANDOVER_THUMBNAIL, path, std::move(pixels)});
    if (!loading) PostProgress(count, count);
}

BOOL CThumbnailListCtrl::RemoveFile(const CString& path, int deleteFile, DWORD* error)
{
    if (error != NULL) *error = ERROR_SUCCESS;
    if (deleteFile && !MoveFileToRecycleBin(path, error)) return FALSE;
    {
        CSingleLock lock(&m_lock, TRUE);
        const std::vector<size_t> found = FindAllLocked(path);
        for (size_t n = found.size(); n-- > 0;) EraseEntryLocked(found[n]);
        m_firstIndex = std::min(m_firstIndex, std::max((int)m_paths.size() - 1, 0));
    }
    SyncItems();
    if (m_hWnd != NULL) Invalidate(FALSE);
    return TRUE;
}

BOOL CThumbnailListCtrl::DeleteItemAt(int item, int deleteFile, DWORD* error)
{
    if (error != NULL) *error = ERROR_SUCCESS;
    CString path;
    {
        CSingleLock lock(&m_lock, TRUE);
        const size_t k = (size_t)m_firstIndex + item;
        if (item < 0 || k >= m_paths.size()) {
            if (error != NULL) *error = ERROR_INVALID_INDEX;
            return FALSE;
        }
        path = m_paths[k].path;
    }
    if (deleteFile && !MoveFileToRecycleBin(path, error)) return FALSE;
    {
        CSingleLock lock(&m_lock, TRUE);
        // Another thread may have put files in front meanwhile: find the entry again.
        size_t k = (size_t)m_firstIndex + item;
        if (k >= m_paths.size() || m_paths[k].path != path) {
            k = m_paths.size();
            for (size_t j : FindAllLocked(path))
                if (m_paths[j].path == path) k = j;
        }
        if (k < m_paths.size()) EraseEntryLocked(k);
        m_needsRefill = 1;
    }
    // The list moves the selection of the items behind it down by one.
    if (m_hWnd != NULL && item < GetItemCount()) DeleteItem(item);
    SyncItems();
    if (m_hWnd != NULL) Invalidate(FALSE);
    return TRUE;
}

void CThumbnailListCtrl::RenameFile(const CString& oldPath, const CString& newPath)
{
    {
        CSingleLock lock(&m_lock, TRUE);
        for (size_t k : FindAllLocked(oldPath)) {
            Entry& entry = m_paths[k];
            if (entry.path != oldPath) continue;
            auto lower = m_byLower.find(LowerKey(oldPath));
            if (lower != m_byLower.end()) {
                std::vector<long long>& seqs = lower->second;
                seqs.erase(std::remove(seqs.begin(), seqs.end(), entry.seq), seqs.end());
                if (seqs.empty()) m_byLower.erase(lower);
            }
            m_byLower[LowerKey(newPath)].push_back(entry.seq);
            entry.path = newPath;
            auto it = m_slots.find(Key(oldPath));
            const int slot = it != m_slots.end() ? it->second : -1;
            if (it != m_slots.end()) m_slots.erase(it);
            m_slots[Key(newPath)] = slot;
        }
    }
    if (m_hWnd != NULL && OnGuiThread()) Invalidate(FALSE);
}

void CThumbnailListCtrl::SetFirstIndex(int n)
{
    {
        CSingleLock lock(&m_lock, TRUE);
        m_firstIndex = std::max(0, std::min(n, (int)m_paths.size() - m_columns));
    }
    LoadThumbnails();
}

int CThumbnailListCtrl::ComputeColumns()
{
    CRect client(0, 0, 0, 0);
    if (m_hWnd != NULL) GetClientRect(&client);
    m_columns = std::max(1, client.Width() / kColumnPitch);
    return m_columns;
}

void CThumbnailListCtrl::ReloadIfColumnsChanged(int n)
{
    if (n != m_columns) LoadThumbnails();
}

void CThumbnailListCtrl::SetCurrentIndex(int i)
{
    m_currentIndex = i;
    m_currentRow = i / std::max(1, m_columns);
}

// ---------------------------------------------------------------------------------------
// Window

void CThumbnailListCtrl::OnGetDispInfo(NMHDR* pNMHDR, LRESULT* pResult)
{
    NMLVDISPINFOW* info = reinterpret_cast<NMLVDISPINFOW*>(pNMHDR);
    LVITEMW& item = info->item;
    CSingleLock lock(&m_lock, TRUE);
    const size_t k = (size_t)m_firstIndex + item.iItem;
    if (item.iItem >= 0 && k < m_paths.size()) {
        if ((item.mask & LVIF_TEXT) && item.pszText != NULL && item.cchTextMax > 0)
            lstrcpynW(item.pszText, NameOf(m_paths[k].path), item.cchTextMax);
        if (item.mask & LVIF_IMAGE) {
            auto it = m_slots.find(Key(m_paths[k].path));
            item.iImage = it != m_slots.end() && it->second >= 0 ? it->second : I_IMAGENONE;
        }
    } else {
        if ((item.mask & LVIF_TEXT) && item.pszText != NULL && item.cchTextMax > 0) item.pszText[0] = 0;
        if (item.mask & LVIF_IMAGE) item.iImage = I_IMAGENONE;
    }
    *pResult = 0;
}

void CThumbnailListCtrl::OnDestroy()
{
    StopLoader();
    CListCtrl::OnDestroy();
}

void CThumbnailListCtrl::PostNcDestroy()
{
    CListCtrl::PostNcDestroy();
}

LRESULT CThumbnailListCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_THUMBS_HANDOVER:
        DrainHandovers();
        return 0;
    case WM_THUMBS_LOADED:
        // The loader's own flag stays with the loader: a second one must not start.
        SetRedraw(TRUE);
        Invalidate();
        return 0;
    case WM_MOUSEMOVE:
        if (!m_bTracking) {
            TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_hWnd, 0};
            m_bTracking = ::TrackMouseEvent(&track);
        }
        break;
    case WM_MOUSELEAVE: {
        m_bTracking = FALSE;
        POINT cursor = {0, 0};
        ::GetCursorPos(&cursor);
        CWnd* parent = GetParent();
        if (parent != NULL)
            parent->PostMessage(WM_MOUSEMOVE, 0, MAKELPARAM((WORD)cursor.x, (WORD)cursor.y));
        break;
    }
    default:
        break;
    }
    return CListCtrl::WindowProc(message, wParam, lParam);
}
