// Threads, waits and synchronisation objects; the application's profile.
#include "support/gtest.h"
#include "support/wintest.h"
#include "afxwin.h"
#include <string>

namespace {

std::u16string U(LPCWSTR s) { return std::u16string((const char16_t*)s); }

const UINT WM_ASK = WM_USER + 9;
const UINT WM_NOTE = WM_USER + 10;

class CAnswerWnd : public CWnd
{
public:
    int m_nNotes = 0;
    afx_msg LRESULT OnAsk(WPARAM wParam, LPARAM) { return (LRESULT)wParam * 2; }
    afx_msg LRESULT OnNote(WPARAM, LPARAM) { m_nNotes++; return 0; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CAnswerWnd, CWnd)
    ON_MESSAGE(WM_ASK, OnAsk)
    ON_MESSAGE(WM_NOTE, OnNote)
END_MESSAGE_MAP()

struct AskJob
{
    HWND hWnd;
    LRESULT answer;
    HANDLE hDone;
};

void AskingThread(void* p)
{
    AskJob* job = (AskJob*)p;
    ::PostMessageW(job->hWnd, WM_NOTE, 0, 0);
    job->answer = ::SendMessageW(job->hWnd, WM_ASK, 21, 0);   // blocks until the GUI thread answers
    ::SetEvent(job->hDone);
}

} // namespace

TEST(Waiting, GuiThreadWaitLetsAWorkersSentMessageThrough)
{
    CAnswerWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0), L"answer", WS_POPUP, 0, 0, 10, 10, NULL, NULL));
    CEvent done(FALSE, TRUE);
    AskJob job = { wnd.m_hWnd, 0, done.m_hObject };
    ASSERT_NE(_beginthread(AskingThread, 0, &job), (uintptr_t)-1);
    EXPECT_EQ(AfxWaitForSingleObjectSent(done.m_hObject, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(job.answer, 42);
    // The posted note waits for the message loop, as posted messages should.
    EXPECT_EQ(wnd.m_nNotes, 0);
    EXPECT_TRUE(WaitFor([&] { return wnd.m_nNotes == 1; }, 2000));

    // A timeout is reported as one.
    CEvent never(FALSE, TRUE);
    DWORD t0 = GetTickCount();
    EXPECT_EQ(AfxWaitForSingleObjectSent(never.m_hObject, 50), (DWORD)WAIT_TIMEOUT);
    EXPECT_GE(GetTickCount() - t0, 40u);
    wnd.DestroyWindow();
}

namespace {

struct CountJob
{
    CCriticalSection* pLock;
    CEvent* pGo;
    long counter;
    int loops;
    bool bAfterEnd;
};

unsigned CountingThread(void* p)
{
    CountJob* job = (CountJob*)p;
    job->pGo->Lock();
    for (int i = 0; i < job->loops; i++) {
        CSingleLock lock(job->pLock, TRUE);
        long v = job->counter;
        Sleep(0);
        job->counter = v + 1;
    }
    return 7;
}

void EndingThread(void* p)
{
    CountJob* job = (CountJob*)p;
    job->pGo->SetEvent();
    _endthread();
    job->bAfterEnd = true;   // never reached
}

} // namespace

TEST(Threads, LockedCounterAndEndedThread)
{
    CCriticalSection lock;
    CEvent go(FALSE, TRUE);
    CountJob job = { &lock, &go, 0, 2000, false };
    HANDLE h1 = (HANDLE)_beginthreadex(NULL, 0, CountingThread, &job, 0, NULL);
    HANDLE h2 = (HANDLE)_beginthreadex(NULL, 0, CountingThread, &job, 0, NULL);
    ASSERT_TRUE(h1 && h2);
    go.SetEvent();
    HANDLE both[2] = { h1, h2 };
    EXPECT_EQ(WaitForMultipleObjects(2, both, TRUE, 10000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeThread(h1, &code);
    EXPECT_EQ(code, 7u);
    CloseHandle(h1);
    CloseHandle(h2);
    EXPECT_EQ(job.counter, 4000);

    CEvent started(FALSE, TRUE);
    CountJob endJob = { &lock, &started, 0, 0, false };
    ASSERT_NE(_beginthread(EndingThread, 0, &endJob), (uintptr_t)-1);
    CSingleLock wait(&started);
    EXPECT_TRUE(wait.Lock(5000));
    EXPECT_TRUE(wait.IsLocked());
    Sleep(50);
    EXPECT_FALSE(endJob.bAfterEnd);

    CEvent unset(FALSE, TRUE);
    CSingleLock timed(&unset);
    EXPECT_FALSE(timed.Lock(10));
    EXPECT_FALSE(timed.IsLocked());
}

namespace {

class CProfileApp : public CWinApp
{
public:
    CProfileApp() : CWinApp(L"FwProfileApp") {}
};

} // namespace

TEST(Application, ProfileLivesUnderTheRegistryKey)
{
    CProfileApp app;
    EXPECT_EQ(AfxGetApp(), &app);
    app.SetRegistryKey(L"OrvfwTest");
    EXPECT_EQ(app.GetProfileInt(L"Capture", L"Count", -3), (UINT)-3);
    EXPECT_TRUE(app.WriteProfileInt(L"Capture", L"Count", 25));
    EXPECT_EQ(app.GetProfileInt(L"Capture", L"Count", 0), 25u);
    EXPECT_TRUE(app.WriteProfileString(L"Capture", L"Folder", L"C:\\影像\\樣本"));
    EXPECT_EQ(U(app.GetProfileString(L"Capture", L"Folder")), u"C:\\影像\\樣本");
    EXPECT_EQ(U(app.GetProfileString(L"Capture", L"Missing", L"dflt")), u"dflt");

    HKEY hKey = NULL;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\OrvfwTest\\FwProfileApp\\Capture", 0, KEY_READ, &hKey),
              ERROR_SUCCESS);
    DWORD value = 0, type = 0, cb = sizeof(value);
    EXPECT_EQ(RegQueryValueExW(hKey, L"Count", NULL, &type, (LPBYTE)&value, &cb), ERROR_SUCCESS);
    EXPECT_EQ(type, (DWORD)REG_DWORD);
    EXPECT_EQ(value, 25u);
    RegCloseKey(hKey);

    EXPECT_TRUE(app.WriteProfileString(L"Capture", L"Folder", NULL));
    EXPECT_EQ(U(app.GetProfileString(L"Capture", L"Folder", L"gone")), u"gone");
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\OrvfwTest");
}

TEST(Application, GlobalAppObjectRunsThroughTheFrameworksEntry)
{
    WCHAR cmd[] = L"fwappprobe.exe.so --probe";
    STARTUPINFOW si = { sizeof(si) };
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessW(NULL, cmd, NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi)) << GetLastError();
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 20000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    EXPECT_EQ(code, 42u);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}
