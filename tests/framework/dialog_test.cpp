// Dialogs: templates in memory and in resources, data exchange, the modal loop,
// pre-translation and command routing.
#include "support/gtest.h"
#include "support/wintest.h"
#include "afxwin.h"
#include "dlgtemplate.h"
#include "fwtest_res.h"
#include <string>
#include <vector>

namespace {

std::u16string U(LPCWSTR s) { return std::u16string((const char16_t*)s); }

const WORD IDC_SKIN_BUTTON = 1001;
const WORD IDC_NAME = 1002;
const WORD IDC_COUNT = 1003;
const WORD IDC_FRAMES = 1004;
const WORD IDC_GAIN = 1005;
const WORD IDC_GAMMA = 1006;
const WORD IDC_ENABLE = 1007;
const WORD IDC_RADIO_FIRST = 1010;
const WORD IDC_AFTER_RADIOS = 1013;

LPCWSTR FrameClass() { return AfxRegisterWndClass(0, ::LoadCursorW(NULL, (LPCWSTR)IDC_ARROW), (HBRUSH)(COLOR_BTNFACE + 1)); }

class CStyleProbeButton : public CButton
{
public:
    DWORD m_dwStyleSeen = 0;
    int m_nPreSubclass = 0;
    int m_nDrawn = 0;
    virtual void PreSubclassWindow() override
    {
        m_nPreSubclass++;
        m_dwStyleSeen = GetStyle();
    }
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDIS) override
    {
        m_nDrawn++;
        ::FillRect(lpDIS->hDC, &lpDIS->rcItem, (HBRUSH)GetStockObject(GRAY_BRUSH));
    }
};

class CSettingsDlg : public CDialog
{
public:
    CStyleProbeButton m_button;
    CString m_strName;
    int m_nCount = 0;
    UINT m_nFrames = 0;
    float m_fGain = 0;
    double m_dGamma = 0;
    int m_bEnable = 0;
    int m_nMode = 0;

    virtual void DoDataExchange(CDataExchange* pDX) override
    {
        CDialog::DoDataExchange(pDX);
        DDX_Control(pDX, IDC_SKIN_BUTTON, m_button);
        DDX_Text(pDX, IDC_NAME, m_strName);
        DDX_Text(pDX, IDC_COUNT, m_nCount);
        DDX_Text(pDX, IDC_FRAMES, m_nFrames);
        DDX_Text(pDX, IDC_GAIN, m_fGain);
        DDX_Text(pDX, IDC_GAMMA, m_dGamma);
        DDX_Check(pDX, IDC_ENABLE, m_bEnable);
        DDX_Radio(pDX, IDC_RADIO_FIRST, m_nMode);
    }
};

DlgTemplate SettingsTemplate(DWORD style)
{
    DlgTemplate t(style, 200, 150, L"settings");
    t.Item(DlgTemplate::BUTTON, IDC_SKIN_BUTTON, BS_OWNERDRAW | WS_TABSTOP, 4, 4, 40, 14)
     .Item(DlgTemplate::EDIT, IDC_NAME, ES_AUTOHSCROLL | WS_TABSTOP, 4, 20, 80, 12)
     .Item(DlgTemplate::EDIT, IDC_COUNT, ES_AUTOHSCROLL, 4, 34, 80, 12)
     .Item(DlgTemplate::EDIT, IDC_FRAMES, ES_AUTOHSCROLL, 4, 48, 80, 12)
     .Item(DlgTemplate::EDIT, IDC_GAIN, ES_AUTOHSCROLL, 4, 62, 80, 12)
     .Item(DlgTemplate::EDIT, IDC_GAMMA, ES_AUTOHSCROLL, 4, 76, 80, 12)
     .Item(DlgTemplate::BUTTON, IDC_ENABLE, BS_AUTOCHECKBOX, 4, 90, 80, 10, L"enable")
     .Item(DlgTemplate::BUTTON, IDC_RADIO_FIRST, BS_AUTORADIOBUTTON | WS_GROUP, 100, 4, 60, 10, L"a")
     .Item(DlgTemplate::BUTTON, IDC_RADIO_FIRST + 1, BS_AUTORADIOBUTTON, 100, 16, 60, 10, L"b")
     .Item(DlgTemplate::BUTTON, IDC_RADIO_FIRST + 2, BS_AUTORADIOBUTTON, 100, 28, 60, 10, L"c")
     .Item(DlgTemplate::BUTTON, IDC_AFTER_RADIOS, BS_AUTORADIOBUTTON | WS_GROUP, 100, 40, 60, 10, L"other group");
    return t;
}

} // namespace

TEST(DialogData, ControlIsSubclassedWithTheTemplatesStyle)
{
    DlgTemplate t = SettingsTemplate(WS_POPUP | WS_VISIBLE);
    CSettingsDlg dlg;
    ASSERT_TRUE(dlg.CreateIndirect(t.Get(), NULL));
    EXPECT_EQ(dlg.m_button.m_nPreSubclass, 1);
    EXPECT_EQ(dlg.m_button.m_dwStyleSeen & BS_TYPEMASK, (DWORD)BS_OWNERDRAW);
    EXPECT_TRUE(dlg.m_button.m_dwStyleSeen & WS_TABSTOP);
    EXPECT_EQ(dlg.m_button.m_hWnd, ::GetDlgItem(dlg.m_hWnd, IDC_SKIN_BUTTON));
    EXPECT_EQ(CWnd::FromHandlePermanent(dlg.m_button.m_hWnd), &dlg.m_button);

    // The dialog's owner-draw request reaches the subclassed control.
    dlg.m_button.Invalidate();
    dlg.m_button.UpdateWindow();
    EXPECT_GE(dlg.m_button.m_nDrawn, 1);
    dlg.DestroyWindow();
    EXPECT_EQ(dlg.m_button.m_hWnd, nullptr);
}

TEST(DialogData, ValuesTravelBothWays)
{
    DlgTemplate t = SettingsTemplate(WS_POPUP);
    CSettingsDlg dlg;
    dlg.m_strName = L"螢光 1";
    dlg.m_nCount = -12;
    dlg.m_nFrames = 4000000000u;
    dlg.m_fGain = 1.5f;
    dlg.m_dGamma = 0.45;
    dlg.m_bEnable = 1;
    dlg.m_nMode = 2;
    ASSERT_TRUE(dlg.CreateIndirect(t.Get(), NULL));   // OnInitDialog fills the controls

    CString s;
    dlg.GetDlgItemText(IDC_NAME, s);
    EXPECT_EQ(U(s), u"螢光 1");
    dlg.GetDlgItemText(IDC_COUNT, s);
    EXPECT_EQ(U(s), u"-12");
    dlg.GetDlgItemText(IDC_FRAMES, s);
    EXPECT_EQ(U(s), u"4000000000");
    dlg.GetDlgItemText(IDC_GAIN, s);
    EXPECT_EQ(U(s), u"1.5");
    dlg.GetDlgItemText(IDC_GAMMA, s);
    EXPECT_EQ(U(s), u"0.45");
    EXPECT_EQ(dlg.IsDlgButtonChecked(IDC_ENABLE), (UINT)BST_CHECKED);
    EXPECT_EQ(dlg.GetCheckedRadioButton(IDC_RADIO_FIRST, IDC_RADIO_FIRST + 2), IDC_RADIO_FIRST + 2);

    dlg.SetDlgItemText(IDC_NAME, L"明場");
    dlg.SetDlgItemText(IDC_COUNT, L" 42 ");
    dlg.SetDlgItemText(IDC_GAIN, L"2.25");
    dlg.SetDlgItemText(IDC_GAMMA, L"1e-3");
    dlg.CheckDlgButton(IDC_ENABLE, BST_UNCHECKED);
    dlg.CheckRadioButton(IDC_RADIO_FIRST, IDC_RADIO_FIRST + 2, IDC_RADIO_FIRST);
    dlg.CheckDlgButton(IDC_AFTER_RADIOS, BST_CHECKED);   // another group: not counted
    ASSERT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(U(dlg.m_strName), u"明場");
    EXPECT_EQ(dlg.m_nCount, 42);
    EXPECT_FLOAT_EQ(dlg.m_fGain, 2.25f);
    EXPECT_DOUBLE_EQ(dlg.m_dGamma, 0.001);
    EXPECT_EQ(dlg.m_bEnable, 0);
    EXPECT_EQ(dlg.m_nMode, 0);

    // Bad input: the user is told, the member keeps its value, the exchange fails.
    DialogWatcher watcher(IDOK);
    dlg.SetDlgItemText(IDC_COUNT, L"12abc");
    EXPECT_FALSE(dlg.UpdateData(TRUE));
    EXPECT_EQ(dlg.m_nCount, 42);
    EXPECT_EQ(watcher.Count(), 1);
    dlg.SetDlgItemText(IDC_COUNT, L"1");
    dlg.SetDlgItemText(IDC_FRAMES, L"-1");
    EXPECT_FALSE(dlg.UpdateData(TRUE));
    EXPECT_EQ(watcher.Count(), 2);
    watcher.Stop();

    // Showing what a control already shows leaves the user's caret where it was.
    dlg.SetDlgItemText(IDC_FRAMES, L"7");
    ASSERT_TRUE(dlg.UpdateData(TRUE));
    const HWND name = dlg.GetDlgItem(IDC_NAME)->m_hWnd;
    ::SendMessageW(name, EM_SETSEL, 1, 1);
    ASSERT_TRUE(dlg.UpdateData(FALSE));
    AfxSetWindowText(name, L"明場");
    DWORD from = 0, to = 0;
    ::SendMessageW(name, EM_GETSEL, (WPARAM)&from, (LPARAM)&to);
    EXPECT_EQ(from, 1u);
    EXPECT_EQ(to, 1u);
    AfxSetWindowText(name, L"暗場 2");
    dlg.GetDlgItemText(IDC_NAME, s);
    EXPECT_EQ(U(s), u"暗場 2");
    dlg.DestroyWindow();
}

namespace {

class CTimedDlg : public CDialog
{
public:
    CWnd* m_pOwner = NULL;
    bool m_bOwnerWasDisabled = false;
    bool m_bInit = false;
    CPoint* m_pMoveTo = NULL;
    CRect m_shown;
    virtual BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        m_bInit = true;
        if (m_pMoveTo)
            SetWindowPos(NULL, m_pMoveTo->x, m_pMoveTo->y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        SetTimer(7, 30);
        return TRUE;
    }
    afx_msg void OnTimer(UINT_PTR nIDEvent)
    {
        KillTimer(nIDEvent);
        GetWindowRect(&m_shown);
        m_bOwnerWasDisabled = !m_pOwner->IsWindowEnabled();
        EndDialog(4242);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTimedDlg, CDialog)
    ON_WM_TIMER()
END_MESSAGE_MAP()

// A visible owner window at `at` and a timed one-button modal dialog made for it.
struct TimedModalOnOwner
{
    explicit TimedModalOnOwner(const CRect& at) : t(WS_POPUP | WS_CAPTION, 120, 60, L"modal")
    {
        made = owner.CreateEx(0, FrameClass(), L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, at.left, at.top,
                              at.Width(), at.Height(), NULL, NULL);
        t.Item(DlgTemplate::BUTTON, IDOK, BS_DEFPUSHBUTTON, 4, 4, 50, 14, L"OK");
        dlg.m_pOwner = &owner;
        dlg.InitModalIndirect(t.Get(), &owner);
    }
    ~TimedModalOnOwner() { owner.DestroyWindow(); }
    CWnd owner;
    DlgTemplate t;
    CTimedDlg dlg;
    BOOL made;
};

} // namespace

TEST(ModalDialog, EndedFromATimerReturnsItsCodeAndFreesTheOwner)
{
    TimedModalOnOwner m(CRect(0, 0, 300, 200));
    ASSERT_TRUE(m.made);
    CWnd& owner = m.owner;
    CTimedDlg& dlg = m.dlg;
    EXPECT_EQ(dlg.DoModal(), 4242);
    EXPECT_TRUE(dlg.m_bInit);
    EXPECT_TRUE(dlg.m_bOwnerWasDisabled);
    EXPECT_TRUE(owner.IsWindowEnabled());
    EXPECT_EQ(dlg.m_hWnd, nullptr);

    // The same object runs again.
    dlg.m_bOwnerWasDisabled = false;
    EXPECT_EQ(dlg.DoModal(), 4242);
    EXPECT_TRUE(owner.IsWindowEnabled());
}

TEST(ModalDialog, OpensCentredOnItsOwnerUnlessItPlacedItself)
{
    TimedModalOnOwner m(CRect(200, 150, 800, 550));
    ASSERT_TRUE(m.made);
    CTimedDlg& dlg = m.dlg;
    CRect ownerRect;
    m.owner.GetWindowRect(&ownerRect);
    EXPECT_EQ(dlg.DoModal(), 4242);
    EXPECT_NEAR(dlg.m_shown.CenterPoint().x, ownerRect.CenterPoint().x, 1);
    EXPECT_NEAR(dlg.m_shown.CenterPoint().y, ownerRect.CenterPoint().y, 1);

    CPoint placed(30, 40);
    dlg.m_pMoveTo = &placed;
    EXPECT_EQ(dlg.DoModal(), 4242);
    EXPECT_EQ(dlg.m_shown.TopLeft(), placed);
}

TEST(ModalDialog, MissingTemplateFailsWithoutTouchingTheOwner)
{
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, FrameClass(), L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, NULL, NULL));
    CDialog dlg(4711, &owner);
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_TRUE(owner.IsWindowEnabled());
    owner.DestroyWindow();
}

namespace {

std::vector<std::string> g_walk;

class CWalkEdit : public CEdit
{
public:
    virtual BOOL PreTranslateMessage(MSG* pMsg) override { g_walk.push_back("edit"); return CEdit::PreTranslateMessage(pMsg); }
};

class CWalkPanel : public CDialog
{
public:
    CWalkEdit m_edit;
    virtual void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDC_NAME, m_edit); }
    virtual BOOL PreTranslateMessage(MSG* pMsg) override { g_walk.push_back("panel"); return CDialog::PreTranslateMessage(pMsg); }
};

class CWalkFrame : public CWnd
{
public:
    int m_nOwnerCommand = 0;
    virtual BOOL PreTranslateMessage(MSG* pMsg) override { g_walk.push_back("frame"); return CWnd::PreTranslateMessage(pMsg); }
    afx_msg void OnOwnerCommand() { m_nOwnerCommand++; }
    DECLARE_MESSAGE_MAP()
};

const UINT ID_CMD_OWNER = 0x8101;
const UINT ID_CMD_APP = 0x8102;

BEGIN_MESSAGE_MAP(CWalkFrame, CWnd)
    ON_COMMAND(ID_CMD_OWNER, OnOwnerCommand)
END_MESSAGE_MAP()

class CWalkApp : public CWinApp
{
public:
    int m_nAppCommand = 0;
    CWalkApp() : CWinApp(L"FwWalkApp") {}
    virtual BOOL PreTranslateMessage(MSG* pMsg) override
    {
        BOOL bDone = CWinApp::PreTranslateMessage(pMsg);
        g_walk.push_back("app");
        return bDone;
    }
    afx_msg void OnAppCommand() { m_nAppCommand++; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CWalkApp, CWinApp)
    ON_COMMAND(ID_CMD_APP, OnAppCommand)
END_MESSAGE_MAP()

class CRoutedDlg : public CDialog
{
public:
    int m_nOwn = 0;
    afx_msg void OnOwn() { m_nOwn++; }
    DECLARE_MESSAGE_MAP()
};

const UINT ID_CMD_DIALOG = 0x8103;

BEGIN_MESSAGE_MAP(CRoutedDlg, CDialog)
    ON_COMMAND(ID_CMD_DIALOG, OnOwn)
END_MESSAGE_MAP()

} // namespace

TEST(PreTranslation, WalksFromTheTargetUpToTheMainWindowThenTheApp)
{
    CWalkApp app;
    CWalkFrame frame;
    ASSERT_TRUE(frame.CreateEx(0, FrameClass(), L"main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, NULL, NULL));
    app.m_pMainWnd = &frame;

    DlgTemplate t(WS_CHILD | WS_VISIBLE | DS_CONTROL, 150, 60);
    t.Item(DlgTemplate::EDIT, IDC_NAME, ES_AUTOHSCROLL | WS_TABSTOP, 4, 4, 80, 12);
    CWalkPanel panel;
    ASSERT_TRUE(panel.CreateIndirect(t.Get(), &frame));
    ASSERT_NE(panel.m_edit.m_hWnd, nullptr);

    // Posted messages come out of the queue before paint and timer messages.
    PumpMessagesFor(50);
    g_walk.clear();
    panel.m_edit.PostMessage(WM_USER + 77);
    ASSERT_TRUE(AfxPumpMessage());
    EXPECT_EQ(g_walk, (std::vector<std::string>{ "edit", "panel", "frame", "app" }));

    // Keyboard input is the panel's dialog navigation: the walk stops there.
    PumpMessagesFor(20);
    g_walk.clear();
    panel.m_edit.PostMessage(WM_KEYDOWN, VK_TAB, 0);
    ASSERT_TRUE(AfxPumpMessage());
    EXPECT_EQ(g_walk, (std::vector<std::string>{ "edit", "panel", "app" }));

    // Commands a dialog does not handle go to its owner, then to the application;
    // control notifications stay with the dialog.
    DlgTemplate tp(WS_POPUP, 100, 50, L"routed");
    CRoutedDlg routed;
    ASSERT_TRUE(routed.CreateIndirect(tp.Get(), &frame));
    routed.SendMessage(WM_COMMAND, MAKEWPARAM(ID_CMD_DIALOG, 0), 0);
    routed.SendMessage(WM_COMMAND, MAKEWPARAM(ID_CMD_OWNER, 0), 0);
    routed.SendMessage(WM_COMMAND, MAKEWPARAM(ID_CMD_APP, 0), 0);
    EXPECT_EQ(routed.m_nOwn, 1);
    EXPECT_EQ(frame.m_nOwnerCommand, 1);
    EXPECT_EQ(app.m_nAppCommand, 1);
    routed.SendMessage(WM_COMMAND, MAKEWPARAM(ID_CMD_OWNER, EN_CHANGE), (LPARAM)panel.m_edit.m_hWnd);
    EXPECT_EQ(frame.m_nOwnerCommand, 1);

    routed.DestroyWindow();
    app.m_pMainWnd = NULL;
    panel.DestroyWindow();
    frame.DestroyWindow();
}

TEST(ResourceDialogs, ChildAndPopupTemplatesByIdAndName)
{
    CWnd frame;
    ASSERT_TRUE(frame.CreateEx(0, FrameClass(), L"host", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, NULL, NULL));
    CDialog child;
    ASSERT_TRUE(child.Create(IDD_CHILD_PANEL, &frame));
    EXPECT_TRUE(child.GetStyle() & WS_CHILD);
    EXPECT_EQ(child.GetParent(), &frame);
    CString text;
    child.GetDlgItem(IDC_PANEL_CHECK)->GetWindowText(text);
    EXPECT_EQ(U(text), u"啟用");

    CDialog popup;
    ASSERT_TRUE(popup.Create(L"NAMED_POPUP", NULL));
    EXPECT_TRUE(popup.GetStyle() & WS_POPUP);
    popup.GetWindowText(text);
    EXPECT_EQ(U(text), u"設定");

    CDialog missing;
    EXPECT_FALSE(missing.Create(4711, &frame));
    popup.DestroyWindow();
    child.DestroyWindow();
    frame.DestroyWindow();
}

namespace {

class CEscapeDlg : public CDialog
{
public:
    virtual BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        SetTimer(1, 30);
        return TRUE;
    }
    afx_msg void OnTimer(UINT_PTR nIDEvent)
    {
        KillTimer(nIDEvent);
        // As if the user pressed Escape: it goes through the modal loop's
        // pre-translation, where the dialog manager turns it into IDCANCEL.
        ::PostMessageW(::GetDlgItem(m_hWnd, IDC_NAME), WM_KEYDOWN, VK_ESCAPE, 0);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CEscapeDlg, CDialog)
    ON_WM_TIMER()
END_MESSAGE_MAP()

int g_nPanelsDeleted = 0;

class CSelfDeletingPanel : public CDialog
{
public:
    ~CSelfDeletingPanel() { g_nPanelsDeleted++; }
    virtual void PostNcDestroy() override { delete this; }
};

} // namespace

TEST(ModalDialog, EscapeKeyCancelsThroughTheModalLoop)
{
    DlgTemplate t(WS_POPUP | WS_CAPTION, 120, 60, L"escape");
    t.Item(DlgTemplate::EDIT, IDC_NAME, ES_AUTOHSCROLL | WS_TABSTOP, 4, 4, 80, 12)
     .Item(DlgTemplate::BUTTON, IDOK, BS_DEFPUSHBUTTON, 4, 20, 50, 14, L"OK");
    CEscapeDlg dlg;
    dlg.InitModalIndirect(t.Get(), NULL);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST(ModelessDialog, HeapPanelDeletesItselfWhenDestroyed)
{
    CWnd host;
    ASSERT_TRUE(host.CreateEx(0, FrameClass(), L"host", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, NULL, NULL));
    DlgTemplate t(WS_CHILD | WS_VISIBLE | DS_CONTROL, 100, 40);
    t.Item(DlgTemplate::EDIT, IDC_NAME, ES_AUTOHSCROLL, 4, 4, 60, 12);
    g_nPanelsDeleted = 0;
    CSelfDeletingPanel* pPanel = new CSelfDeletingPanel;
    ASSERT_TRUE(pPanel->CreateIndirect(t.Get(), &host));
    HWND hPanel = pPanel->m_hWnd;

    // Controls of a created dialog can be taken over later as well.
    CEdit edit;
    ASSERT_TRUE(edit.SubclassDlgItem(IDC_NAME, pPanel));
    edit.SetWindowText(L"42");
    EXPECT_EQ(pPanel->GetDlgItemInt(IDC_NAME), 42u);
    EXPECT_EQ(edit.UnsubclassWindow(), ::GetDlgItem(hPanel, IDC_NAME));

    host.DestroyWindow();   // takes the child panel with it
    EXPECT_FALSE(IsWindow(hPanel));
    EXPECT_EQ(g_nPanelsDeleted, 1);
    EXPECT_EQ(CWnd::FromHandlePermanent(hPanel), nullptr);
}

namespace {

class CMissingControlDlg : public CDialog
{
public:
    CButton m_button;
    virtual void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, 4711, m_button); }
};

} // namespace

TEST(DialogData, MissingControlDoesNotUnwindThroughTheDialogManager)
{
    DlgTemplate t(WS_POPUP, 100, 40, L"missing");
    t.Item(DlgTemplate::EDIT, IDC_NAME, ES_AUTOHSCROLL, 4, 4, 60, 12);
    CMissingControlDlg dlg;
    ASSERT_TRUE(dlg.CreateIndirect(t.Get(), NULL));
    EXPECT_EQ(dlg.m_button.m_hWnd, nullptr);
    bool bThrown = false;
    try {
        dlg.UpdateData(FALSE);   // outside the dialog manager the caller gets the exception
    } catch (CNotSupportedException* e) {
        bThrown = true;
        e->Delete();
    }
    EXPECT_TRUE(bThrown);
    dlg.DestroyWindow();
}
