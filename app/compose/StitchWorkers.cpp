#include "app/compose/StitchWorkers.h"

#include "app/compose/ComposeMessages.h"
#include "app/compose/ComposeStringIds.h"
#include "app/compose/CompositionFiles.h"
#include "app/store/ImageStore.h"
#include "eaImage.h"

namespace {

const int kMinTiles = 2;
const int kMaxTiles = 30;
// Room for the dialog's answer: a folder and up to 30 long names, with some to spare.
const DWORD kFileBufferChars = 64 * 1024;

// The adjust panel's stitch: one at a time; the finished one's path stays readable.
// Nothing here is built or torn down with the process: the lock needs no constructor
// and the path lives on the heap for good.
LONG g_adjustRunning = 0;
SRWLOCK g_resultLock = SRWLOCK_INIT;

CString& AdjustResult()
{
    static CString* path = new CString;
    return *path;
}

bool RunStitch(StitchJob* job)
{
    std::vector<const char*> paths;
    for (const std::string& p : job->inputs)
        paths.push_back(p.c_str());
    const std::string output = ToUtf8(job->output);
    return eaStitch(0, int(paths.size()), paths.data(), output.c_str()) == EA_OK;
}

}  // namespace

void StitchThread(void* param)
{
    StitchJob* job = static_cast<StitchJob*>(param);
    const bool done = RunStitch(job);
    const HWND notify = job->notify;
    delete job;
    PostMessageW(notify, WM_STITCH_DONE, done ? 1 : 0, 0);
    _endthread();
}

void StitchFromAdjustPanelThread(void* param)
{
    StitchJob* job = static_cast<StitchJob*>(param);
    const bool done = RunStitch(job);
    const HWND notify = job->notify;
    AcquireSRWLockExclusive(&g_resultLock);
    AdjustResult() = job->output;
    ReleaseSRWLockExclusive(&g_resultLock);
    delete job;
    InterlockedExchange(&g_adjustRunning, 0);
    PostMessageW(notify, WM_STITCH_DONE, done ? 1 : 0, 0);
    _endthread();
}

bool AdjustPanelStitchRunning()
{
    return InterlockedCompareExchange(&g_adjustRunning, 0, 0) != 0;
}

void GetStitchResultPath(CString& path)
{
    AcquireSRWLockShared(&g_resultLock);
    path = AdjustResult();
    ReleaseSRWLockShared(&g_resultLock);
}

int StartAdjustPanelStitch(const std::vector<CString>& files, HWND notify)
{
    const int n = int(files.size());
    if (n < kMinTiles || n > kMaxTiles)
        return 0;
    if (InterlockedCompareExchange(&g_adjustRunning, 1, 0) != 0)
        return 0;
    StitchJob* job = new StitchJob;
    job->notify = notify;
    for (const CString& f : files)
        job->inputs.push_back(ToUtf8(f));
    CString stem;
    stem.LoadString(IDS_STITCH_RESULT_NAME);
    CString extension = FileExtensionOf(files.back());
    job->output = FolderOf(files.back()) + stem + extension;
    MakeUniqueFileName(job->output);
    if (_beginthread(StitchFromAdjustPanelThread, 0, job) == uintptr_t(-1)) {
        delete job;
        InterlockedExchange(&g_adjustRunning, 0);
        return 0;
    }
    return 1;
}

namespace {

int StitchWithDialog(HWND owner, const CString& folder, HWND notify)
{
    if (AdjustPanelStitchRunning())
        return 0;
    std::vector<WCHAR> buffer(kFileBufferChars, 0);
    // Every picture type the program opens.
    const CString filter = CImageStore::BuildFilterString(TRUE);
    OPENFILENAMEW ofn;
    ZeroMemory(&ofn, sizeof ofn);
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = DWORD(buffer.size());
    ofn.lpstrInitialDir = folder.IsEmpty() ? nullptr : (LPCWSTR)folder;
    ofn.Flags = OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING
              | OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR;
    if (!AfxGetFileName(&ofn, TRUE))
        return 0;
    // One file: its full path. Several: the folder, then each name.
    std::vector<CString> files;
    const WCHAR* p = buffer.data();
    CString first(p);
    p += first.GetLength() + 1;
    if (!*p) {
        files.push_back(first);
    } else {
        CString base = first;
        if (base.GetLength() && base[base.GetLength() - 1] != L'\\')
            base += L'\\';
        while (*p) {
            CString name(p);
            files.push_back(base + name);
            p += name.GetLength() + 1;
        }
    }
    return StartAdjustPanelStitch(files, notify);
}

}  // namespace

int StitchSelectedFiles(HWND* owner, HWND notify)
{
    return StitchWithDialog(owner ? *owner : nullptr, CString(), notify);
}

int StartStitchFromFiles(const CString& folder, HWND receiver)
{
    return StitchWithDialog(nullptr, folder, receiver);
}
