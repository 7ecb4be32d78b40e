#include "afx.h"
#include <string.h>

IMPLEMENT_DYNAMIC(CSyncObject, CObject)
IMPLEMENT_DYNAMIC(CCriticalSection, CSyncObject)
IMPLEMENT_DYNAMIC(CEvent, CSyncObject)
IMPLEMENT_DYNAMIC(CMutex, CSyncObject)

CSyncObject::CSyncObject(LPCWSTR) : m_hObject(NULL) {}

CSyncObject::~CSyncObject()
{
    if (m_hObject != NULL) {
        ::CloseHandle(m_hObject);
        m_hObject = NULL;
    }
}

BOOL CSyncObject::Lock(DWORD dwTimeout)
{
    return ::WaitForSingleObject(m_hObject, dwTimeout) == WAIT_OBJECT_0;
}

BOOL CSyncObject::Unlock(LONG, LPLONG) { return TRUE; }

CCriticalSection::CCriticalSection() : CSyncObject(NULL)
{
    // Initialised by hand, as a static initialiser would: critical sections are often
    // globals, built before any Win32 function can be called.
    memset(&m_sect, 0, sizeof(m_sect));
    m_sect.LockCount = -1;
}
CCriticalSection::~CCriticalSection() { ::DeleteCriticalSection(&m_sect); }
BOOL CCriticalSection::Lock() { ::EnterCriticalSection(&m_sect); return TRUE; }
BOOL CCriticalSection::Lock(DWORD) { return Lock(); }
BOOL CCriticalSection::Unlock() { ::LeaveCriticalSection(&m_sect); return TRUE; }

CEvent::CEvent(BOOL bInitiallyOwn, BOOL bManualReset, LPCWSTR lpszName, LPSECURITY_ATTRIBUTES lpsaAttribute)
    : CSyncObject(lpszName)
{
    m_hObject = ::CreateEventW(lpsaAttribute, bManualReset, bInitiallyOwn, lpszName);
    if (m_hObject == NULL) AfxThrowResourceException();
}

CEvent::~CEvent() {}
BOOL CEvent::SetEvent() { return ::SetEvent(m_hObject); }
BOOL CEvent::PulseEvent() { return ::PulseEvent(m_hObject); }
BOOL CEvent::ResetEvent() { return ::ResetEvent(m_hObject); }
BOOL CEvent::Unlock() { return TRUE; }

CMutex::CMutex(BOOL bInitiallyOwn, LPCWSTR lpszName, LPSECURITY_ATTRIBUTES lpsaAttribute)
    : CSyncObject(lpszName)
{
    m_hObject = ::CreateMutexW(lpsaAttribute, bInitiallyOwn, lpszName);
    if (m_hObject == NULL) AfxThrowResourceException();
}

CMutex::~CMutex() {}
BOOL CMutex::Unlock() { return ::ReleaseMutex(m_hObject); }

CSingleLock::CSingleLock(CSyncObject* pObject, BOOL bInitialLock)
    : m_pObject(pObject), m_hObject(pObject ? pObject->m_hObject : NULL), m_bAcquired(FALSE)
{
    if (bInitialLock) Lock();
}

CSingleLock::~CSingleLock() { Unlock(); }

BOOL CSingleLock::Lock(DWORD dwTimeOut)
{
    if (m_pObject == NULL) return FALSE;
    if (m_bAcquired) return TRUE;
    m_bAcquired = m_pObject->Lock(dwTimeOut);
    return m_bAcquired;
}

BOOL CSingleLock::Unlock()
{
    if (m_bAcquired && m_pObject != NULL) m_bAcquired = !m_pObject->Unlock();
    return !m_bAcquired;
}

BOOL CSingleLock::Unlock(LONG lCount, LPLONG lPrevCount)
{
    if (m_bAcquired && m_pObject != NULL) m_bAcquired = !m_pObject->Unlock(lCount, lPrevCount);
    return !m_bAcquired;
}

DWORD AfxWaitForSingleObjectSent(HANDLE hObject, DWORD dwMilliseconds)
{
    DWORD dwStart = ::GetTickCount();
    for (;;) {
        DWORD dwWait = INFINITE;
        if (dwMilliseconds != INFINITE) {
            DWORD dwElapsed = ::GetTickCount() - dwStart;
            if (dwElapsed >= dwMilliseconds) return ::WaitForSingleObject(hObject, 0);
            dwWait = dwMilliseconds - dwElapsed;
        }
        DWORD r = ::MsgWaitForMultipleObjects(1, &hObject, FALSE, dwWait, QS_SENDMESSAGE);
        if (r != WAIT_OBJECT_0 + 1) return r;
        // Only cross-thread sent messages are answered here; posted ones stay queued.
        MSG msg;
        ::PeekMessageW(&msg, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

// Thread start ------------------------------------------------------------------

namespace {

struct ThreadStart
{
    void (*pfn)(void*);
    unsigned (*pfnEx)(void*);
    void* arg;
    HANDLE hSelf;    // closed by the thread itself for _beginthread
};

DWORD WINAPI ThreadEntry(LPVOID lpParam)
{
    ThreadStart start = *(ThreadStart*)lpParam;
    delete (ThreadStart*)lpParam;
    if (start.pfn) {
        start.pfn(start.arg);
        _endthread();
    }
    return start.pfnEx(start.arg);
}

thread_local HANDLE t_hOwnHandle = NULL;

// Thread-local variables are touched only from functions of the default calling
// convention: the compiler's TLS sequence inside a WINAPI function is not reliable.
__attribute__((noinline)) void SetOwnHandle(HANDLE h) { t_hOwnHandle = h; }
__attribute__((noinline)) HANDLE TakeOwnHandle()
{
    HANDLE h = t_hOwnHandle;
    t_hOwnHandle = NULL;
    return h;
}

DWORD WINAPI ThreadEntryOwnHandle(LPVOID lpParam)
{
    ThreadStart* p = (ThreadStart*)lpParam;
    // The creator stores the handle before resuming the thread.
    SetOwnHandle(p->hSelf);
    return ThreadEntry(lpParam);
}

} // namespace

extern "C" uintptr_t _beginthread(void (*start_address)(void*), unsigned stack_size, void* arglist)
{
    if (start_address == NULL) return (uintptr_t)-1;
    ThreadStart* p = new ThreadStart{ start_address, NULL, arglist, NULL };
    HANDLE h = ::CreateThread(NULL, stack_size, ThreadEntryOwnHandle, p, CREATE_SUSPENDED, NULL);
    if (h == NULL) { delete p; return (uintptr_t)-1; }
    p->hSelf = h;
    ::ResumeThread(h);
    return (uintptr_t)h;
}

extern "C" void _endthread(void)
{
    HANDLE h = TakeOwnHandle();
    if (h) ::CloseHandle(h);
    ::ExitThread(0);
}

extern "C" uintptr_t _beginthreadex(void* security, unsigned stack_size, unsigned (*start_address)(void*),
                                    void* arglist, unsigned initflag, unsigned* thrdaddr)
{
    if (start_address == NULL) return 0;
    ThreadStart* p = new ThreadStart{ NULL, start_address, arglist, NULL };
    DWORD tid = 0;
    HANDLE h = ::CreateThread((LPSECURITY_ATTRIBUTES)security, stack_size, ThreadEntry, p, initflag, &tid);
    if (h == NULL) { delete p; return 0; }
    if (thrdaddr) *thrdaddr = tid;
    return (uintptr_t)h;
}

extern "C" void _endthreadex(unsigned retval) { ::ExitThread(retval); }
