// A library camera (the bench's default camera) through QrCCameraCapture: the device
// writes the file, or the library decodes, merges and saves through the device.
#include "support/gtest.h"
#include "capture_test_camera.h"
#include "TempFolder.h"


TEST(LibraryCameraCapture, StillsThroughTheDeviceAndThroughTheMerge)
{
    CCameraManager::SetDeviceFactory(nullptr);
    ASSERT_EQ(QrCReflashCamera(), CAM_OK);
    ASSERT_EQ(CCameraManager::Instance().GetSettings().mode, 1);
    HWND hwnd = CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, 320, 256, nullptr, nullptr,
                              nullptr, nullptr);
    CWnd wnd;
    wnd.Attach(hwnd);
    MessageReceiver receiver;
    CWnd receiveWnd;
    receiveWnd.Attach(receiver.Hwnd());
    ASSERT_EQ(QrCCameraInit(0, &wnd, hwnd, 1), CAM_OK);
    Sleep(500);

    TempFolder folder;
    for (int combine = 0; combine < 2; ++combine) {
        receiver.Clear();
        CaptureParam p;
        p.Path = folder.Path();
        p.FileName = combine ? L"M" : L"D";
        p.CaptureType = p.PictureType = CAPTURE_TYPE_BMP;
        p.ReceiveWnd = &receiveWnd;
        p.CombineMeasurement = combine;
        ASSERT_EQ(QrCCameraCapture(&p), CAM_OK) << combine;
        ASSERT_TRUE(receiver.WaitForMessage(WM_CAPTURE_DONE, 10000)) << combine;
        EXPECT_EQ(receiver.LastLParam(WM_CAPTURE_DONE), 0);
        ASSERT_TRUE(WaitFor([] { return CCameraManager::Instance().GetSettings().captureRunning == 0; }, 5000));
        CString name;
        ASSERT_EQ(QrCCameraGetSaveImageFileName(&name, 0), CAM_OK) << combine;
        std::u16string path(reinterpret_cast<const char16_t*>(static_cast<LPCWSTR>(name)));
        // The device gets the name without its extension; the library adds its own.
        ASSERT_TRUE(FileExists(path)) << combine;
        const std::vector<BYTE> file = ReadWholeFile(path);
        ASSERT_GT(file.size(), 54u) << combine;
        EXPECT_EQ(file[0], 'B');
        EXPECT_EQ(file[1], 'M');
        // The live picture runs on after the still.
        EXPECT_TRUE(CCameraManagerProbe::LiveRunning());
    }
    QrCCameraUnInit();
    receiveWnd.Detach();
    wnd.Detach();
    DestroyWindow(hwnd);
}
