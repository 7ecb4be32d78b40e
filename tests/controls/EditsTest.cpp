// Combo box, skinned edit, numeric edit and progress bar.
#include "ControlsTest.h"
#include "SkinComboBox.h"
#include "SkinEdit.h"
#include "NumericEdit.h"
#include "SkinProgressCtrl.h"

namespace {

const UINT IDC_COMBO = 1901, IDC_EDIT = 1902, IDC_NUMBER = 1903, IDC_PROGRESS = 1904;

class CComboHost : public CTestHost
{
public:
    int m_nSelChange = 0;
    afx_msg void OnSelChange() { m_nSelChange++; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CComboHost, CTestHost)
    ON_CBN_SELCHANGE(IDC_COMBO, OnSelChange)
END_MESSAGE_MAP()

// The rightmost column with dark pixels in a band of rows, -1 when none.
int RightmostInk(HWND hWnd, int y0, int y1, int width)
{
    HDC dc = ::GetDC(hWnd);
    int right = -1;
    for (int x = 0; x < width; x++)
        for (int y = y0; y < y1; y++) {
            COLORREF c = ::GetPixel(dc, x, y);
            if (GetRValue(c) < 100 && GetGValue(c) < 100 && GetBValue(c) < 100) {
                right = x;
                break;
            }
        }
    ::ReleaseDC(hWnd, dc);
    return right;
}

void Type(CEdit& edit, LPCWSTR text)
{
    edit.ReplaceSel(text, TRUE);
}

CString TextOf(CWnd& w)
{
    CString s;
    w.GetWindowText(s);
    return s;
}

} // namespace

TEST(SkinComboBox, ShowsEighteenCharactersAndPostsItsOwnSelectionMessage)
{
    CComboHost host;
    ASSERT_TRUE(host.Open(400, 200));
    CSkinComboBox combo;
    ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | WS_VSCROLL, CRect(10, 10, 330, 200), &host, IDC_COMBO));
    combo.SetBitmaps(9030, 9011, 9012, 9013);
    CString longText(L'W', 25);
    combo.AddString(L"short");
    combo.AddString(longText);
    combo.SetCurSel(1);

    // Only the first 18 characters are drawn, at (4, 3).
    combo.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
    CClientDC dc(&combo);
    CSize w17 = dc.GetTextExtent(longText.Left(17));
    CSize w18 = dc.GetTextExtent(longText.Left(18));
    int right = RightmostInk(combo.m_hWnd, 3, 3 + w18.cy, 320);
    EXPECT_GT(right, 4 + w17.cx);
    EXPECT_LT(right, 4 + w18.cx + 1);

    // A user's choice repaints and posts 0x800; the parent's own handler never hears it.
    combo.SetFocus();
    combo.SendMessage(WM_KEYDOWN, VK_UP, 0);
    ASSERT_TRUE(host.Spy().WaitForMessage(WM_COMBO_SELCHANGED, 1000));
    EXPECT_EQ(host.Spy().LastWParam(WM_COMBO_SELCHANGED), (WPARAM)IDC_COMBO);
    EXPECT_EQ(combo.GetCurSel(), 0);
    EXPECT_EQ(host.m_nSelChange, 0);

    // Looks: hover and press only in the arrow zone (the last 20 pixels).
    PointerTo(combo, CPoint(310, 10));
    combo.SendMessage(WM_MOUSEMOVE, 0, At(310, 10));
    EXPECT_EQ(combo.GetLook(), CSkinComboBox::LOOK_HOVER);
    EXPECT_TRUE(Near(Painted(combo, 150, 5), RGB(0x32, 0x32, 0xC8)));
    combo.SendMessage(WM_MOUSEMOVE, 0, At(100, 10));
    EXPECT_EQ(combo.GetLook(), CSkinComboBox::LOOK_NORMAL);
    combo.SendMessage(WM_MOUSELEAVE);
    combo.EnableWindow(FALSE);
    EXPECT_TRUE(Near(Painted(combo, 150, 5), RGB(0x80, 0x80, 0x80)));
    // Disabled text is drawn in its own grey.
    bool bGreyInk = false;
    for (int x = 4; x < 40 && !bGreyInk; x++)
        for (int y = 3; y < 18 && !bGreyInk; y++)
            bGreyInk = PixelAt(combo.m_hWnd, x, y) == RGB(172, 168, 153);
    EXPECT_TRUE(bGreyInk);
    combo.EnableWindow(TRUE);
    combo.SetBitmaps(624, 625, 627, 626);
    combo.SetCurSel(1);
    combo.SetCenteredText(TRUE);
    Painted(host, 0, 0);
    SaveScreenshot(host.m_hWnd, "combo");
}

TEST(SkinEdit, SendsEveryChangeAndHandsTheFocusOnWhenAsked)
{
    CTestHost host;
    ASSERT_TRUE(host.Open(300, 150));
    CWnd panel;
    ASSERT_TRUE(panel.CreateEx(0, AfxRegisterWndClass(0), L"", WS_CHILD | WS_VISIBLE, 10, 10, 200, 100, host.m_hWnd, NULL));
    MessageSpy panelSpy(panel.m_hWnd);
    CSkinEdit edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, CRect(10, 10, 130, 30), &panel, IDC_EDIT));
    edit.SetBitmaps(9010, 9013);
    edit.SetFocus();
    edit.SendMessage(WM_CHAR, L'a', 1);
    edit.SendMessage(WM_CHAR, L'b', 1);
    EXPECT_EQ(panelSpy.Count(WM_EDIT_CHANGED), 2);   // sent, so already there
    EXPECT_EQ(panelSpy.LastWParam(WM_EDIT_CHANGED), (WPARAM)IDC_EDIT);

    EXPECT_TRUE(Near(Painted(edit, 100, 15), RGB(0xC8, 0x32, 0x32)));
    edit.EnableWindow(FALSE);
    EXPECT_TRUE(Near(Painted(edit, 100, 15), RGB(0x80, 0x80, 0x80)));
    edit.EnableWindow(TRUE);

    // A click is handled, then the focus goes to the grandparent or the given window.
    edit.SetFocusRedirect(TRUE);
    edit.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    edit.SendMessage(WM_LBUTTONUP, 0, At(5, 5));
    EXPECT_EQ(::GetFocus(), host.m_hWnd);
    CButton target;
    ASSERT_TRUE(target.Create(L"t", WS_CHILD | WS_VISIBLE, CRect(10, 40, 60, 60), &panel, 1905));
    edit.SetFocusRedirect(TRUE, &target);
    edit.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    edit.SendMessage(WM_LBUTTONUP, 0, At(5, 5));
    EXPECT_EQ(::GetFocus(), target.m_hWnd);
    edit.SetFocusRedirect(FALSE);
    edit.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    edit.SendMessage(WM_LBUTTONUP, 0, At(5, 5));
    EXPECT_EQ(::GetFocus(), edit.m_hWnd);
}

TEST(NumericEdit, KeepsItsTextANumberInRange)
{
    CTestHost host;
    ASSERT_TRUE(host.Open(300, 150));
    CNumericEdit edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, CRect(10, 10, 130, 30), &host, IDC_NUMBER));
    CButton other;
    ASSERT_TRUE(other.Create(L"o", WS_CHILD | WS_VISIBLE, CRect(10, 40, 60, 60), &host, 1906));
    edit.SetBitmaps(9040, 9041);
    edit.SetRange(1, 100);
    EXPECT_EQ(edit.GetValue(), 1);
    auto values = [&] { return host.Count(WM_NUMEDIT_VALUE, IDC_NUMBER); };

    edit.SetFocus();
    Type(edit, L"40");
    EXPECT_EQ(edit.GetValue(), 40);
    int n = values();
    EXPECT_GE(n, 1);
    // A third digit that leaves the range puts "40" back with the caret at its end.
    edit.SetSel(2, 2);
    edit.SendMessage(WM_CHAR, L'0', 1);
    EXPECT_TRUE(TextOf(edit) == L"40");
    int s = 0, e = 0;
    edit.GetSel(s, e);
    EXPECT_EQ(s, 2);
    EXPECT_EQ(e, 2);
    EXPECT_EQ(values(), n);
    EXPECT_EQ(edit.GetValue(), 40);
    // Emptied: -1, nothing sent.
    edit.SetSel(0, -1);
    edit.SendMessage(WM_CHAR, VK_BACK, 1);
    EXPECT_TRUE(TextOf(edit).IsEmpty());
    EXPECT_EQ(edit.GetValue(), -1);
    EXPECT_EQ(values(), n);

    // Leading zeros go.
    edit.SetRange(0, 100);
    edit.SetSel(0, -1);
    Type(edit, L"007");
    EXPECT_TRUE(TextOf(edit) == L"7");
    EXPECT_EQ(edit.GetValue(), 7);
    edit.SetSel(0, -1);
    Type(edit, L"00");
    EXPECT_TRUE(TextOf(edit) == L"0");
    EXPECT_EQ(edit.GetValue(), 0);

    // After a negative value an out-of-range entry leaves the field empty.
    edit.SetRange(-10, 10);
    edit.SetSel(0, -1);
    Type(edit, L"-5");
    EXPECT_EQ(edit.GetValue(), -5);
    edit.SetSel(2, 2);
    edit.SendMessage(WM_CHAR, L'9', 1);
    EXPECT_TRUE(TextOf(edit).IsEmpty());

    // A minimum above the maximum: the correction happens once and ends.
    edit.SetRange(50, 10);
    edit.SetSel(0, -1);
    n = values();
    Type(edit, L"5");
    EXPECT_TRUE(TextOf(edit) == L"50");
    EXPECT_EQ(values(), n);

    // Losing the focus is told to the parent with the id.
    edit.SetFocus();
    host.Spy().Clear();
    other.SetFocus();
    EXPECT_EQ(host.Count(WM_KILLFOCUS, IDC_NUMBER), 1);
}

TEST(SkinProgressCtrl, ShowsFillAndPeakUntilResetAndStaysInside)
{
    CTestHost host;
    ASSERT_TRUE(host.Open(300, 100));
    CSkinProgressCtrl bar;
    ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE, CRect(10, 10, 265, 30), &host, IDC_PROGRESS));   // 255 wide
    bar.SetBackColor(RGB(40, 40, 40));
    bar.SetRange(0, 255);
    bar.SetPos(200);
    bar.SetPos(50);
    EXPECT_EQ(bar.GetPeak(), 200u);
    const COLORREF green = RGB(0, 255, 0), red = RGB(255, 0, 0), back = RGB(40, 40, 40);
    EXPECT_EQ(Painted(bar, 49, 10), green);
    EXPECT_EQ(PixelAt(bar.m_hWnd, 50, 10), back);
    EXPECT_EQ(PixelAt(bar.m_hWnd, 199, 10), back);
    EXPECT_EQ(PixelAt(bar.m_hWnd, 200, 10), red);
    EXPECT_EQ(PixelAt(bar.m_hWnd, 202, 10), red);
    EXPECT_EQ(PixelAt(bar.m_hWnd, 203, 10), back);
    SaveScreenshot(host.m_hWnd, "progress");
    bar.Reset();
    EXPECT_EQ(Painted(bar, 200, 10), back);
    EXPECT_EQ(PixelAt(bar.m_hWnd, 49, 10), back);

    // Beyond the maximum: all filled, the marker still inside.
    bar.SetRange(0, 100);
    bar.SetPos(300);
    EXPECT_EQ(Painted(bar, 253, 10), red);
    EXPECT_EQ(PixelAt(bar.m_hWnd, 251, 10), green);
    // A maximum of 0 fills nothing.
    bar.SetRange(0, 0);
    bar.Reset();
    bar.SetPos(5);
    EXPECT_EQ(Painted(bar, 0, 10), back);
    EXPECT_EQ(PixelAt(bar.m_hWnd, 254, 10), back);
}
