// The thumbnail list inside the strip: the image and video files of one folder, newest
// captures at the front, each shown as a 100 x 80 thumbnail.
//
// Threads.  The GUI thread owns the window, its items and the image list; the loader
// thread and the render threads it starts render the thumbnails of a folder; the
// capture collector (and anyone else) may call AddFile from its own thread.  m_lock guards the paths, the folder, the slot
// of each path and the load flags; it is held for each scan, change and copy, never
// while a thumbnail renders and never across a window message.  Finished thumbnails
// queue under a lock of their own.  Workers render into
// bitmaps of their own and hand them to the GUI thread, which alone changes the image
// list.  Every folder change bumps a generation number: a running loader notices and
// starts over on the newest folder, and work handed over for an older folder is dropped.
//
// The list is an owner-data icon view: item i shows the path at first index + i, so
// adding, removing or renaming a file costs the same whatever the folder's size.
#pragma once
#include "afxwin.h"
#include "afxcmn.h"
#include "afxmt.h"
#include <string>
// The Win32 headers' min and max macros would break the standard header.
#pragma push_macro("min")
#pragma push_macro("max")
#undef min
#undef max
#include <deque>
#include <unordered_map>
#pragma pop_macro("max")
#pragma pop_macro("min")
#include <vector>

// Posted by whoever fills the list to its notify window: wParam items done, lParam the
// total (at least 1); done == total ends the fill.
const UINT WM_THUMBS_PROGRESS = 0x631;
// Turns drawing back on after a fill (nothing in the program sends it).
const UINT WM_THUMBS_LOADED = 0x630;
// Private: thumbnails and changes handed to the GUI thread by other threads.
const UINT WM_THUMBS_HANDOVER = 0x632;

// Control id of the list inside the strip.
#define IDC_THUMBNAIL_LIST 139

class CThumbnailListCtrl : public CListCtrl
{
    DECLARE_DYNAMIC(CThumbnailListCtrl)
public:
    CThumbnailListCtrl();
    virtual ~CThumbnailListCtrl();

    // Creates the window (an owner-data icon view) as child nID of pParent.
    BOOL CreateList(CWnd* pParent, UINT nID = IDC_THUMBNAIL_LIST);
    // Image list and start folder (the current directory); once, after creation.
    virtual void Init();

    // Copies of the list's state; safe from any thread.
    virtual void GetFileNames(std::vector<CString>& out);
    virtual int GetCount();
    virtual CString GetFileAt(int i);
    virtual void GetFolder(CString& out);
    virtual int GetFirstIndex();

    // Shows another folder: scans it and starts the loader.  With force 0 the folder
    // shown already is left alone.  GUI thread.
    virtual void SetFolder(const CString& path, int force);
    // Puts a newly written file at the front (moving it there when listed), after
    // waiting up to 3.3 s for it to become readable.  Any thread.
    virtual void AddFile(CString path, int flag);
    // Removes every entry of path (case-insensitive).  With deleteFile the file goes to
    // the recycle bin first, and when it cannot, nothing is removed: FALSE, and *error
    // (when given) says why.  GUI thread.
    virtual BOOL RemoveFile(const CString& path, int deleteFile, DWORD* error = NULL);
    // The same for the entry shown as item.
    virtual BOOL DeleteItemAt(int item, int deleteFile, DWORD* error = NULL);
    // Every entry equal to oldPath becomes newPath; its thumbnail stays.
    virtual void RenameFile(const CString& oldPath, const CString& newPath);
    // Starts the loader when a scan asked for one; otherwise brings the items up to
    // date and, with no loader running, reports the fill as done.  GUI thread.
    virtual void LoadThumbnails();
    virtual void SetFirstIndex(int n);
    // Thumbnails per row from the width (at least one).
    virtual int ComputeColumns();
    virtual void ReloadIfColumnsChanged(int n);
    virtual void SetCurrentIndex(int i);
    int GetCurrentIndex() const { return m_currentIndex; }
    int GetCurrentRow() const { return m_currentRow; }
    int GetColumns() const { return m_columns; }

    virtual BOOL IsExpanded() const { return m_bExpanded; }
    virtual void SetExpanded(BOOL expanded) { m_bExpanded = expanded; }
    void SetNotifyWindow(HWND hwnd) { m_hNotify = hwnd; }
    HWND GetNotifyWindow() const { return m_hNotify; }

    void SetLoadPending(int pending);
    int IsLoadPending();
    // A loader thread runs.
    BOOL IsLoading();
    // Ends a running loader and waits for it.
    void StopLoader();
    // Threads that render thumbnails at once: the cores but one, at most eight.
    static int RenderThreadCount();

    // Index of path among the listed files (case-insensitive; the first when listed in
    // more than one case), -1 when not listed.
    virtual int FindPath(const CString& path);
    // The image-list slot of item, -1 while its thumbnail is not there yet.
    int GetImageSlot(int item);
    CImageList* GetThumbnailImages() { return m_pImageList; }

protected:
    enum HandoverKind { HANDOVER_THUMBNAIL, HANDOVER_DROP, HANDOVER_SYNC };
    struct Handover
    {
        LONG generation;
        HandoverKind kind;
        CString path;
        std::vector<BYTE> pixels;   // a thumbnail: rows from the top, B, G, R
    };

    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    virtual void PostNcDestroy() override;
    afx_msg void OnGetDispInfo(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

    // One pass of the loader over the files still without a thumbnail, shared by the
    // threads rendering them.
    struct RenderPass
    {
        CThumbnailListCtrl* list;
        std::vector<CString> todo;
        LONG generation;
        volatile LONG next = 0;
        volatile LONG done = 0;
        volatile LONG posted = -1;   // the last per-cent step reported
        CCriticalSection progressLock;
        int total = 0;
    };

    static unsigned LoaderThread(void* param);
    static unsigned RenderThread(void* param);
    void RunLoader();
    void RenderFiles(RenderPass& pass);
    // Queues work for the GUI thread; done at once when called on it.
    void HandOver(Handover&& item);
    void DrainHandovers();
    // Applies one piece of work; the items whose thumbnail changed go into changed.
    void ApplyHandover(Handover& item, std::vector<int>* changed = NULL);
    void InvalidateVisibleItems(const std::vector<int>& items);
    // Puts a thumbnail's pixels into slot of the image list; GUI thread.
    BOOL PutThumbnail(int slot, const std::vector<BYTE>& pixels);
    // Item count from the paths; GUI thread.
    void SyncItems();
    void PostProgress(int done, int total);
    BOOL OnGuiThread() const;
    // The rest work under m_lock.
    void AppendLocked(const CString& path);
    void PrependLocked(const CString& path);
    void EraseEntryLocked(size_t k);
    void ClearEntriesLocked();
    // Indexes of the entries whose path equals path without regard to case, ascending.
    std::vector<size_t> FindAllLocked(const CString& path) const;
    size_t IndexOfSeqLocked(long long seq) const;
    int TakeSlot();   // GUI thread, under m_lock
    void ClearImages();   // GUI thread

    static std::u16string Key(const CString& path);
    static std::u16string LowerKey(const CString& path);

    // One listed file.  seq orders the entries: files put in front get ever smaller
    // numbers, scanned files ever larger ones, so an entry's index is found by a
    // binary search whatever came and went.
    struct Entry
    {
        CString path;
        long long seq;
    };

    CString m_folder;
    int m_firstIndex;
    int m_columns;
    int m_currentIndex;
    int m_currentRow;
    int m_loadPending;
    int m_needsRefill;
    volatile LONG m_loading;
    CImageList* m_pImageList;
    std::vector<Entry> m_paths;
    BOOL m_bExpanded;
    BOOL m_bTracking;
    HWND m_hNotify;

    CCriticalSection m_lock;
    volatile LONG m_generation;
    volatile LONG m_stop;
    HANDLE m_hLoader;
    // The entries of each path without regard to case, by seq.
    std::unordered_map<std::u16string, std::vector<long long>> m_byLower;
    long long m_frontSeq;
    long long m_backSeq;
    // Image-list slot of each listed path (-1: not rendered yet) and the free slots.
    std::unordered_map<std::u16string, int> m_slots;
    std::vector<int> m_freeSlots;
    int m_slotCount;
    // Work handed over by other threads, under m_handoverLock alone: a worker never
    // waits on m_lock to hand over, nor the GUI thread on a worker that holds it.
    CCriticalSection m_handoverLock;
    std::vector<Handover> m_handovers;
    // Taken over by the GUI thread, applied a time slice at a time; GUI thread only.
    std::deque<Handover> m_guiHandovers;
    volatile LONG m_drainPosted;
};
