// Strings crossing a module edge, string-table texts and resource exceptions.
#include "support/gtest.h"
#include "support/wintest.h"
#include "afxwin.h"
#include "fwtest_res.h"
#include <string>

void FwPeerFillCaption(CString& rOut, int nShot);
CString FwPeerMakeString(int nRepeat);
void FwPeerDeleteString(CString* p);
void FwPeerFillList(CStringArray& rList, int nCount);
extern "C" DWORD WINAPI FwPeerVersion(void);

namespace {
std::u16string U(LPCWSTR s) { return std::u16string((const char16_t*)s); }
}

TEST(CrossModuleString, FilledInOneModuleFreedInAnother)
{
    // Calling its export makes the peer a module of its own in the import table.
    EXPECT_EQ(FwPeerVersion(), 1u);
    ASSERT_NE(GetModuleHandleW(L"fwpeer.dll"), nullptr);
    EXPECT_NE(GetModuleHandleW(L"fwpeer.dll"), GetModuleHandleW(L"orvfw.dll"));
    {
        CString caption(L"old text that the peer replaces");
        FwPeerFillCaption(caption, 12);
        EXPECT_EQ(U(caption), u"第12張 影像");
        caption += L"!";   // grown here after the peer assigned it
        EXPECT_EQ(U(caption), u"第12張 影像!");
    }
    {
        CString made = FwPeerMakeString(300);
        EXPECT_EQ(made.GetLength(), 600);
        made = L"";   // the peer's allocation freed here
    }
    CString* owned = new CString(L"made by the program");
    owned->GetBuffer(1000);
    FwPeerDeleteString(owned);   // freed by the peer

    CStringArray list;
    FwPeerFillList(list, 50);
    ASSERT_EQ(list.GetSize(), 50);
    EXPECT_EQ(U(list[49]), u"IMG_0049.jpg");
    list.RemoveAll();
}

TEST(StringTable, ChineseTextsLoadAndFormat)
{
    CString s;
    ASSERT_TRUE(s.LoadString(IDS_CAMERA_NOT_FOUND));
    EXPECT_EQ(U(s), u"找不到相機！");

    CString byId(MAKEINTRESOURCEW(IDS_CAMERA_NOT_FOUND));
    EXPECT_EQ(byId, s);

    CString f;
    f.Format(IDS_EXPOSURE_FORMAT, 120, 2.5, L"彩色");
    EXPECT_EQ(U(f), u"曝光時間 120 毫秒，增益 2.5，彩色");

    CString missing(L"keep");
    EXPECT_FALSE(missing.LoadString(4242));
    EXPECT_TRUE(missing.IsEmpty());

    WCHAR buf[4];
    EXPECT_EQ(AfxLoadString(IDS_CAMERA_NOT_FOUND, buf, 4), 3);
    EXPECT_EQ(U(buf), u"找不到");
}

TEST(StringTable, MessageBoxByIdShowsTheTableText)
{
    DialogWatcher watcher(IDOK);
    EXPECT_EQ(AfxMessageBox(IDS_CAMERA_NOT_FOUND, MB_OK), IDOK);
    ASSERT_EQ(watcher.Count(), 1);
    EXPECT_EQ(watcher.LastText(), u"找不到相機！");
}

namespace {

class CThrowingWnd : public CWnd
{
public:
    int m_nCalls = 0;
    afx_msg LRESULT OnThrow(WPARAM, LPARAM)
    {
        m_nCalls++;
        AfxThrowResourceException();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CThrowingWnd, CWnd)
    ON_MESSAGE(WM_USER + 1, OnThrow)
END_MESSAGE_MAP()

} // namespace

TEST(Exceptions, ResourceExceptionIsCaughtByTheCaller)
{
    bool caught = false;
    try {
        AfxThrowResourceException();
    } catch (CException* e) {
        caught = true;
        EXPECT_TRUE(e->IsKindOf(RUNTIME_CLASS(CResourceException)));
        EXPECT_FALSE(e->IsKindOf(RUNTIME_CLASS(CMemoryException)));
        WCHAR msg[128];
        EXPECT_TRUE(e->GetErrorMessage(msg, 128));
        e->Delete();
    }
    EXPECT_TRUE(caught);

    // Thrown inside a message handler, it must not unwind through the platform's
    // dispatcher: the sender gets 0 and the program goes on.
    CThrowingWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0), L"throw", WS_POPUP, 0, 0, 10, 10, NULL, NULL));
    EXPECT_EQ(wnd.SendMessage(WM_USER + 1), 0);
    EXPECT_EQ(wnd.m_nCalls, 1);
    wnd.DestroyWindow();
}
