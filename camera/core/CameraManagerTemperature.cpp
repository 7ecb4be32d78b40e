// Temperature and cooling. Cooled products get a worker that reads the sensor every
// 1740 ms, switches the cooler against the set point and keeps a history for the curve.
// The worker sleeps on a stop event, so stopping it wakes it at once and the device is
// never touched after the stop returned.
#include "camera/core/CameraManager.h"

#include "afxwin.h"
#include "camera/core/LibraryResources.h"

#include <algorithm>
#include <string.h>

namespace {

const DWORD kTemperaturePeriodMs = 1740;
const DWORD kTemperatureStopWaitMs = 1500;
const int kHistoryLength = 172;
const int kDrawableSample = -275;   // anything below is an empty slot
const int kAlwaysCooledProduct = 25;
const int kCooledProductIds[] = {0x840A, 0x840C, 0x8C0C, 0xE00A, 0xE00C, 0xE80C};

}  // namespace

BOOL CCameraManager::IsCooledProduct() const
{
    return std::find(std::begin(kCooledProductIds), std::end(kCooledProductIds), m_info.productId) !=
           std::end(kCooledProductIds);
}

void CCameraManager::StartTemperatureWorker()
{
    if (m_temperatureRunning || !m_pDevice || !IsCooledProduct())
        return;
    m_hTemperatureStop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_hTemperatureEnd = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_temperatureRunning = 1;
    m_hTemperatureThread = CreateThread(nullptr, 0, TemperatureThreadProc, this, 0, nullptr);
    if (!m_hTemperatureThread) {
        m_temperatureRunning = 0;
        CloseHandle(m_hTemperatureStop);
        CloseHandle(m_hTemperatureEnd);
        m_hTemperatureStop = m_hTemperatureEnd = nullptr;
    }
}

void CCameraManager::StopTemperatureWorker()
{
    if (!m_temperatureRunning || !m_hTemperatureThread)
        return;
    m_temperatureRunning = 0;
    SetEvent(m_hTemperatureStop);
    // The wake-up makes the worker leave within one device reading; should a reading
    // hang beyond the usual wait, the device must still outlive the worker.
    if (WaitForSingleObject(m_hTemperatureEnd, kTemperatureStopWaitMs) != WAIT_OBJECT_0)
        WaitForSingleObject(m_hTemperatureEnd, INFINITE);
    WaitForSingleObject(m_hTemperatureThread, INFINITE);
    CloseHandle(m_hTemperatureThread);
    CloseHandle(m_hTemperatureStop);
    CloseHandle(m_hTemperatureEnd);
    m_hTemperatureThread = m_hTemperatureStop = m_hTemperatureEnd = nullptr;
}

DWORD WINAPI CCameraManager::TemperatureThreadProc(void* self)
{
    static_cast<CCameraManager*>(self)->TemperatureLoop();
    return 0;
}

void CCameraManager::TemperatureLoop()
{
    while (m_temperatureRunning) {
        const DWORD start = GetTickCount();
        float degrees = 0.0f;
        if (m_pDevice->GetTemperature(&degrees) == CAM_OK) {
            const bool coolerOn = m_info.productIndex == kAlwaysCooledProduct ||
                                  degrees > static_cast<float>(m_coolingSetPoint);
            m_pDevice->SetCooled(coolerOn ? 1 : 0);
            memmove(m_temperatureHistory, m_temperatureHistory + 1,
                    sizeof(m_temperatureHistory[0]) * (kHistoryLength - 1));
            m_temperatureHistory[kHistoryLength - 1] = static_cast<int>(degrees * 2.0f);
            if (HWND receiver = m_hTemperatureWnd)
                PostMessageW(receiver, WM_CAMERA_TEMPERATURE, 0, 0);
        }
        const DWORD elapsed = GetTickCount() - start;
        const DWORD rest = elapsed < kTemperaturePeriodMs ? kTemperaturePeriodMs - elapsed
                                                          : kTemperaturePeriodMs;
        if (WaitForSingleObject(m_hTemperatureStop, rest) == WAIT_OBJECT_0)
            break;
    }
    SetEvent(m_hTemperatureEnd);
}

int CCameraManager::SetHWndReceive(HWND wnd)
{
    m_hTemperatureWnd = wnd;
    return CAM_OK;
}

int CCameraManager::SetTemperature(float degrees)
{
    // Only the worker's set point: the parameter block keeps the product's own target.
    m_coolingSetPoint = static_cast<int>(std::clamp(degrees, -30.0f, 30.0f));
    return CAM_OK;
}

int CCameraManager::GetCurTemperature(float* degrees)
{
    if (!m_pDevice)
        return CAM_ERR_NO_DEVICE;
    if (!degrees)
        return CAM_ERR_RANGE;
    m_pDevice->GetTemperature(degrees);
    return CAM_OK;
}

int CCameraManager::DrawTemperature(CDC* dc, const RECT* area)
{
    if (!dc || !area)
        return CAM_ERR_RANGE;
    const RECT& r = *area;
    const int axisX = r.left + kHistoryLength;

    dc->MoveTo(axisX, r.top);
    dc->LineTo(axisX, r.top + 160);
    dc->MoveTo(r.left, r.top + 80);
    dc->LineTo(axisX, r.top + 80);
    for (int tick = 0; tick <= 160; tick += 40) {
        dc->MoveTo(axisX - 2, r.top + tick);
        dc->LineTo(axisX, r.top + tick);
    }

    const int oldMode = dc->SetBkMode(TRANSPARENT);
    CRect label(r.right + 8, r.top - 6, r.right + 48, r.top + 40);
    dc->DrawText(CString(L"40"), &label, DT_LEFT | DT_SINGLELINE);
    label.SetRect(label.left, label.bottom - 6, label.right, label.bottom - 6 + 40);
    dc->DrawText(CString(L"20"), &label, DT_LEFT | DT_SINGLELINE);
    label.SetRect(label.left, label.bottom, label.right, label.bottom + 40);
    dc->DrawText(CString(L"0") + LoadLibraryString(IDS_DEGREE_CELSIUS), &label,
                 DT_CENTER | DT_SINGLELINE);
    label.SetRect(label.left, label.bottom - 2, label.right, label.bottom - 2 + 40);
    dc->DrawText(CString(L"-20"), &label, DT_LEFT | DT_SINGLELINE);
    label.SetRect(label.left, label.bottom - 2, label.right, label.bottom - 2 + 40);
    dc->DrawText(CString(L"-40"), &label, DT_LEFT | DT_SINGLELINE);
    const int middle = (r.top + r.bottom) / 2;
    CRect span(r.left, middle - 20, r.left + 40, middle + 20);
    dc->DrawText(LoadLibraryString(IDS_TEMPERATURE_SPAN), &span, DT_CENTER | DT_SINGLELINE);
    dc->SetBkMode(oldMode);

    if (!m_info.Feature(FEATURE_COOLED))
        return CAM_OK;
    // A snapshot, so a shift by the worker cannot tear one segment.
    int history[kHistoryLength];
    memcpy(history, m_temperatureHistory, sizeof history);
    const int low = std::min(r.top, r.bottom), high = std::max(r.top, r.bottom);
    CPen pen;
    pen.CreatePen(PS_SOLID, 2, RGB(0, 0, 222));
    CPen* old = dc->SelectObject(&pen);
    for (int i = 0; i + 1 < kHistoryLength; ++i) {
        if (history[i] < kDrawableSample || history[i + 1] < kDrawableSample)
            continue;
        dc->MoveTo(r.left + i, std::clamp(middle - history[i], low, high));
        dc->LineTo(r.left + i + 1, std::clamp(middle - history[i + 1], low, high));
    }
    dc->SelectObject(old);
    return CAM_OK;
}
