#include "support/gtest.h"

#include <string>
#include <vector>

#include "camera/device/SimulatedUsbHost.h"
#include "camera/device/UsbCameraScanner.h"

namespace {

const WORD kVendor = 0x0547;

SimulatedUsbController Controller(int number, int rootPorts)
{
    SimulatedUsbController c = {};
    c.number = number;
    c.rootHubPorts = rootPorts;
    return c;
}

SimulatedUsbDevice Device(int controller, std::vector<int> ports, WORD vendor, WORD product,
                          int hubPorts = 0)
{
    SimulatedUsbDevice d = {};
    d.controller = controller;
    for (size_t i = 0; i < ports.size(); ++i)
        d.ports[i] = ports[i];
    d.vendorId = vendor;
    d.productId = product;
    d.hubPorts = hubPorts;
    return d;
}

SimulatedUsbDevice Hub(int controller, std::vector<int> ports, int hubPorts)
{
    return Device(controller, ports, 0x1D6B, 0x0002, hubPorts);
}

struct Bench
{
    std::vector<SimulatedUsbController> controllers;
    std::vector<SimulatedUsbDevice> devices;

    SimulatedUsbTree Tree() const
    {
        return {controllers.data(), static_cast<int>(controllers.size()), devices.data(),
                static_cast<int>(devices.size())};
    }
};

bool Opened(const CSimulatedUsbHost& host, const std::string& path)
{
    for (const std::string& p : host.OpenedPaths())
        if (p == path)
            return true;
    return false;
}

}  // namespace

TEST(UsbCameraScanner, TypeTableMapsEveryKnownProduct)
{
    const struct { int product; int type; } rows[] = {
        {0xC008, 1}, {0xC007, 2}, {0xC004, 3}, {0xC003, 5}, {0xD004, 7}, {0xD006, 8},
        {0xD001, 9}, {0xC005, 11}, {0xC00A, 12}, {0xC009, 13}, {0xF007, 20}};
    for (const auto& row : rows) {
        CUsbCameraScanner scanner;
        EXPECT_EQ(scanner.MatchDevice(kVendor, row.product), 1) << std::hex << row.product;
        EXPECT_EQ(scanner.GetCameraType(), row.type);
        EXPECT_EQ(scanner.IsFound(), 1);
    }

    CUsbCameraScanner scanner;
    EXPECT_EQ(scanner.IsFound(), 0);
    EXPECT_EQ(scanner.GetCameraType(), -1);
    EXPECT_EQ(scanner.MatchDevice(kVendor, 0xC006), 0);
    EXPECT_EQ(scanner.MatchDevice(0x0548, 0xC008), 0);
    EXPECT_EQ(scanner.IsFound(), 0);
    EXPECT_EQ(scanner.GetCameraType(), -1);
    // Only the low 16 bits of each id count.
    EXPECT_EQ(scanner.MatchDevice(0x70547, 0x3C009), 1);
    EXPECT_EQ(scanner.GetCameraType(), 13);
}

TEST(UsbCameraScanner, PassesOverUnknownProductAndFindsTheNext)
{
    Bench bench;
    bench.controllers = {Controller(0, 4)};
    bench.devices = {Device(0, {1}, kVendor, 0xC006), Device(0, {2}, 0x046D, 0xC008),
                     Device(0, {3}, kVendor, 0xC004)};
    CSimulatedUsbHost host(bench.Tree());
    CUsbCameraScanner scanner(&host);
    EXPECT_EQ(scanner.Scan(), 3);
    EXPECT_EQ(host.OpenHandleCount(), 0);
}

TEST(UsbCameraScanner, FirstCameraInDepthFirstOrderDecides)
{
    Bench bench;
    bench.controllers = {Controller(0, 3), Controller(1, 2)};
    bench.devices = {
        Hub(0, {1}, 4),
        Hub(0, {1, 3}, 2),
        Device(0, {1, 3, 2}, kVendor, 0xC008),  // deepest, but met first
        Device(0, {2}, kVendor, 0xC005),
        Device(1, {1}, kVendor, 0xD001),
    };
    CSimulatedUsbHost host(bench.Tree());
    CUsbCameraScanner scanner(&host);
    EXPECT_EQ(scanner.Scan(), 1);
    // The walk stops at the controller where the camera was found.
    EXPECT_FALSE(Opened(host, "\\\\.\\HCD1"));
    EXPECT_EQ(host.OpenHandleCount(), 0);

    // Without the nested camera the next port's camera decides, and without both the
    // second controller's.
    bench.devices.erase(bench.devices.begin() + 2);
    CSimulatedUsbHost host2(bench.Tree());
    CUsbCameraScanner scanner2(&host2);
    EXPECT_EQ(scanner2.Scan(), 11);

    bench.devices.erase(bench.devices.begin() + 2);
    CSimulatedUsbHost host3(bench.Tree());
    CUsbCameraScanner scanner3(&host3);
    EXPECT_EQ(scanner3.Scan(), 9);
    EXPECT_EQ(scanner3.Scan(), 9);  // a second scan walks again with the same answer
}

TEST(UsbCameraScanner, FailingControllersHubsAndPortsAreSkipped)
{
    Bench bench;
    SimulatedUsbController closed = Controller(0, 2);
    closed.doesNotOpen = 1;
    SimulatedUsbController mute = Controller(1, 2);
    mute.rootHubNameFails = 1;
    bench.controllers = {closed, mute, Controller(3, 5)};

    SimulatedUsbDevice failingPort = Device(3, {1}, kVendor, 0xC008);
    failingPort.portQueryFails = 1;
    SimulatedUsbDevice deadHub = Hub(3, {2}, 2);
    deadHub.hubFails = 1;
    bench.devices = {
        Device(0, {1}, kVendor, 0xC007),  // behind a controller that does not open
        Device(1, {1}, kVendor, 0xC007),  // behind a root hub without a name
        failingPort,
        deadHub,
        Device(3, {2, 1}, kVendor, 0xC003),  // behind the hub that does not open
        Device(3, {4}, kVendor, 0xF007),
    };
    CSimulatedUsbHost host(bench.Tree());
    CUsbCameraScanner scanner(&host);
    EXPECT_EQ(scanner.Scan(), 20);
    EXPECT_TRUE(Opened(host, "\\\\.\\HCD2"));
    EXPECT_EQ(host.OpenHandleCount(), 0);
}

TEST(UsbCameraScanner, UntrustedNameSizesAreRefused)
{
    const std::string longName(300, 'H');  // longer than a path buffer, still a valid name
    Bench bench;
    SimulatedUsbController tooSmall = Controller(0, 1);
    tooSmall.reportedNameSize = 3;  // less than its own size word
    SimulatedUsbController huge = Controller(1, 1);
    huge.reportedNameSize = 0x7FFFFFF0;
    SimulatedUsbController generous = Controller(2, 2);
    generous.reportedNameSize = 400;  // more than needed: the answer's end bounds the name
    generous.rootHubName = "ROOT#GENEROUS";
    bench.controllers = {tooSmall, huge, generous};

    SimulatedUsbDevice lyingHub = Hub(2, {1}, 1);
    lyingHub.reportedNameSize = 0xFFFFFFFF;
    SimulatedUsbDevice longHub = Hub(2, {2}, 1);
    longHub.hubName = longName.c_str();
    bench.devices = {
        Device(0, {1}, kVendor, 0xC008), Device(1, {1}, kVendor, 0xC008),
        lyingHub, Device(2, {1, 1}, kVendor, 0xC008),
        longHub, Device(2, {2, 1}, kVendor, 0xC00A),
    };
    CSimulatedUsbHost host(bench.Tree());
    CUsbCameraScanner scanner(&host);
    EXPECT_EQ(scanner.Scan(), 12);
    EXPECT_TRUE(Opened(host, "\\\\.\\ROOT#GENEROUS"));
    EXPECT_TRUE(Opened(host, "\\\\.\\" + longName));
    EXPECT_EQ(host.OpenHandleCount(), 0);
}

TEST(UsbCameraScanner, HubThatNamesItsParentEndsAtTheDepthBound)
{
    Bench bench;
    SimulatedUsbController root = Controller(0, 1);
    root.rootHubName = "ROOT#LOOP";
    bench.controllers = {root};
    SimulatedUsbDevice loop = Hub(0, {1}, 1);
    loop.hubName = "ROOT#LOOP";  // a confused driver: the child hub is the root again
    bench.devices = {loop};
    CSimulatedUsbHost host(bench.Tree());
    CUsbCameraScanner scanner(&host);
    EXPECT_EQ(scanner.Scan(), -1);
    int hubOpens = 0;
    for (const std::string& p : host.OpenedPaths())
        hubOpens += p == "\\\\.\\ROOT#LOOP";
    EXPECT_EQ(hubOpens, CUsbCameraScanner::kMaxHubDepth + 1);
    EXPECT_EQ(host.OpenHandleCount(), 0);
}

TEST(UsbCameraScanner, EmptyMachineTriesTenControllersAndFindsNothing)
{
    Bench bench;
    CSimulatedUsbHost host(bench.Tree());
    CUsbCameraScanner scanner(&host);
    EXPECT_EQ(scanner.Scan(), -1);
    ASSERT_EQ(host.OpenedPaths().size(), 10u);
    EXPECT_EQ(host.OpenedPaths().front(), "\\\\.\\HCD0");
    EXPECT_EQ(host.OpenedPaths().back(), "\\\\.\\HCD9");
}

TEST(UsbCameraScanner, ThisMachineHasNoControllerDevicesUnderWine)
{
    DWORD start = GetTickCount();
    CUsbCameraScanner scanner;
    EXPECT_EQ(scanner.Scan(), -1);
    EXPECT_EQ(scanner.IsFound(), 0);
    EXPECT_LT(GetTickCount() - start, 2000u);
}
