// The bench header comes first: the framework's string header turns a cast it makes
// into an error.
#include "external/bench/Bench.h"

#include "camera/device/BenchUsbHost.h"

#include <algorithm>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "camera/device/SimulatedUsbHost.h"

namespace {

// Hubs and root hubs get at least this many ports, like the common four-port parts.
const int kMinimumPorts = 4;

struct Place
{
    int controller;
    std::vector<int> ports;
    int vendor, product;
};

}  // namespace

CUsbHostInterface* CreateBenchUsbHost()
{
    const std::vector<orvbench::CameraSpec> cameras = orvbench::Bench::Get().DriverCameras();
    if (cameras.empty())
        return nullptr;

    std::vector<Place> places;
    std::set<std::pair<int, int>> usedRootPorts;
    for (const orvbench::CameraSpec& camera : cameras) {
        if (camera.usbPorts.empty() || int(camera.usbPorts.size()) >= kSimulatedUsbMaxDepth)
            continue;
        places.push_back({camera.usbController, camera.usbPorts, camera.vendor, camera.product});
        usedRootPorts.insert({camera.usbController, camera.usbPorts[0]});
    }
    int nextRootPort = 1;
    for (const orvbench::CameraSpec& camera : cameras) {
        if (!camera.usbPorts.empty())
            continue;
        while (usedRootPorts.count({0, nextRootPort}))
            ++nextRootPort;
        places.push_back({0, {nextRootPort}, camera.vendor, camera.product});
        usedRootPorts.insert({0, nextRootPort++});
    }

    // Ports each hub needs: key (controller, path of the hub; empty for the root hub).
    std::map<std::pair<int, std::vector<int>>, int> hubPorts;
    for (const Place& place : places) {
        for (size_t depth = 0; depth < place.ports.size(); ++depth) {
            std::vector<int> hubPath(place.ports.begin(), place.ports.begin() + depth);
            int& ports = hubPorts[{place.controller, hubPath}];
            ports = (std::max)((std::max)(ports, kMinimumPorts), place.ports[depth]);
        }
    }

    std::vector<SimulatedUsbController> controllers;
    std::vector<SimulatedUsbDevice> devices;
    for (const auto& hub : hubPorts) {
        const int controller = hub.first.first;
        const std::vector<int>& path = hub.first.second;
        if (path.empty()) {
            SimulatedUsbController root = {};
            root.number = controller;
            root.rootHubPorts = hub.second;
            controllers.push_back(root);
            continue;
        }
        SimulatedUsbDevice device = {};
        device.controller = controller;
        std::copy(path.begin(), path.end(), device.ports);
        device.hubPorts = hub.second;  // ids 0:0, which the scan passes over
        devices.push_back(device);
    }
    for (const Place& place : places) {
        SimulatedUsbDevice device = {};
        device.controller = place.controller;
        std::copy(place.ports.begin(), place.ports.end(), device.ports);
        device.vendorId = static_cast<WORD>(place.vendor);
        device.productId = static_cast<WORD>(place.product);
        devices.push_back(device);
    }
    SimulatedUsbTree tree = {controllers.data(), int(controllers.size()), devices.data(),
                             int(devices.size())};
    return new CSimulatedUsbHost(tree);
}
