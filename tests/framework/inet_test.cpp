#include "support/gtest.h"
#include "afxinet.h"

namespace {

struct Parsed {
    BOOL ok;
    DWORD service;
    std::u16string server, object;
    INTERNET_PORT port;
};

Parsed Parse(LPCWSTR url)
{
    Parsed p;
    CString server, object;
    p.ok = AfxParseURL(url, p.service, server, object, p.port);
    p.server.assign(reinterpret_cast<const char16_t*>((LPCWSTR)server), server.GetLength());
    p.object.assign(reinterpret_cast<const char16_t*>((LPCWSTR)object), object.GetLength());
    return p;
}

}  // namespace

TEST(ParseURL, SplitsServerObjectAndPort)
{
    Parsed p = Parse(L"http://127.0.0.1:8080/html/softwareupdate/app-2.pkg");
    EXPECT_TRUE(p.ok);
    EXPECT_EQ(p.service, (DWORD)AFX_INET_SERVICE_HTTP);
    EXPECT_EQ(p.server, u"127.0.0.1");
    EXPECT_EQ(p.object, u"/html/softwareupdate/app-2.pkg");
    EXPECT_EQ(p.port, 8080);

    // The scheme's own port when none is written; the query stays with the object.
    p = Parse(L"http://updates.example.invalid/a/b.ini?x=1");
    EXPECT_TRUE(p.ok);
    EXPECT_EQ(p.port, 80);
    EXPECT_EQ(p.object, u"/a/b.ini?x=1");
    p = Parse(L"https://host.invalid");
    EXPECT_TRUE(p.ok);
    EXPECT_EQ(p.service, (DWORD)AFX_INET_SERVICE_HTTPS);
    EXPECT_EQ(p.port, 443);
    EXPECT_EQ(p.object, u"/");
    EXPECT_EQ(Parse(L"ftp://files.invalid/x").service, (DWORD)AFX_INET_SERVICE_FTP);
}

TEST(ParseURL, RefusesTextThatIsNoAddress)
{
    for (LPCWSTR bad : { L"", L"not a url", L"http://", L"http:///path", L"mailto:someone", L"C:\\folder\\file" }) {
        Parsed p = Parse(bad);
        EXPECT_FALSE(p.ok) << std::string(p.object.begin(), p.object.end());
        EXPECT_EQ(p.service, (DWORD)AFX_INET_SERVICE_UNK);
        EXPECT_TRUE(p.server.empty());
    }
    DWORD service = 0;
    CString server, object;
    INTERNET_PORT port = 0;
    EXPECT_FALSE(AfxParseURL(nullptr, service, server, object, port));
}
