#include "UpdateServiceFixture.h"
#include "Sha256.h"

const std::u16string kChecking = u"Check the updated version...";
const std::u16string kNewVersion = u"A new version of the software can be updated!";
const std::u16string kLatest = u"Is the latest version software!";
const std::u16string kConnectFailed = u"Connect to the server failed!";
const std::u16string kDownloadFailed = u"Download new application failed!";
const std::u16string kArchiveEmpty = u"Archive contains no data!";
const std::u16string kInternalError = u"Internal Error!";
const std::u16string kDownloadProgress = u"Download complete";

std::u16string ExtractedText(int count)
{
    std::string s = std::to_string(count) + " files extracted successfully!";
    return std::u16string(s.begin(), s.end());
}

void UpdateServiceTest::SetUp()
{
    ClearProxyEnvironment();
    CreateDirectoryW(m_root / L"app", nullptr);
    CreateDirectoryW(m_root / L"srv", nullptr);
    CreateDirectoryW(m_root / L"srv\\html", nullptr);
    CreateDirectoryW(Service(), nullptr);
    m_server = std::make_unique<TestHttpServer>(U16(m_root / L"srv"));
    ASSERT_TRUE(m_server->Start());
    m_base = Str(m_server->BaseUrl()) + L"html/softwareupdate/";
}

void UpdateServiceTest::TearDown()
{
    if (m_server)
        EXPECT_TRUE(m_server->Stop(10000));
}

std::string UpdateServiceTest::ServicePath(const char* name)
{
    return std::string("/html/softwareupdate/") + name;
}

void UpdateServiceTest::Install(int id, const CString& url)
{
    CString version;
    version.Format(L"1.0.0.%d", id);
    DeleteFileW(App() + L"version.ini");
    ASSERT_TRUE(WriteInstalledVersion(App() + L"version.ini", version, id, url.IsEmpty() ? m_base : url, L""));
}

CVersionInfo UpdateServiceTest::Installed() const
{
    CVersionInfo info;
    info.Read(App() + L"version.ini");
    return info;
}

std::string UpdateServiceTest::Publish(int id, const std::vector<std::pair<std::string, std::string>>& files,
                                       const char* packageName, bool integrity, const CString& url)
{
    std::string bytes = MakePackageBytes(files, "MZ self-extracting part");
    CString path = Service() + Str(packageName);
    EXPECT_TRUE(WriteBytes(path, bytes));
    CVersionInfo info;
    info.m_strVersion.Format(L"2.0.0.%d", id);
    info.m_nVersionId = id;
    info.m_strUrl = url.IsEmpty() ? m_base : url;
    info.m_strFile = Str(packageName);
    if (integrity) {
        info.m_bHasSize = TRUE;
        EXPECT_TRUE(Sha256OfFile(path, info.m_strSha256, info.m_llSize));
    }
    DeleteFileW(Service() + L"version.ini");
    EXPECT_TRUE(info.WriteServiceFile(Service() + L"version.ini"));
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, Service() + L"version.ini");
    return bytes;
}

std::vector<std::string> UpdateServiceTest::Downloads() const
{
    std::vector<std::string> out;
    for (const std::string& f : ListFiles(App() + L"Update\\"))
        if (f != "version.ini" && f.compare(0, 11, "JolExtract\\") != 0)
            out.push_back(f);
    return out;
}
