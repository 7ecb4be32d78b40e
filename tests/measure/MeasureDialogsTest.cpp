// Calibration against a reference line and the measurement list, answered by a
// watcher thread as a user would.
#include <string>
#include "support/gtest.h"
#include "support/wintest.h"
#include "QrMeasure.h"

namespace {

const int kPixelsEdit = 1001, kLengthEdit = 1002, kUnitEdit = 1003, kList = 1004;
const int kTableList = 1005, kTableName = 1006, kTableAdd = 1007, kTableDelete = 1008, kNoteEdit = 1009;

std::u16string ItemText(HWND dlg, int id)
{
    char16_t buf[64] = {};
    ::SendMessageW(::GetDlgItem(dlg, id), WM_GETTEXT, 64, (LPARAM)buf);
    return buf;
}

void Drag(CQrMeasure& m, CPoint from, CPoint to)
{
    m.OnLButtonDown(from);
    m.OnLButtonUp(to);
}

} // namespace

TEST(MeasureDialogs, CalibrationUsesTheLastLineAsReference)
{
    CQrMeasure m(nullptr);
    CQrMeasure::MenuItemEvent(CQrMeasure::ToolLine, &m);
    Drag(m, CPoint(0, 0), CPoint(40, 0));

    std::u16string shownPixels, shownUnit;
    {
        DialogWatcher watcher([&](const SeenDialog& d) {
            shownPixels = ItemText(d.hwnd, kPixelsEdit);
            shownUnit = ItemText(d.hwnd, kUnitEdit);
            ::SendMessageW(::GetDlgItem(d.hwnd, kLengthEdit), WM_SETTEXT, 0, (LPARAM)L"10");
            ::SendMessageW(::GetDlgItem(d.hwnd, kUnitEdit), WM_SETTEXT, 0, (LPARAM)L"µm");
            return IDOK;
        });
        EXPECT_EQ(CQrMeasure::MenuItemEvent(CQrMeasure::ToolCalibrate, &m), 1);
        EXPECT_EQ(watcher.Count(), 1);
    }
    EXPECT_EQ(shownPixels, u"40.00");
    EXPECT_EQ(shownUnit, u"px");
    EXPECT_FLOAT_EQ(CQrMeasure::GetperPixelLength(), 0.25f);
    EXPECT_EQ(std::u16string((const char16_t*)CQrMeasure::GetFathomType()), u"µm");
    EXPECT_EQ(CQrMeasure::GetCurSelItem(), CQrMeasure::ItemLine);   // not a tool of its own

    // Cancel keeps the calibration.
    {
        DialogWatcher watcher([&](const SeenDialog& d) {
            ::SendMessageW(::GetDlgItem(d.hwnd, kLengthEdit), WM_SETTEXT, 0, (LPARAM)L"99");
            return IDCANCEL;
        });
        EXPECT_EQ(CQrMeasure::MenuItemEvent(CQrMeasure::ToolCalibrate, &m), 0);
    }
    EXPECT_FLOAT_EQ(CQrMeasure::GetperPixelLength(), 0.25f);
}

TEST(MeasureDialogs, ListShowsEveryUnit)
{
    CQrMeasure m(nullptr);
    CQrMeasure::MenuItemEvent(CQrMeasure::ToolLine, &m);
    Drag(m, CPoint(0, 0), CPoint(30, 40));
    CQrMeasure::MenuItemEvent(CQrMeasure::ToolRectangle, &m);
    Drag(m, CPoint(0, 0), CPoint(10, 10));
    LRESULT rows = -1;
    std::u16string first;
    {
        DialogWatcher watcher([&](const SeenDialog& d) {
            HWND list = ::GetDlgItem(d.hwnd, kList);
            rows = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
            char16_t buf[128] = {};
            ::SendMessageW(list, LB_GETTEXT, 0, (LPARAM)buf);
            first = buf;
            return IDOK;
        });
        EXPECT_EQ(CQrMeasure::MenuItemEvent(CQrMeasure::ToolMeasureList, &m), 1);
    }
    EXPECT_EQ(rows, 2);
    EXPECT_EQ(first, u"1\t直線\t50.00 px");
}

TEST(MeasureDialogs, CalibrationTableKeepsAndAppliesNamedCalibrations)
{
    CQrMeasure m(nullptr);
    m.SetCalibration(0.25f, L"µm");
    LRESULT rows = -1;
    {
        DialogWatcher watcher([&](const SeenDialog& d) {
            ::SendMessageW(::GetDlgItem(d.hwnd, kTableName), WM_SETTEXT, 0, (LPARAM)L" 40x ");
            ::SendMessageW(d.hwnd, WM_COMMAND, MAKEWPARAM(kTableAdd, BN_CLICKED), 0);
            ::SendMessageW(::GetDlgItem(d.hwnd, kTableName), WM_SETTEXT, 0, (LPARAM)L"");
            ::SendMessageW(d.hwnd, WM_COMMAND, MAKEWPARAM(kTableAdd, BN_CLICKED), 0);   // refused
            rows = ::SendDlgItemMessageW(d.hwnd, kTableList, LB_GETCOUNT, 0, 0);
            return IDCANCEL;
        });
        EXPECT_EQ(CQrMeasure::MenuItemEvent(CQrMeasure::ToolCalibrationTable, &m), 0);
    }
    EXPECT_EQ(rows, 1);

    m.SetCalibration(1.0f, L"px");
    std::u16string row;
    {
        DialogWatcher watcher([&](const SeenDialog& d) {
            char16_t buf[128] = {};
            ::SendDlgItemMessageW(d.hwnd, kTableList, LB_GETTEXT, 0, (LPARAM)buf);
            row = buf;
            ::SendDlgItemMessageW(d.hwnd, kTableList, LB_SETCURSEL, 0, 0);
            return IDOK;
        });
        EXPECT_EQ(CQrMeasure::MenuItemEvent(CQrMeasure::ToolCalibrationTable, &m), 1);
    }
    EXPECT_EQ(row, u"40x\t0.25 µm");
    EXPECT_FLOAT_EQ(CQrMeasure::GetperPixelLength(), 0.25f);
    EXPECT_EQ(std::u16string((const char16_t*)CQrMeasure::GetFathomType()), u"µm");

    {
        DialogWatcher watcher([&](const SeenDialog& d) {
            ::SendDlgItemMessageW(d.hwnd, kTableList, LB_SETCURSEL, 0, 0);
            ::SendMessageW(d.hwnd, WM_COMMAND, MAKEWPARAM(kTableDelete, BN_CLICKED), 0);
            rows = ::SendDlgItemMessageW(d.hwnd, kTableList, LB_GETCOUNT, 0, 0);
            return IDCANCEL;
        });
        EXPECT_EQ(CQrMeasure::MenuItemEvent(CQrMeasure::ToolCalibrationTable, &m), 0);
    }
    EXPECT_EQ(rows, 0);
}

TEST(MeasureDialogs, AnnotationTakesItsTextOrNothing)
{
    CQrMeasure m(nullptr);
    CQrMeasure::MenuItemEvent(CQrMeasure::ToolAnnotation, &m);
    {
        DialogWatcher watcher([&](const SeenDialog& d) {
            ::SendMessageW(::GetDlgItem(d.hwnd, kNoteEdit), WM_SETTEXT, 0, (LPARAM)L"x");
            return IDCANCEL;
        });
        m.OnLButtonDown(CPoint(10, 10));
    }
    {
        DialogWatcher watcher(IDOK);   // left empty
        m.OnLButtonDown(CPoint(10, 10));
    }
    EXPECT_EQ(m.GetUnitCount(), 0);
    {
        DialogWatcher watcher([&](const SeenDialog& d) {
            ::SendMessageW(::GetDlgItem(d.hwnd, kNoteEdit), WM_SETTEXT, 0, (LPARAM)L"核");
            return IDOK;
        });
        m.OnLButtonDown(CPoint(10, 10));
    }
    ASSERT_EQ(m.GetUnitCount(), 1);
    int item, layer;
    double value;
    CString text;
    m.GetUnitInfo(0, item, layer, value, text);
    EXPECT_EQ(std::u16string((const char16_t*)(LPCWSTR)text), u"核");
}
