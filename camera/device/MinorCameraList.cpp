#include "camera/device/MinorCameraList.h"

#include "camera/device/CoreCameraList.h"
#include "external/zuzirazo/ZuzIrazo.h"

namespace {

// The one product of the ZuzIrazo list; other products of its vendor are unlisted.
const CameraProduct kZuzIrazoProducts[] = {
    {0xEB1A, 0x7585, 27, 3, "Model82"},
};

}  // namespace

int CMinorCameraList::Open()
{
    CString folder = CameraConfigurationFolder();
    return HdInitDevice(folder);
}

void CMinorCameraList::Close()
{
    HdExitDevice();
}

void CMinorCameraList::Refresh()
{
    RemoveAllEntries();
    const int count = HdDeviceCount();
    for (int i = 0; i < count; ++i) {
        const char* name = HdDeviceName(i);
        if (!name || !*name)
            continue;
        std::string copy = name;
        AddEntry(MakeCameraListEntry(copy.c_str(), HdDeviceVendor(copy.c_str()),
                                     HdDeviceProduct(copy.c_str()), kZuzIrazoProducts, 1));
    }
    SetCurrentIndex(m_currentIndex);
}
