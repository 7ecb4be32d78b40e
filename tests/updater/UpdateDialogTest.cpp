// The update dialog run in-process against the test server: a lying, broken or hostile
// service never passes for an update, never writes outside its folders and never hangs
// the dialog.
#include "UpdateServiceFixture.h"
#include "UpdateIds.h"
#include "Sha256.h"
#include <commctrl.h>

namespace {

const DWORD kNet = 30000;   // generous limits: the machine may be busy

class UpdateDialogTest : public UpdateServiceTest {
protected:
    // Runs the dialog until it offers the update and presses Update.
    void StartUpdate(DialogRun& run)
    {
        ASSERT_TRUE(run.Started());
        ASSERT_TRUE(run.WaitStatus(kNewVersion, kNet)) << Narrow(run.Status());
        // The status line is the dialog's last word on each step.
        ASSERT_TRUE(run.IsEnabled(IDC_UPDATE));
        run.Click(IDC_UPDATE);
    }
    static bool AskedToCancel(const SeenDialog& d)
    {
        return d.Text().find(u"是否取消更新？") != std::u16string::npos;
    }
    // Dialogs the watcher met other than the update dialog itself.
    static int Others(const DialogWatcher& w, HWND main)
    {
        int n = 0;
        for (const SeenDialog& d : w.Dialogs())
            n += d.hwnd != main;
        return n;
    }
};

}  // namespace

TEST_F(UpdateDialogTest, VersionFileErrorPagesAreNotReadAsTheLatestVersion)
{
    Install(1);
    Publish(2, { { "a.txt", "a" } });
    for (int status : { 404, 500 }) {
        HttpRule rule;
        rule.status = status;
        m_server->SetRule(ServicePath("version.ini"), rule);
        DialogRun run(App());
        ASSERT_TRUE(run.Started());
        EXPECT_TRUE(run.WaitStatus(kConnectFailed, kNet)) << status;
        EXPECT_FALSE(run.IsEnabled(IDC_UPDATE));
        // The error page is not kept as the service's version file.
        EXPECT_FALSE(Exists(App() + L"Update\\version.ini")) << status;
        run.Click(IDCANCEL);
        EXPECT_TRUE(run.WaitEnd(5000));
    }
    EXPECT_EQ(Installed().m_nVersionId, 1);
}

TEST_F(UpdateDialogTest, EqualOrOlderVersionsAreNotOffered)
{
    Publish(3, { { "a.txt", "a" } });
    for (int installed : { 3, 4 }) {
        Install(installed);
        DialogRun run(App());
        EXPECT_TRUE(run.WaitStatus(kLatest, kNet));
        EXPECT_FALSE(run.IsEnabled(IDC_UPDATE));
        // Nothing offered: Cancel closes at once, without asking.
        DialogWatcher none(0);
        run.Click(IDCANCEL);
        EXPECT_TRUE(run.WaitEnd(5000));
        EXPECT_EQ(run.Result(), IDCANCEL);
        EXPECT_EQ(Others(none, run.Hwnd()), 0);
    }
}

TEST_F(UpdateDialogTest, FailedPackageDownloadsLeaveNothingAndCanBeRetried)
{
    Install(1);
    struct Case {
        const char* what;
        HttpRule rule;
        bool integrity;
    };
    std::vector<Case> cases;
    HttpRule r;
    r.status = 404;
    cases.push_back({ "404 page", r, false });
    r.status = 500;
    cases.push_back({ "500 page", r, false });
    r = HttpRule();
    r.cutAfter = 3000;
    cases.push_back({ "body cut short", r, false });
    r = HttpRule();
    r.length = HttpRule::Length::Longer;
    r.lengthDelta = 5000;
    cases.push_back({ "length longer than the body", r, false });
    r = HttpRule();
    r.length = HttpRule::Length::Shorter;
    r.lengthDelta = 100;
    cases.push_back({ "length shorter than the body", r, true });

    const std::string content = PatternBytes(200000, 7);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Publish(2, { { "a.bin", content } }, "app-update.pkg", c.integrity);
        m_server->SetRule(ServicePath("app-update.pkg"), c.rule);
        DialogRun run(App());
        StartUpdate(run);
        EXPECT_TRUE(run.WaitStatus(kDownloadFailed, kNet));
        EXPECT_TRUE(WaitFor([&] { return run.IsEnabled(IDC_UPDATE); }, 5000));
        EXPECT_TRUE(Downloads().empty());
        EXPECT_FALSE(Exists(App() + L"Update\\JolExtract\\a.bin"));
        EXPECT_EQ(Installed().m_nVersionId, 1);
    }

    // A package whose bytes differ from the hash the service gave.
    Publish(2, { { "a.bin", content } });
    std::string bytes = ReadBytes(Service() + L"app-update.pkg");
    bytes[100] ^= 1;
    ASSERT_TRUE(WriteBytes(Service() + L"app-update.pkg", bytes));
    m_server->ClearRules();
    DialogRun run(App());
    StartUpdate(run);
    EXPECT_TRUE(run.WaitStatus(kDownloadFailed, kNet));
    EXPECT_TRUE(Downloads().empty());

    // Once the service is mended, pressing Update again downloads anew.
    Publish(2, { { "a.bin", content } });
    ASSERT_TRUE(WaitFor([&] { return run.IsEnabled(IDC_UPDATE); }, 5000));
    run.Click(IDC_UPDATE);
    EXPECT_TRUE(run.WaitStatus(ExtractedText(1), kNet));
    EXPECT_EQ(ReadBytes(App() + L"Update\\JolExtract\\a.bin"), content);
    EXPECT_EQ(Installed().m_nVersionId, 2);
}

TEST_F(UpdateDialogTest, LargePackagesKeepTheProgressWithinRange)
{
    // Above 21 MB a 32-bit received x 100 overflows; without a length there is no percentage.
    const std::string big = PatternBytes(30 * 1024 * 1024, 9);
    const CString extracted = App() + L"Update\\JolExtract\\big.bin";
    for (HttpRule::Length length : { HttpRule::Length::Absent, HttpRule::Length::Exact }) {
        const bool known = length == HttpRule::Length::Exact;
        SCOPED_TRACE(known ? "with a length" : "without a length");
        Install(1);
        DeleteFileW(extracted);
        Publish(2, { { "big.bin", big } });
        HttpRule rule;
        rule.length = length;
        m_server->SetRule(ServicePath("app-update.pkg"), rule);

        DialogRun run(App());
        ASSERT_TRUE(run.WaitStatus(kNewVersion, kNet));
        MessageSpy dlg(run.Hwnd());
        MessageSpy bar(GetDlgItem(run.Hwnd(), IDC_PROGRESS));
        bool sawKilobytes = false;
        run.Click(IDC_UPDATE);
        ASSERT_TRUE(WaitFor([&] {
            sawKilobytes |= run.Status().find(u" KB") != std::u16string::npos;
            return run.Status() == ExtractedText(1);
        }, 120000)) << Narrow(run.Status());

        int lastPercent = -1, percents = 0;
        for (const SpyMessage& m : dlg.Messages()) {
            if (m.msg != WM_UPDATE_DOWNLOAD_PROGRESS)
                continue;
            EXPECT_LE(m.wParam, 100u);
            if (known) {
                EXPECT_EQ(m.lParam, 0);
                EXPECT_GT((int)m.wParam, lastPercent);   // posted only when it changes
                lastPercent = (int)m.wParam;
            } else {
                EXPECT_GT(m.lParam, 0);
            }
            percents++;
        }
        for (const SpyMessage& m : bar.Messages())
            if (m.msg == PBM_SETPOS) {
                EXPECT_GE((int)m.wParam, 0);
                EXPECT_LE((int)m.wParam, 100);
            }
        EXPECT_GT(percents, 0);
        if (known)
            EXPECT_EQ(lastPercent, 100);
        EXPECT_EQ(sawKilobytes, !known);
        EXPECT_TRUE(ReadBytes(extracted) == big);
        EXPECT_EQ(Installed().m_nVersionId, 2);
    }
}

TEST_F(UpdateDialogTest, ChunkedBodyWithoutLengthIsAccepted)
{
    Install(1);
    const std::string content = PatternBytes(300000, 11);
    Publish(2, { { "a.bin", content }, { "b.txt", "bee" } });
    HttpRule rule;
    rule.chunked = true;
    rule.chunkBytes = 7000;
    m_server->SetRule(ServicePath("app-update.pkg"), rule);
    DialogRun run(App());
    ASSERT_TRUE(run.WaitStatus(kNewVersion, kNet));
    RedrawWindow(run.Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpMessagesFor(200);
    SaveScreenshot(run.Hwnd(), "updater_offered");
    StartUpdate(run);
    ASSERT_TRUE(run.WaitStatus(ExtractedText(2), kNet));
    PumpMessagesFor(200);
    SaveScreenshot(run.Hwnd(), "updater_finished");
    EXPECT_EQ(run.Text(IDC_UPDATE), u"Finish");
    EXPECT_TRUE(run.IsEnabled(IDC_UPDATE));
    EXPECT_EQ(ReadBytes(App() + L"Update\\JolExtract\\a.bin"), content);
    EXPECT_EQ(ReadBytes(App() + L"Update\\JolExtract\\b.txt"), "bee");
    // The whole record of the new version.
    CVersionInfo now = Installed();
    EXPECT_EQ(U16(now.m_strVersion), u"2.0.0.2");
    EXPECT_EQ(now.m_nVersionId, 2);
    EXPECT_EQ(now.m_strUrl, m_base);
    EXPECT_EQ(U16(now.m_strFile), u"app-update.pkg");
}

TEST_F(UpdateDialogTest, PackageNameFromTheServiceMustBeAPlainFileName)
{
    Install(1);
    const char* const hostile[] = { "..\\evil.pkg", "../evil.pkg", "sub\\evil.pkg", "sub/evil.pkg", "C:\\evil.pkg",
                                    "\\\\host\\evil.pkg", "", "evil.pkg?x=1", "%2e%2e%2fevil.pkg", "evil pkg",
                                    "..", "evil.pkg." };
    for (const char* name : hostile) {
        SCOPED_TRACE(name);
        // The service's file names the package; write the hostile value by hand.
        Publish(2, { { "a.txt", "a" } });
        WritePrivateProfileStringW(L"File", L"file", Str(name), Service() + L"version.ini");
        WritePrivateProfileStringW(nullptr, nullptr, nullptr, Service() + L"version.ini");
        DialogRun run(App());
        EXPECT_TRUE(run.WaitStatus(kConnectFailed, kNet));
        EXPECT_FALSE(run.IsEnabled(IDC_UPDATE));
    }
    // Nothing beside the installed file and the downloaded version file.
    std::vector<std::string> expected = { "Update\\version.ini", "version.ini" };
    EXPECT_EQ(ListFiles(App()), expected);
    EXPECT_EQ(ListFiles(m_root.Path()).size(), 4u);   // and the service's version file and package
}

TEST_F(UpdateDialogTest, ServiceMovesOnlyToPlainHttpAddresses)
{
    const CString port = Str(std::to_string(m_server->Port()));
    const CString refused[] = {
        L"https://127.0.0.1:" + port + L"/moved/",
        L"file:///C:/moved/",
        L"http://127.0.0.1:" + port + L"/moved",
        L"http:///moved/",
        L"http://user@127.0.0.1:" + port + L"/moved/",
        L"http://127.0.0.1:" + port + L"/" + CString(L'm', 260) + L"/",
    };
    for (const CString& url : refused) {
        SCOPED_TRACE(Narrow(U16(url)));
        Install(1);
        Publish(2, { { "a.txt", "refused" } }, "app-update.pkg", true, url);
        DialogRun run(App());
        StartUpdate(run);
        // The package still comes from the installed address, which is kept.
        EXPECT_TRUE(run.WaitStatus(ExtractedText(1), kNet));
        CVersionInfo now = Installed();
        EXPECT_EQ(now.m_nVersionId, 2);
        EXPECT_EQ(now.m_strUrl, m_base);
    }

    // A plain http address is adopted: the package is fetched from there and recorded.
    const CString moved = Str(m_server->BaseUrl()) + L"moved/";
    CreateDirectoryW(m_root / L"srv\\moved", nullptr);
    Install(1);
    Publish(2, { { "a.txt", "moved" } }, "app-update.pkg", true, moved);
    ASSERT_TRUE(MoveFileW(Service() + L"app-update.pkg", m_root / L"srv\\moved\\app-update.pkg"));
    DialogRun run(App());
    StartUpdate(run);
    EXPECT_TRUE(run.WaitStatus(ExtractedText(1), kNet));
    EXPECT_EQ(ReadBytes(App() + L"Update\\JolExtract\\a.txt"), "moved");
    EXPECT_EQ(Installed().m_strUrl, moved);
}

TEST_F(UpdateDialogTest, HostileOrEmptyPackagesAreRefusedWhole)
{
    Install(1);
    // A hostile name between harmless ones: nothing is written anywhere.
    Publish(2, { { "ok.txt", "ok" }, { "..\\..\\evil.txt", "evil" }, { "ok2.txt", "ok2" } });
    {
        DialogRun run(App());
        StartUpdate(run);
        EXPECT_TRUE(run.WaitStatus(kInternalError, kNet));
        EXPECT_TRUE(WaitFor([&] { return run.IsEnabled(IDC_UPDATE); }, 5000));
    }
    EXPECT_TRUE(ListFiles(App() + L"Update\\JolExtract\\").empty());
    EXPECT_FALSE(Exists(m_root / L"evil.txt"));
    EXPECT_FALSE(Exists(App() + L"evil.txt"));
    EXPECT_EQ(Installed().m_nVersionId, 1);

    // Bytes that are no package at all, even when they match the service's hash.
    ASSERT_TRUE(WriteBytes(Service() + L"page.html", "<html>maintenance</html>"));
    Publish(2, { { "a.txt", "a" } }, "page.html");
    ASSERT_TRUE(WriteBytes(Service() + L"page.html", "<html>maintenance</html>"));
    CVersionInfo info;
    info.Read(Service() + L"version.ini");
    Sha256OfFile(Service() + L"page.html", info.m_strSha256, info.m_llSize);
    info.WriteServiceFile(Service() + L"version.ini");
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, Service() + L"version.ini");
    DialogRun run(App());
    StartUpdate(run);
    EXPECT_TRUE(run.WaitStatus(kArchiveEmpty, kNet));
    EXPECT_EQ(Installed().m_nVersionId, 1);
}

TEST_F(UpdateDialogTest, LockedTargetFileFailsTheUpdateAndKeepsTheVersion)
{
    Install(1);
    CreateDirectoryW(App() + L"plugins", nullptr);
    ASSERT_TRUE(WriteBytes(App() + L"core.dll", "old core"));
    Publish(2, { { "core.dll", "new core" }, { "plugins\\extra.dll", "new extra" } });
    HANDLE hold = CreateFileW(App() + L"core.dll", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(hold, INVALID_HANDLE_VALUE);
    {
        // The program path names the folder; the program itself is not running.
        DialogRun run(App(), L"\"" + App() + L"prog.exe\"");
        StartUpdate(run);
        EXPECT_TRUE(run.WaitStatus(kInternalError, kNet));
        EXPECT_NE(run.Text(IDC_UPDATE), u"Finish");
    }
    CloseHandle(hold);
    EXPECT_EQ(ReadBytes(App() + L"core.dll"), "old core");
    EXPECT_EQ(ReadBytes(App() + L"plugins\\extra.dll"), "new extra");
    EXPECT_EQ(Installed().m_nVersionId, 1);
    EXPECT_EQ(ListFiles(App() + L"plugins\\"), (std::vector<std::string>{ "extra.dll" }));
}

TEST_F(UpdateDialogTest, CancelDuringASlowDownloadAsksAndLeavesNoPackage)
{
    Install(1);
    Publish(2, { { "a.bin", PatternBytes(3 * 1024 * 1024, 13) } });
    HttpRule slow;
    slow.chunkBytes = 16 * 1024;
    slow.chunkDelayMs = 100;
    m_server->SetRule(ServicePath("app-update.pkg"), slow);
    DialogRun run(App());
    StartUpdate(run);
    ASSERT_TRUE(run.WaitStatusPrefix(kDownloadProgress, kNet));
    const HWND main = run.Hwnd();

    // No keeps the dialog and the download going.
    {
        DialogWatcher no([main](const SeenDialog& d) { return d.hwnd != main && AskedToCancel(d) ? IDNO : 0; });
        run.Click(IDCANCEL);
        ASSERT_TRUE(WaitFor([&] { return Others(no, main) >= 1; }, 10000));
        PumpMessagesFor(300);
        EXPECT_FALSE(run.WaitEnd(0));
        const long long sent = m_server->BodyBytesSent(ServicePath("app-update.pkg"));
        EXPECT_TRUE(WaitFor([&] { return m_server->BodyBytesSent(ServicePath("app-update.pkg")) > sent; }, 10000));
    }
    // Yes ends it within seconds and throws away what arrived.
    DialogWatcher yes([main](const SeenDialog& d) { return d.hwnd != main && AskedToCancel(d) ? IDYES : 0; });
    run.Click(IDCANCEL);
    EXPECT_TRUE(run.WaitEnd(10000));
    EXPECT_EQ(run.Result(), IDCANCEL);
    EXPECT_TRUE(Downloads().empty());
    EXPECT_EQ(Installed().m_nVersionId, 1);
    EXPECT_TRUE(ListFiles(App() + L"Update\\JolExtract\\").empty());
}

// A byte a second: the status shows the download under way from its first bytes, and a
// cancel leaves no package part behind while the worker still waits in its read.
TEST_F(UpdateDialogTest, TrickleDownloadShowsProgressAndCancelLeavesNoPart)
{
    Install(1);
    Publish(2, { { "a.bin", PatternBytes(4 * 1024, 21) } });
    HttpRule trickle;
    trickle.chunkBytes = 1;
    trickle.chunkDelayMs = 1000;
    m_server->SetRule(ServicePath("app-update.pkg"), trickle);
    DialogRun run(App());
    StartUpdate(run);
    ASSERT_TRUE(WaitFor([&] { return m_server->BodyBytesSent(ServicePath("app-update.pkg")) > 0; }, kNet));
    EXPECT_TRUE(run.WaitStatusPrefix(kDownloadProgress, 10000)) << Narrow(run.Status());
    PumpMessagesFor(1500);
    const HWND main = run.Hwnd();
    DialogWatcher yes([main](const SeenDialog& d) { return d.hwnd != main && AskedToCancel(d) ? IDYES : 0; });
    run.Click(IDCANCEL);
    EXPECT_TRUE(run.WaitEnd(15000));
    EXPECT_EQ(run.Result(), IDCANCEL);
    EXPECT_TRUE(Downloads().empty()) << (Downloads().empty() ? "" : Downloads()[0]);
    EXPECT_EQ(Installed().m_nVersionId, 1);
}

TEST_F(UpdateDialogTest, CancelDuringTheExtractionWaitsForItAndRecordsIt)
{
    // Many entries: the extraction sends the dialog a message for each while Cancel waits.
    Install(1);
    std::vector<std::pair<std::string, std::string>> files;
    for (int i = 0; i < 200; i++)
        files.push_back({ "f" + std::to_string(i) + ".bin", PatternBytes(256 * 1024, 100 + i) });
    Publish(2, files);
    DialogRun run(App());
    StartUpdate(run);
    ASSERT_TRUE(WaitFor([&] {
        std::u16string s = run.Status();
        return s.compare(0, 7, u"Install") == 0 || s == ExtractedText(200);
    }, 60000)) << Narrow(run.Status());
    const HWND main = run.Hwnd();
    DialogWatcher yes([main](const SeenDialog& d) { return d.hwnd != main && AskedToCancel(d) ? IDYES : 0; });
    run.Click(IDCANCEL);
    EXPECT_TRUE(run.WaitEnd(60000));
    // The files are all in place, so the version they make is recorded.
    for (const auto& f : files)
        ASSERT_TRUE(ReadBytes(App() + L"Update\\JolExtract\\" + Str(f.first)) == f.second) << f.first;
    EXPECT_EQ(Installed().m_nVersionId, 2);
}

TEST_F(UpdateDialogTest, StalledDownloadStillLetsTheDialogClose)
{
    Install(1);
    Publish(2, { { "a.bin", PatternBytes(1024 * 1024, 17) } });
    HttpRule stalled;
    stalled.chunkBytes = 64 * 1024;
    stalled.chunkDelayMs = 120000;   // one piece, then nothing until the server stops
    m_server->SetRule(ServicePath("app-update.pkg"), stalled);
    DialogRun run(App());
    StartUpdate(run);
    ASSERT_TRUE(WaitFor([&] { return m_server->BodyBytesSent(ServicePath("app-update.pkg")) > 0; }, kNet));
    const HWND main = run.Hwnd();
    DialogWatcher yes([main](const SeenDialog& d) { return d.hwnd != main && AskedToCancel(d) ? IDYES : 0; });
    run.Click(IDCANCEL);
    EXPECT_TRUE(run.WaitEnd(15000));
    EXPECT_EQ(Installed().m_nVersionId, 1);
}

TEST_F(UpdateDialogTest, CancelWhileCheckingClosesAtOnce)
{
    Install(1);
    Publish(2, { { "a.txt", "a" } });
    HttpRule hold;
    hold.holdMs = 3000;
    m_server->SetRule(ServicePath("version.ini"), hold);
    DialogRun run(App());
    ASSERT_TRUE(run.Started());
    EXPECT_EQ(run.Status(), kChecking);
    EXPECT_FALSE(run.IsEnabled(IDC_UPDATE));
    // The check is waiting on the service when the user gives up.
    ASSERT_TRUE(WaitFor([&] { return m_server->Requests(ServicePath("version.ini")) > 0; }, kNet));
    DialogWatcher none(0);
    run.Click(IDCANCEL);
    EXPECT_TRUE(run.WaitEnd(5000));
    EXPECT_EQ(run.Result(), IDCANCEL);
    EXPECT_EQ(Others(none, run.Hwnd()), 0);
    EXPECT_FALSE(Exists(App() + L"Update\\version.ini"));
}

TEST_F(UpdateDialogTest, MissingInstalledFileUsesTheUnreachableDefaultService)
{
    Publish(2, { { "a.txt", "a" } });
    DialogRun run(App());
    EXPECT_TRUE(run.WaitStatus(kConnectFailed, 60000));
    EXPECT_EQ(m_server->Requests(ServicePath("version.ini")), 0);
    EXPECT_FALSE(Exists(App() + L"version.ini"));
}

TEST_F(UpdateDialogTest, SystemMenuOpensTheAboutBox)
{
    Install(5);
    Publish(5, { { "a.txt", "a" } });
    DialogRun run(App());
    ASSERT_TRUE(run.WaitStatus(kLatest, kNet));
    HMENU sys = GetSystemMenu(run.Hwnd(), FALSE);
    WCHAR item[64] = {};
    GetMenuStringW(sys, IDM_ABOUTBOX, item, 64, MF_BYCOMMAND);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(item)), u"关于 JolUpdate(&A)...");

    const HWND main = run.Hwnd();
    DialogWatcher ok([main](const SeenDialog& d) { return d.hwnd != main ? IDOK : 0; });
    PostMessageW(run.Hwnd(), WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    ASSERT_TRUE(WaitFor([&] { return Others(ok, main) >= 1; }, 10000));
    SeenDialog about;
    for (const SeenDialog& d : ok.Dialogs())
        if (d.hwnd != main)
            about = d;
    EXPECT_EQ(about.caption, u"关于 JolUpdate");
    EXPECT_NE(about.Text().find(u"JolUpdate 1.0 版"), std::u16string::npos);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(about.hwnd); }, 5000));
    EXPECT_FALSE(run.WaitEnd(0));
}
