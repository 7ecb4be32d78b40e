// Skinned and repeat buttons: kinds, check and radio behaviour, looks, masks, ticks.
#include "ControlsTest.h"
#include "SkinBitmapButton.h"
#include "RepeatButton.h"
#include <vector>

namespace {

const COLORREF kNormal = RGB(0xC8, 0x32, 0x32), kPressed = RGB(0x32, 0xC8, 0x32), kHover = RGB(0x32, 0x32, 0xC8),
               kDisabled = RGB(0x80, 0x80, 0x80), kFocus = RGB(0xC8, 0xC8, 0x32);

class CButtonsPanel : public CDialog
{
public:
    CSkinBitmapButton m_push, m_check, m_radio1, m_radio2, m_radio3, m_other, m_masked;
    int m_nClicks = 0;
    virtual void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Control(pDX, IDC_TEST_PUSH, m_push);
        DDX_Control(pDX, IDC_TEST_CHECK, m_check);
        DDX_Control(pDX, IDC_TEST_RADIO1, m_radio1);
        DDX_Control(pDX, IDC_TEST_RADIO2, m_radio2);
        DDX_Control(pDX, IDC_TEST_RADIO3, m_radio3);
        DDX_Control(pDX, IDC_TEST_OTHER, m_other);
        DDX_Control(pDX, IDC_TEST_MASKED, m_masked);
    }
    afx_msg void OnCheckClicked() { m_nClicks++; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CButtonsPanel, CDialog)
    ON_BN_CLICKED(IDC_TEST_CHECK, OnCheckClicked)
END_MESSAGE_MAP()

void Click(CWnd& button, CPoint down, CPoint up)
{
    button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(down.x, down.y));
    button.SendMessage(WM_LBUTTONUP, 0, At(up.x, up.y));
}

CPoint Centre(CWnd& w)
{
    CRect r;
    w.GetClientRect(&r);
    return r.CenterPoint();
}

} // namespace

TEST(SkinBitmapButton, KindComesFromTheTemplateAndChecksBehaveAsTheirKind)
{
    CTestHost host;
    ASSERT_TRUE(host.Open(400, 300));
    CButtonsPanel panel;
    ASSERT_TRUE(panel.Create(IDD_TEST_BUTTONS, &host));
    EXPECT_EQ(panel.m_push.GetKind(), CSkinBitmapButton::KIND_PUSH);
    EXPECT_EQ(panel.m_check.GetKind(), CSkinBitmapButton::KIND_CHECKBOX);
    EXPECT_EQ(panel.m_radio1.GetKind(), CSkinBitmapButton::KIND_RADIO);
    EXPECT_EQ(panel.m_check.GetStyle() & 0x0F, (DWORD)BS_OWNERDRAW);
    panel.m_push.SetSkin(198, 200, 199, 201, 0, 0, CSkinBitmapButton::DRAW_STRETCH, 0, 4);
    for (CSkinBitmapButton* p : { &panel.m_check, &panel.m_radio1, &panel.m_radio2, &panel.m_radio3, &panel.m_other })
        p->SetSkin(292, 290, 291, 292, 0, 0, CSkinBitmapButton::DRAW_STRETCH, 0, 4);
    panel.m_masked.SetSkin(284, 282, 0, 283, 0, 9001, CSkinBitmapButton::DRAW_STRETCH);

    // A push button never shows a checked state.
    panel.m_push.SendMessage(BM_SETCHECK, BST_CHECKED);
    EXPECT_EQ(panel.m_push.SendMessage(BM_GETCHECK), 0);

    // Releasing inside toggles a check box; releasing outside leaves it.
    CPoint inside = Centre(panel.m_check);
    Click(panel.m_check, inside, inside);
    EXPECT_EQ(panel.IsDlgButtonChecked(IDC_TEST_CHECK), 1u);
    EXPECT_EQ(panel.m_nClicks, 1);
    Click(panel.m_check, inside, CPoint(-30, -30));
    EXPECT_EQ(panel.IsDlgButtonChecked(IDC_TEST_CHECK), 1u);
    EXPECT_EQ(panel.m_nClicks, 1);
    Click(panel.m_check, inside, inside);
    EXPECT_EQ(panel.IsDlgButtonChecked(IDC_TEST_CHECK), 0u);
    // Space toggles as a click does.
    panel.m_check.SendMessage(WM_KEYDOWN, VK_SPACE, 0);
    panel.m_check.SendMessage(WM_KEYUP, VK_SPACE, 0xC0000001);
    EXPECT_EQ(panel.IsDlgButtonChecked(IDC_TEST_CHECK), 1u);
    // A double click counts as a second press, so two toggles.
    panel.m_check.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(inside.x, inside.y));
    panel.m_check.SendMessage(WM_LBUTTONUP, 0, At(inside.x, inside.y));
    panel.m_check.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, At(inside.x, inside.y));
    panel.m_check.SendMessage(WM_LBUTTONUP, 0, At(inside.x, inside.y));
    EXPECT_EQ(panel.IsDlgButtonChecked(IDC_TEST_CHECK), 1u);

    // Checking a radio clears the rest of its group, and only its group.
    panel.CheckDlgButton(IDC_TEST_RADIO1, BST_CHECKED);
    panel.CheckDlgButton(IDC_TEST_OTHER, BST_CHECKED);
    PumpMessagesFor(20);
    Click(panel.m_radio3, Centre(panel.m_radio3), Centre(panel.m_radio3));
    PumpMessagesFor(20);
    EXPECT_EQ(panel.IsDlgButtonChecked(IDC_TEST_RADIO1), 0u);
    EXPECT_EQ(panel.IsDlgButtonChecked(IDC_TEST_RADIO3), 1u);
    EXPECT_EQ(panel.IsDlgButtonChecked(IDC_TEST_OTHER), 1u);
    int nChecked = 0;
    for (int id = IDC_TEST_RADIO1; id <= IDC_TEST_RADIO3; id++) nChecked += panel.IsDlgButtonChecked(id);
    EXPECT_EQ(nChecked, 1);
    // Checking it again keeps it checked.
    panel.m_radio3.SendMessage(BM_SETCHECK, BST_CHECKED);
    PumpMessagesFor(20);
    EXPECT_EQ(panel.IsDlgButtonChecked(IDC_TEST_RADIO3), 1u);
    SaveScreenshot(panel.m_hWnd, "buttons_kinds");
    panel.DestroyWindow();
}

TEST(SkinBitmapButton, EachStateShowsItsOwnBitmap)
{
    CTestHost host;
    ASSERT_TRUE(host.Open(300, 200));
    CSkinBitmapButton button;
    ASSERT_TRUE(button.Create(L"", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(20, 20, 100, 60), &host, 1700));
    CButton other;
    ASSERT_TRUE(other.Create(L"other", WS_CHILD | WS_VISIBLE, CRect(150, 20, 250, 60), &host, 1701));
    button.SetSkin(9010, 9011, 9012, 9013, 9014, 0);
    other.SetFocus();
    PointerTo(host, CPoint(200, 150));
    EXPECT_TRUE(Near(Painted(button, 5, 5), kNormal));

    // Hover while the pointer is over it.
    PointerTo(button, CPoint(40, 20));
    button.SendMessage(WM_MOUSEMOVE, 0, At(40, 20));
    EXPECT_TRUE(button.IsHover());
    EXPECT_TRUE(Near(Painted(button, 5, 5), kHover));

    // Pressed while held over it; the pushed look follows the pointer out and back.
    button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(40, 20));
    EXPECT_FALSE(button.IsHover());
    EXPECT_TRUE(Near(Painted(button, 5, 5), kPressed));
    PointerTo(host, CPoint(200, 150));
    button.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(200, 150));
    EXPECT_FALSE(button.SendMessage(BM_GETSTATE) & BST_PUSHED);
    EXPECT_TRUE(Near(Painted(button, 5, 5), kFocus));   // it took the focus with the press
    PointerTo(button, CPoint(40, 20));
    button.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(40, 20));
    EXPECT_TRUE(button.SendMessage(BM_GETSTATE) & BST_PUSHED);
    button.SendMessage(WM_LBUTTONUP, 0, At(40, 20));

    button.EnableWindow(FALSE);
    EXPECT_TRUE(Near(Painted(button, 5, 5), kDisabled));
    SaveScreenshot(host.m_hWnd, "buttons_states");

    // Without any bitmap: the face colour and the caption.
    CSkinBitmapButton plain;
    ASSERT_TRUE(plain.Create(L"WWW", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(20, 100, 120, 140), &host, 1702));
    plain.SetTextColor(RGB(0, 0, 0));
    EXPECT_EQ(Painted(plain, 2, 2), ::GetSysColor(COLOR_BTNFACE));
    int nInk = 0;
    for (int x = 30; x < 70; x++)
        for (int y = 10; y < 30; y++)
            if (PixelAt(plain.m_hWnd, x, y) == RGB(0, 0, 0)) nInk++;
    EXPECT_GT(nInk, 10);
}

TEST(SkinBitmapButton, MaskShapesTheWindowAndReskinningIsSound)
{
    CTestHost host;
    ASSERT_TRUE(host.Open(300, 200));
    CBrush survivor(RGB(1, 2, 3));   // made before the button: must outlive it
    {
        CSkinBitmapButton natural, stretched;
        ASSERT_TRUE(natural.Create(L"", WS_CHILD | WS_VISIBLE, CRect(10, 10, 110, 110), &host, 1710));
        ASSERT_TRUE(stretched.Create(L"", WS_CHILD | WS_VISIBLE, CRect(150, 10, 250, 110), &host, 1711));
        natural.SetSkin(9010, 9011, 0, 0, 0, 9001, CSkinBitmapButton::DRAW_NATURAL);
        stretched.SetSkin(9010, 9011, 0, 0, 0, 9001, CSkinBitmapButton::DRAW_STRETCH);

        CRect r;
        natural.GetWindowRect(&r);
        EXPECT_EQ(r.Size(), CSize(40, 24));   // the mask's size
        stretched.GetWindowRect(&r);
        EXPECT_EQ(r.Size(), CSize(100, 100));

        CRgn rgn;
        rgn.CreateRectRgn(0, 0, 0, 0);
        ASSERT_NE(natural.GetWindowRgn(rgn), ERROR);
        CRect box;
        rgn.GetRgnBox(&box);
        EXPECT_EQ(box, CRect(0, 0, 40, 24));
        EXPECT_TRUE(rgn.PtInRegion(20, 12));
        EXPECT_FALSE(rgn.PtInRegion(0, 0));   // white corner of the ellipse mask

        // Where the mask is black the state bitmap shows.
        EXPECT_TRUE(Near(Painted(natural, 20, 12), kNormal));

        // Re-skin twice: the window always has the latest mask's shape.
        natural.SetSkin(9012, 0, 0, 0, 0, 9002, CSkinBitmapButton::DRAW_NATURAL);
        natural.GetWindowRect(&r);
        EXPECT_EQ(r.Size(), CSize(30, 30));
        ASSERT_NE(natural.GetWindowRgn(rgn), ERROR);
        rgn.GetRgnBox(&box);
        EXPECT_EQ(box, CRect(0, 0, 30, 30));
        natural.SetSkin(9012, 0, 0, 0, 0, 9003, CSkinBitmapButton::DRAW_NATURAL);
        EXPECT_EQ(natural.GetWindowRgn(rgn), NULLREGION);   // a mask with nothing opaque
    }
    PumpMessagesFor(20);
    EXPECT_EQ(::GetObjectType(survivor.GetSafeHandle()), (DWORD)OBJ_BRUSH);
    CRgn fresh;
    EXPECT_TRUE(fresh.CreateRectRgn(0, 0, 5, 5));
    EXPECT_EQ(::GetObjectType(fresh.GetSafeHandle()), (DWORD)OBJ_REGION);
}

namespace {

BOOL CALLBACK ListTips(HWND hwnd, LPARAM lp)
{
    WCHAR name[32] = {0};
    ::GetClassNameW(hwnd, name, 32);
    if (!lstrcmpiW(name, TOOLTIPS_CLASSW)) reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
    return TRUE;
}

std::vector<HWND> ThreadTips()
{
    std::vector<HWND> tips;
    ::EnumThreadWindows(::GetCurrentThreadId(), ListTips, reinterpret_cast<LPARAM>(&tips));
    return tips;
}

} // namespace

// A bar of tipped buttons makes no tip window until the pointer first comes over a
// button; that one then has its tip, with the latest text.
TEST(SkinBitmapButton, TipWindowIsMadeWhenThePointerFirstComesOver)
{
    CTestHost host;
    ASSERT_TRUE(host.Open(300, 200));
    const size_t before = ThreadTips().size();
    CSkinBitmapButton first, second;
    ASSERT_TRUE(first.Create(L"", WS_CHILD | WS_VISIBLE, CRect(10, 10, 60, 40), &host, 1712));
    ASSERT_TRUE(second.Create(L"", WS_CHILD | WS_VISIBLE, CRect(70, 10, 120, 40), &host, 1713));
    first.SetToolTipText(L"one");
    second.SetToolTipText(L"two");
    second.SetToolTipText(L"two again");
    EXPECT_EQ(ThreadTips().size(), before);

    second.SendMessage(WM_MOUSEMOVE, 0, At(5, 5));
    const std::vector<HWND> tips = ThreadTips();
    ASSERT_EQ(tips.size(), before + 1);
    WCHAR text[32] = {0};
    TTTOOLINFOW info = {};
    info.cbSize = sizeof(info);
    info.hwnd = second.m_hWnd;
    info.uId = (UINT_PTR)second.m_hWnd;
    info.lpszText = text;
    bool found = false;
    for (HWND tip : tips) {
        text[0] = 0;
        ::SendMessageW(tip, TTM_GETTEXTW, 32, (LPARAM)&info);
        found = found || std::u16string((const char16_t*)text) == u"two again";
    }
    EXPECT_TRUE(found);
    second.SendMessage(WM_MOUSEMOVE, 0, At(6, 5));
    EXPECT_EQ(ThreadTips().size(), before + 1);
}

TEST(RepeatButton, TicksWhileHeldAndNeverAfterTheHoldEnds)
{
    CTestHost host;
    ASSERT_TRUE(host.Open(300, 200));
    CRepeatButton button;
    ASSERT_TRUE(button.Create(L"", WS_CHILD | WS_VISIBLE, CRect(10, 10, 60, 40), &host, 2003));
    button.SetSkin(9051, 9052, 0, 0, 0, 0, 0, 0, 4);
    PointerTo(button, CPoint(10, 10));
    auto ticks = [&] { return host.Count(WM_REPEAT_TICK, 2003); };

    // A click shorter than the repeat time gives nothing.
    button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));
    button.SendMessage(WM_LBUTTONUP, 0, At(10, 10));
    PumpMessagesFor(200);
    EXPECT_EQ(ticks(), 0);

    // Held: a tick about every 50 ms, the first one no sooner.
    DWORD pressed = ::GetTickCount();
    button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));
    ASSERT_TRUE(host.Spy().WaitForMessage(WM_REPEAT_TICK, 3000, 3));
    DWORD first = 0;
    for (const SpyMessage& m : host.Spy().Messages())
        if (m.msg == WM_REPEAT_TICK) {
            first = m.time;
            break;
        }
    EXPECT_GE(first - pressed, 40u);
    button.SendMessage(WM_LBUTTONUP, 0, At(10, 10));
    PumpMessagesFor(30);
    int n = ticks();
    PumpMessagesFor(200);
    EXPECT_EQ(ticks(), n);

    // The button-up may never come: losing the capture, being disabled, a cancelled
    // mode or losing the focus each end the repeat.
    CWnd* pOther = &host;
    auto holdThen = [&](const std::function<void()>& interrupt) {
        button.EnableWindow(TRUE);
        button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));
        EXPECT_TRUE(host.Spy().WaitForMessage(WM_REPEAT_TICK, 3000, ticks() + 1));
        interrupt();
        PumpMessagesFor(30);
        int before = ticks();
        PumpMessagesFor(200);
        EXPECT_EQ(ticks(), before);
        EXPECT_FALSE(button.IsRepeating());
        if (::GetCapture() == button.m_hWnd) ::ReleaseCapture();
    };
    holdThen([&] { pOther->SetCapture(); ::ReleaseCapture(); });
    holdThen([&] { button.EnableWindow(FALSE); });
    holdThen([&] { button.SendMessage(WM_CANCELMODE); });
    holdThen([&] { host.SetFocus(); });
}
