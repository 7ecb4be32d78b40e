// JolUpdate as the user meets it: its own process in the folder it updates, the program
// it hands over and back, and a second copy.
#include "UpdateServiceFixture.h"
#include "UpdateIds.h"
#include <tlhelp32.h>

namespace {

const DWORD kNet = 30000;

void Press(HWND dlg, int id)
{
    PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dlg, id));
}

// Process ids whose image is exactly this path.
std::vector<DWORD> ProcessesOf(const CString& path)
{
    std::vector<DWORD> found;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W pe = { sizeof(pe) };
    for (BOOL ok = Process32FirstW(snap, &pe); ok; ok = Process32NextW(snap, &pe)) {
        HANDLE h = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pe.th32ProcessID);
        if (!h)
            continue;
        WCHAR image[MAX_PATH * 2];
        DWORD n = MAX_PATH * 2;
        if (QueryFullProcessImageNameW(h, 0, image, &n) && CString(image, (int)n).CompareNoCase(path) == 0)
            found.push_back(pe.th32ProcessID);
        CloseHandle(h);
    }
    CloseHandle(snap);
    return found;
}

class UpdateProgramTest : public UpdateServiceTest {
protected:
    void SetUp() override
    {
        UpdateServiceTest::SetUp();
        ASSERT_TRUE(InstallUpdater(App()));
    }
    void TearDown() override
    {
        for (HANDLE h : m_processes) {
            if (WaitForSingleObject(h, 0) == WAIT_TIMEOUT) {
                TerminateProcess(h, 1);
                WaitForSingleObject(h, 10000);
            }
            CloseHandle(h);
        }
        UpdateServiceTest::TearDown();
    }
    HANDLE Launch(const CString& exe, const CString& args = CString(), DWORD* pid = nullptr)
    {
        HANDLE h = StartProgram(exe, args, pid);
        if (h)
            m_processes.push_back(h);
        return h;
    }
    // The update dialog of a process: the one with the status line.
    static HWND UpdateDialogOf(DWORD pid, DWORD timeoutMs)
    {
        HWND found = nullptr;
        WaitFor([&] {
            for (const ProcessDialog& d : DialogsOf(pid))
                if (GetDlgItem(d.hwnd, IDC_STATUS))
                    found = d.hwnd;
            return found != nullptr;
        }, timeoutMs);
        return found;
    }
    static bool WaitStatus(HWND dlg, const std::u16string& text, DWORD timeoutMs)
    {
        return WaitFor([&] { return ControlText(dlg, IDC_STATUS) == text; }, timeoutMs);
    }
    static bool Ended(HANDLE process, DWORD timeoutMs)
    {
        return WaitFor([&] { return WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }, timeoutMs);
    }

    std::vector<HANDLE> m_processes;
};

}  // namespace

TEST_F(UpdateProgramTest, ReplacesFilesBesideTheProgramAndStartsItAgain)
{
    // The installed program, a program of the same name elsewhere, and a module beside it.
    // Inside the fixture's folder, which goes only after the programs are ended.
    const CString elsewhere = m_root / L"twin\\";
    CreateDirectoryW(elsewhere, nullptr);
    const std::string programBytes = ReadBytes(BinFolder() + L"updtarget.exe.so");
    ASSERT_FALSE(programBytes.empty());
    ASSERT_TRUE(WriteBytes(App() + L"UpdTarget.exe", programBytes));
    ASSERT_TRUE(WriteBytes(elsewhere + L"UpdTarget.exe", programBytes));
    ASSERT_TRUE(WriteBytes(App() + L"core.dll", "old core"));
    CreateDirectoryW(App() + L"plugins", nullptr);
    Install(1);
    const std::string extra = PatternBytes(400000, 21);
    Publish(2, { { "UpdTarget.exe", programBytes }, { "core.dll", "new core" }, { "plugins\\extra.dll", extra } });

    HANDLE program = Launch(App() + L"UpdTarget.exe");
    HANDLE twin = Launch(elsewhere + L"UpdTarget.exe");
    ASSERT_TRUE(program && twin);
    ASSERT_TRUE(WaitFor([&] { return ProcessesOf(App() + L"UpdTarget.exe").size() == 1; }, kNet));

    DWORD pid = 0;
    HANDLE updater = Launch(App() + L"JolUpdate.exe", L"\"" + App() + L"UpdTarget.exe\"", &pid);
    ASSERT_TRUE(updater);
    HWND dlg = UpdateDialogOf(pid, kNet);
    ASSERT_TRUE(dlg);
    ASSERT_TRUE(WaitStatus(dlg, kNewVersion, kNet)) << Narrow(ControlText(dlg, IDC_STATUS));
    Press(dlg, IDC_UPDATE);

    // The running program is named, with only an OK button, and ended on OK.
    HWND box = WaitDialogOf(pid, u"The software is running!", kNet);
    ASSERT_TRUE(box);
    EXPECT_TRUE(GetDlgItem(box, IDOK) && !GetDlgItem(box, IDCANCEL));
    EXPECT_EQ(WaitForSingleObject(program, 0), WAIT_TIMEOUT);
    Press(box, IDOK);
    EXPECT_TRUE(Ended(program, 15000));

    ASSERT_TRUE(WaitStatus(dlg, ExtractedText(3), kNet)) << Narrow(ControlText(dlg, IDC_STATUS));
    EXPECT_EQ(ControlText(dlg, IDC_UPDATE), u"Finish");
    EXPECT_EQ(WaitForSingleObject(twin, 0), WAIT_TIMEOUT);   // another folder's program runs on
    EXPECT_EQ(ReadBytes(App() + L"core.dll"), "new core");
    EXPECT_TRUE(ReadBytes(App() + L"plugins\\extra.dll") == extra);
    EXPECT_TRUE(ReadBytes(App() + L"UpdTarget.exe") == programBytes);
    CVersionInfo now = Installed();
    EXPECT_EQ(U16(now.m_strVersion), u"2.0.0.2");
    EXPECT_EQ(now.m_nVersionId, 2);
    EXPECT_EQ(now.m_strUrl, BaseUrl());
    EXPECT_EQ(U16(now.m_strFile), u"app-update.pkg");

    // Finish starts the program again and closes the updater.
    Press(dlg, IDC_UPDATE);
    EXPECT_TRUE(Ended(updater, 15000));
    std::vector<DWORD> again;
    EXPECT_TRUE(WaitFor([&] { return !(again = ProcessesOf(App() + L"UpdTarget.exe")).empty(); }, kNet));
    for (DWORD id : again) {
        HANDLE h = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
        if (h)
            m_processes.push_back(h);
    }
}

TEST_F(UpdateProgramTest, CancelDuringTheDownloadEndsTheProgramWithinSeconds)
{
    Install(1);
    Publish(2, { { "a.bin", PatternBytes(3 * 1024 * 1024, 23) } });
    HttpRule slow;
    slow.chunkBytes = 16 * 1024;
    slow.chunkDelayMs = 100;
    m_server->SetRule(ServicePath("app-update.pkg"), slow);

    DWORD pid = 0;
    HANDLE updater = Launch(App() + L"JolUpdate.exe", CString(), &pid);
    HWND dlg = UpdateDialogOf(pid, kNet);
    ASSERT_TRUE(dlg);
    ASSERT_TRUE(WaitStatus(dlg, kNewVersion, kNet));
    Press(dlg, IDC_UPDATE);
    ASSERT_TRUE(WaitFor([&] { return ControlText(dlg, IDC_STATUS).compare(0, kDownloadProgress.size(), kDownloadProgress) == 0; },
                        kNet));
    Press(dlg, IDCANCEL);
    HWND box = WaitDialogOf(pid, u"是否取消更新？", 10000);
    ASSERT_TRUE(box);
    Press(box, IDYES);
    EXPECT_TRUE(Ended(updater, 10000));
    DWORD code = 1;
    GetExitCodeProcess(updater, &code);
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(Downloads().empty());
    EXPECT_EQ(Installed().m_nVersionId, 1);
}

TEST_F(UpdateProgramTest, CancelWhileCheckingEndsCleanly)
{
    Install(1);
    Publish(2, { { "a.txt", "a" } });
    HttpRule hold;
    hold.holdMs = 8000;
    m_server->SetRule(ServicePath("version.ini"), hold);
    DWORD pid = 0;
    HANDLE updater = Launch(App() + L"JolUpdate.exe", CString(), &pid);
    HWND dlg = UpdateDialogOf(pid, kNet);
    ASSERT_TRUE(dlg);
    ASSERT_TRUE(WaitFor([&] { return m_server->Requests(ServicePath("version.ini")) > 0; }, kNet));
    Press(dlg, IDCANCEL);
    EXPECT_TRUE(Ended(updater, 10000));
    DWORD code = 1;
    GetExitCodeProcess(updater, &code);
    EXPECT_EQ(code, 0u);
}

TEST_F(UpdateProgramTest, SecondCopyLeavesWithoutAWord)
{
    Install(1);
    Publish(2, { { "a.txt", "a" } });
    DWORD first = 0, second = 0;
    Launch(App() + L"JolUpdate.exe", CString(), &first);
    HWND dlg = UpdateDialogOf(first, kNet);
    ASSERT_TRUE(dlg);
    HANDLE copy = Launch(App() + L"JolUpdate.exe", CString(), &second);
    ASSERT_TRUE(copy);
    EXPECT_TRUE(Ended(copy, 20000));
    DWORD code = 1;
    GetExitCodeProcess(copy, &code);
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(IsWindow(dlg));
    // The copy checked nothing: one request for the version file, the first copy's.
    EXPECT_TRUE(WaitStatus(dlg, kNewVersion, kNet));
    EXPECT_EQ(m_server->Requests(ServicePath("version.ini")), 1);
}
