// Layers with their file, and the cell counter with its window and export.
#include <string>
#include <vector>
#include "support/gtest.h"
#include "support/wintest.h"
#include "MeasureCanvas.h"
#include "QrMeasure.h"

namespace {

std::u16string U(LPCWSTR s)
{
    return std::u16string((const char16_t*)s);
}

void Drag(CQrMeasure& m, CPoint from, CPoint to)
{
    m.OnLButtonDown(from);
    m.OnMouseMove(to);
    m.OnLButtonUp(to);
}

std::string TempPath(const char* name)
{
    char dir[MAX_PATH];
    ::GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

std::string ReadAll(const std::string& path)
{
    std::string s;
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return s;
    char buf[4096];
    DWORD got = 0;
    while (::ReadFile(h, buf, sizeof(buf), &got, nullptr) && got)
        s.append(buf, got);
    ::CloseHandle(h);
    return s;
}

void WriteAll(const std::string& path, const std::string& text)
{
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD put = 0;
    ::WriteFile(h, text.data(), (DWORD)text.size(), &put, nullptr);
    ::CloseHandle(h);
}

} // namespace

TEST(MeasureLayers, NewDeleteRenameVisibilityAndCurrent)
{
    CQrMeasure m(nullptr);
    EXPECT_EQ(m.GetLayersNum(), 0);
    EXPECT_EQ(m.NewLayer(L"背景"), 1);
    EXPECT_EQ(m.NewLayer(L"圖層01"), 1);
    EXPECT_EQ(m.NewLayer(L""), 0);
    EXPECT_EQ(m.GetLayersNum(), 2);
    EXPECT_EQ(m.GetCurrentLayerIndex(), 1);   // a new layer becomes the one drawn on
    EXPECT_EQ(m.RenameLayer(1, L"細胞"), 1);
    EXPECT_EQ(m.RenameLayer(5, L"x"), 0);
    std::vector<CString> names;
    m.GetLayersName(names);
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(U(names[1]), u"細胞");

    CQrMeasure::MenuItemEvent(CQrMeasure::ToolLine, &m);
    Drag(m, CPoint(10, 10), CPoint(60, 10));      // on layer 1
    m.SetCurrentLayer(0);
    Drag(m, CPoint(10, 40), CPoint(60, 40));      // on the background

    // A hidden layer's units are not drawn; the current one and the background stay.
    m.SetLayerVisible(1, 0);
    EXPECT_EQ(m.IsLayerVisible(1), 0);
    m.SetLayerVisible(0, 0);
    EXPECT_EQ(m.IsLayerVisible(0), 1);
    MeasureCanvas canvas(100, 100);
    m.DrawAllUnit(canvas.DC(), CSize(0, 0));
    EXPECT_NE(canvas.At(30, 10), RGB(255, 0, 0));
    EXPECT_EQ(canvas.At(30, 40), RGB(255, 0, 0));
    m.SetCurrentLayer(1);                         // drawing on it shows it again
    EXPECT_EQ(m.IsLayerVisible(1), 1);
    m.SetLayerVisible(1, 0);
    EXPECT_EQ(m.IsLayerVisible(1), 1);

    EXPECT_EQ(m.DeleteLayer(0), 0);
    EXPECT_EQ(m.DeleteLayer(2), 0);
    EXPECT_EQ(m.DeleteLayer(1), 1);               // takes its units along
    EXPECT_EQ(m.GetLayersNum(), 1);
    EXPECT_EQ(m.GetCurrentLayerIndex(), 0);
    ASSERT_EQ(m.GetUnitCount(), 1);
    int item, layer;
    double value;
    CString text;
    m.GetUnitInfo(0, item, layer, value, text);
    EXPECT_EQ(layer, 0);
}

TEST(MeasureLayers, FileRoundTripAndDamagedFiles)
{
    const std::string path = TempPath("LayerInfo.txt");
    {
        CQrMeasure m(nullptr);
        m.NewLayer(L"背景");
        m.NewLayer(L"圖層 01");
        m.NewLayer(L"隱藏");
        m.SetCurrentLayer(1);
        CQrMeasure::MenuItemEvent(CQrMeasure::ToolLine, &m);
        Drag(m, CPoint(10, 10), CPoint(40, 50));
        m.SetCurrentLayer(2);
        CQrMeasure::MenuItemEvent(CQrMeasure::ToolAnnotation, &m);
        DialogWatcher watcher([](const SeenDialog& d) {
            ::SendMessageW(::GetDlgItem(d.hwnd, 1009), WM_SETTEXT, 0, (LPARAM)L"細胞核 A");
            return IDOK;
        });
        m.OnLButtonDown(CPoint(5, 5));
        m.SetCurrentLayer(1);
        m.SetLayerVisible(2, 0);
        ASSERT_EQ(m.SaveLayersAndMsrs(path.c_str()), 1);
    }
    CQrMeasure m(nullptr);
    m.NewLayer(L"舊的");
    ASSERT_EQ(m.LoadLayersAndMsrs(path.c_str()), 1);
    std::vector<CString> names;
    m.GetLayersName(names);
    ASSERT_EQ(names.size(), 3u);
    EXPECT_EQ(U(names[0]), u"背景");
    EXPECT_EQ(U(names[1]), u"圖層 01");
    EXPECT_EQ(m.GetCurrentLayerIndex(), 1);
    EXPECT_EQ(m.IsLayerVisible(2), 0);
    ASSERT_EQ(m.GetUnitCount(), 2);
    int item, layer;
    double value;
    CString text;
    m.GetUnitInfo(0, item, layer, value, text);
    EXPECT_EQ(item, CQrMeasure::ItemLine);
    EXPECT_EQ(layer, 1);
    EXPECT_NEAR(value, 50.0, 1e-6);
    m.GetUnitInfo(1, item, layer, value, text);
    EXPECT_EQ(item, CQrMeasure::ItemAnnotation);
    EXPECT_EQ(layer, 2);
    EXPECT_EQ(U(text), u"細胞核 A");

    // A missing, foreign or damaged file changes nothing.
    const std::string good = ReadAll(path);
    EXPECT_EQ(m.LoadLayersAndMsrs(TempPath("no-such-layers.txt").c_str()), 0);
    const std::string broken = TempPath("broken-layers.txt");
    WriteAll(broken, "hello\r\n");
    EXPECT_EQ(m.LoadLayersAndMsrs(broken.c_str()), 0);
    WriteAll(broken, good.substr(0, good.find("unit")) + "unit 1 7 2 0 0 10 0\r\n");   // layer 7
    EXPECT_EQ(m.LoadLayersAndMsrs(broken.c_str()), 0);
    WriteAll(broken, good.substr(0, good.rfind(" 5 |")));                              // cut short
    EXPECT_EQ(m.LoadLayersAndMsrs(broken.c_str()), 0);
    EXPECT_EQ(m.GetLayersNum(), 3);
    EXPECT_EQ(m.GetUnitCount(), 2);
    EXPECT_EQ(m.SaveLayersAndMsrs(""), 0);
    ::DeleteFileA(path.c_str());
    ::DeleteFileA(broken.c_str());
}

namespace {

std::vector<WPARAM> s_counterMessages;

LRESULT WINAPI CounterSpyProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == CQrMeasure::WM_COUNTERS_CHANGED)
    {
        s_counterMessages.push_back(wp);
        return 0;
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

} // namespace

TEST(MeasureCounters, CountsNotifyAndExport)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = CounterSpyProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"OrvCounterSpy";
    ::RegisterClassW(&wc);
    HWND hwnd = ::CreateWindowW(L"OrvCounterSpy", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                wc.hInstance, nullptr);
    ASSERT_NE(hwnd, nullptr);
    CWnd* wnd = CWnd::FromHandle(hwnd);

    CQrMeasure m(nullptr);
    s_counterMessages.clear();
    m.SetCompteursWnd(wnd);
    ASSERT_EQ(CQrMeasure::MenuItemEvent(CQrMeasure::ToolCounter, &m), 1);
    EXPECT_EQ(m.SetCompteursColor(5), 0);
    for (int i = 0; i < 2; ++i)
        m.OnLButtonDown(CPoint(10 + 10 * i, 10));
    EXPECT_EQ(m.SetCompteursColor(2), 1);
    m.OnLButtonDown(CPoint(50, 50));
    m.SetCompteursName({ L"紅", L"綠", L"藍\t色" });
    EXPECT_EQ(s_counterMessages, (std::vector<WPARAM>{ 1, 1, 1 }));

    std::vector<CString> names;
    std::vector<int> counts;
    std::vector<float> shares;
    unsigned char current = 9;
    m.GetCompteursInfo(names, counts, shares, current);
    ASSERT_EQ(counts.size(), 5u);
    EXPECT_EQ(counts, (std::vector<int>{ 2, 0, 1, 0, 0 }));
    EXPECT_NEAR(shares[0], 2.0 / 3.0, 1e-6);
    EXPECT_NEAR(shares[2], 1.0 / 3.0, 1e-6);
    EXPECT_EQ(current, 2);
    EXPECT_EQ(U(names[1]), u"綠");

    // Marks are drawn in their class colour.
    MeasureCanvas canvas(100, 100);
    m.DrawAllUnit(canvas.DC(), CSize(0, 0));
    EXPECT_EQ(canvas.At(10, 10), RGB(255, 0, 0));
    EXPECT_EQ(canvas.At(50, 50), RGB(0, 128, 255));

    const std::string path = TempPath("Result.xls");
    WCHAR wpath[MAX_PATH];
    ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wpath, MAX_PATH);
    ASSERT_EQ(m.ExportCompteursToExcel(wpath), 1);
    const std::string raw = ReadAll(path);
    ASSERT_GE(raw.size(), 2u);
    const std::u16string sheet((const char16_t*)raw.data() + 1, (raw.size() - 2) / 2);
    EXPECT_EQ(raw.substr(0, 2), std::string("\xFF\xFE"));
    EXPECT_NE(sheet.find(u"紅\t2\t66.7%\r\n"), std::u16string::npos);
    EXPECT_NE(sheet.find(u"藍 色\t1\t33.3%\r\n"), std::u16string::npos);   // no stray column
    EXPECT_NE(sheet.find(u"合計\t3\t100.0%\r\n"), std::u16string::npos);
    EXPECT_EQ(m.ExportCompteursToExcel(L"Z:\\no\\such\\folder\\r.xls"), 0);

    // Deleting a mark counts down; a double click ends counting.
    CQrMeasure::MenuItemEvent(CQrMeasure::ToolDelete, &m);
    EXPECT_EQ(s_counterMessages.back(), 0u);    // leaving the counter ends counting
    m.OnLButtonDown(CPoint(51, 50));
    m.GetCompteursInfo(names, counts, shares, current);
    EXPECT_EQ(counts[2], 0);
    CQrMeasure::MenuItemEvent(CQrMeasure::ToolCounter, &m);
    s_counterMessages.clear();
    m.OnLButtonDblClk(CPoint(5, 5));
    EXPECT_EQ(s_counterMessages, (std::vector<WPARAM>{ 0 }));
    EXPECT_EQ(CQrMeasure::GetCurSelItem(), CQrMeasure::ItemSelect);

    m.ClearAllCompteurs();
    m.GetCompteursInfo(names, counts, shares, current);
    EXPECT_EQ(counts, (std::vector<int>(5, 0)));
    EXPECT_EQ(shares, (std::vector<float>(5, 0.0f)));   // no division by a zero total
    ::DeleteFileA(path.c_str());
    ::DestroyWindow(hwnd);
}
