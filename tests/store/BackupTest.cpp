// Backup to a ".reg" file through regedit and restore from it.
#include "StoreTestCamera.h"

#include "camera/core/RegistryKey.h"

#include <shlobj.h>

namespace {

CString TempFolder(LPCWSTR name)
{
    WCHAR temp[MAX_PATH] = {0};
    GetTempPathW(MAX_PATH, temp);
    CString folder = CString(temp) + name + L"\\";
    CreateDirectoryW(folder, nullptr);
    return folder;
}

void WriteFileBytes(const CString& path, const void* data, DWORD size)
{
    HANDLE f = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(f, data, size, &written, nullptr);
    CloseHandle(f);
}

std::vector<BYTE> ReadFileBytes(const CString& path)
{
    std::vector<BYTE> bytes;
    HANDLE f = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return bytes;
    bytes.resize(GetFileSize(f, nullptr));
    DWORD read = 0;
    ReadFile(f, bytes.data(), DWORD(bytes.size()), &read, nullptr);
    CloseHandle(f);
    return bytes;
}

CString TeamName(int i)
{
    CameraMgrParam p;
    QrCCameraGetMgrParameter(&p);
    return p.teamNames[i];
}

CString AppDataProgramFolder()
{
    WCHAR appData[MAX_PATH] = {0};
    SHGetSpecialFolderPathW(nullptr, appData, CSIDL_APPDATA, TRUE);
    CString folder = CString(appData) + L"\\Orvisnap\\";
    CreateDirectoryW(folder, nullptr);
    return folder;
}

}  // namespace

TEST_F(StoreTest, BackupAndRestoreBringTheCompanyBranchBack)
{
    UseCamera(CAMERA_TYPE_CAMDRVA);
    const CString appData = AppDataProgramFolder();
    WriteFileBytes(appData + L"notes.txt", "n", 1);
    WriteFileBytes(appData + L"logo.jpg", "j", 1);
    CString name = L"before";
    QrCCameraAddParamterTeam(&name);
    ASSERT_EQ(CCameraManager::Instance().SaveSettings(), CAM_OK);

    const CString folder = TempFolder(L"orv_backup");
    DeleteFileW(folder + L"Orvisnap.reg");
    DeleteFileW(folder + L"logo.jpg");
    ASSERT_EQ(QrCCameraBackupParameter(&folder), CAM_OK);
    std::vector<BYTE> reg = ReadFileBytes(folder + L"Orvisnap.reg");
    ASSERT_GT(reg.size(), 2u);
    EXPECT_EQ(reg[0], 0xFF);
    EXPECT_EQ(reg[1], 0xFE);
    CString text(reinterpret_cast<const WCHAR*>(reg.data() + 2), int((reg.size() - 2) / 2));
    EXPECT_GE(text.Find(L"[HKEY_CURRENT_USER\\" + CompanyKey() + L"\\Orvisnap\\Camera\\SensFamC]"), 0);
    EXPECT_GE(text.Find(L"\"Param0\"=\"before\""), 0);
    EXPECT_NE(GetFileAttributesW(folder + L"notes.txt"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW(folder + L"logo.jpg"), INVALID_FILE_ATTRIBUTES);

    CString renamed = L"after";
    QrCCameraSetParamterTeamName(0, &renamed);
    CCameraManager::Instance().SaveSettings();
    ASSERT_EQ(QrCCameraRecoverParameter(&folder), CAM_OK);
    EXPECT_EQ(Narrow(TeamName(0)), "before");
    CRegistryKey key;
    ASSERT_TRUE(key.Open(CompanyKey() + L"\\Orvisnap\\Camera\\SensFamC"));
    CString stored;
    key.ReadText(L"Param0", &stored);
    EXPECT_EQ(Narrow(stored), "before");
}

// regedit answers success when it could not write: the backup says it failed and the
// earlier backup stays as it was.
TEST_F(StoreTest, BackupThatWritesNothingFailsAndKeepsTheEarlierOne)
{
    UseCamera(CAMERA_TYPE_CAMDRVA);
    ASSERT_EQ(CCameraManager::Instance().SaveSettings(), CAM_OK);
    const CString folder = TempFolder(L"orv_backup_blocked");
    WriteFileBytes(folder + L"Orvisnap.reg", "old", 3);
    CreateDirectoryW(folder + L"Orvisnap.reg.part", nullptr);   // nothing can be written there
    EXPECT_EQ(QrCCameraBackupParameter(&folder), CAM_FAILED);
    const std::vector<BYTE> kept = ReadFileBytes(folder + L"Orvisnap.reg");
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "old");
    RemoveDirectoryW(folder + L"Orvisnap.reg.part");

    const CString missing = TempFolder(L"orv_backup_gone");
    RemoveDirectoryW(missing);
    EXPECT_EQ(QrCCameraBackupParameter(&missing), CAM_FAILED);
    DeleteFileW(folder + L"Orvisnap.reg");
}

TEST_F(StoreTest, RestoreImportsOnlyOurOwnBackupInsideTheCompanyBranch)
{
    UseCamera(CAMERA_TYPE_CAMDRVA);
    const CString folder = TempFolder(L"orv_restore");
    const char foreign[] = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\OrvForeignTest]\r\n\"x\"=dword:00000001\r\n";
    WriteFileBytes(folder + L"Orvisnap.reg", foreign, sizeof foreign - 1);
    const char stray[] = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Varnek\\Stray]\r\n\"x\"=dword:00000001\r\n";
    WriteFileBytes(folder + L"other.reg", stray, sizeof stray - 1);

    EXPECT_EQ(QrCCameraRecoverParameter(&folder), CAM_FAILED);
    HKEY h = nullptr;
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\OrvForeignTest", 0, KEY_READ, &h), ERROR_SUCCESS);
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, CompanyKey() + L"\\Stray", 0, KEY_READ, &h), ERROR_SUCCESS);
    DeleteFileW(folder + L"Orvisnap.reg");
    DeleteFileW(folder + L"other.reg");
}
