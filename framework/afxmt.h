// Synchronisation objects and the thread-start functions the platform's C runtime
// would provide (glibc has none that create threads able to call Win32).
#pragma once
#include "afxobject.h"
#include <stdint.h>

class CSyncObject : public CObject
{
    DECLARE_DYNAMIC(CSyncObject)
public:
    explicit CSyncObject(LPCWSTR pstrName);
    virtual ~CSyncObject();

    HANDLE m_hObject;
    operator HANDLE() const { return m_hObject; }

    virtual BOOL Lock(DWORD dwTimeout = INFINITE);
    virtual BOOL Unlock() = 0;
    virtual BOOL Unlock(LONG lCount, LPLONG lpPrevCount = NULL);
};

class CCriticalSection : public CSyncObject
{
    DECLARE_DYNAMIC(CCriticalSection)
public:
    CCriticalSection();
    virtual ~CCriticalSection();

    CRITICAL_SECTION m_sect;
    operator CRITICAL_SECTION*() { return &m_sect; }

    BOOL Lock();
    virtual BOOL Lock(DWORD dwTimeout) override;   // the timeout is ignored, as on the platform
    virtual BOOL Unlock() override;
    using CSyncObject::Unlock;
};

class CEvent : public CSyncObject
{
    DECLARE_DYNAMIC(CEvent)
public:
    CEvent(BOOL bInitiallyOwn = FALSE, BOOL bManualReset = FALSE, LPCWSTR lpszName = NULL,
           LPSECURITY_ATTRIBUTES lpsaAttribute = NULL);
    virtual ~CEvent();

    BOOL SetEvent();
    BOOL PulseEvent();
    BOOL ResetEvent();
    virtual BOOL Unlock() override;
    using CSyncObject::Unlock;
};

class CMutex : public CSyncObject
{
    DECLARE_DYNAMIC(CMutex)
public:
    CMutex(BOOL bInitiallyOwn = FALSE, LPCWSTR lpszName = NULL, LPSECURITY_ATTRIBUTES lpsaAttribute = NULL);
    virtual ~CMutex();
    virtual BOOL Unlock() override;
    using CSyncObject::Unlock;
};

class CSingleLock
{
public:
    explicit CSingleLock(CSyncObject* pObject, BOOL bInitialLock = FALSE);
    ~CSingleLock();

    BOOL Lock(DWORD dwTimeOut = INFINITE);
    BOOL Unlock();
    BOOL Unlock(LONG lCount, LPLONG lPrevCount = NULL);
    BOOL IsLocked() { return m_bAcquired; }

protected:
    CSyncObject* m_pObject;
    HANDLE m_hObject;
    BOOL m_bAcquired;

private:
    CSingleLock(const CSingleLock&) = delete;
    CSingleLock& operator=(const CSingleLock&) = delete;
};

// Waits for a handle while letting messages sent to this thread's windows through, so a
// GUI thread can wait for a worker that is in the middle of SendMessage to it.  Posted
// messages stay queued.  Returns what WaitForSingleObject would.
DWORD AfxWaitForSingleObjectSent(HANDLE hObject, DWORD dwMilliseconds);

// Thread start.  The start routines are plain functions here (no calling-convention
// keyword), as the toolchain's callbacks otherwise are.  _beginthread returns the
// thread handle or (uintptr_t)-1; that handle is closed by the thread itself when it
// ends.  _beginthreadex leaves closing the handle to the caller.
extern "C" uintptr_t _beginthread(void (*start_address)(void*), unsigned stack_size, void* arglist);
extern "C" void _endthread(void);
extern "C" uintptr_t _beginthreadex(void* security, unsigned stack_size,
                                    unsigned (*start_address)(void*), void* arglist,
                                    unsigned initflag, unsigned* thrdaddr);
extern "C" void _endthreadex(unsigned retval);
