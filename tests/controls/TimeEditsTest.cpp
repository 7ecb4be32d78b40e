// Time-span and exposure-time edits: layout, field limits, button steps and commits.
#include "ControlsTest.h"
#include "TimeSpanEdit.h"
#include "ExposureTimeEdit.h"

namespace {

const UINT IDC_SPAN = 2200, IDC_EXPOSURE = 2201;

template <class T> bool Skin(T& edit)
{
    edit.SetEditBitmaps(9040, 9041);
    edit.SetUpButtonBitmaps(9051, 9052, 0, 0);
    edit.SetDownButtonBitmaps(9053, 9054, 0, 0);
    edit.SetSpareButtonBitmaps(9055, 9055, 0, 0);
    return true;
}

CString Fields(CDurationEdit& edit)
{
    CString all;
    for (int i = 0; i < edit.FieldCount(); i++) {
        CString t;
        edit.FieldEdit(i).GetWindowText(t);
        if (i) all += L":";
        all += t;
    }
    return all;
}

// One tick of a field's up (kind 0) or down (kind 1) button, as the button posts it.
void Tick(CDurationEdit& edit, UINT nFirstButton, int field, int kind)
{
    edit.SendMessage(WM_REPEAT_TICK, nFirstButton + 3 * field + kind, 0);
}

// Types into a field and leaves it, as a user would.
void TypeAndLeave(CDurationEdit& edit, int field, LPCWSTR text, CWnd& elsewhere)
{
    CNumericEdit& f = edit.FieldEdit(field);
    f.SetFocus();
    f.SetSel(0, -1);
    f.ReplaceSel(text, TRUE);
    elsewhere.SetFocus();
}

CRect ChildRect(CWnd& parent, CWnd& child)
{
    CRect r;
    child.GetWindowRect(&r);
    parent.ScreenToClient(&r);
    return r;
}

} // namespace

TEST(TimeSpanEdit, LaysOutItsFieldsAndStepsWithinTheMaximum)
{
    CTestHost host;
    ASSERT_TRUE(host.Open(320, 120));
    CTimeSpanEdit span;
    EXPECT_FALSE(span.Create(&host, CRect(10, 10, 300, 40), IDC_SPAN, 0, 9050));
    ASSERT_TRUE(span.Create(&host, CRect(10, 10, 300, 40), IDC_SPAN, 9040, 9050));
    Skin(span);
    EXPECT_EQ(span.FieldEdit(0).GetDlgCtrlID(), 2000);
    EXPECT_EQ(span.SpareButton(2).GetDlgCtrlID(), 2011);
    EXPECT_EQ(ChildRect(span, span.FieldEdit(0)), CRect(5, 5, 55, 22));
    EXPECT_EQ(ChildRect(span, span.UpButton(0)), CRect(55, 3, 69, 13));
    EXPECT_EQ(ChildRect(span, span.DownButton(0)), CRect(55, 14, 69, 24));
    EXPECT_EQ(ChildRect(span, span.SpareButton(0)), CRect(55, 4, 69, 24));
    EXPECT_EQ(ChildRect(span, span.FieldEdit(1)), CRect(75, 6, 125, 23));
    EXPECT_EQ(ChildRect(span, span.FieldEdit(2)), CRect(145, 7, 205, 24));
    EXPECT_FALSE(span.SpareButton(0).IsWindowVisible());
    EXPECT_EQ(span.GetValue(), 1u);

    // 1..100 ms at 100: up changes nothing, down gives 99.
    span.SetRange(1, 100);
    span.SetValue(100);
    Tick(span, 2003, 2, 0);
    EXPECT_EQ(span.GetValue(), 100u);
    Tick(span, 2003, 2, 1);
    EXPECT_EQ(span.GetValue(), 99u);
    EXPECT_TRUE(Fields(span) == L"0:0:99");
    EXPECT_EQ(host.Count(WM_TIMESPAN_CHANGED, IDC_SPAN), 2);

    // One hour: 0..60 minutes, 0..59 seconds, 0..999 ms; minutes up from 59 with 30
    // seconds reaches the maximum exactly.
    span.SetRange(1, 3600000);
    EXPECT_EQ(span.GetFieldMax(0), 60u);
    EXPECT_EQ(span.GetFieldMax(1), 59u);
    EXPECT_EQ(span.GetFieldMax(2), 999u);
    EXPECT_EQ(span.GetFieldMin(0) + span.GetFieldMin(1) + span.GetFieldMin(2), 0u);
    span.SetValue(59 * 60000 + 30000);
    Tick(span, 2003, 0, 0);
    EXPECT_EQ(span.GetValue(), 3600000u);
    EXPECT_TRUE(Fields(span) == L"60:0:0");
    Tick(span, 2003, 1, 0);   // seconds cannot pass the maximum either
    EXPECT_EQ(span.GetValue(), 3600000u);

    // The buttons never reach 0.
    span.SetValue(1);
    Tick(span, 2003, 2, 1);
    EXPECT_EQ(span.GetValue(), 1u);
    Tick(span, 2003, 0, 1);   // nothing below 0 minutes
    EXPECT_EQ(span.GetValue(), 1u);
    // Spare buttons' ticks do nothing.
    Tick(span, 2003, 1, 2);
    EXPECT_EQ(span.GetValue(), 1u);
    Painted(host, 0, 0);
    SaveScreenshot(host.m_hWnd, "time_span_edit");
}

TEST(TimeSpanEdit, TypedFieldsCommitWithinTheRange)
{
    CTestHost host;
    ASSERT_TRUE(host.Open(320, 120));
    CButton elsewhere;
    ASSERT_TRUE(elsewhere.Create(L"x", WS_CHILD | WS_VISIBLE, CRect(10, 60, 60, 90), &host, 2299));
    CTimeSpanEdit span;
    ASSERT_TRUE(span.Create(&host, CRect(10, 10, 300, 40), IDC_SPAN, 9040, 9050));
    Skin(span);

    // A keystroke swaps the field's buttons for the spare one and tells the parent.
    span.SetRange(1, 60000);
    span.SetValue(60000);
    EXPECT_TRUE(Fields(span) == L"1:0:0");
    span.FieldEdit(1).SetFocus();
    span.FieldEdit(1).SetSel(0, -1);
    int before = host.Count(WM_TIMESPAN_CHANGED, IDC_SPAN);
    span.FieldEdit(1).ReplaceSel(L"59", TRUE);
    EXPECT_TRUE(span.SpareButton(1).IsWindowVisible());
    EXPECT_FALSE(span.UpButton(1).IsWindowVisible());
    EXPECT_GT(host.Count(WM_TIMESPAN_CHANGED, IDC_SPAN), before);
    // Leaving it: 1:59.000 is beyond one minute, so the whole shows the maximum.
    elsewhere.SetFocus();
    EXPECT_TRUE(Fields(span) == L"1:0:0");
    EXPECT_EQ(span.GetValue(), 60000u);
    EXPECT_FALSE(span.SpareButton(1).IsWindowVisible());
    EXPECT_TRUE(span.UpButton(1).IsWindowVisible());

    // A range starting at one minute leaves the seconds free; a total typed below the
    // minimum rises to it.
    span.SetRange(60000, 3600000);
    EXPECT_EQ(span.GetFieldMin(1), 0u);
    EXPECT_EQ(span.GetFieldMin(2), 0u);
    span.SetValue(120000);
    TypeAndLeave(span, 1, L"30", elsewhere);
    EXPECT_EQ(span.GetValue(), 150000u);
    span.SetRange(61000, 3600000);
    span.SetValue(90000);
    TypeAndLeave(span, 1, L"0", elsewhere);
    EXPECT_EQ(span.GetValue(), 61000u);
    EXPECT_TRUE(Fields(span) == L"1:1:0");
}

TEST(TimeSpanEdit, HoldingAButtonStepsOncePerTickAndAQuickClickNotAtAll)
{
    CTestHost host;
    ASSERT_TRUE(host.Open(320, 120));
    CTimeSpanEdit span;
    ASSERT_TRUE(span.Create(&host, CRect(10, 10, 300, 40), IDC_SPAN, 9040, 9050));
    Skin(span);
    span.SetRange(1, 100000);
    span.SetValue(500);
    CRepeatButton& up = span.UpButton(2);
    PointerTo(up, CPoint(3, 3));
    up.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(3, 3));
    up.SendMessage(WM_LBUTTONUP, 0, At(3, 3));
    PumpMessagesFor(150);
    EXPECT_EQ(span.GetValue(), 500u);

    up.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(3, 3));
    EXPECT_TRUE(WaitFor([&] { return span.GetValue() >= 503; }, 3000));
    up.SendMessage(WM_LBUTTONUP, 0, At(3, 3));
    PumpMessagesFor(30);
    UINT v = span.GetValue();
    PumpMessagesFor(150);
    EXPECT_EQ(span.GetValue(), v);
    EXPECT_EQ((int)(v - 500), host.Count(WM_TIMESPAN_CHANGED, IDC_SPAN));
}

TEST(ExposureTimeEdit, MicrosecondsStepByAHundredAndTheMinimumLeavesLowerFieldsFree)
{
    CTestHost host;
    ASSERT_TRUE(host.Open(400, 120));
    CButton elsewhere;
    ASSERT_TRUE(elsewhere.Create(L"x", WS_CHILD | WS_VISIBLE, CRect(10, 60, 60, 90), &host, 2298));
    CExposureTimeEdit exposure;
    ASSERT_TRUE(exposure.Create(&host, CRect(10, 10, 390, 40), IDC_EXPOSURE, 9040, 9050));
    Skin(exposure);
    EXPECT_EQ(exposure.FieldEdit(3).GetDlgCtrlID(), 3003);
    EXPECT_EQ(exposure.SpareButton(3).GetDlgCtrlID(), 3015);
    EXPECT_EQ(ChildRect(exposure, exposure.FieldEdit(0)), CRect(5, 5, 53, 22));

    // 0:00.000.100: down gives 0, which comes back as 1.
    exposure.SetRange(1, 200000);
    exposure.SetValue(100);
    Tick(exposure, 3004, 3, 1);
    EXPECT_EQ(exposure.GetValue(), 1u);
    // Up by 100, and back when the total would pass the maximum.
    exposure.SetRange(1, 1500);
    exposure.SetValue(1400);
    Tick(exposure, 3004, 3, 0);
    EXPECT_EQ(exposure.GetValue(), 1500u);
    Tick(exposure, 3004, 3, 0);
    EXPECT_EQ(exposure.GetValue(), 1500u);
    // SetValue limits to the maximum first.
    exposure.SetValue(99999);
    EXPECT_EQ(exposure.GetValue(), 1500u);

    // A range from 1 ms: the microseconds still hold 0..999, and a value shows its 0.
    exposure.SetRange(1000, 5000000);
    EXPECT_EQ(exposure.GetFieldMin(3), 0u);
    EXPECT_EQ(exposure.GetFieldMax(3), 999u);
    exposure.SetValue(2000);
    EXPECT_TRUE(Fields(exposure) == L"0:0:2:0");
    TypeAndLeave(exposure, 3, L"250", elsewhere);
    EXPECT_EQ(exposure.GetValue(), 2250u);

    // The owner's flags keep fields disabled.
    exposure.m_nMillisecondsOnly = 1;
    exposure.Enable(TRUE);
    EXPECT_TRUE(exposure.FieldEdit(2).IsWindowEnabled());
    EXPECT_TRUE(exposure.UpButton(2).IsWindowEnabled());
    EXPECT_FALSE(exposure.FieldEdit(0).IsWindowEnabled());
    EXPECT_FALSE(exposure.FieldEdit(3).IsWindowEnabled());
    exposure.m_nMillisecondsOnly = 0;
    exposure.m_nSubSecond = 1;
    exposure.Enable(TRUE);
    EXPECT_FALSE(exposure.FieldEdit(1).IsWindowEnabled());
    EXPECT_FALSE(exposure.DownButton(0).IsWindowEnabled());
    EXPECT_TRUE(exposure.FieldEdit(3).IsWindowEnabled());
    exposure.Enable(FALSE);
    EXPECT_FALSE(exposure.FieldEdit(2).IsWindowEnabled());
    Painted(host, 0, 0);
    SaveScreenshot(host.m_hWnd, "exposure_time_edit");
}
