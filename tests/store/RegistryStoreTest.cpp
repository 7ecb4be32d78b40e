// The registry store: value names and types, first use, set 21 at the next start.
#include "StoreTestCamera.h"

#include "camera/core/RegistryKey.h"

namespace {

DWORD ValueType(const CString& key, LPCWSTR name)
{
    HKEY h = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, &h) != ERROR_SUCCESS)
        return REG_NONE;
    DWORD type = REG_NONE;
    if (RegQueryValueExW(h, name, nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS)
        type = REG_NONE;
    RegCloseKey(h);
    return type;
}

CString ParamMgrKey()
{
    return CompanyKey() + L"\\Orvisnap\\ParamMgr";
}

CString CameraKey(LPCWSTR model)
{
    return CompanyKey() + L"\\Orvisnap\\Camera\\" + model;
}

}  // namespace

TEST_F(StoreTest, SavingWritesEveryValueWithItsType)
{
    g_cameraSetup.productIndex = 7;
    UseCamera(CAMERA_TYPE_CAMDRVA);
    ASSERT_EQ(CCameraManager::Instance().SaveSettings(), CAM_OK);

    const LPCWSTR numbers[] = {L"IsCaptureDlg", L"CaptureType", L"PictureType", L"Count", L"Space",
        L"IsNum", L"IsTimeStamp", L"IsLapse", L"IsManual", L"IsTimeRecord", L"AviFrame",
        L"Compress", L"CompressID", L"CombineMeasurement", L"IsMode", L"Interval", L"FPS",
        L"FluorescenceType", L"ShowCross", L"CrossColor", L"LockShowAgain", L"LockShowAgain1",
        L"HDAutoWB", L"HDFrameSpeed"};
    for (LPCWSTR name : numbers)
        EXPECT_EQ(ValueType(ParamMgrKey(), name), DWORD(REG_DWORD)) << Narrow(name);
    EXPECT_EQ(ValueType(ParamMgrKey(), L"Path"), DWORD(REG_SZ));
    EXPECT_EQ(ValueType(ParamMgrKey(), L"FileName"), DWORD(REG_SZ));

    // Type 11 is stored under its family name; teams 0..19 and the current settings.
    const CString camera = CameraKey(L"SensFamC");
    for (LPCWSTR name : {L"IsFirstUse", L"ResLock", L"ResPreview", L"ResCapture", L"CntParam",
                         L"ApplyDye", L"DyeColorIndex", L"DyeNameIndex", L"DyeEmWaveLen",
                         L"DyeExWaveLen", L"DyeRChannel", L"DyeGChannel", L"DyeBChannel",
                         L"CoolingDegree", L"HDAutoWB", L"HDFrameSpeed", L"Temperature",
                         L"Param19_Exp", L"Param19_Gain", L"Param20_Index", L"Param20_ResLock"})
        EXPECT_EQ(ValueType(camera, name), DWORD(REG_DWORD)) << Narrow(name);
    EXPECT_EQ(ValueType(camera, L"Param0"), DWORD(REG_SZ));
    EXPECT_EQ(ValueType(camera, L"Param20_Exp"), DWORD(REG_NONE));   // no exposure for "Default"
    CRegistryKey key;
    ASSERT_TRUE(key.Open(camera));
    CString name;
    ASSERT_TRUE(key.ReadText(L"Param20", &name));
    EXPECT_EQ(Narrow(name), "Default");
}

TEST_F(StoreTest, UnknownModelsShareOneKeyAndNoDeviceWritesOnlyCaptureSettings)
{
    UseCamera(CAMERA_TYPE_CORE_B);
    EXPECT_EQ(Narrow(CCameraManager::Instance().GetCameraName()), "CAMERA_UNKNOW");
    QrCSetCamera(CAMERA_TYPE_NONE);
    RegDeleteTreeW(HKEY_CURRENT_USER, CompanyKey());
    EXPECT_EQ(CCameraManager::Instance().SaveSettings(), CAM_ERR_NO_DEVICE);
    EXPECT_EQ(ValueType(ParamMgrKey(), L"FPS"), DWORD(REG_DWORD));
    HKEY h = nullptr;
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, CompanyKey() + L"\\Orvisnap\\Camera", 0, KEY_READ, &h),
              ERROR_SUCCESS);
}

// Saving again puts back what was changed or removed under the keys meanwhile, though
// the settings themselves did not change.
TEST_F(StoreTest, ASaveAfterAnOutsideChangeWritesTheSettingsAgain)
{
    UseCamera(CAMERA_TYPE_CAMDRVA);
    CameraMgrParam param;
    QrCCameraGetMgrParameter(&param);
    param.capture.Count = 7;
    QrCCameraSetMgrParameter(&param);
    ASSERT_EQ(CCameraManager::Instance().SaveSettings(), CAM_OK);
    ASSERT_EQ(CCameraManager::Instance().SaveSettings(), CAM_OK);

    HKEY h = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, ParamMgrKey(), 0, KEY_ALL_ACCESS, &h), ERROR_SUCCESS);
    DWORD count = 9;
    RegSetValueExW(h, L"Count", 0, REG_DWORD, reinterpret_cast<BYTE*>(&count), sizeof count);
    RegDeleteValueW(h, L"FPS");
    RegCloseKey(h);
    ASSERT_EQ(CCameraManager::Instance().SaveSettings(), CAM_OK);
    CRegistryKey key;
    ASSERT_TRUE(key.Open(ParamMgrKey()));
    DWORD value = 0;
    EXPECT_TRUE(key.ReadNumber(L"Count", &value));
    EXPECT_EQ(value, 7u);
    EXPECT_TRUE(key.ReadNumber(L"FPS", &value));

    // The camera's key, removed whole, comes back whole.
    RegDeleteTreeW(HKEY_CURRENT_USER, CameraKey(L"SensFamC"));
    ASSERT_EQ(CCameraManager::Instance().SaveSettings(), CAM_OK);
    ASSERT_TRUE(key.Open(CameraKey(L"SensFamC")));
    EXPECT_TRUE(key.ReadNumber(L"IsFirstUse", &value));
    EXPECT_EQ(value, 1u);
}

TEST_F(StoreTest, CaptureFolderAndNamePrefixAreReadApart)
{
    CameraMgrParam param;
    QrCCameraGetMgrParameter(&param);
    param.capture.Path = L"C:\\shots\\";
    param.capture.FileName = L"cell";
    param.capture.Count = 7;
    QrCCameraSetMgrParameter(&param);
    CCameraManager::Instance().SaveSettings();

    // A missing name prefix must leave the prefix alone, not take the folder.
    HKEY h = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, ParamMgrKey(), 0, KEY_ALL_ACCESS, &h), ERROR_SUCCESS);
    RegDeleteValueW(h, L"FileName");
    DWORD count = 9;
    RegSetValueExW(h, L"Count", 0, REG_DWORD, reinterpret_cast<BYTE*>(&count), sizeof count);
    RegCloseKey(h);
    CCameraManager::Instance().ReadMgrSettings();
    QrCCameraGetMgrParameter(&param);
    EXPECT_EQ(Narrow(param.capture.Path), "C:\\shots\\");
    EXPECT_EQ(Narrow(param.capture.FileName), "cell");
    EXPECT_EQ(param.capture.Count, 9);
}

TEST_F(StoreTest, FirstUseSkipsSet21AndTheNextStartLoadsItOnce)
{
    g_cameraSetup.productIndex = 7;
    CCameraManagerProbe::ForgetStartMarks();
    UseCamera(CAMERA_TYPE_CAMDRVA);
    ASSERT_EQ(QrCCameraParameterInit(), CAM_OK);
    CRegistryKey key;
    ASSERT_TRUE(key.Open(CameraKey(L"SensFamC")));
    DWORD firstUse = 0;
    EXPECT_TRUE(key.ReadNumber(L"IsFirstUse", &firstUse));
    EXPECT_EQ(firstUse, 1u);
    EXPECT_TRUE(g_camera->setsRead.empty());

    // The next process: set 21 once, however often the camera starts.
    CCameraManagerProbe::ForgetStartMarks();
    ASSERT_EQ(QrCCameraParameterInit(), CAM_OK);
    ASSERT_EQ(QrCCameraParameterInit(), CAM_OK);
    EXPECT_EQ(g_camera->setsRead, std::vector<int>{CCameraManager::LAST_RUN_PARAMETER_SET});
}

TEST_F(StoreTest, SettingsComeBackAndResolutionsAreClamped)
{
    g_cameraSetup.productIndex = 7;
    UseCamera(CAMERA_TYPE_CAMDRVA);
    CameraMgrParam& p = CCameraManagerProbe::Param();
    p.ResPreview = 2;
    p.ResCapture = 3;
    p.dye.EmWaveLen = 612;
    ASSERT_EQ(CCameraManager::Instance().SaveSettings(), CAM_OK);
    p.ResPreview = 0;
    p.dye.EmWaveLen = 0;
    ASSERT_EQ(CCameraManager::Instance().LoadCameraSettings(), CAM_OK);
    EXPECT_EQ(p.ResPreview, 2);
    EXPECT_EQ(p.ResCapture, 3);
    EXPECT_EQ(p.dye.EmWaveLen, 612);

    // Type 11 takes at most preview 2 and capture 3 whatever the registry says.
    CRegistryKey key;
    ASSERT_TRUE(key.Open(CameraKey(L"SensFamC")));
    key.WriteNumber(L"ResPreview", 5);
    key.WriteNumber(L"ResCapture", 9);
    CCameraManager::Instance().LoadCameraSettings();
    EXPECT_EQ(p.ResPreview, 2);
    EXPECT_EQ(p.ResCapture, 3);
}
