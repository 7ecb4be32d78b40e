#include "StoreTestCamera.h"

#include "camera/core/LibraryResources.h"

#include <algorithm>
#include <string.h>

CStoreTestCamera* g_camera = nullptr;
StoreCameraSetup g_cameraSetup;

CStoreTestCamera::CStoreTestCamera(const StoreCameraSetup& s) : setup(s)
{
    m_info.productIndex = s.productIndex;
    m_info.gainRegisterMin = s.gainRegisterMin;
    m_info.gainRegisterMax = 1000;
    g_camera = this;
}

CStoreTestCamera::~CStoreTestCamera()
{
    if (g_camera == this)
        g_camera = nullptr;
}

int CStoreTestCamera::GetImageSize(int* width, int* height)
{
    *width = setup.width;
    *height = setup.height;
    return CAM_OK;
}

int CStoreTestCamera::GrabFrame(BYTE* frame)
{
    Sleep(5);
    frame[0] = 1;
    return 1;
}

int CStoreTestCamera::Decode(BYTE*, BYTE* image, int width, int height, int)
{
    BYTE pixel[3];
    const int gains[3] = {rgb[2], rgb[1], rgb[0]};
    for (int c = 0; c < 3; ++c)
        pixel[c] = static_cast<BYTE>(std::min(255, setup.tint[c] * gains[c] / 64));
    for (int i = 0; i < width * height; ++i)
        memcpy(image + i * 3, pixel, 3);
    return 1;
}

int CStoreTestCamera::SaveParameter(int setNumber)
{
    setsSaved.push_back(setNumber);
    return CAM_OK;
}

int CStoreTestCamera::ReadParameter(int setNumber)
{
    setsRead.push_back(setNumber);
    return CAM_OK;
}

int CStoreTestCamera::SetAWBState(int) { return CAM_OK; }

int CStoreTestCamera::GetAWBStateResult(int* busy, int* result)
{
    *busy = setup.awbNeverReady ? 1 : 0;
    *result = 1;
    return CAM_OK;
}

int CStoreTestCamera::GetCalcFlatFieldingState(int* busy, int* result)
{
    *busy = setup.flatFieldNeverReady ? 1 : 0;
    *result = 1;
    return CAM_OK;
}

int CStoreTestCamera::SetFilter(int) { return setup.filterAnswer; }

int CStoreTestCamera::GetRowTime(float* rowTime)
{
    *rowTime = setup.rowTime;
    return CAM_OK;
}

int CStoreTestCamera::SetExposureTime(int time)
{
    exposuresWritten.push_back(time);
    return CAM_OK;
}

int CStoreTestCamera::GetExposureTime(int* microseconds)
{
    *microseconds = setup.exposure;
    return CAM_OK;
}

int CStoreTestCamera::SetExposureLines(int) { return CAM_OK; }

int CStoreTestCamera::SetAnalogGain(int g)
{
    gain = g;
    return CAM_OK;
}

int CStoreTestCamera::GetAnalogGain(short* g)
{
    *g = static_cast<short>(gain);
    return CAM_OK;
}

int CStoreTestCamera::SetGain(int red, int green, int blue)
{
    rgb[0] = red;
    rgb[1] = green;
    rgb[2] = blue;
    return CAM_OK;
}

int CStoreTestCamera::GetGain(int* red, int* green, int* blue)
{
    *red = rgb[0];
    *green = rgb[1];
    *blue = rgb[2];
    return CAM_OK;
}

int CStoreTestCamera::SetResolution(int index)
{
    resolution = index;
    resolutionsSet.push_back(index);
    return CAM_OK;
}

int CStoreTestCamera::GetResolution(BYTE* index)
{
    *index = static_cast<BYTE>(resolution);
    return CAM_OK;
}

CCameraDevice* MakeStoreTestCamera(int)
{
    return new CStoreTestCamera(g_cameraSetup);
}

CString CompanyKey()
{
    return L"Software\\" + LoadLibraryString(IDS_COMPANY);
}

void StoreTest::SetUp()
{
    ASSERT_NE(LoadLibraryW(L"QrCCamera.dll"), nullptr);
    CCameraManager::SetDeviceFactory(MakeStoreTestCamera);
    QrCSetCamera(CAMERA_TYPE_NONE);
    RegDeleteTreeW(HKEY_CURRENT_USER, CompanyKey());
    g_cameraSetup = StoreCameraSetup();
    CCameraManager::SetPollTimeout(10000);
}

void StoreTest::TearDown()
{
    QrCCameraUnInit();
    QrCSetCamera(CAMERA_TYPE_NONE);
    CCameraManager::SetDeviceFactory(nullptr);
    CCameraManager::SetPollTimeout(10000);
    // Other test programs share the prefix: leave no settings of ours behind.
    RegDeleteTreeW(HKEY_CURRENT_USER, CompanyKey());
}

void StoreTest::UseCamera(int cameraType)
{
    ASSERT_EQ(QrCSetCamera(cameraType), CAM_OK);
    ASSERT_NE(g_camera, nullptr);
    // The manager keeps the previous camera's current values until a start applies them.
    QrCCameraSetAeState(0);
}

std::string Narrow(const CString& text)
{
    std::string out;
    for (int i = 0; i < text.GetLength(); ++i)
        out += static_cast<char>(text[i] < 128 ? text[i] : '?');
    return out;
}
