// The live threads and the drawing surface. The grab thread fetches frames from the
// device into the receive buffer and hands them over by swapping buffers; the display
// thread decodes the newest frame, draws it, measures focus while cropped and counts
// down to the one automatic white balance of the process. Feeding the recorder and the
// fresh-frame wait of library captures belong to the capture and video families.
#include "camera/core/CameraManager.h"

#include "afxwin.h"
#include "external/bench/FrameRecords.h"

#include <algorithm>
#include <string.h>

namespace {

// The ZedOdir and ZuzIrazo devices decode into an image record: a header with the
// frame's size, then the pixels.
bool DecodesToImageRecord(int cameraType)
{
    return cameraType == CAMERA_TYPE_CORE_A || cameraType == CAMERA_TYPE_CORE_B ||
           cameraType == CAMERA_TYPE_MINOR;
}

// Products whose automatic white balance needs a second run once the picture settled.
bool WantsSettledWhiteBalance(int productIndex)
{
    switch (productIndex) {
    case 28: case 29: case 32: case 33: case 34: case 35: case 37: case 38:
        return true;
    default:
        return false;
    }
}

// Bytes of one 24-bit bitmap row.
inline int DibStride(int width)
{
    return (width * 3 + 3) & ~3;
}

}  // namespace

volatile LONG CCameraManager::s_whiteBalanceCountdown = 30;

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
                if (parent)
                    PostMessageW(parent, WM_CAMERA_FRAME_STATUS, 2, rate);
            }
            break;
        case 3:
        case 4:
            if (parent)   // a null window would post into this thread's own queue
                PostMessageW(parent, WM_CAMERA_FRAME_STATUS, 1, rate);
            {
                CSingleLock lock(&m_guideLock, TRUE);
                if (m_hGuideWnd)
                    PostMessageW(m_hGuideWnd, WM_CAMERA_FRAME_STATUS, 0, 0);
            }
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
        BYTE* pixels = m_buffers[BUF_DECODED];
        // The library cameras measure areas on their decoded image record, the others
        // on the frame as the device delivered it.
        const BYTE* processingSource = m_buffers[BUF_WORKING];
        INT64 processingBytes = static_cast<INT64>(m_frameWidth) * m_frameHeight * 3;
        bool drawable = result != 5;
        if (DecodesToImageRecord(m_param.cameraType) && result != 5) {
            orvbench::ImageRecord record;
            memcpy(&record, m_buffers[BUF_DECODED], sizeof record);
            if (record.headerSize < sizeof record || record.width == 0 || record.height == 0 ||
                record.headerSize + INT64(orvbench::ImagePixelBytes(record)) > m_frameBufferSize) {
                m_pDisplayLock->Unlock();   // not a picture this library can show
                continue;
            }
            pixels += record.headerSize;
            processingSource = m_buffers[BUF_DECODED];
            processingBytes = record.headerSize + static_cast<INT64>(orvbench::ImagePixelBytes(record));
            if (record.width != m_frameWidth || record.height != m_frameHeight) {
                m_frameWidth = record.width;
                m_frameHeight = record.height;
                m_bmih.biWidth = record.width;
                m_bmih.biHeight = record.height;
                m_bmih.biSizeImage = DWORD(DibStride(record.width)) * record.height;
                if (!m_cropped)
                    SetRect(&m_sourceRect, m_sourceRect.left, m_sourceRect.top,
                            m_sourceRect.left + record.width, m_sourceRect.top + record.height);
            }
        }
        {
            CSingleLock lock(m_pProcessLock, TRUE);
            processingBytes = std::min(processingBytes, m_frameBufferSize);
            if (processingBytes > 0)
                memcpy(m_buffers[BUF_PROCESSING], processingSource, static_cast<size_t>(processingBytes));
        }
        if (m_cropped) {
            m_focusBusy = 1;
            m_focusValue = ComputeFocusValue(pixels);
            m_focusBusy = 0;
        }
        if (drawable && m_hDrawDib && m_hDrawDC) {
            DrawDibDraw(m_hDrawDib, m_hDrawDC, 0, 0,
                        m_displayRect.right - m_displayRect.left,
                        m_displayRect.bottom - m_displayRect.top, &m_bmih,
                        pixels, m_sourceRect.left, m_sourceRect.top,
                        m_sourceRect.right - m_sourceRect.left,
                        m_sourceRect.bottom - m_sourceRect.top, 0);
        }
        if (m_bRecording && result != 5)   // capture and video family
            RecordDisplayedFrame(pixels);
        m_pDisplayLock->Unlock();
        if (result != 5)
            RunWhiteBalanceCountdown();

        UpdateRate(m_displayRate, m_displayCount, m_displayTick);
        if (HWND parent = DrawParentHandle()) {
            PostMessageW(parent, WM_CAMERA_FRAME_STATUS, 1,
                         static_cast<LPARAM>(static_cast<int>(m_grabRate * 1000)));
            if (m_cropped)
                PostMessageW(parent, WM_CAMERA_FOCUS_VALUE,
                             static_cast<WPARAM>(static_cast<int>(m_focusValue)), 0);
        }
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


// --- focus and white balance countdown -------------------------------------------------

// Variance of the luminance over the shown part of the frame. The display rectangle can
// be larger than the frame, so the shown part is clamped to the frame before reading.
// The source rectangle counts rows from the top of the picture, as DrawDibDraw shows it;
// the bitmap holds them bottom-up.
float CCameraManager::ComputeFocusValue(const BYTE* pixels) const
{
    const int left = std::max<LONG>(m_sourceRect.left, 0);
    const int top = std::max<LONG>(m_sourceRect.top, 0);
    const int right = std::min<LONG>(m_sourceRect.right, m_frameWidth);
    const int bottom = std::min<LONG>(m_sourceRect.bottom, m_frameHeight);
    if (!pixels || right <= left || bottom <= top)
        return 0.0f;
    const int stride = DibStride(m_frameWidth);
    const double count = double(right - left) * (bottom - top);
    double sum = 0.0, sumSquares = 0.0;
    for (int y = top; y < bottom; ++y) {
        const BYTE* p = pixels + static_cast<size_t>(m_frameHeight - 1 - y) * stride + left * 3;
        for (int x = left; x < right; ++x, p += 3) {
            const double luma = 0.3 * p[0] + 0.59 * p[1] + 0.11 * p[2];
            sum += luma;
            sumSquares += luma * luma;
        }
    }
    const double mean = sum / count;
    const double variance = sumSquares / count - mean * mean;
    return static_cast<float>(variance > 0.0 ? variance : 0.0);
}

// Some sensors settle their colour only after the first frames: once per process, at the
// 30th displayed frame, white balance runs again and the mirror setting is re-sent.
void CCameraManager::RunWhiteBalanceCountdown()
{
    if (s_whiteBalanceCountdown < 0)
        return;
    if (InterlockedDecrement(&s_whiteBalanceCountdown) != 0)
        return;
    s_whiteBalanceCountdown = -1;
    if (!m_pDevice)
        return;
    if (WantsSettledWhiteBalance(m_info.productIndex) && m_cur.HDAutoWB && m_pProcessLock) {
        {
            CSingleLock displayLock(m_pDisplayLock, TRUE);
            CSingleLock lock(m_pProcessLock, TRUE);
            for (int pass = 0; pass < 2; ++pass)
                m_pDevice->CalcWhiteBalance(m_buffers[BUF_PROCESSING], nullptr);
        }
        int red = m_cur.redGain, green = m_cur.greenGain, blue = m_cur.blueGain;
        if (m_pDevice->GetGain(&red, &green, &blue) == CAM_OK) {
            m_cur.redGain = std::clamp(red, m_info.redGainMin, m_info.redGainMax);
            m_cur.greenGain = std::clamp(green, m_info.greenGainMin, m_info.greenGainMax);
            m_cur.blueGain = std::clamp(blue, m_info.blueGainMin, m_info.blueGainMax);
        }
    }
    m_pDevice->SetMirror(1, m_cur.mirror[1]);
    Sleep(200);
    m_pDevice->SetMirror(0, m_cur.mirror[0]);
}

// --- crop, restore, redraw --------------------------------------------------------------

int CCameraManager::CropImage(const RECT* screenRect)
{
    HWND drawWnd = DrawWindowHandle();
    if (!m_pDevice || !m_bInitialized || !drawWnd)
        return CAM_ERR_NO_DEVICE;
    if (!screenRect)
        return CAM_ERR_RANGE;

    RECT window;
    GetWindowRect(drawWnd, &window);
    RECT r;
    r.left = std::clamp(screenRect->left, window.left, window.right) - window.left;
    r.right = std::clamp(screenRect->right, window.left, window.right) - window.left;
    r.top = std::clamp(screenRect->top, window.top, window.bottom) - window.top;
    r.bottom = std::clamp(screenRect->bottom, window.top, window.bottom) - window.top;
    if (r.left > r.right)
        std::swap(r.left, r.right);
    if (r.top > r.bottom)
        std::swap(r.top, r.bottom);

    CSingleLock displayLock(m_pDisplayLock, TRUE);
    CSingleLock cropLock(&m_cropLock, TRUE);
    const int windowWidth = window.right - window.left;
    if (r.right > r.left && r.bottom > r.top && windowWidth > 0) {
        const double scale = double(m_frameWidth) / windowWidth;
        RECT f;
        f.left = static_cast<LONG>(r.left * scale) & ~1;
        f.top = static_cast<LONG>(r.top * scale) & ~1;
        f.right = std::min<LONG>(static_cast<LONG>(r.right * scale) & ~1, m_frameWidth);
        f.bottom = std::min<LONG>(static_cast<LONG>(r.bottom * scale) & ~1, m_frameHeight);
        // Widen in steps of two; a frame whose width leaves no room gets narrowed instead,
        // so the loop always ends.
        while ((f.right - f.left) % 4 != 0) {
            if (f.left >= 1)
                f.left -= 2;
            else if (f.right < m_frameWidth)
                f.right += 2;
            else
                f.right -= (f.right - f.left) % 4;
            f.left = std::max<LONG>(f.left, 0);
            f.right = std::min<LONG>(f.right, m_frameWidth);
        }
        if (f.right > f.left && f.bottom > f.top)
            m_sourceRect = f;
    }
    free(m_cropBuffer);
    const size_t bytes = size_t(m_sourceRect.right - m_sourceRect.left) *
                         size_t(m_sourceRect.bottom - m_sourceRect.top) * 6;
    m_cropBuffer = static_cast<BYTE*>(calloc(bytes ? bytes : 1, 1));
    if (!m_cropBuffer)
        return CAM_ERR_NO_MEMORY;
    m_cropped = 1;
    return CAM_OK;
}

int CCameraManager::RestoreImage()
{
    if (!m_pDevice)
        return CAM_ERR_NO_DEVICE;
    {
        CSingleLock displayLock(m_pDisplayLock, m_pDisplayLock != nullptr);
        SetRect(&m_sourceRect, 0, 0, m_frameWidth, m_frameHeight);
    }
    while (m_focusBusy)
        Sleep(1);
    m_cropped = 0;
    return CAM_OK;
}

int CCameraManager::DrawImage()
{
    if (m_param.runState != RUN_LIVE || !m_bInitialized || !m_pDisplayLock)
        return CAM_ERR_NO_DEVICE;
    CSingleLock lock(m_pDisplayLock, TRUE);
    BYTE* pixels = m_buffers[BUF_DECODED];
    if (!pixels || !m_hDrawDib || !m_hDrawDC)
        return CAM_OK;
    if (DecodesToImageRecord(m_param.cameraType)) {
        // Before the first frame the buffer holds no record yet: nothing to redraw.
        orvbench::ImageRecord record;
        memcpy(&record, pixels, sizeof record);
        if (record.headerSize < sizeof record ||
            record.headerSize + INT64(orvbench::ImagePixelBytes(record)) > m_frameBufferSize)
            return CAM_OK;
        pixels += record.headerSize;
    }
    DrawDibDraw(m_hDrawDib, m_hDrawDC, 0, 0, m_displayRect.right - m_displayRect.left,
                m_displayRect.bottom - m_displayRect.top, &m_bmih, pixels, m_sourceRect.left,
                m_sourceRect.top, m_sourceRect.right - m_sourceRect.left,
                m_sourceRect.bottom - m_sourceRect.top, 0);
    return CAM_OK;
}
