// The hot-plug listener against the bench: its notices for library and driver cameras,
// the camera library's list after each, and the notices it must leave alone.
#include "tests/live_preview/PreviewSupport.h"
#include "app/capture/CameraHotplugListener.h"

#include <dbt.h>
#include <stddef.h>
#include <vector>

using namespace preview;
using orvbench::Bench;

namespace {

struct Posted
{
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Posted& o) const { return message == o.message && wParam == o.wParam && lParam == o.lParam; }
};

std::ostream& operator<<(std::ostream& os, const Posted& p)
{
    return os << std::hex << "0x" << p.message << std::dec << " (" << (long)p.wParam << ", " << (long)p.lParam << ")";
}

// A top-level window standing in for the main frame: it hands device notices to the
// listener and records what the listener posts back.
class ListenerHost : public CWnd
{
public:
    ListenerHost()
    {
        CreateEx(0, HostClass(), L"frame", WS_POPUP, 0, 0, 10, 10, NULL, NULL);
        registered = listener.Register(m_hWnd);
    }
    ~ListenerHost()
    {
        if (registered) listener.Unregister();
        DestroyWindow();
    }
    std::vector<Posted> Take()
    {
        PumpMessagesFor(100);
        std::vector<Posted> out;
        out.swap(posted);
        return out;
    }

    CCameraHotplugListener listener;
    BOOL registered = FALSE;
    std::vector<Posted> posted;

protected:
    afx_msg LRESULT OnDeviceChangeMsg(WPARAM wParam, LPARAM lParam) { return listener.OnDeviceChange(wParam, lParam); }
    afx_msg LRESULT OnArrived(WPARAM wParam, LPARAM lParam)
    {
        posted.push_back({WM_CAMERA_ARRIVED, wParam, lParam});
        return 1;
    }
    afx_msg LRESULT OnRemoved(WPARAM wParam, LPARAM lParam)
    {
        posted.push_back({WM_CAMERA_REMOVED, wParam, lParam});
        return 1;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ListenerHost, CWnd)
    ON_MESSAGE(WM_DEVICECHANGE, OnDeviceChangeMsg)
    ON_MESSAGE(WM_CAMERA_ARRIVED, OnArrived)
    ON_MESSAGE(WM_CAMERA_REMOVED, OnRemoved)
END_MESSAGE_MAP()

int CameraCount()
{
    int count = -1;
    QrCGetCameraCount(&count);
    return count;
}

int CameraType()
{
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    return mgr.cameraType;
}

// A device-interface notice as the system builds it, with the header's size cut to
// `size` bytes when asked.
std::vector<BYTE> InterfaceNotice(const wchar_t* path, size_t size = 0)
{
    const size_t offset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
    const size_t length = lstrlenW(path);
    std::vector<BYTE> data(offset + (length + 1) * sizeof(WCHAR), 0);
    DEV_BROADCAST_DEVICEINTERFACE_W* notice = (DEV_BROADCAST_DEVICEINTERFACE_W*)data.data();
    notice->dbcc_size = (DWORD)(size != 0 ? size : data.size());
    notice->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    memcpy(data.data() + offset, path, (length + 1) * sizeof(WCHAR));
    return data;
}

const char kZedLine[] = "camera zedodir 0547:A005 %s colour resolutions=320X256,160X128 clocks=fast:200";

std::string ZedCamera(const char* name)
{
    char line[200];
    snprintf(line, sizeof line, kZedLine, name);
    return line;
}

}  // namespace

TEST(HotplugIds, DriverCamerasAreKnownByTheirUsbIds)
{
    CString vendor, product;
    ParseUsbIds(L"\\\\?\\usb#vid_0547&pid_c008#Model1.1#{guid}", vendor, product);
    EXPECT_EQ(CString(L"0547"), vendor);
    EXPECT_EQ(CString(L"C008"), product);
    EXPECT_EQ(CameraModelFromUsbId(product, vendor), CAMERA_TYPE_CAMDRVE);
    EXPECT_EQ(CameraModelFromUsbId(L"c00a", L"0547"), CAMERA_TYPE_CAMDRVB);
    EXPECT_EQ(CameraModelFromUsbId(L"C00B", L"0547"), CAMERA_TYPE_NONE);
    EXPECT_EQ(CameraModelFromUsbId(L"C008", L"0548"), CAMERA_TYPE_NONE);

    // No markers, or ids cut short by the end of the path, name no camera.
    ParseUsbIds(L"\\\\?\\STORAGE#Volume#1", vendor, product);
    EXPECT_TRUE(vendor.IsEmpty());
    EXPECT_TRUE(product.IsEmpty());
    ParseUsbIds(L"USB#PID_C0#VID_0547", vendor, product);
    EXPECT_EQ(CString(L"C0#V"), product);
    EXPECT_EQ(CameraModelFromUsbId(product, vendor), CAMERA_TYPE_NONE);
}

class HotplugTest : public ::testing::Test
{
protected:
    void SetUp() override { LoadBench(ZedCamera("Hot.1") + "\n"); }
    void TearDown() override { QrCCameraUnInit(); }
};

TEST_F(HotplugTest, RegistersWithoutAMessage)
{
    DialogWatcher watcher([](const SeenDialog& d) { return d.texts.empty() ? 0 : IDOK; });
    ListenerHost host;
    EXPECT_TRUE(host.registered);
    EXPECT_NE(host.listener.GetNotifyHandle(), (HDEVNOTIFY)NULL);
    PumpMessagesFor(200);
    for (const SeenDialog& d : watcher.Dialogs()) EXPECT_TRUE(d.texts.empty()) << d.caption.size();
}

TEST_F(HotplugTest, TheRunningLibraryCameraLeavesAndComesBack)
{
    ListenerHost host;
    LiveWindows live(100, 100, 400, 300);
    ASSERT_TRUE(live.Open());
    ASSERT_EQ(CameraType(), CAMERA_TYPE_CORE_A);

    // The current camera left: the frame is told so, and the library still lists it
    // until the camera panel has closed it (closed here before anything is pumped: the
    // grab thread of a camera gone reports errors faster than they are taken).
    ASSERT_TRUE(Bench::Get().Unplug("Hot.1"));
    EXPECT_EQ(QrCCameraUnInit(), CAM_OK);
    EXPECT_EQ(host.Take(), (std::vector<Posted>{{WM_CAMERA_REMOVED, 1, 1}}));
    EXPECT_EQ(QrCRemoveCurrentCamera(), CAM_OK);
    EXPECT_EQ(CameraCount(), 0);
    EXPECT_EQ(CameraType(), CAMERA_TYPE_NONE);

    // Plugged back, it is listed and chosen again.
    ASSERT_TRUE(Bench::Get().Plug(ZedCamera("Hot.1")));
    EXPECT_EQ(host.Take(), (std::vector<Posted>{{WM_CAMERA_ARRIVED, 0, 1}}));
    EXPECT_EQ(CameraCount(), 1);
    EXPECT_EQ(CameraType(), CAMERA_TYPE_CORE_A);
    const uint32_t before = Bench::Get().FrameCount("Hot.1");
    ASSERT_TRUE(live.Open());
    EXPECT_TRUE(WaitFor([&] { return Bench::Get().FrameCount("Hot.1") > before + 3; }, 5000));
}

TEST_F(HotplugTest, CamerasPluggedBackToBackAreAllListedAndAnotherLeavingKeepsTheRunningOne)
{
    ListenerHost host;
    ASSERT_TRUE(Bench::Get().Plug(ZedCamera("Two.1")));
    ASSERT_TRUE(Bench::Get().Plug(ZedCamera("Three.1")));
    EXPECT_EQ(host.Take(), (std::vector<Posted>{{WM_CAMERA_ARRIVED, 0, 1}, {WM_CAMERA_ARRIVED, 0, 1}}));
    EXPECT_EQ(CameraCount(), 3);

    LiveWindows live(100, 100, 400, 300);
    ASSERT_TRUE(live.Open());
    ASSERT_TRUE(Bench::Get().Unplug("Two.1"));
    EXPECT_EQ(host.Take(), (std::vector<Posted>{{WM_CAMERA_REMOVED, 0, 1}}));
    EXPECT_EQ(CameraCount(), 2);
    CameraMgrParam mgr;
    QrCCameraGetMgrParameter(&mgr);
    EXPECT_EQ(mgr.runState, 0);
    const uint32_t before = Bench::Get().FrameCount("Hot.1");
    EXPECT_TRUE(WaitFor([&] { return Bench::Get().FrameCount("Hot.1") > before + 3; }, 5000));
}

TEST_F(HotplugTest, DriverCamerasAreAnnouncedByTheirIdsAndClosedOnlyWhenCurrent)
{
    ListenerHost host;
    // With a library camera listed, a driver camera is neither chosen nor closed.
    ASSERT_TRUE(Bench::Get().Plug("camera camdrv 0547:C00A Drv.1 colour"));
    ASSERT_TRUE(Bench::Get().Unplug("Drv.1"));
    EXPECT_TRUE(host.Take().empty());

    LoadBench("");
    ASSERT_TRUE(Bench::Get().Plug("camera camdrv 0547:C00A Drv.1 colour"));
    EXPECT_EQ(host.Take(), (std::vector<Posted>{{WM_CAMERA_ARRIVED, CAMERA_TYPE_CAMDRVB, 0}}));
    ASSERT_EQ(QrCSetCamera(CAMERA_TYPE_CAMDRVB), CAM_OK);   // what the frame does with it
    ASSERT_TRUE(Bench::Get().Plug("camera camdrv 0547:C009 Other.1 colour"));
    host.Take();
    ASSERT_TRUE(Bench::Get().Unplug("Other.1"));
    EXPECT_TRUE(host.Take().empty());
    ASSERT_TRUE(Bench::Get().Unplug("Drv.1"));
    EXPECT_EQ(host.Take(), (std::vector<Posted>{{WM_CAMERA_REMOVED, CAMERA_TYPE_CAMDRVB, 0}}));
}

TEST_F(HotplugTest, OtherNoticesAreLeftAlone)
{
    ListenerHost host;
    const wchar_t* driverPath = L"\\\\?\\USB#VID_0547&PID_C00A#Drv.1#{6f4a3c21-9b7e-4d10-8a55-3e0b72c419d6}";
    LoadBench("");
    std::vector<BYTE> notice = InterfaceNotice(driverPath);
    host.SendMessage(WM_DEVICECHANGE, DBT_DEVICEQUERYREMOVE, (LPARAM)notice.data());
    host.SendMessage(WM_DEVICECHANGE, DBT_CONFIGCHANGED, 0);
    DEV_BROADCAST_VOLUME volume = {};
    volume.dbcv_size = sizeof volume;
    volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    host.SendMessage(WM_DEVICECHANGE, DBT_DEVICEARRIVAL, (LPARAM)&volume);
    // The ids lie beyond the size the header gives: not a driver camera.
    std::vector<BYTE> cut = InterfaceNotice(driverPath, offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name) + 8 * sizeof(WCHAR));
    host.SendMessage(WM_DEVICECHANGE, DBT_DEVICEARRIVAL, (LPARAM)cut.data());
    EXPECT_TRUE(host.Take().empty());
    // The whole notice is one.
    host.SendMessage(WM_DEVICECHANGE, DBT_DEVICEARRIVAL, (LPARAM)notice.data());
    EXPECT_EQ(host.Take(), (std::vector<Posted>{{WM_CAMERA_ARRIVED, CAMERA_TYPE_CAMDRVB, 0}}));
}
