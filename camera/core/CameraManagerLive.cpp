// The live threads and the drawing surface. The grab thread fetches frames from the
// device into the receive buffer and hands them over by swapping buffers; the display
// thread decodes the newest frame, measures focus while cropped, feeds the recorder and
// counts down to the one automatic white balance of the process; the presenter scales
// the shown part of the decoded picture into a 32-bit picture of the display size and
// draws it 1:1, so grabbing, decoding and drawing overlap. A frame that a newer one
// overtakes before it is decoded or drawn is left out and counted.
#include "camera/core/CameraManager.h"

#include "afxwin.h"
#include "external/bench/BandWorkers.h"
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

// A failing device is asked again after a pause that doubles up to a bound, and its
// error is reported at most once in each interval: a camera that answers at once (one
// that is gone) must not flood the window it reports to.
const DWORD kFirstBackoffMs = 5;
const DWORD kMaxBackoffMs = 100;
const DWORD kErrorReportIntervalMs = 100;

// Threads that wait for work also look at the run state this often.
const DWORD kIdleWaitMs = 50;

// Rows of the shown picture are scaled in this many bands at most.
const int kMaxViewBands = 4;

// Bytes of one bitmap row of the given depth.
inline int RowBytes(int width, int bytesPerPixel)
{
    return (width * bytesPerPixel + 3) & ~3;
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
    m_hPresentEnd = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_hLiveStop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_hNewFrameEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    m_hPresentEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    m_presentPending = 0;
    m_framesShown = m_framesSkipped = 0;
    if (!m_pBandWorkers) {
        SYSTEM_INFO system;
        GetSystemInfo(&system);
        const int cpus = static_cast<int>(system.dwNumberOfProcessors);
        m_pBandWorkers = new CBandWorkers(std::clamp(cpus - 1, 0, kMaxViewBands - 1));
    }
    m_grabFailingSince = 0;
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
    if (_beginthread(PresentThreadProc, 0, this) == static_cast<uintptr_t>(-1))
        SetEvent(m_hPresentEnd);
    return CAM_OK;
}

int CCameraManager::StopPreview(int keep)
{
    if (m_runState == RUN_STOPPED)
        return CAM_OK;
    m_runState = RUN_STOPPED;
    m_param.runState = keep == 1 ? RUN_LIVE : RUN_STOPPED;
    if (m_hLiveStop)
        SetEvent(m_hLiveStop);

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
    if (m_hPresentEnd)
        AfxWaitForSingleObjectSent(m_hPresentEnd, INFINITE);
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
    for (HANDLE* handle : {&m_hPresentEnd, &m_hLiveStop, &m_hNewFrameEvent, &m_hPresentEvent}) {
        if (*handle) {
            CloseHandle(*handle);
            *handle = nullptr;
        }
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

void CCameraManager::PresentThreadProc(void* self)
{
    static_cast<CCameraManager*>(self)->PresentLoop();
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
    {
        // The device still runs the old time while a stored one waits to be applied;
        // reading it back would make the later apply send the old time again.
        CSingleLock lock(&m_exposureLock, TRUE);
        if (!m_param.exposureChanged)
            m_cur.exposureTime = exposure;
    }
    UpdateRate(m_grabRate, m_grabCount, m_grabTick);
    CSingleLock lock(m_pFrameLock, TRUE);
    BYTE* received = m_buffers[BUF_RECEIVE];
    m_buffers[BUF_RECEIVE] = m_buffers[BUF_READY];
    m_buffers[BUF_READY] = received;
    m_readySequence = InterlockedIncrement(&m_handOverCount);
    if (m_newFrame)   // the display thread never took the frame this one replaces
        InterlockedIncrement(&m_framesSkipped);
    m_newFrame = 1;
    SetEvent(m_hNewFrameEvent);
}

// A library capture that lets the device write the file waits for a frame grabbed
// after it asked; with a resolution switch pending, for the frame read out at the
// capture resolution.
void CCameraManager::ClearCaptureWait(int resolution)
{
    if (!m_captureWait || m_workingSequence - m_captureAfter <= 0)
        return;
    if (m_resSwitchPending && resolution == m_param.ResPreview)
        return;
    m_captureWait = 0;
}

void CCameraManager::GrabLoop()
{
    DWORD backoff = 0;              // pause before the next try; 0 while frames come
    DWORD pause = 0;
    DWORD lastErrorReport = 0;
    bool errorReported = false;     // since the last answer that was not a failure
    while (m_runState != RUN_STOPPED) {
        if (pause && WaitForSingleObject(m_hLiveStop, pause) == WAIT_OBJECT_0)
            break;
        const DWORD started = GetTickCount();
        const int result = m_pDevice->GrabFrame(m_buffers[BUF_RECEIVE]);
        const LPARAM rate = static_cast<LPARAM>(static_cast<int>(m_grabRate * 1000));
        HWND parent = DrawParentHandle();
        if (result > 0) {
            backoff = pause = 0;
            errorReported = false;
            m_grabFailingSince = 0;
        } else {
            if (!m_grabFailingSince)
                m_grabFailingSince = started | 1;
            // A device that took its time to fail has paused already.
            backoff = backoff ? std::min(backoff * 2, kMaxBackoffMs) : kFirstBackoffMs;
            const DWORD took = GetTickCount() - started;
            pause = took < backoff ? backoff - took : 0;
        }
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
        case -9: {
            const DWORD now = GetTickCount();
            if (!errorReported || now - lastErrorReport >= kErrorReportIntervalMs) {
                errorReported = true;
                lastErrorReport = now;
                if (parent)
                    PostMessageW(parent, WM_CAMERA_FRAME_STATUS, 3, rate);
            }
            break;
        }
        default:
            break;
        }
    }
    SetEvent(m_hGrabEnd);
}

void CCameraManager::DisplayLoop()
{
    HANDLE waits[2] = {m_hNewFrameEvent, m_hLiveStop};
    while (m_runState != RUN_STOPPED) {
        if (!m_newFrame) {
            WaitForMultipleObjects(2, waits, FALSE, kIdleWaitMs);
            continue;
        }
        {
            CSingleLock lock(m_pFrameLock, TRUE);
            BYTE* ready = m_buffers[BUF_READY];
            m_buffers[BUF_READY] = m_buffers[BUF_WORKING];
            m_buffers[BUF_WORKING] = ready;
            m_workingSequence = m_readySequence;
            m_newFrame = 0;
        }

        m_pDisplayLock->Lock();
        const int result = m_pDevice->Decode(m_buffers[BUF_WORKING], m_buffers[BUF_DECODED],
                                              m_frameWidth, m_frameHeight, 1);
        if (result <= 0) {
            m_pDisplayLock->Unlock();
            continue;
        }
        PresentJob job;
        job.bytesPerPixel = 3;
        job.drawable = result != 5;
        if (DecodesToImageRecord(m_param.cameraType) && result != 5) {
            orvbench::ImageRecord record;
            memcpy(&record, m_buffers[BUF_DECODED], sizeof record);
            if (record.headerSize < sizeof record || record.width == 0 || record.height == 0 ||
                (record.channels != 1 && record.channels != 3) || record.bits != 8 ||
                record.headerSize + INT64(orvbench::ImagePixelBytes(record)) > m_frameBufferSize) {
                m_pDisplayLock->Unlock();   // not a picture this library can show
                continue;
            }
            job.offset = record.headerSize;
            job.bytesPerPixel = record.channels;
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
            ClearCaptureWait(record.resolution);
        }
        const BYTE* pixels = m_buffers[BUF_DECODED] + job.offset;
        job.cropped = m_cropped != 0;
        if (job.cropped) {
            m_focusBusy = 1;
            m_focusValue = ComputeFocusValue(pixels);
            m_focusBusy = 0;
        }
        if (result != 5) {
            // Recordings take their rate from the frames this thread hands them, which a
            // busy presenter may show fewer of.
            UpdateRate(m_displayRate, m_displayCount, m_displayTick);
            if (m_bRecording)   // capture and video family
                RecordDisplayedFrame(pixels);
        }
        job.width = m_frameWidth;
        job.height = m_frameHeight;
        job.source = m_sourceRect;
        job.viewWidth = m_displayRect.right - m_displayRect.left;
        job.viewHeight = m_displayRect.bottom - m_displayRect.top;
        job.focus = m_focusValue;
        {
            // The decoded picture becomes the processing copy by a swap of buffers; the
            // presenter draws from it, and the next frame decodes into the other one.
            CSingleLock lock(m_pProcessLock, TRUE);
            std::swap(m_buffers[BUF_DECODED], m_buffers[BUF_PROCESSING]);
            if (m_presentPending)
                InterlockedIncrement(&m_framesSkipped);
            m_presentJob = job;
            m_presentPending = 1;
        }
        m_pDisplayLock->Unlock();
        SetEvent(m_hPresentEvent);
        if (result != 5)
            RunWhiteBalanceCountdown();
    }
    SetEvent(m_hDisplayEnd);
}

// Scales and draws the newest decoded picture; a picture that is not drawn (a frame
// with notice) is still reported.
void CCameraManager::PresentLoop()
{
    // The scaling's helper threads start while the first frame is grabbed rather than
    // when it is to be shown.
    if (m_pBandWorkers)
        m_pBandWorkers->Helpers();
    HANDLE waits[2] = {m_hPresentEvent, m_hLiveStop};
    while (m_runState != RUN_STOPPED) {
        if (WaitForMultipleObjects(2, waits, FALSE, kIdleWaitMs) != WAIT_OBJECT_0)
            continue;
        PresentJob job;
        {
            CSingleLock lock(m_pProcessLock, TRUE);
            if (!m_presentPending)
                continue;
            job = m_presentJob;
            m_presentPending = 0;
            job.drawable = job.drawable && job.viewWidth > 0 && job.viewHeight > 0;
            if (job.drawable)
                ScaleIntoView(m_buffers[BUF_PROCESSING] + job.offset, job);
        }
        if (job.drawable) {
            CSingleLock lock(&m_drawLock, TRUE);
            std::swap(m_views[0], m_views[1]);
            std::swap(m_viewCapacity[0], m_viewCapacity[1]);
            memset(&m_viewHeader, 0, sizeof m_viewHeader);
            m_viewHeader.biSize = sizeof m_viewHeader;
            m_viewHeader.biWidth = job.viewWidth;
            m_viewHeader.biHeight = job.viewHeight;
            m_viewHeader.biPlanes = 1;
            m_viewHeader.biBitCount = 32;
            m_viewHeader.biCompression = BI_RGB;
            m_viewHeader.biSizeImage = DWORD(job.viewWidth) * job.viewHeight * 4;
            DrawView();
        }
        InterlockedIncrement(&m_framesShown);
        if (HWND parent = DrawParentHandle()) {
            PostMessageW(parent, WM_CAMERA_FRAME_STATUS, 1,
                         static_cast<LPARAM>(static_cast<int>(m_grabRate * 1000)));
            if (job.cropped && m_cropped)
                PostMessageW(parent, WM_CAMERA_FOCUS_VALUE,
                             static_cast<WPARAM>(static_cast<int>(job.focus)), 0);
        }
    }
    SetEvent(m_hPresentEnd);
}

// The shown part of the frame (rows from its top) into the picture being filled, one
// frame pixel for each picture pixel, the nearest to the picture pixel's centre. Rows
// go bottom-up, as a bitmap holds them; bands of rows run on the band workers.
void CCameraManager::ScaleIntoView(const BYTE* pixels, const PresentJob& job)
{
    const int vw = job.viewWidth, vh = job.viewHeight;
    const size_t bytes = size_t(vw) * vh * 4;
    if (m_viewCapacity[1] < bytes) {
        free(m_views[1]);
        m_views[1] = static_cast<BYTE*>(malloc(bytes));
        m_viewCapacity[1] = m_views[1] ? bytes : 0;
    }
    if (!m_views[1])
        return;
    const RECT& src = job.source;
    const int sw = std::max<LONG>(src.right - src.left, 1), sh = std::max<LONG>(src.bottom - src.top, 1);
    const int bpp = job.bytesPerPixel;
    if (int(m_viewColumns.size()) != vw || !EqualRect(&m_viewColumnsFor, &src) ||
        m_viewColumnsWidth != job.width || m_viewColumnsBytes != bpp) {
        m_viewColumns.resize(size_t(vw));
        for (int x = 0; x < vw; ++x) {
            const int sx = std::clamp<int>(src.left + int((2LL * x + 1) * sw / (2LL * vw)), 0, job.width - 1);
            m_viewColumns[size_t(x)] = sx * bpp;
        }
        m_viewColumnsFor = src;
        m_viewColumnsWidth = job.width;
        m_viewColumnsBytes = bpp;
    }
    const size_t stride = size_t(RowBytes(job.width, bpp));
    DWORD* view = reinterpret_cast<DWORD*>(m_views[1]);
    const int* columns = m_viewColumns.data();
    const int bands = vh >= 64 && m_pBandWorkers ? std::min(kMaxViewBands, m_pBandWorkers->Helpers() + 1) : 1;
    auto band = [&](int b) {
        for (int y = vh * b / bands; y < vh * (b + 1) / bands; ++y) {
            const int sy = std::clamp<int>(src.top + int((2LL * y + 1) * sh / (2LL * vh)), 0, job.height - 1);
            const BYTE* row = pixels + size_t(job.height - 1 - sy) * stride;
            DWORD* out = view + size_t(vh - 1 - y) * vw;
            if (bpp == 3) {
                for (int x = 0; x < vw; ++x) {
                    const BYTE* p = row + columns[x];
                    out[x] = DWORD(p[0]) | DWORD(p[1]) << 8 | DWORD(p[2]) << 16;
                }
            } else {
                for (int x = 0; x < vw; ++x)
                    out[x] = DWORD(row[columns[x]]) * 0x010101u;
            }
        }
    };
    if (bands > 1)
        m_pBandWorkers->ForEach(bands, band);
    else
        band(0);
}

// Under the draw lock: the shown picture at its own size, nothing stretched.
void CCameraManager::DrawView()
{
    if (!m_views[0] || !m_hDrawDC || !m_hDrawDib || m_viewHeader.biWidth <= 0)
        return;
    DrawDibDraw(m_hDrawDib, m_hDrawDC, 0, 0, m_viewHeader.biWidth, m_viewHeader.biHeight, &m_viewHeader,
                m_views[0], 0, 0, m_viewHeader.biWidth, m_viewHeader.biHeight, 0);
}

void CCameraManager::FreeViews()
{
    CSingleLock lock(&m_drawLock, TRUE);
    for (int i = 0; i < 2; ++i) {
        free(m_views[i]);
        m_views[i] = nullptr;
        m_viewCapacity[i] = 0;
    }
    m_viewColumns.clear();
    delete m_pBandWorkers;
    m_pBandWorkers = nullptr;
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
    {
        CSingleLock lock(&m_drawLock, TRUE);
        ReleaseDrawDC();
        m_hDrawDC = dc;
    }
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
    // The picture last shown, as it was shown.
    CSingleLock lock(&m_drawLock, TRUE);
    DrawView();
    return CAM_OK;
}
