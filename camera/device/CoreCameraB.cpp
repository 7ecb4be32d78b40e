#include "camera/device/CoreCameraB.h"

#include "camera/device/MinorCamera.h"
#include "camera/device/ProductPresets.h"
#include "external/zedodir/ZedOdir.h"

#include <algorithm>
#include <climits>

namespace {

int LibOk(int result) { return result == 0 ? CAM_OK : CAM_FAILED; }

}  // namespace

int CCoreCameraB::ResumeDevice(int resolution)
{
    if (!m_resumed) {
        const int count = m_lib.GetResolutionCount(Dev());
        if (m_lib.SetResolution(std::min(resolution, count - 1), Dev()) != 0
            || m_lib.ResumeDevice(Dev()) != 0)
            return CAM_FAILED;
        ::SetCooled(1, Dev());
        m_resumed = 1;
    }
    return CAM_OK;
}

int CCoreCameraB::FillFrameSpeedList(HWND comboBox)
{
    return CCameraDevice::FillFrameSpeedList(comboBox);
}

int CCoreCameraB::FillResolutionList(HWND comboBox, int previewList)
{
    FillLibraryResolutions(comboBox, previewList);
    if (comboBox)
        SendMessageW(comboBox, CB_SETCURSEL, 0, 0);
    return CAM_OK;
}

int CCoreCameraB::Init(CameraFrameCallback, int, HWND, HWND, int)
{
    UpdateExposureRange(&m_info, 0);
    m_receiveSize = m_lib.RecvMemSize(Dev());
    try {
        m_receive.assign(size_t(std::max(m_receiveSize, 0)) * 3, 0);
    } catch (...) {
        return CAM_ERR_NO_MEMORY;
    }
    return m_resumed ? CAM_OK : CAM_FAILED;
}

int CCoreCameraB::SetResolution(int index)
{
    if (index == m_lib.GetResolution(Dev()))
        return CAM_ERR_NO_DEVICE;
    return LibOk(m_lib.SetResolution(index, Dev()));
}

int CCoreCameraB::SetAnalogGain(int gain) { return LibOk(m_lib.SetAnaloggain(gain, Dev())); }

int CCoreCameraB::GetAnalogGain(short* gain)
{
    if (gain)
        *gain = short(m_lib.GetAnaloggain(Dev()));
    return CAM_OK;
}

int CCoreCameraB::SetExposureTime(int microseconds)
{
    return LibOk(m_lib.SetExposure(float(ExposureUnit() + microseconds * ExposureScale() * 0.001), Dev()));
}

// The unit added on the way in comes off on the way out (see SetExposureTime).
int CCoreCameraB::GetExposureTime(int* microseconds)
{
    double ms = m_lib.GetExposure(Dev()) - ExposureUnit();
    if (microseconds)
        *microseconds = int(ms * 1000 / ExposureScale() + 0.5);
    return CAM_OK;
}

int CCoreCameraB::SetGammaEx(int value, int channel)
{
    if (!ValidChannel(channel))
        return CAM_ERR_RANGE;
    if (m_info.sensorKind == SENSOR_KIND_THIRD)
        return LibOk(m_lib.SetGamma(value, Dev()));
    if (channel != 3)
        return LibOk(m_lib.SetGammaEx(value, channel, Dev()));
    int result = CAM_OK;
    for (int c = 0; c < 3; ++c)
        if (m_lib.SetGammaEx(value, c, Dev()) != 0)
            result = CAM_FAILED;
    return result;
}

int CCoreCameraB::GetGammaEx(int* value, int channel)
{
    if (!ValidChannel(channel))
        return CAM_ERR_RANGE;
    int v = 100;
    int r = m_info.sensorKind == SENSOR_KIND_THIRD ? m_lib.GetGamma(&v, Dev())
                                                   : m_lib.GetGammaEx(&v, channel == 3 ? 1 : channel, Dev());
    if (v < 20 || v > 150)
        v = 100;
    if (value)
        *value = v;
    return LibOk(r);
}

int CCoreCameraB::GetAWBState(int*)
{
    return CAM_ERR_NO_DEVICE;
}

int CCoreCameraB::UpdateExposureRange(CameraParamInfo* info, int)
{
    if (!info)
        info = &m_info;
    float lo = 0, hi = 0, unit = 1.0f;
    m_lib.GetExposureRange(&lo, &hi, &unit, Dev());
    info->exposureMin = int(lo * 1000);
    info->exposureMax = int(std::min(double(hi) * 1000, double(INT_MAX)));
    info->exposureUnit = unit;
    return CAM_OK;
}

int CCoreCameraB::GetDefaultParameter(CameraCurParam* out, int mode)
{
    return CMinorCamera::MinorDefaultParameter(out, mode);
}

int CCoreCameraB::ApplyProductPreset(CameraListEntry* entry)
{
    if (!entry)
        return SENSOR_KIND_NONE;
    CopyEntry(*entry);
    CProductPresets::Target target{m_info, m_last, m_gainTable, m_exposureTable};
    if (entry->productId == 0x2A01) {
        CProductPresets::ApplyCoreB2A01(target);
    } else if (entry->productId == 0x6400 || entry->productId == 0x6401) {
        CProductPresets::ApplyZedOdir(entry->productId, entry->vendorId, target);
    } else {
        entry->productIndex = -1;
        entry->sensorKind = SENSOR_KIND_NONE;
    }
    // The manager keeps this answer as the camera's sensor kind: give the entry's.
    return entry->sensorKind;
}
