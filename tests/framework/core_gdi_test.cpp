// Run-time classes, collections and drawing through the DC wrappers.
#include "support/gtest.h"
#include "afxwin.h"
#include <string>

namespace {

std::u16string U(LPCWSTR s) { return std::u16string((const char16_t*)s); }

class CShape : public CObject
{
    DECLARE_DYNAMIC(CShape)
};
IMPLEMENT_DYNAMIC(CShape, CObject)

class CCircle : public CShape
{
    DECLARE_DYNCREATE(CCircle)
public:
    int m_nRadius = 5;
};
IMPLEMENT_DYNCREATE(CCircle, CShape)

} // namespace

TEST(RuntimeClass, DynamicCreationAndKindChecks)
{
    CObject* pObj = RUNTIME_CLASS(CCircle)->CreateObject();
    ASSERT_NE(pObj, nullptr);
    EXPECT_TRUE(pObj->IsKindOf(RUNTIME_CLASS(CCircle)));
    EXPECT_TRUE(pObj->IsKindOf(RUNTIME_CLASS(CShape)));
    EXPECT_TRUE(pObj->IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_FALSE(pObj->IsKindOf(RUNTIME_CLASS(CWnd)));
    EXPECT_STREQ(pObj->GetRuntimeClass()->m_lpszClassName, "CCircle");
    EXPECT_EQ(((CCircle*)pObj)->m_nRadius, 5);
    EXPECT_EQ(DYNAMIC_DOWNCAST(CWnd, pObj), nullptr);
    delete pObj;
    EXPECT_EQ(RUNTIME_CLASS(CShape)->CreateObject(), nullptr);   // not creatable

    // Framework classes carry the same information across the module edge.
    CObject* pWnd = RUNTIME_CLASS(CWnd)->CreateObject();
    ASSERT_NE(pWnd, nullptr);
    EXPECT_TRUE(pWnd->IsKindOf(RUNTIME_CLASS(CCmdTarget)));
    delete pWnd;
    CDialog dlg;
    EXPECT_TRUE(dlg.IsKindOf(RUNTIME_CLASS(CWnd)));
    EXPECT_FALSE(dlg.IsKindOf(RUNTIME_CLASS(CButton)));
}

TEST(Collections, ArraysAndListsKeepOrderAtTheEdges)
{
    CStringArray names;
    names.Add(L"b");
    names.InsertAt(0, L"a");
    names.InsertAt(5, L"f");          // past the end: grows with empty strings
    ASSERT_EQ(names.GetSize(), 6);
    EXPECT_EQ(U(names[0]), u"a");
    EXPECT_TRUE(names[3].IsEmpty());
    EXPECT_EQ(U(names[5]), u"f");
    names.RemoveAt(1, 100);           // clipped to the end
    EXPECT_EQ(names.GetSize(), 1);
    names.RemoveAt(7);                // out of range: nothing happens
    EXPECT_EQ(names.GetSize(), 1);

    CArray<CPoint, CPoint> points;
    for (int i = 0; i < 100; i++) points.Add(CPoint(i, -i));
    points.RemoveAt(10, 80);
    ASSERT_EQ(points.GetSize(), 20);
    EXPECT_EQ(points[10], CPoint(90, -90));

    CStringList files;
    files.AddTail(L"2.jpg");
    files.AddHead(L"1.jpg");
    files.AddTail(L"3.jpg");
    POSITION pos = files.Find(L"2.jpg");
    ASSERT_NE(pos, nullptr);
    files.InsertAfter(pos, L"2b.jpg");
    files.RemoveAt(pos);
    std::u16string joined;
    for (pos = files.GetHeadPosition(); pos != NULL;) joined += U(files.GetNext(pos)) + u",";
    EXPECT_EQ(joined, u"1.jpg,2b.jpg,3.jpg,");
    EXPECT_EQ(U(files.RemoveTail()), u"3.jpg");
    EXPECT_EQ(U(files.RemoveHead()), u"1.jpg");
    EXPECT_EQ(files.GetCount(), 1);
    EXPECT_EQ(files.FindIndex(1), nullptr);
}

TEST(Drawing, MemoryDcWrappersPaintWhatTheySay)
{
    CDC screen;
    ASSERT_TRUE(screen.Attach(::GetDC(NULL)));
    CDC mem;
    ASSERT_TRUE(mem.CreateCompatibleDC(&screen));
    CBitmap bmp;
    ASSERT_TRUE(bmp.CreateCompatibleBitmap(&screen, 40, 30));
    BITMAP info;
    ASSERT_TRUE(bmp.GetBitmap(&info));
    EXPECT_EQ(info.bmWidth, 40);
    CBitmap* pOld = mem.SelectObject(&bmp);
    ASSERT_NE(pOld, nullptr);

    mem.SetBkColor(RGB(1, 2, 3));
    mem.FillSolidRect(0, 0, 40, 30, RGB(255, 255, 255));
    EXPECT_EQ(mem.GetBkColor(), RGB(1, 2, 3));   // the fill leaves the background colour alone
    mem.Draw3dRect(CRect(5, 5, 25, 20), RGB(255, 0, 0), RGB(0, 0, 255));
    EXPECT_EQ(mem.GetPixel(5, 5), RGB(255, 0, 0));      // top-left edges
    EXPECT_EQ(mem.GetPixel(5, 18), RGB(255, 0, 0));
    EXPECT_EQ(mem.GetPixel(24, 5), RGB(0, 0, 255));     // right edge
    EXPECT_EQ(mem.GetPixel(10, 19), RGB(0, 0, 255));    // bottom edge
    EXPECT_EQ(mem.GetPixel(10, 10), RGB(255, 255, 255));
    EXPECT_EQ(mem.GetPixel(25, 10), RGB(255, 255, 255));

    CPen pen(PS_SOLID, 1, RGB(0, 255, 0));
    CPen* pOldPen = mem.SelectObject(&pen);
    mem.MoveTo(0, 25);
    mem.LineTo(40, 25);
    EXPECT_EQ(mem.GetPixel(30, 25), RGB(0, 255, 0));
    EXPECT_EQ(mem.SelectObject(pOldPen), &pen);          // the permanent object comes back

    CDC copy;
    ASSERT_TRUE(copy.CreateCompatibleDC(&screen));
    CBitmap bmp2;
    ASSERT_TRUE(bmp2.CreateCompatibleBitmap(&screen, 40, 30));
    CBitmap* pOld2 = copy.SelectObject(&bmp2);
    ASSERT_TRUE(copy.BitBlt(0, 0, 40, 30, &mem, 0, 0, SRCCOPY));
    EXPECT_EQ(copy.GetPixel(5, 5), RGB(255, 0, 0));
    ASSERT_TRUE(copy.StretchBlt(0, 0, 20, 15, &mem, 0, 0, 40, 30, SRCCOPY));

    CFont font;
    ASSERT_TRUE(font.CreatePointFont(90, L"MS Shell Dlg", &mem));
    LOGFONTW lf;
    ASSERT_TRUE(font.GetLogFont(&lf));
    EXPECT_LT(lf.lfHeight, 0);   // character height, not cell height
    CFont* pOldFont = mem.SelectObject(&font);
    CSize ext = mem.GetTextExtent(CString(L"影像"));
    EXPECT_GT(ext.cx, 0);
    mem.SelectObject(pOldFont);

    copy.SelectObject(pOld2);
    mem.SelectObject(pOld);
    ::ReleaseDC(NULL, screen.Detach());
    AfxUnlockTempMaps();
}

// Bitmaps made for the screen are DIB sections; what the skins do with them must not
// change: a memory DC still gives monochrome, and a key colour still becomes a mask.
TEST(Drawing, CompatibleBitmapsKeepTheirKindAndKeyColoursStillMask)
{
    CDC screen;
    ASSERT_TRUE(screen.Attach(::GetDC(NULL)));
    CBitmap colour;
    ASSERT_TRUE(colour.CreateCompatibleBitmap(&screen, 8, 4));
    BITMAP info;
    ASSERT_TRUE(colour.GetBitmap(&info));
    EXPECT_EQ(info.bmBitsPixel, 32);
    EXPECT_EQ(info.bmHeight, 4);

    CDC mem;
    ASSERT_TRUE(mem.CreateCompatibleDC(&screen));
    CBitmap mono;
    ASSERT_TRUE(mono.CreateCompatibleBitmap(&mem, 8, 4));   // the DC still holds its 1x1 default
    ASSERT_TRUE(mono.GetBitmap(&info));
    EXPECT_EQ(info.bmBitsPixel, 1);

    CBitmap* pOld = mem.SelectObject(&colour);
    mem.FillSolidRect(0, 0, 8, 4, RGB(255, 0, 255));
    mem.FillSolidRect(2, 1, 3, 2, RGB(10, 200, 30));
    CDC maskDC;
    ASSERT_TRUE(maskDC.CreateCompatibleDC(&screen));
    CBitmap* pOldMask = maskDC.SelectObject(&mono);
    mem.SetBkColor(RGB(255, 0, 255));
    ASSERT_TRUE(maskDC.BitBlt(0, 0, 8, 4, &mem, 0, 0, SRCCOPY));
    EXPECT_EQ(maskDC.GetPixel(0, 0), RGB(255, 255, 255));   // key colour: see-through
    EXPECT_EQ(maskDC.GetPixel(7, 3), RGB(255, 255, 255));
    EXPECT_EQ(maskDC.GetPixel(3, 2), RGB(0, 0, 0));         // the picture itself
    maskDC.SelectObject(pOldMask);
    mem.SelectObject(pOld);
    ::ReleaseDC(NULL, screen.Detach());
}
