// An installed folder and an update service on the project's test server, for the
// dialog tests and the program tests alike.
#pragma once
#include "UpdaterTestSupport.h"
#include "VersionFile.h"
#include "support/TestHttpServer.h"
#include <memory>

extern const std::u16string kChecking, kNewVersion, kLatest, kConnectFailed, kDownloadFailed, kArchiveEmpty,
    kInternalError, kDownloadProgress;
std::u16string ExtractedText(int count);

class UpdateServiceTest : public testing::Test {
protected:
    UpdateServiceTest() : m_root("svc") {}
    void SetUp() override;
    void TearDown() override;

    CString App() const { return m_root / L"app\\"; }
    CString Service() const { return m_root / L"srv\\html\\softwareupdate\\"; }
    CString BaseUrl() const { return m_base; }
    // Server path of a file of the service ("/html/softwareupdate/<name>").
    static std::string ServicePath(const char* name);

    // The installed version file: version "1.0.0.<id>", the id and the service address.
    void Install(int id, const CString& url = CString());
    CVersionInfo Installed() const;
    // A package of these files on the service, offered as version "2.0.0.<id>" by the
    // service's version file; with integrity the file gives the package's size and hash.
    std::string Publish(int id, const std::vector<std::pair<std::string, std::string>>& files,
                        const char* packageName = "app-update.pkg", bool integrity = true,
                        const CString& url = CString());
    // Files in the download folder other than the downloaded version file.
    std::vector<std::string> Downloads() const;

    ScratchFolder m_root;
    std::unique_ptr<TestHttpServer> m_server;
    CString m_base;
};
