#include "support/gtest.h"
#include "afxwin.h"
#include <string>

namespace {

std::u16string U(LPCWSTR s) { return std::u16string((const char16_t*)s); }

CString Fmt(LPCWSTR fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    CString s;
    s.FormatV(fmt, args);
    va_end(args);
    return s;
}

} // namespace

TEST(CStringConstruction, NullAndEmptySourcesGiveEmptyStrings)
{
    CString a((LPCWSTR)NULL), b((LPCSTR)NULL), c(nullptr), d(L""), e;
    for (const CString* s : { &a, &b, &c, &d, &e }) {
        EXPECT_TRUE(s->IsEmpty());
        EXPECT_EQ(s->GetLength(), 0);
        ASSERT_NE((LPCWSTR)*s, nullptr);
        EXPECT_EQ(((LPCWSTR)*s)[0], 0);
    }
    CString f(L"abc");
    f = (LPCWSTR)NULL;
    EXPECT_TRUE(f.IsEmpty());
    CString g("narrow text");
    EXPECT_EQ(U(g), u"narrow text");
    CString h(L'x', 3);
    EXPECT_EQ(U(h), u"xxx");
    CString i(L'x', -2);
    EXPECT_TRUE(i.IsEmpty());
}

TEST(CStringFormat, EachConversionRendersAsThePlatformDoes)
{
    EXPECT_EQ(U(Fmt(L"%d|%d", 42, -7)), u"42|-7");
    EXPECT_EQ(U(Fmt(L"%u", 4000000000u)), u"4000000000");
    EXPECT_EQ(U(Fmt(L"%ld|%lu", (long)-5, (unsigned long)7)), u"-5|7");
    EXPECT_EQ(U(Fmt(L"%x|%X|%08x", 255, 255, 0xbeef)), u"ff|FF|0000beef");
    EXPECT_EQ(U(Fmt(L"%c%c", L'A', 0x4E2D)), u"A\u4E2D");
    EXPECT_EQ(U(Fmt(L"[%s]", L"\u5F71\u50CF")), u"[\u5F71\u50CF]");
    EXPECT_EQ(U(Fmt(L"[%s]", (LPCWSTR)NULL)), u"[(null)]");
    EXPECT_EQ(U(Fmt(L"%02d:%02d:%03d", 5, 7, 9)), u"05:07:009");
    EXPECT_EQ(U(Fmt(L"[%5.2f]", 3.14159)), u"[ 3.14]");
    EXPECT_EQ(U(Fmt(L"%.1f|%.2f|%.3f", 2.25, -0.005, 1.0)), u"2.2|-0.01|1.000");
    EXPECT_EQ(U(Fmt(L"100%%")), u"100%");
    EXPECT_EQ(U(Fmt(L"[%-4d][%4s][%-3s]", 7, L"ab", L"x")), u"[7   ][  ab][x  ]");
    EXPECT_EQ(U(Fmt(L"%S|%hs", "ansi", "ansi")), u"ansi|ansi");
    EXPECT_EQ(U(Fmt(L"%I64d", -1234567890123LL)), u"-1234567890123");
    EXPECT_EQ(U(Fmt(L"%.3s", L"abcdef")), u"abc");
    // A dangling percent at the end is copied, not read past.
    EXPECT_EQ(U(Fmt(L"50%")), u"50%");
}

TEST(CStringFormat, FormatMayUseItsOwnContentAsArgument)
{
    CString s(L"abc");
    s.Format(L"%s-%s", (LPCWSTR)s, (LPCWSTR)s);
    EXPECT_EQ(U(s), u"abc-abc");
}

TEST(CStringSearch, FindAndMidStayInBounds)
{
    CString s(L"camera.raw");
    EXPECT_EQ(s.Find(L'.'), 6);
    EXPECT_EQ(s.Find(L"raw"), 7);
    EXPECT_EQ(s.Find(L"raw", 8), -1);
    EXPECT_EQ(s.Find(L'a', 100), -1);
    EXPECT_EQ(s.Find(L'c', -5), 0);
    EXPECT_EQ(s.Find(L"", 3), 3);
    EXPECT_EQ(s.ReverseFind(L'a'), 8);
    EXPECT_EQ(s.ReverseFind(L'z'), -1);
    EXPECT_EQ(U(s.Mid(7)), u"raw");
    EXPECT_EQ(U(s.Mid(7, 100)), u"raw");
    EXPECT_EQ(U(s.Mid(100)), u"");
    EXPECT_EQ(U(s.Mid(-3, 3)), u"cam");
    EXPECT_EQ(U(s.Mid(2, -1)), u"");
    EXPECT_EQ(U(s.Left(3)), u"cam");
    EXPECT_EQ(U(s.Left(50)), u"camera.raw");
    EXPECT_EQ(U(s.Right(3)), u"raw");
    EXPECT_EQ(U(s.Right(-1)), u"");
    EXPECT_EQ(s.GetAt(100), 0);
}

TEST(CStringEdit, CaseTrimAndCompare)
{
    CString s(L"  Exposure Time \t");
    s.Trim();
    EXPECT_EQ(U(s), u"Exposure Time");
    CString u(s);
    u.MakeUpper();
    EXPECT_EQ(U(u), u"EXPOSURE TIME");
    u.MakeLower();
    EXPECT_EQ(U(u), u"exposure time");
    EXPECT_EQ(s.CompareNoCase(L"EXPOSURE time"), 0);
    EXPECT_LT(s.CompareNoCase(L"f"), 0);
    EXPECT_TRUE(s == L"Exposure Time");
    EXPECT_TRUE(s != CString(L"Exposure"));
    CString t = s + L" (ms)";
    t += L'!';
    EXPECT_EQ(U(t), u"Exposure Time (ms)!");
    EXPECT_EQ(t.Replace(L"e", L"E"), 2);
    EXPECT_EQ(U(t), u"ExposurE TimE (ms)!");
    t += t;   // appending to itself
    EXPECT_EQ(t.GetLength(), 38);
}

TEST(CStringBuffer, GetBufferAndReleaseBuffer)
{
    CString s;
    LPWSTR p = s.GetBuffer(10);
    lstrcpyW(p, L"hello");
    s.ReleaseBuffer();
    EXPECT_EQ(s.GetLength(), 5);
    p = s.GetBuffer(100);
    EXPECT_EQ(U(p), u"hello");   // content kept on growth
    p[2] = 0;
    s.ReleaseBuffer();
    EXPECT_EQ(U(s), u"he");
    s.GetBuffer(4);
    s.ReleaseBuffer(1);
    EXPECT_EQ(U(s), u"h");
    CString e;
    e.GetBuffer(0);
    e.ReleaseBuffer();   // the shared empty string must stay empty
    CString other;
    EXPECT_TRUE(other.IsEmpty());
}

TEST(CStringEdit, InsertDeleteRemoveClampToTheString)
{
    CString s(L"IMG0001");
    EXPECT_EQ(s.Insert(3, L'_'), 8);
    EXPECT_EQ(U(s), u"IMG_0001");
    EXPECT_EQ(s.Insert(100, L".jpg"), 12);   // past the end appends
    EXPECT_EQ(s.Insert(-4, L"x"), 13);        // before the start prepends
    EXPECT_EQ(U(s), u"xIMG_0001.jpg");
    EXPECT_EQ(s.Delete(0), 12);
    EXPECT_EQ(s.Delete(8, 100), 8);           // clipped at the end
    EXPECT_EQ(s.Delete(50, 2), 8);            // out of range: nothing
    EXPECT_EQ(U(s), u"IMG_0001");
    EXPECT_EQ(s.Remove(L'0'), 3);
    EXPECT_EQ(U(s), u"IMG_1");
    EXPECT_EQ(U(s.SpanIncluding(L"GIM")), u"IMG");
    EXPECT_EQ(U(s.SpanExcluding(L"_")), u"IMG");
    EXPECT_EQ(s.FindOneOf(L"_1"), 3);
}
