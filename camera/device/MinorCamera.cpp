#include "camera/device/MinorCamera.h"

#include "camera/device/ProductPresets.h"
#include "external/zuzirazo/ZuzIrazo.h"

#include <algorithm>
#include <climits>

CMinorCamera::CMinorCamera() : CCoreCameraB(kZuzIrazoLibrary)
{
    m_last.gamma = 2; m_last.contrast = 8; m_last.saturation = 6;
    m_last.gammaValue = 2; m_last.contrastValue = 8; m_last.saturationValue = 6;
    m_last.redGain = m_last.greenGain = m_last.blueGain = 50;
    m_last.gainFactor = 1;
}

int CMinorCamera::MinorDefaultParameter(CameraCurParam* out, int mode)
{
    if (!out)
        return CAM_OK;
    auto exposureGroup = [&]() {
        out->mirror[0] = out->mirror[1] = 0;
        out->dataWide = 0;
        out->HDAutoWB = 0;
        out->aeOn = 1;
        out->aeTarget = 12;
        out->exposureTime = 10;
        out->exposureStep = 5;
        out->exposureLines = 1;
        out->gain = 1;
        out->gainStep = 1;
        out->HDFrameSpeed = 1;
        out->blackLevel = 0;
    };
    auto colourGroup = [&]() {
        out->monochrome = 0;
        out->colorEnhancement = 0;
        out->gammaValue = 2; out->contrastValue = 8; out->saturationValue = 6;
        out->gamma = 2; out->contrast = 8; out->saturation = 6;
        out->redGain = out->greenGain = out->blueGain = 50;
        out->flatField = 0;
    };
    if (mode == 1) {
        exposureGroup();
    } else if (mode == 2) {
        colourGroup();
    } else {
        exposureGroup();
        colourGroup();
        out->gainFactor = 1;
    }
    return CAM_OK;
}

int CMinorCamera::ResumeDevice(int resolution)
{
    if (!m_resumed) {
        const int count = m_lib.GetResolutionCount(Dev());
        m_lib.SetResolution(std::min(resolution, count - 1), Dev());
        if (m_lib.ResumeDevice(Dev()) != 0)
            return CAM_FAILED;
        m_resumed = 1;
    }
    return CAM_OK;
}

int CMinorCamera::SuspendDevice()
{
    if (m_resumed) {
        if (m_lib.SuspendDevice(Dev()) != 0)
            return CAM_FAILED;
        m_resumed = 0;
    }
    return CAM_OK;
}

int CMinorCamera::Init(CameraFrameCallback, int, HWND window, HWND, int)
{
    UpdateExposureRange(&m_info, 0);
    HdSetDisplayHWND(window, Dev());
    m_lib.SetHistogramState(1, Dev());
    m_receiveSize = m_lib.RecvMemSize(Dev());
    try {
        m_receive.assign(size_t(std::max(m_receiveSize, 0)) * 3, 0);
    } catch (...) {
        return CAM_ERR_NO_MEMORY;
    }
    return m_resumed ? CAM_OK : CAM_FAILED;
}

int CMinorCamera::GrabFrame(BYTE* frame)
{
    if (!m_receiveSize)
        m_receiveSize = m_lib.RecvMemSize(Dev());
    switch (m_lib.GetRawData(frame, m_receiveSize, Dev())) {
    case 0: return 1;
    case 1: return 2;
    case 2: return 3;
    default: return 0;
    }
}

int CMinorCamera::Decode(BYTE* raw, BYTE* image, int, int, int rgbOut)
{
    if (!raw || !image || m_lib.DecodeRaw2Image(raw, image, Dev()) != 0)
        return CAM_FAILED;
    LevelsRecord& lv = m_levels[m_showChannel];
    const bool wasAuto = lv.autoOn != 0;
    AfterDecode(image, rgbOut, false, false);
    // This family's automatic levels start from black.
    if (wasAuto)
        lv.low = 0;
    return CAM_OK;
}

int CMinorCamera::GetAWBState(int* state)
{
    BYTE v = 0;
    if (m_lib.GetWhiteBalance(&v, Dev()) != 0)
        return CAM_ERR_NO_DEVICE;
    if (state)
        *state = v;
    return CAM_OK;
}

int CMinorCamera::UpdateExposureRange(CameraParamInfo* info, int)
{
    if (!info)
        info = &m_info;
    float lo = 0, hi = 0, unit = 1.0f;
    m_lib.GetExposureRange(&lo, &hi, &unit, Dev());
    const double factor = 1000.0 / ExposureScale();
    info->exposureMin = int(lo * factor);
    info->exposureMax = int(std::min(double(hi) * factor, double(1 << 30)));
    info->exposureUnit = unit;
    return CAM_OK;
}

int CMinorCamera::ApplyProductPreset(CameraListEntry* entry)
{
    if (!entry)
        return SENSOR_KIND_NONE;
    CopyEntry(*entry);
    CProductPresets::Target target{m_info, m_last, m_gainTable, m_exposureTable};
    if (entry->productId == 0x7585) {
        CProductPresets::ApplyMinor(CProductPresets::MINOR_M1, target);
    } else if (entry->productId == 0x7584 || entry->productId == 0x7587 || entry->productId == 0x7588) {
        CProductPresets::ApplyMinor(CProductPresets::MINOR_M2, target);
    } else {
        entry->productIndex = -1;
        entry->sensorKind = SENSOR_KIND_NONE;
    }
    if (entry->productIndex == -1 && entry->productId == 0x7585)
        CProductPresets::ApplyMinor(CProductPresets::MINOR_M3, target);
    return entry->sensorKind;
}
