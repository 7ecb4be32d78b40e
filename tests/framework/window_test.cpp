// Windows: creation hook, message-map dispatch, subclassing, reflection, owner draw,
// colour requests and the handle maps.
#include "support/gtest.h"
#include "support/wintest.h"
#include "afxwin.h"
#include <string>
#include <vector>

namespace {

const UINT WM_PROBE_A = WM_USER + 5;
const UINT WM_PROBE_B = WM_USER + 6;
const UINT IDC_CHILD_A = 2001;
const UINT IDC_CHILD_B = 2002;

LPCWSTR FrameClass() { return AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorW(NULL, (LPCWSTR)IDC_ARROW), (HBRUSH)(COLOR_BTNFACE + 1)); }

class CBaseProbe : public CWnd
{
public:
    std::vector<std::string> m_log;
    afx_msg LRESULT OnProbeA(WPARAM, LPARAM) { m_log.push_back("base A"); return 1; }
    afx_msg LRESULT OnProbeB(WPARAM, LPARAM) { m_log.push_back("base B"); return 2; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseProbe, CWnd)
    ON_MESSAGE(WM_PROBE_A, OnProbeA)
    ON_MESSAGE(WM_PROBE_B, OnProbeB)
END_MESSAGE_MAP()

UINT g_registeredProbe = 0;   // registered by the test (no Win32 calls at load time)

class CDerivedProbe : public CBaseProbe
{
public:
    std::vector<std::string> m_events;
    LPVOID m_lpCreateParams = NULL;

    virtual BOOL PreCreateWindow(CREATESTRUCT& cs) override
    {
        m_events.push_back("PreCreateWindow");
        cs.style |= WS_CLIPCHILDREN;
        return CBaseProbe::PreCreateWindow(cs);
    }
    virtual void PreSubclassWindow() override { m_events.push_back("PreSubclassWindow"); }
    virtual void PostNcDestroy() override { m_events.push_back("PostNcDestroy"); }

    afx_msg int OnCreate(LPCREATESTRUCT lpcs)
    {
        m_events.push_back("OnCreate");
        m_lpCreateParams = lpcs->lpCreateParams;
        return CBaseProbe::OnCreate(lpcs);
    }
    afx_msg LRESULT OnProbeA(WPARAM, LPARAM) { m_log.push_back("derived A"); return 10; }
    afx_msg LRESULT OnRegistered(WPARAM wParam, LPARAM) { m_log.push_back("registered"); return (LRESULT)wParam + 1; }
    afx_msg void OnTimer(UINT nIDEvent)   // the older UINT form is accepted too
    {
        KillTimer(nIDEvent);
        m_log.push_back("timer");
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedProbe, CBaseProbe)
    ON_WM_CREATE()
    ON_WM_TIMER()
    ON_MESSAGE(WM_PROBE_A, OnProbeA)
    ON_REGISTERED_MESSAGE(g_registeredProbe, OnRegistered)
END_MESSAGE_MAP()

} // namespace

TEST(WindowCreation, HookDeliversCreationToTheDerivedClass)
{
    CDerivedProbe wnd;
    int cookie = 0;
    ASSERT_TRUE(wnd.CreateEx(0, FrameClass(), L"probe", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, NULL, NULL, &cookie));
    EXPECT_EQ(wnd.m_events, (std::vector<std::string>{ "PreCreateWindow", "PreSubclassWindow", "OnCreate" }));
    EXPECT_EQ(wnd.m_lpCreateParams, &cookie);
    EXPECT_TRUE(wnd.GetStyle() & WS_CLIPCHILDREN);
    EXPECT_EQ(CWnd::FromHandlePermanent(wnd.m_hWnd), &wnd);
    EXPECT_EQ(CWnd::FromHandle(wnd.m_hWnd), &wnd);

    HWND hWnd = wnd.m_hWnd;
    EXPECT_TRUE(wnd.DestroyWindow());
    EXPECT_EQ(wnd.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
    EXPECT_EQ(wnd.m_events.back(), "PostNcDestroy");
}

TEST(WindowCreation, FailedCreateLeavesNoWindowBehind)
{
    CDerivedProbe wnd;
    EXPECT_FALSE(wnd.CreateEx(0, L"NoSuchClassAnywhere", L"x", WS_POPUP, 0, 0, 10, 10, NULL, NULL));
    EXPECT_EQ(wnd.m_hWnd, nullptr);
    // Without a window there is nothing to clean up but the object itself.
    EXPECT_EQ(wnd.m_events.back(), "PostNcDestroy");
}

namespace {

class CEnableProbe : public CWnd
{
public:
    std::vector<std::string> m_log;
    afx_msg void OnEnable(BOOL bEnable) { m_log.push_back(bEnable ? "enable" : "disable"); }
    afx_msg LRESULT OnCancelMode(WPARAM, LPARAM)
    {
        m_log.push_back("cancel mode");
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CEnableProbe, CWnd)
    ON_WM_ENABLE()
    ON_MESSAGE(WM_CANCELMODE, OnCancelMode)
END_MESSAGE_MAP()

} // namespace

// Panels set every control's state on each refresh: a window already as asked gets no
// messages, and the answer is still whether it was disabled.
TEST(WindowState, EnablingAsItIsSendsNothingAndReportsThePreviousState)
{
    CEnableProbe wnd;
    ASSERT_TRUE(wnd.CreateEx(0, FrameClass(), L"probe", WS_POPUP, 0, 0, 50, 50, NULL, NULL));
    EXPECT_FALSE(wnd.EnableWindow(TRUE));
    EXPECT_TRUE(wnd.m_log.empty());
    EXPECT_FALSE(wnd.EnableWindow(FALSE));
    EXPECT_FALSE(wnd.IsWindowEnabled());
    wnd.m_log.clear();
    EXPECT_TRUE(wnd.EnableWindow(FALSE));
    EXPECT_TRUE(wnd.m_log.empty());
    EXPECT_TRUE(wnd.EnableWindow(TRUE));
    EXPECT_EQ(wnd.m_log, (std::vector<std::string>{"enable"}));
    EXPECT_TRUE(wnd.IsWindowEnabled());
    wnd.DestroyWindow();
}

TEST(MessageMaps, DerivedMapWinsAndBaseMapsCatchTheRest)
{
    g_registeredProbe = ::RegisterWindowMessageW(L"OrvfwTestProbe");
    CDerivedProbe wnd;
    ASSERT_TRUE(wnd.CreateEx(0, FrameClass(), L"probe", WS_POPUP, 0, 0, 50, 50, NULL, NULL));
    EXPECT_EQ(wnd.SendMessage(WM_PROBE_A), 10);
    EXPECT_EQ(wnd.SendMessage(WM_PROBE_B), 2);
    EXPECT_EQ(wnd.SendMessage(g_registeredProbe, 41), 42);
    EXPECT_EQ(wnd.m_log, (std::vector<std::string>{ "derived A", "base B", "registered" }));

    wnd.SetTimer(3, 10);
    EXPECT_TRUE(WaitFor([&] { return wnd.m_log.size() == 4; }, 2000));
    EXPECT_EQ(wnd.m_log.back(), "timer");
    wnd.DestroyWindow();
}

namespace {

int g_rawCalls[2];

LRESULT CALLBACK RawProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_PROBE_A) { g_rawCalls[0]++; return 1234; }
    if (msg == WM_PROBE_B) { g_rawCalls[1]++; return 99; }
    return DefWindowProcW(hWnd, msg, wParam, lParam);
}

HWND CreateRawWindow(HWND hParent = NULL)
{
    static ATOM atom = 0;
    if (!atom) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = RawProc;
        wc.hInstance = GetModuleHandleW(NULL);
        wc.lpszClassName = L"OrvfwTestRaw";
        atom = RegisterClassW(&wc);
    }
    return CreateWindowExW(0, L"OrvfwTestRaw", L"raw", hParent ? WS_CHILD : WS_POPUP, 0, 0, 20, 20, hParent, NULL,
                           GetModuleHandleW(NULL), NULL);
}

class CSubclassProbe : public CWnd
{
public:
    int m_nPreSubclass = 0;
    int m_nHandled = 0;
    virtual void PreSubclassWindow() override { m_nPreSubclass++; }
    afx_msg LRESULT OnProbeB(WPARAM, LPARAM) { m_nHandled++; return 7; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSubclassProbe, CWnd)
    ON_MESSAGE(WM_PROBE_B, OnProbeB)
END_MESSAGE_MAP()

} // namespace

TEST(Subclassing, UnhandledMessagesReachTheOriginalProcedure)
{
    HWND hRaw = CreateRawWindow();
    ASSERT_NE(hRaw, nullptr);
    g_rawCalls[0] = g_rawCalls[1] = 0;
    {
        CSubclassProbe probe;
        ASSERT_TRUE(probe.SubclassWindow(hRaw));
        EXPECT_EQ(probe.m_nPreSubclass, 1);
        EXPECT_EQ(CWnd::FromHandlePermanent(hRaw), &probe);

        // A second object for the same window is refused.
        CWnd other;
        EXPECT_FALSE(other.Attach(hRaw));

        EXPECT_EQ(SendMessageW(hRaw, WM_PROBE_A, 0, 0), 1234);   // not mapped: original procedure
        EXPECT_EQ(SendMessageW(hRaw, WM_PROBE_B, 0, 0), 7);      // mapped: never reaches it
        EXPECT_EQ(g_rawCalls[0], 1);
        EXPECT_EQ(g_rawCalls[1], 0);
        EXPECT_EQ(probe.m_nHandled, 1);

        EXPECT_EQ(probe.UnsubclassWindow(), hRaw);
        EXPECT_EQ(CWnd::FromHandlePermanent(hRaw), nullptr);
        EXPECT_EQ(SendMessageW(hRaw, WM_PROBE_B, 0, 0), 99);
    }
    EXPECT_TRUE(IsWindow(hRaw));   // the unsubclassed object did not destroy it
    DestroyWindow(hRaw);
}

namespace {

unsigned DeleteProbeThread(void* p)
{
    delete (CSubclassProbe*)p;
    return 0;
}

} // namespace

TEST(Subclassing, ObjectDeletedOnAnotherThreadLeavesNoMapEntry)
{
    HWND hRaw = CreateRawWindow();
    CSubclassProbe* probe = new CSubclassProbe;
    ASSERT_TRUE(probe->SubclassWindow(hRaw));
    HANDLE hThread = (HANDLE)_beginthreadex(NULL, 0, DeleteProbeThread, probe, 0, NULL);
    // The deleting thread may ask this one to destroy the window: answer while waiting.
    EXPECT_EQ(AfxWaitForSingleObjectSent(hThread, 5000), WAIT_OBJECT_0);
    CloseHandle(hThread);
    EXPECT_EQ(CWnd::FromHandlePermanent(hRaw), nullptr);
    if (IsWindow(hRaw)) {
        EXPECT_EQ(SendMessageW(hRaw, WM_PROBE_A, 0, 0), 1234);   // back on its own procedure
        DestroyWindow(hRaw);
    }
}

namespace {

class CParentProbe : public CWnd
{
public:
    int m_nClickA = 0, m_nClickB = 0, m_nNotifyA = 0, m_nCtlColor = 0;
    bool m_bOwnCtlColor = false;
    afx_msg void OnClickA() { m_nClickA++; }
    afx_msg void OnClickB() { m_nClickB++; }
    afx_msg void OnNotifyA(NMHDR*, LRESULT* pResult) { m_nNotifyA++; *pResult = 5; }
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
    {
        m_nCtlColor++;
        return CWnd::OnCtlColor(pDC, pWnd, nCtlColor);   // the base hands it to the child
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CParentProbe, CWnd)
    ON_BN_CLICKED(IDC_CHILD_A, OnClickA)
    ON_BN_CLICKED(IDC_CHILD_B, OnClickB)
    ON_NOTIFY(NM_CLICK, IDC_CHILD_A, OnNotifyA)
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

class CPlainParent : public CWnd {};

class CReflectButton : public CButton
{
public:
    int m_nReflected = 0, m_nNotify = 0, m_nDrawn = 0;
    UINT m_nLastDrawId = 0;
    afx_msg void OnReflectedClick() { m_nReflected++; }
    afx_msg void OnReflectedNotify(NMHDR*, LRESULT* pResult) { m_nNotify++; *pResult = 9; }
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDIS) override
    {
        m_nDrawn++;
        m_nLastDrawId = lpDIS->CtlID;
        ::FillRect(lpDIS->hDC, &lpDIS->rcItem, (HBRUSH)GetStockObject(BLACK_BRUSH));
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CReflectButton, CButton)
    ON_CONTROL_REFLECT(BN_CLICKED, OnReflectedClick)
    ON_NOTIFY_REFLECT(NM_CLICK, OnReflectedNotify)
END_MESSAGE_MAP()

class CSharingButton : public CButton
{
public:
    int m_nReflected = 0;
    afx_msg BOOL OnReflectedClick() { m_nReflected++; return FALSE; }   // let the parent see it too
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSharingButton, CButton)
    ON_CONTROL_REFLECT_EX(BN_CLICKED, OnReflectedClick)
END_MESSAGE_MAP()

class CColorStatic : public CStatic
{
public:
    CBrush m_brush;
    int m_nCalls = 0;
    bool m_bDecline = false;
    CColorStatic() { m_brush.CreateSolidBrush(RGB(0, 128, 255)); }
    afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor)
    {
        m_nCalls++;
        EXPECT_EQ(nCtlColor, (UINT)CTLCOLOR_STATIC);
        if (m_bDecline) return NULL;
        pDC->SetTextColor(RGB(255, 0, 0));
        return m_brush;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CColorStatic, CStatic)
    ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

} // namespace

TEST(Reflection, ReflectedNotificationNeverReachesTheParent)
{
    CParentProbe parent;
    ASSERT_TRUE(parent.CreateEx(0, FrameClass(), L"parent", WS_POPUP, 0, 0, 200, 100, NULL, NULL));
    CReflectButton a;
    CSharingButton b;
    ASSERT_TRUE(a.Create(L"A", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(0, 0, 50, 20), &parent, IDC_CHILD_A));
    ASSERT_TRUE(b.Create(L"B", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(60, 0, 110, 20), &parent, IDC_CHILD_B));

    // What the controls send when clicked.
    parent.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_CHILD_A, BN_CLICKED), (LPARAM)a.m_hWnd);
    parent.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_CHILD_B, BN_CLICKED), (LPARAM)b.m_hWnd);
    EXPECT_EQ(a.m_nReflected, 1);
    EXPECT_EQ(parent.m_nClickA, 0);
    EXPECT_EQ(b.m_nReflected, 1);
    EXPECT_EQ(parent.m_nClickB, 1);

    NMHDR nm = { a.m_hWnd, IDC_CHILD_A, (UINT)NM_CLICK };
    EXPECT_EQ(parent.SendMessage(WM_NOTIFY, IDC_CHILD_A, (LPARAM)&nm), 9);
    EXPECT_EQ(a.m_nNotify, 1);
    EXPECT_EQ(parent.m_nNotifyA, 0);

    // A real click travels the same way.
    a.SendMessage(BM_CLICK);
    EXPECT_EQ(a.m_nReflected, 2);
    EXPECT_EQ(parent.m_nClickA, 0);

    // A control without a framework object is the parent's alone.
    HWND hBare = CreateWindowExW(0, L"BUTTON", L"bare", WS_CHILD, 0, 30, 40, 20, parent.m_hWnd,
                                 (HMENU)(UINT_PTR)IDC_CHILD_A, GetModuleHandleW(NULL), NULL);
    parent.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_CHILD_A, BN_CLICKED), (LPARAM)hBare);
    EXPECT_EQ(parent.m_nClickA, 1);
    parent.DestroyWindow();
}

TEST(Reflection, BaseOnCtlColorReachesTheChildsReflectedHandler)
{
    CPlainParent plain;
    ASSERT_TRUE(plain.CreateEx(0, FrameClass(), L"plain", WS_POPUP, 0, 0, 200, 100, NULL, NULL));
    CColorStatic label;
    ASSERT_TRUE(label.Create(L"label", WS_CHILD | WS_VISIBLE, CRect(0, 0, 80, 20), &plain, 3001));

    HDC hdc = GetDC(plain.m_hWnd);
    SetTextColor(hdc, RGB(0, 0, 0));
    LRESULT r = plain.SendMessage(WM_CTLCOLORSTATIC, (WPARAM)hdc, (LPARAM)label.m_hWnd);
    EXPECT_EQ((HBRUSH)r, (HBRUSH)label.m_brush);
    EXPECT_EQ(GetTextColor(hdc), RGB(255, 0, 0));
    EXPECT_EQ(label.m_nCalls, 1);

    // A NULL brush declines: the parent's default answer stands.
    label.m_bDecline = true;
    r = plain.SendMessage(WM_CTLCOLORSTATIC, (WPARAM)hdc, (LPARAM)label.m_hWnd);
    EXPECT_NE((HBRUSH)r, (HBRUSH)label.m_brush);
    EXPECT_EQ(label.m_nCalls, 2);
    label.m_bDecline = false;
    ReleaseDC(plain.m_hWnd, hdc);

    // A parent with its own handler that calls the base reaches the child as well, and
    // so does the control's own painting.
    CParentProbe parent;
    ASSERT_TRUE(parent.CreateEx(0, FrameClass(), L"parent", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, NULL, NULL));
    CColorStatic label2;
    ASSERT_TRUE(label2.Create(L"label", WS_CHILD | WS_VISIBLE, CRect(0, 0, 80, 20), &parent, 3002));
    label2.Invalidate();
    label2.UpdateWindow();
    EXPECT_GE(label2.m_nCalls, 1);
    EXPECT_GE(parent.m_nCtlColor, 1);
    parent.DestroyWindow();
    plain.DestroyWindow();
}

namespace {

class CMeasuredList : public CListBox
{
public:
    int m_nMeasured = 0;
    virtual void MeasureItem(LPMEASUREITEMSTRUCT lpMIS) override
    {
        m_nMeasured++;
        lpMIS->itemHeight = 23;
    }
    virtual void DrawItem(LPDRAWITEMSTRUCT) override {}
};

} // namespace

TEST(OwnerDraw, DrawAndMeasureReachTheControl)
{
    CPlainParent parent;
    ASSERT_TRUE(parent.CreateEx(0, FrameClass(), L"od", WS_POPUP | WS_VISIBLE, 0, 0, 200, 150, NULL, NULL));
    CReflectButton button;
    ASSERT_TRUE(button.Create(L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(0, 0, 40, 20), &parent, IDC_CHILD_A));
    button.Invalidate();
    button.UpdateWindow();
    EXPECT_GE(button.m_nDrawn, 1);
    EXPECT_EQ(button.m_nLastDrawId, IDC_CHILD_A);

    CMeasuredList list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS, CRect(0, 30, 100, 130), &parent, 3003));
    list.AddString(L"first");
    EXPECT_GE(list.m_nMeasured, 1);
    EXPECT_EQ(list.GetItemHeight(0), 23);
    parent.DestroyWindow();
}

namespace {

struct TempProbe
{
    HWND hWnd;
    HWND hPermanent;
    CWnd* pTemp;
    CWnd* pPermanent;
    HWND hTempSeen;
};

unsigned TempProbeThread(void* p)
{
    TempProbe* probe = (TempProbe*)p;
    probe->pTemp = CWnd::FromHandle(probe->hWnd);
    probe->hTempSeen = probe->pTemp->m_hWnd;
    probe->pPermanent = CWnd::FromHandle(probe->hPermanent);
    return 0;
}

} // namespace

TEST(HandleMaps, TemporariesArePerThreadPermanentObjectsShared)
{
    HWND hRaw = CreateRawWindow();
    CDerivedProbe perm;
    ASSERT_TRUE(perm.CreateEx(0, FrameClass(), L"perm", WS_POPUP, 0, 0, 10, 10, NULL, NULL));

    CWnd* pMine = CWnd::FromHandle(hRaw);
    ASSERT_NE(pMine, nullptr);
    EXPECT_EQ(pMine->m_hWnd, hRaw);
    EXPECT_EQ(CWnd::FromHandle(hRaw), pMine);   // stable within the thread
    EXPECT_EQ(CWnd::FromHandlePermanent(hRaw), nullptr);

    TempProbe probe = { hRaw, perm.m_hWnd, NULL, NULL, NULL };
    HANDLE hThread = (HANDLE)_beginthreadex(NULL, 0, TempProbeThread, &probe, 0, NULL);
    ASSERT_NE(hThread, nullptr);
    EXPECT_EQ(WaitForSingleObject(hThread, 5000), WAIT_OBJECT_0);
    CloseHandle(hThread);
    EXPECT_NE(probe.pTemp, pMine);
    EXPECT_EQ(probe.hTempSeen, hRaw);
    EXPECT_EQ(probe.pPermanent, &perm);

    // Temporaries die at idle time; the window does not.
    AfxUnlockTempMaps();
    EXPECT_TRUE(IsWindow(hRaw));
    EXPECT_EQ(CWnd::FromHandle(hRaw)->m_hWnd, hRaw);
    AfxUnlockTempMaps();
    DestroyWindow(hRaw);
    perm.DestroyWindow();
}

TEST(HandleMaps, NullObjectsGiveNullHandles)
{
    // Callers rely on the Safe accessors through null pointers (an absent parent).
    CWnd* volatile pNone = CWnd::FromHandle(NULL);
    EXPECT_EQ(pNone, nullptr);
    EXPECT_EQ(pNone->GetSafeHwnd(), nullptr);
    CDC* volatile pNoDC = NULL;
    EXPECT_EQ(pNoDC->GetSafeHdc(), nullptr);
    CGdiObject* volatile pNoObj = NULL;
    EXPECT_EQ(pNoObj->GetSafeHandle(), nullptr);
}
