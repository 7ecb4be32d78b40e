// The live threads and the drawing surface. The grab thread fetches frames from the
// device into the receive buffer and hands them over by swapping buffers; the display
// thread decodes the newest frame and draws it. Focus value, the automatic white
// balance countdown, library frame headers and feeding the recorder are not here yet.
#include "camera/core/CameraManager.h"

#include "afxwin.h"

#include <string.h>

// --- start and stop -------------------------------------------------------------------

int CCameraManager::StartPreview()
{
    if (!m_bInitialized || !m_pDevice)
        return CAM_ERR_NO_DEVICE;
    if (m_runState != RUN_STOPPED)
        return CAM_OK;

    m_hGrabEnd = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_hDisplayEnd = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_runState = RUN_LIVE;
    m_param.runState = RUN_LIVE;
    if (!m_info.Feature(FEATURE_KEEP_CHANNEL)) {
        m_param.showChannel = 3;
        m_pDevice->SetShowChannel(3);
    }
    m_grabCount = m_displayCount = 0;
    m_grabTick = m_displayTick = GetTickCount();

    // A thread that never started must not leave StopPreview waiting for it.
    if (_beginthread(GrabThreadProc, 0, this) == static_cast<uintptr_t>(-1))
        SetEvent(m_hGrabEnd);
    if (_beginthread(DisplayThreadProc, 0, this) == static_cast<uintptr_t>(-1))
        SetEvent(m_hDisplayEnd);
    return CAM_OK;
}

int CCameraManager::StopPreview(int keep)
{
    if (m_runState == RUN_STOPPED)
        return CAM_OK;
    m_runState = RUN_STOPPED;
    m_param.runState = keep == 1 ? RUN_LIVE : RUN_STOPPED;

    // A CCD camera in a long exposure would keep the grab waiting: cut it short.
    const bool ccd = m_param.sensorKind == SENSOR_KIND_CCD;
    const bool driverCamera = m_param.mode == 0;
    bool cutShort = false;
    if (ccd && m_pDevice && (m_cur.exposureTime > LONG_EXPOSURE_US || !m_frameReceived)) {
        if (driverCamera)
            m_pDevice->SetExposureTime(1);
        m_pDevice->RestartLongExposure(0);
        cutShort = true;
    }
    if (m_hGrabEnd)
        AfxWaitForSingleObjectSent(m_hGrabEnd, INFINITE);
    if (m_hDisplayEnd)
        AfxWaitForSingleObjectSent(m_hDisplayEnd, INFINITE);
    if (ccd && driverCamera && m_pDevice && (m_cur.exposureTime > LONG_EXPOSURE_US || cutShort)) {
        m_pDevice->SetExposureTime(m_cur.exposureTime / 1000);  // driver cameras take ms
        m_frameReceived = 0;
    }
    if (m_hGrabEnd) {
        CloseHandle(m_hGrabEnd);
        m_hGrabEnd = nullptr;
    }
    if (m_hDisplayEnd) {
        CloseHandle(m_hDisplayEnd);
        m_hDisplayEnd = nullptr;
    }
    m_param.exposureChanged = 0;
    SaveSettings();
    return CAM_OK;
}

// --- threads ----------------------------------------------------------------------------

void CCameraManager::GrabThreadProc(void* self)
{
    static_cast<CCameraManager*>(self)->GrabLoop();
    _endthread();
}

void CCameraManager::DisplayThreadProc(void* self)
{
    static_cast<CCameraManager*>(self)->DisplayLoop();
    _endthread();
}

void CALLBACK CCameraManager::FrameCallback(BYTE*, int, void*)
{
    // The grab thread pulls frames; libraries that push get nothing to do here.
}

void CCameraManager::UpdateRate(float& rate, int& count, DWORD& lastTick)
{
    ++count;
    const DWORD now = GetTickCount();
    const DWORD elapsed = now - lastTick;
    if (elapsed > 1000) {
        rate = count * 1000.0f / elapsed;
        count = 0;
        lastTick = now;
    }
}

void CCameraManager::HandOverFrame()
{
    m_frameReceived = 1;
    int exposure = m_cur.exposureTime;
    m_pDevice->GetExposureTime(&exposure);
    m_cur.exposureTime = exposure;
    UpdateRate(m_grabRate, m_grabCount, m_grabTick);
    CSingleLock lock(m_pFrameLock, TRUE);
    BYTE* received = m_buffers[BUF_RECEIVE];
    m_buffers[BUF_RECEIVE] = m_buffers[BUF_READY];
    m_buffers[BUF_READY] = received;
    m_newFrame = 1;
}

void CCameraManager::GrabLoop()
{
    while (m_runState != RUN_STOPPED) {
        const int result = m_pDevice->GrabFrame(m_buffers[BUF_RECEIVE]);
        const LPARAM rate = static_cast<LPARAM>(static_cast<int>(m_grabRate * 1000));
        HWND parent = DrawParentHandle();
        switch (result) {
        case 1:
        case 5:
            HandOverFrame();
            m_noticeArmed = 1;
            break;
        case 2:
            HandOverFrame();
            if (m_noticeArmed) {
                m_noticeArmed = 0;
                PostMessageW(parent, WM_CAMERA_FRAME_STATUS, 2, rate);
            }
            break;
        case 3:
        case 4:
            PostMessageW(parent, WM_CAMERA_FRAME_STATUS, 1, rate);
            if (m_pGuideWnd && m_pGuideWnd->GetSafeHwnd())
                PostMessageW(m_pGuideWnd->GetSafeHwnd(), WM_CAMERA_FRAME_STATUS, 0, 0);
            break;
        case -9:
            if (parent)
                PostMessageW(parent, WM_CAMERA_FRAME_STATUS, 3, rate);
            break;
        default:
            break;
        }
    }
    SetEvent(m_hGrabEnd);
}

void CCameraManager::DisplayLoop()
{
    while (m_runState != RUN_STOPPED) {
        if (!m_newFrame) {
            Sleep(1);
            continue;
        }
        {
            CSingleLock lock(m_pFrameLock, TRUE);
            BYTE* ready = m_buffers[BUF_READY];
            m_buffers[BUF_READY] = m_buffers[BUF_WORKING];
            m_buffers[BUF_WORKING] = ready;
            m_newFrame = 0;
        }

        m_pDisplayLock->Lock();
        const int result = m_pDevice->Decode(m_buffers[BUF_WORKING], m_buffers[BUF_DECODED],
                                              m_frameWidth, m_frameHeight, 1);
        if (result <= 0) {
            m_pDisplayLock->Unlock();
            continue;
        }
        {
            CSingleLock lock(m_pProcessLock, TRUE);
            INT64 bytes = static_cast<INT64>(m_frameWidth) * m_frameHeight * 3;
            if (bytes > m_frameBufferSize)
                bytes = m_frameBufferSize;
            if (bytes > 0)
                memcpy(m_buffers[BUF_PROCESSING], m_buffers[BUF_WORKING], static_cast<size_t>(bytes));
        }
        if (result != 5 && m_hDrawDib && m_hDrawDC) {
            DrawDibDraw(m_hDrawDib, m_hDrawDC, 0, 0,
                        m_displayRect.right - m_displayRect.left,
                        m_displayRect.bottom - m_displayRect.top, &m_bmih,
                        m_buffers[BUF_DECODED], m_sourceRect.left, m_sourceRect.top,
                        m_sourceRect.right - m_sourceRect.left,
                        m_sourceRect.bottom - m_sourceRect.top, 0);
        }
        m_pDisplayLock->Unlock();

        UpdateRate(m_displayRate, m_displayCount, m_displayTick);
        if (HWND parent = DrawParentHandle())
            PostMessageW(parent, WM_CAMERA_FRAME_STATUS, 1,
                         static_cast<LPARAM>(static_cast<int>(m_grabRate * 1000)));
    }
    SetEvent(m_hDisplayEnd);
}

// --- drawing surface ----------------------------------------------------------------------

int CCameraManager::SetDrawHWnd(HWND wnd)
{
    StopPreview(0);
    TakeDrawDC(wnd);   // gives back the context taken for the previous window
    StartPreview();
    return CAM_OK;
}

int CCameraManager::SetDrawHDC(HDC dc)
{
    CCriticalSection* displayLock = m_pDisplayLock;
    if (displayLock)
        displayLock->Lock();
    ReleaseDrawDC();
    m_hDrawDC = dc;
    if (displayLock)
        displayLock->Unlock();
    return CAM_OK;
}

int CCameraManager::GetDrawHDC(HDC* dc)
{
    if (!dc)
        return CAM_ERR_RANGE;
    *dc = m_hDrawDC;
    return CAM_OK;
}

int CCameraManager::SetShowRect(const RECT* rect)
{
    if (!rect)
        return CAM_ERR_RANGE;
    m_displayRect = *rect;
    return CAM_OK;
}

int CCameraManager::GetShowRect(RECT* rect)
{
    if (!rect)
        return CAM_ERR_RANGE;
    *rect = m_sourceRect;
    return CAM_OK;
}

int CCameraManager::GetImageSize(int* width, int* height)
{
    if (!m_pDevice)
        return CAM_ERR_NO_DEVICE;
    if (!width || !height)
        return CAM_ERR_RANGE;
    if (m_cropped) {
        *width = m_sourceRect.right - m_sourceRect.left;
        *height = m_sourceRect.bottom - m_sourceRect.top;
        return CAM_OK;
    }
    m_pDevice->GetImageSize(width, height);
    return CAM_OK;
}

// --- not built yet: each answers CAM_ERR_NO_DEVICE ------------------------------------

int CCameraManager::CropImage(const RECT* /*screenRect*/)
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::RestoreImage()
{
    return CAM_ERR_NO_DEVICE;
}

int CCameraManager::DrawImage()
{
    return CAM_ERR_NO_DEVICE;
}
