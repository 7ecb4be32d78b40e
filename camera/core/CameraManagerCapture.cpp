// Still capture and series: QrCCameraCapture starts a worker that takes one still or
// a timed series and reports each shot to the receive window; format 32 starts a
// recording instead (CameraManagerVideo.cpp). Driver cameras are decoded and written
// by the library's writers; library cameras write through the device.
#include "camera/core/CameraManager.h"
#include "camera/core/CaptureOverlay.h"
#include "camera/core/writers/CaptureFileName.h"
#include "camera/core/writers/CaptureWriters.h"

#include "afxwin.h"
#include "external/bench/FrameRecords.h"
#include "QrMeasure.h"

#include <algorithm>
#include <string.h>
#include <vector>

namespace {

// Set by QrCCameraSetMakeVideo: the Save-As dialog offers AVI only.
volatile LONG s_makeVideo = 0;

const int kMaxStillGrabTries = 500;
// Waits for a fresh frame for a still the device writes, beyond two exposures: a device
// failing its grabs gives up soon; a busy machine only delays the frame, so the shot
// waits longer before it counts as failed.
const DWORD kFailingDeviceWaitMs = 1000;
const DWORD kFreshFrameWaitMs = 5000;
// What is left of a worker after its done message is a few device calls.
const DWORD kWorkerEndWaitMs = 2000;
const int kCropGrabTries = 20;
const int kAverageFrames = 7;
// The driver libraries of these camera types put a header in front of raw frames.
const int kRawHeaderBytes = 512;

bool FrameAccepted(int result)
{
    return result == 1 || result == 2;
}

bool HasRawHeader(int cameraType)
{
    return cameraType == CAMERA_TYPE_CAMDRVL || cameraType == CAMERA_TYPE_CAMDRVC;
}

bool DecodesToImageRecord(int cameraType)
{
    return cameraType == CAMERA_TYPE_CORE_A || cameraType == CAMERA_TYPE_CORE_B ||
           cameraType == CAMERA_TYPE_MINOR;
}

CString WithoutExtension(const CString& name)
{
    const int dot = name.ReverseFind(L'.');
    const int slash = name.ReverseFind(L'\\');
    return dot > slash ? name.Left(dot) : name;
}

}  // namespace

volatile LONG CCameraManager::s_noRawFilter = 0;

// --- settings, names, release ----------------------------------------------------------

int CCameraManager::SetCapParameter(const CaptureParam* settings)
{
    if (!settings)
        return CAM_ERR_RANGE;
    m_param.capture = *settings;
    return CAM_OK;
}

int CCameraManager::SetCameraCaptureConfig(const CaptureParam* settings)
{
    if (m_param.captureRunning)
        return CAM_ERR_NO_DEVICE;
    return SetCapParameter(settings);
}

int CCameraManager::ReleaseCapture()
{
    // A recording still running would go on into a closed file.
    if (m_bRecording)
        StopRecordingWithConfirm(0);
    CloseVideoFile();
    m_param.captureRunning = 0;
    if (m_videoFilePending) {
        m_videoFilePending = FALSE;
        if (!m_recordHasFrame) {
            // A recording that got no frame is a failure, not an empty video to browse.
            for (int i = 0; i < m_captureFiles.GetSize(); ++i)
                DeleteFileW(m_captureFiles[i]);
            m_captureFiles.RemoveAll();
            return CAM_FAILED;
        }
    }
    return CAM_OK;
}

int CCameraManager::SetMakeVideo(int on)
{
    InterlockedExchange(&s_makeVideo, on ? 1 : 0);
    return CAM_OK;
}

int CCameraManager::GetSaveImageFileName(CString* name, int index)
{
    if (!name || index < 0 || index >= m_captureFiles.GetSize())
        return CAM_ERR_NO_DEVICE;
    *name = m_captureFiles[index];
    return CAM_OK;
}

BOOL CCameraManager::MakeCaptureFileName(CString* name, CaptureParam* settings, int shot)
{
    if (!name || !settings)
        return FALSE;
    if (settings->IsCaptureDlg) {
        CWnd* main = AfxGetMainWnd();
        const BOOL rawFilter = s_noRawFilter == 0;
        CString path;
        if (!AskCaptureFileName(main ? main->GetSafeHwnd() : nullptr,
                                LoadLibraryString(IDS_DEFAULT_PREFIX), s_makeVideo != 0,
                                rawFilter, settings->CaptureType, path))
            return FALSE;
        *name = path;
        return TRUE;
    }
    CaptureNameFields fields;
    fields.folder = settings->Path;
    fields.prefix = settings->FileName;
    fields.captureType = settings->CaptureType;
    fields.isNum = settings->IsNum != 0;
    fields.isTimeStamp = settings->IsTimeStamp != 0;
    fields.isLapse = settings->IsLapse != 0;
    fields.shot = shot;
    GetLocalTime(&fields.localTime);
    if (!BuildCaptureFileName(fields, *name)) {
        AfxMessageBox(LoadLibraryString(IDS_PATH_MISSING));
        return FALSE;
    }
    return TRUE;
}

void CCameraManager::PostCaptureMessage(UINT msg, WPARAM wp, LPARAM lp)
{
    CWnd* receiver = m_param.capture.ReceiveWnd;
    if (HWND wnd = receiver ? receiver->GetSafeHwnd() : nullptr)
        PostMessageW(wnd, msg, wp, lp);
}

// --- QrCCameraCapture --------------------------------------------------------------------

int CCameraManager::Capture(const CaptureParam* request)
{
    if (!request || !m_pDevice || !m_bInitialized)
        return CAM_ERR_NO_DEVICE;
    // A capture or recording in progress keeps its end event and its settings.
    if (m_param.captureRunning || m_bRecording)
        return CAM_ERR_NO_DEVICE;
    // The last worker reports its shot before it gives the device back its exposure
    // mode and filter, and clears the running flag once more at its end: a capture
    // asked meanwhile would save the half-restored state and could be ended by it.
    if (m_hCaptureEnd && AfxWaitForSingleObjectSent(m_hCaptureEnd, kWorkerEndWaitMs) != WAIT_OBJECT_0)
        return CAM_ERR_NO_DEVICE;
    SetCapParameter(request);
    CaptureParam& capture = m_param.capture;
    if (capture.FileName.IsEmpty())
        capture.FileName = L"Orv";
    m_param.captureRunning = 1;

    if (m_cur.exposureTime > LONG_EXPOSURE_US) {
        Sleep(100);
        m_pDevice->RestartLongExposure(0);
    }

    CString name;
    if (!MakeCaptureFileName(&name, &capture, 0)) {
        if (HWND wnd = capture.ReceiveWnd ? capture.ReceiveWnd->GetSafeHwnd() : nullptr)
            SendMessageW(wnd, WM_CAPTURE_DONE, 0, static_cast<LPARAM>(-1));
        m_param.captureRunning = 0;
        return CAM_ERR_NO_DEVICE;
    }

    if (capture.CaptureType == CAPTURE_TYPE_AVI) {
        m_captureFiles.RemoveAll();
        m_captureFiles.Add(name);
        m_singleShotName = name;
        m_splitCount = 0;
        if (StartRecording(name) != CAM_OK) {
            m_param.captureRunning = 0;
            return CAM_ERR_NO_DEVICE;
        }
        m_videoFilePending = TRUE;
        return CAM_OK;
    }

    if (capture.ProcessingEnabled && capture.FluorescenceType == 1)
        TransformGainExposure(1);
    m_singleShotName = name;
    if (m_hCaptureEnd) {
        CloseHandle(m_hCaptureEnd);
        m_hCaptureEnd = nullptr;
    }

    // Averaged fluorescence stills of driver cameras are taken at the capture
    // resolution: the camera is reopened there (QrCCameraSetResDefault goes back).
    if (m_param.mode == 0 && m_param.ResCapture != m_param.ResPreview &&
        capture.ProcessingEnabled && capture.FluorescenceType == 2) {
        m_bReinitForCapture = TRUE;
        CameraMgrParam saved;
        CopyMgrParam(saved, m_param);
        saved.capture = m_param.capture;
        CWnd* drawWnd = m_pDrawWnd;
        HWND initWindow = m_initWindow;
        const int flag = m_initFlag;
        UnInitCamera();
        InitCamera(saved.ResCapture, drawWnd, initWindow, flag);
        CopyMgrParam(m_param, saved);
        m_param.capture = saved.capture;
        m_param.captureRunning = 1;
    }

    m_hCaptureEnd = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    uintptr_t started;
    if (m_param.mode == 1) {
        int filter = 0;
        m_pDevice->GetFilter(&filter);
        m_captureFilter = filter;
        m_pDevice->SetFilter(1);
        started = _beginthread(LibraryCaptureThreadProc, 0, this);
    } else {
        started = _beginthread(DriverCaptureThreadProc, 0, this);
    }
    if (started == static_cast<uintptr_t>(-1)) {
        if (m_param.mode == 1)
            m_pDevice->SetFilter(m_captureFilter);
        m_param.captureRunning = 0;
        SetEvent(m_hCaptureEnd);
        return CAM_ERR_NO_DEVICE;
    }
    return CAM_OK;
}

void CCameraManager::DriverCaptureThreadProc(void* self)
{
    static_cast<CCameraManager*>(self)->DriverCaptureWorker();
    _endthread();
}

void CCameraManager::LibraryCaptureThreadProc(void* self)
{
    static_cast<CCameraManager*>(self)->LibraryCaptureWorker();
    _endthread();
}

// Waits until space milliseconds have passed since from, or the capture was
// cancelled; FALSE when cancelled.
BOOL CCameraManager::WaitSeriesInterval(DWORD from, int space)
{
    while (m_param.captureRunning) {
        if (GetTickCount() - from >= static_cast<DWORD>(space > 0 ? space : 0))
            return TRUE;
        Sleep(1);
    }
    return FALSE;
}

// --- workers -------------------------------------------------------------------------------

void CCameraManager::DriverCaptureWorker()
{
    const CaptureParam& capture = m_param.capture;
    if (m_runState != RUN_LIVE) {
        // Nothing can be taken; the caller still learns that the capture ended.
        m_param.captureRunning = 0;
        PostCaptureMessage(WM_CAPTURE_DONE, 0, 0);
        SetEvent(m_hCaptureEnd);
        return;
    }
    m_captureFiles.RemoveAll();
    int aeOn = m_cur.aeOn;
    m_pDevice->GetAeState(&aeOn);
    BYTE frameSpeed = 0;
    const int product = m_info.productIndex;
    const bool speedProduct = (product == 2 || product == 3) && m_param.ResCapture == 0;
    if (speedProduct) {
        m_pDevice->GetFrameSpeed(&frameSpeed);
        m_pDevice->SetFrameSpeed(2);
    }
    m_pDevice->SetAeState(0);
    StopPreview(1);

    const bool single = capture.IsCaptureDlg || !capture.IsLapse || capture.Count < 2;
    if (single) {
        if (TakeDriverStill(m_singleShotName))
            m_captureFiles.Add(m_singleShotName);
        PostCaptureMessage(WM_CAPTURE_DONE, 0, 0);
        PostCaptureMessage(WM_CAPTURE_PROGRESS, 0, 0);
    } else {
        int written = 0;
        BOOL finalPosted = FALSE;
        // The exposure (microseconds) against the interval (milliseconds): the live
        // picture comes back between shots only when the wait is long enough.
        const int space = capture.Space;
        const INT64 exposureMs = m_cur.exposureTime / 1000;
        const bool liveBetween = (space < 8000 && exposureMs * 5 < space) ||
                                 (space > 8000 && exposureMs * 3 < space);
        for (int i = 0; i < capture.Count; ++i) {
            if (!m_param.captureRunning) {
                finalPosted = TRUE;   // cancelled: the caller stopped waiting
                break;
            }
            CString name = m_singleShotName;
            if (i > 0 && !MakeCaptureFileName(&name, &m_param.capture, i))
                continue;
            if (TakeDriverStill(name)) {
                m_captureFiles.Add(name);
                ++written;
            }
            const bool more = i < capture.Count - 1;
            PostCaptureMessage(WM_CAPTURE_DONE, i, more ? 2 : 0);
            finalPosted = !more;
            if (more)
                Sleep(100);
            PostCaptureMessage(WM_CAPTURE_PROGRESS, i, 0);
            Sleep(100);
            const DWORD shotEnd = GetTickCount();
            if (liveBetween)
                StartPreview();
            WaitSeriesInterval(shotEnd, space);
            if (liveBetween)
                StopPreview(1);
        }
        // A skipped last shot would leave the caller waiting.
        if (!finalPosted)
            PostCaptureMessage(WM_CAPTURE_DONE, written, 0);
    }

    EndGainTransform();
    // Cancelled or not, the record says the live picture runs: make it so.
    StartPreview();
    m_pDevice->SetAeState(aeOn);
    if (speedProduct) {
        Sleep(100);
        m_pDevice->SetFrameSpeed(frameSpeed);
    }
    m_param.captureRunning = 0;
    SetEvent(m_hCaptureEnd);
}

void CCameraManager::LibraryCaptureWorker()
{
    const CaptureParam& capture = m_param.capture;
    const bool thirdKind = m_param.sensorKind == SENSOR_KIND_THIRD;
    int aeOn = m_cur.aeOn;
    if (m_runState == RUN_LIVE) {
        m_captureFiles.RemoveAll();
        m_pDevice->GetAeState(&aeOn);
        if (!thirdKind)
            m_pDevice->SetAeState(0);

        const bool single = capture.IsCaptureDlg || !capture.IsLapse || capture.Count < 2;
        if (single) {
            if (TakeLibraryStill(m_singleShotName))
                m_captureFiles.Add(m_singleShotName);
            m_param.captureRunning = 0;
            PostCaptureMessage(WM_CAPTURE_DONE, 0, 0);
            PostCaptureMessage(WM_CAPTURE_PROGRESS, 0, 0);
        } else {
            int written = 0;
            BOOL finalPosted = FALSE;
            for (int i = 0; i < capture.Count; ++i) {
                if (!m_param.captureRunning) {
                    finalPosted = TRUE;
                    break;
                }
                const DWORD shotStart = GetTickCount();
                CString name = m_singleShotName;
                if (i > 0 && !MakeCaptureFileName(&name, &m_param.capture, i))
                    continue;
                if (TakeLibraryStill(name)) {
                    m_captureFiles.Add(name);
                    ++written;
                }
                const bool more = i < capture.Count - 1;
                if (!more)
                    m_param.captureRunning = 0;
                PostCaptureMessage(WM_CAPTURE_DONE, i, more ? 2 : 0);
                finalPosted = !more;
                if (more)
                    Sleep(100);
                PostCaptureMessage(WM_CAPTURE_PROGRESS, i, 0);
                Sleep(100);
                WaitSeriesInterval(shotStart, capture.Space);
            }
            if (!finalPosted)
                PostCaptureMessage(WM_CAPTURE_DONE, written, 0);
        }
        if (!thirdKind)
            m_pDevice->SetAeState(aeOn);
    } else {
        PostCaptureMessage(WM_CAPTURE_DONE, 0, 0);
    }
    // The filter goes back only now that the shot has been taken.
    m_pDevice->SetFilter(m_captureFilter);
    m_param.captureRunning = 0;
    SetEvent(m_hCaptureEnd);
}

// --- grabbing and averaging ---------------------------------------------------------------

int CCameraManager::GrabFrameTries(BYTE* frame, int tries)
{
    for (int i = 0; i < tries; ++i) {
        const int result = m_pDevice->GrabFrame(frame);
        if (FrameAccepted(result)) {
            m_noticeArmed = 0;
            return result;
        }
    }
    return 0;
}

// Library cameras: grab until a frame comes, giving up after 500 tries once at least
// one exposure time has passed.
int CCameraManager::LibraryGrab(BYTE* frame)
{
    const DWORD start = GetTickCount();
    for (int tries = 1;; ++tries) {
        const int result = m_pDevice->GrabFrame(frame);
        if (FrameAccepted(result)) {
            m_noticeArmed = 0;
            return result;
        }
        int exposureUs = m_cur.exposureTime;
        m_pDevice->GetExposureTime(&exposureUs);
        if (tries >= kMaxStillGrabTries && GetTickCount() - start >= static_cast<DWORD>(exposureUs / 1000))
            return 0;
    }
}

// Averages 7 frames into target: bytes of frame after headerBytes of header (copied
// from the last frame). Passes without a frame are left out of the mean; FALSE when
// no pass got one.
BOOL CCameraManager::AverageFrames(BYTE* target, INT64 bytes, INT64 headerBytes, BOOL samples16)
{
    const INT64 count = samples16 ? (bytes - headerBytes) / 2 : bytes - headerBytes;
    if (count <= 0 || bytes > m_frameBufferSize)
        return FALSE;
    std::vector<UINT32> sum(static_cast<size_t>(count), 0);
    BYTE* frame = m_buffers[BUF_RECEIVE];
    int good = 0;
    for (int pass = 0; pass < kAverageFrames; ++pass) {
        const int result = m_param.mode == 1 ? LibraryGrab(frame) : GrabFrameTries(frame, kMaxStillGrabTries);
        if (!result)
            continue;
        if (HWND parent = DrawParentHandle())
            PostMessageW(parent, WM_CAMERA_FRAME_STATUS, 0, 0);
        const BYTE* data = frame + headerBytes;
        if (samples16) {
            for (INT64 i = 0; i < count; ++i)
                sum[i] += data[2 * i] | (data[2 * i + 1] << 8);
        } else {
            for (INT64 i = 0; i < count; ++i)
                sum[i] += data[i];
        }
        ++good;
    }
    if (good == 0)
        return FALSE;
    if (headerBytes > 0)
        memcpy(target, frame, static_cast<size_t>(headerBytes));
    BYTE* out = target + headerBytes;
    const UINT32 limit = samples16 ? 65535 : 255;
    for (INT64 i = 0; i < count; ++i) {
        UINT32 mean = (sum[i] + good / 2) / good;
        if (mean > limit)
            mean = limit;
        if (samples16) {
            out[2 * i] = static_cast<BYTE>(mean);
            out[2 * i + 1] = static_cast<BYTE>(mean >> 8);
        } else {
            out[i] = static_cast<BYTE>(mean);
        }
    }
    return TRUE;
}

// --- overlay merge -----------------------------------------------------------------------

// Draws the measurement units into a still of 1 or 3 bytes a pixel; the pixels come
// back as 3 bytes a pixel (the buffer must hold them). FALSE leaves them unchanged.
BOOL CCameraManager::MergeOverlays(BYTE* pixels, int width, int height, int bytesPerPixel)
{
    const CaptureParam& capture = m_param.capture;
    if (!pixels || width <= 0 || height <= 0)
        return FALSE;
    // A 24-bit section rather than a bitmap of the screen's depth: the still comes
    // back exactly where nothing was drawn. Rows are a multiple of 4 bytes wide.
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(m_hDrawDC ? m_hDrawDC : screen);
    BITMAPINFOHEADER rows = {};
    rows.biSize = sizeof rows;
    rows.biWidth = width;
    rows.biHeight = height;
    rows.biPlanes = 1;
    rows.biBitCount = 24;
    rows.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = memory ? CreateDIBSection(memory, reinterpret_cast<BITMAPINFO*>(&rows),
                                               DIB_RGB_COLORS, &bits, nullptr, 0)
                            : nullptr;
    if (!bitmap || !bits) {
        if (memory)
            DeleteDC(memory);
        ReleaseDC(nullptr, screen);
        return FALSE;
    }
    HGDIOBJ old = SelectObject(memory, bitmap);

    // The still goes into the section as it stands (grey samples become three).
    BYTE* target = static_cast<BYTE*>(bits);
    const size_t pixelCount = static_cast<size_t>(width) * height;
    if (bytesPerPixel == 3) {
        memcpy(target, pixels, pixelCount * 3);
    } else {
        for (size_t i = 0; i < pixelCount; ++i)
            target[3 * i] = target[3 * i + 1] = target[3 * i + 2] = pixels[i];
    }

    if (capture.Overlay) {
        capture.Overlay->SetScale(1.0f);
        POINT origin = {0, 0};
        capture.Overlay->Draw(CDC::FromHandle(memory), origin);
    }
    if (capture.Measure) {
        CDC* dc = CDC::FromHandle(memory);
        capture.Measure->SetScale(1.0f);
        capture.Measure->DrawAllUnit(dc, CSize(-4, 0));
    }
    GdiFlush();
    SelectObject(memory, old);
    const int got = GetDIBits(memory, bitmap, 0, height, pixels,
                              reinterpret_cast<BITMAPINFO*>(&rows), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return got == height;
}

// --- driver stills ------------------------------------------------------------------------

BOOL CCameraManager::TakeDriverStill(const CString& name)
{
    const CaptureParam& capture = m_param.capture;
    const int type = m_param.cameraType;
    const int format = capture.CaptureType;
    const int product = m_info.productIndex;
    const bool sameRes = m_param.ResCapture == m_param.ResPreview;
    const BOOL wide = m_info.Feature(FEATURE_16BIT_DATA) != 0;
    BYTE* raw = m_buffers[BUF_WORKING];
    BYTE* image = m_buffers[BUF_DECODED];
    if (!raw || !image)
        return FALSE;
    int width = m_frameWidth, height = m_frameHeight;
    m_pDevice->GetImageSize(&width, &height);

    auto switchTo = [&](int index) {
        if (!sameRes)
            m_pDevice->SetResolution(type == CAMERA_TYPE_CAMDRVC && index == 2 ? 3 : index);
    };
    auto decodeSize = [&](int& w, int& h) {
        if ((type == CAMERA_TYPE_CAMDRVA || type == CAMERA_TYPE_CAMDRVC) && m_param.ResCapture == 3) {
            w = type == CAMERA_TYPE_CAMDRVA ? 2560 : 4096;
            h = type == CAMERA_TYPE_CAMDRVA ? 2076 : 3072;
        }
    };
    // 16-bit samples go to the writers as they are unless overlays need 8-bit pixels.
    auto decodeAndWrite = [&](BYTE* frame, int w, int h, bool merge) -> BOOL {
        const BOOL samples16 = wide && !merge;
        if (m_pDevice->Decode(frame, image, w, h, samples16 ? 0 : 1) <= 0)
            return FALSE;
        if (merge)
            MergeOverlays(image, w, h, 3);
        return SaveCaptureImage(format, name, image, w, h, samples16) == WRITER_OK;
    };

    if (m_cropped) {
        if (!GrabFrameTries(raw, kCropGrabTries))
            return FALSE;
        const BOOL samples16 = wide;
        if (m_pDevice->Decode(raw, image, width, height, samples16 ? 0 : 1) <= 0)
            return FALSE;
        const int pixelBytes = samples16 ? 6 : 3;
        const int cw = m_sourceRect.right - m_sourceRect.left;
        const int ch = m_sourceRect.bottom - m_sourceRect.top;
        if (cw <= 0 || ch <= 0)
            return FALSE;
        std::vector<BYTE> cut(static_cast<size_t>(cw) * ch * pixelBytes);
        for (int j = 0; j < ch; ++j) {   // bottom-up rows of the rectangle
            const int memoryRow = height - 1 - (m_sourceRect.top + ch - 1 - j);
            if (memoryRow < 0 || memoryRow >= height)
                continue;
            memcpy(&cut[static_cast<size_t>(j) * cw * pixelBytes],
                   image + (static_cast<size_t>(memoryRow) * width + m_sourceRect.left) * pixelBytes,
                   static_cast<size_t>(cw) * pixelBytes);
        }
        return SaveCaptureImage(format, name, cut.data(), cw, ch, samples16) == WRITER_OK;
    }

    if (capture.ProcessingEnabled && capture.FluorescenceType == 2) {
        switchTo(m_param.ResCapture);
        m_pDevice->GetImageSize(&width, &height);
        const INT64 bytes = static_cast<INT64>(width) * height * (wide ? 2 : 1) +
                            (HasRawHeader(type) ? kRawHeaderBytes : 0);
        BOOL ok = AverageFrames(raw, bytes, HasRawHeader(type) ? kRawHeaderBytes : 0, wide);
        if (ok) {
            if (format == CAPTURE_TYPE_RAW) {
                ok = SaveCaptureImage(format, name, raw + (HasRawHeader(type) ? kRawHeaderBytes : 0),
                                      width, height, wide) == WRITER_OK;
            } else {
                decodeSize(width, height);
                ok = decodeAndWrite(raw, width, height, capture.CombineMeasurement && sameRes);
            }
        }
        switchTo(m_param.ResPreview);
        return ok;
    }

    if (capture.CombineMeasurement && sameRes && format != CAPTURE_TYPE_RAW)
        return m_frameReceived && decodeAndWrite(raw, width, height, true);

    const bool ccd = m_param.sensorKind == SENSOR_KIND_CCD;
    const bool decodingType = type == CAMERA_TYPE_CAMDRVA || type == CAMERA_TYPE_CAMDRVB ||
                              type == CAMERA_TYPE_CAMDRVC;
    if (((!ccd || product == 8) && decodingType) || (ccd && product != 8)) {
        switchTo(m_param.ResCapture);
        m_pDevice->GetImageSize(&width, &height);
        BOOL ok = FALSE;
        if (GrabFrameTries(raw, kMaxStillGrabTries)) {
            if (format == CAPTURE_TYPE_RAW) {
                int rw = width, rh = height;
                if (type == CAMERA_TYPE_CAMDRVG && m_param.ResCapture == 1) {
                    rw = 2572;
                    rh = 852;
                } else if (type == CAMERA_TYPE_CAMDRVG && m_param.ResCapture >= 2) {
                    rw = 2572;
                    rh = 1960;
                }
                ok = SaveCaptureImage(format, name, raw + (HasRawHeader(type) ? kRawHeaderBytes : 0),
                                      rw, rh, wide) == WRITER_OK;
            } else {
                decodeSize(width, height);
                CSingleLock lock(m_pDisplayLock, TRUE);
                ok = decodeAndWrite(raw, width, height, false);
            }
        }
        switchTo(m_param.ResPreview);
        return ok;
    }

    return m_pDevice->CaptureFile(WithoutExtension(name), format, m_param.ResCapture) > 0;
}

// --- library stills -----------------------------------------------------------------------

BOOL CCameraManager::TakeLibraryStill(const CString& name)
{
    const CaptureParam& capture = m_param.capture;
    const int format = capture.CaptureType;
    const CString bare = WithoutExtension(name);
    const bool sameRes = m_param.ResCapture == m_param.ResPreview;
    BYTE* raw = m_buffers[BUF_WORKING];
    BYTE* image = m_buffers[BUF_DECODED];
    if (!raw || !image)
        return FALSE;

    // Decodes the frame into the image record, merges when asked, saves through the device.
    auto decodeAndSave = [&](BYTE* frame, bool merge, bool twice) -> BOOL {
        if (m_pDevice->Decode(frame, image, m_frameWidth, m_frameHeight, 1) <= 0)
            return FALSE;
        if (merge && DecodesToImageRecord(m_param.cameraType)) {
            orvbench::ImageRecord record;
            memcpy(&record, image, sizeof record);
            BYTE* pixels = image + record.headerSize;
            if (MergeOverlays(pixels, record.width, record.height, record.channels))
                record.channels = 3;
            record.data = pixels;
            memcpy(image, &record, sizeof record);
        }
        BYTE* doubled = nullptr;
        if (twice) {   // the extra capture resolution; without memory the image is saved as is
            orvbench::ImageRecord record;
            memcpy(&record, image, sizeof record);
            doubled = static_cast<BYTE*>(malloc(record.headerSize + 4 * size_t(orvbench::ImagePixelBytes(record)) +
                                                orvbench::kHistogramBytes));
            if (doubled && m_pDevice->ResizeImage(image, doubled, 2 * record.width, 2 * record.height) <= 0) {
                free(doubled);
                doubled = nullptr;
            }
        }
        const BOOL saved = m_pDevice->SaveFile(bare, doubled ? doubled : image, format) > 0;
        free(doubled);
        return saved;
    };

    const bool merge = capture.CombineMeasurement && sameRes;
    const bool averaged = capture.ProcessingEnabled && capture.FluorescenceType == 2;
    const int product = m_info.productIndex;
    if (m_cropped)
        return TakeLibraryCroppedStill(name);
    if (!sameRes && (product == 17 || product == 22 || product == 24 || product == 25))
        return TakeBinnedStill(bare);
    if (product == 32)
        return TakeAveragedStill32(bare);
    if (product == 33)
        return TakeStill33(bare);
    if (m_param.sensorKind == SENSOR_KIND_THIRD)
        return TakeThirdKindStill(bare);
    const bool extraRes = m_info.Feature(FEATURE_EXTRA_RESOLUTION) &&
                          m_param.ResCapture == m_info.captureResolutionCount - 1;
    if (extraRes && !averaged)
        return TakeDoubledStill(bare);
    if (averaged || merge || m_param.dye.ApplyDye) {
        StopPreview(1);
        BOOL ok = FALSE;
        if (averaged) {
            int size = 0;
            m_pDevice->GetRecvBufferSize(&size);
            orvbench::RawFrameHeader header = {};
            if (LibraryGrab(raw)) {
                memcpy(&header, raw, sizeof header);
                const INT64 bytes = header.headerSize + static_cast<INT64>(header.dataBytes);
                ok = AverageFrames(raw, bytes, header.headerSize, header.depth == 16) &&
                     decodeAndSave(raw, capture.CombineMeasurement != 0, extraRes);
            }
        } else if (LibraryGrab(raw)) {
            ok = decodeAndSave(raw, merge, false);
        }
        StartPreview();
        return ok;
    }

    // The device writes the file; the live picture runs on meanwhile.
    return DeviceWritesStill(bare, format, m_param.ResCapture, !sameRes);
}

// Waits until the display thread clears the capture wait flag; FALSE when no fitting
// frame came within a few frame times or the capture was cancelled.
BOOL CCameraManager::WaitForCaptureFrame()
{
    const DWORD exposures = 2 * static_cast<DWORD>(std::max(m_cur.exposureTime, 0) / 1000);
    const DWORD start = GetTickCount();
    while (m_captureWait && m_param.captureRunning && m_runState == RUN_LIVE &&
           GetTickCount() - start < kFreshFrameWaitMs + exposures) {
        const DWORD failing = m_grabFailingSince;
        if (failing && GetTickCount() - failing >= kFailingDeviceWaitMs + exposures)
            break;
        Sleep(1);
    }
    return !m_captureWait;
}

// The device writes the file from the last frame it delivered, so the shot waits for
// the live threads to bring a frame grabbed after it was asked for: a device in error
// must not hand out the picture it took before. Asked for another resolution, the
// device reads a frame out there itself and the stream passes through it.
BOOL CCameraManager::DeviceWritesStill(const CString& bare, int format, int index, bool switchPending)
{
    m_captureAfter = m_handOverCount;
    m_resSwitchPending = switchPending ? 1 : 0;
    m_newFrame = 0;
    m_captureWait = 1;
    BOOL ok = FALSE;
    if (switchPending) {
        ok = m_pDevice->CaptureFile(bare, format, index) > 0;
        WaitForCaptureFrame();
    } else if (WaitForCaptureFrame()) {
        ok = m_pDevice->CaptureFile(bare, format, index) > 0;
    }
    m_captureWait = 0;
    m_resSwitchPending = 0;
    return ok;
}

// Binned sensors: the capture resolution reads out fewer or more binned pixels than the
// preview, so the exposure is rescaled for the shot to keep the brightness.
int CCameraManager::BinnedStillExposure(int exposure, BOOL speedSwitch) const
{
    const int product = m_info.productIndex;
    const int cap = m_param.ResCapture, pre = m_param.ResPreview;
    if (product == 25) {
        if (cap >= 3 && pre <= 2)
            return static_cast<int>(exposure / (4.0 * (cap - 2) * (cap - 2)));
        if (pre >= 3 && cap <= 2)
            return static_cast<int>(exposure * 4.0 * (pre - 2) * (pre - 2));
        return exposure;
    }
    const double d = 4.0 * (cap - pre) * (cap - pre);
    if (pre >= cap)
        return static_cast<int>(speedSwitch ? exposure * d * 1.5 : exposure * d);
    return static_cast<int>(speedSwitch ? exposure * 2.0 / (3.0 * d) : exposure / d);
}

BOOL CCameraManager::TakeBinnedStill(const CString& bare)
{
    const int product = m_info.productIndex;
    const int format = m_param.capture.CaptureType;
    BYTE* raw = m_buffers[BUF_WORKING];
    BYTE* image = m_buffers[BUF_DECODED];
    StopPreview(1);
    BYTE speed = 0;
    m_pDevice->GetFrameSpeed(&speed);
    const BOOL speedSwitch = (product == 17 || product == 24) && m_param.ResCapture == 0 && speed == 0;
    if (speedSwitch)
        m_pDevice->SetFrameSpeed(1);
    const int exposure = m_cur.exposureTime;
    m_pDevice->SetExposureTime(BinnedStillExposure(exposure, speedSwitch));
    m_pDevice->SetResolution(m_param.ResCapture);

    // Frames already under way still come at the preview size: wait for the first
    // of the capture resolution.
    BOOL ok = FALSE;
    orvbench::RawFrameHeader header = {};
    for (int tries = 0; tries < kMaxStillGrabTries; ++tries) {
        if (!LibraryGrab(raw))
            break;
        memcpy(&header, raw, sizeof header);
        if (header.resolution == m_param.ResCapture || header.width != m_frameWidth ||
            header.height != m_frameHeight) {
            if (format == CAPTURE_TYPE_RAW)
                ok = m_pDevice->SaveFile(bare, raw, format) > 0;
            else
                ok = m_pDevice->Decode(raw, image, header.width, header.height, 1) > 0 &&
                     m_pDevice->SaveFile(bare, image, format) > 0;
            break;
        }
    }

    m_pDevice->SetExposureTime(exposure);
    m_pDevice->SetResolution(m_param.ResPreview);
    if (speedSwitch)
        m_pDevice->SetFrameSpeed(speed);
    StartPreview();
    return ok;
}

// A still of the cropped area only. Rectangle rows count from the top of the picture;
// both the raw samples (top row first) and the decoded pixels (bottom-up) are cut.
BOOL CCameraManager::TakeLibraryCroppedStill(const CString& name)
{
    const int format = m_param.capture.CaptureType;
    BYTE* raw = m_buffers[BUF_WORKING];
    BYTE* image = m_buffers[BUF_DECODED];
    StopPreview(1);
    BOOL ok = FALSE;
    if (LibraryGrab(raw)) {
        const RECT r = m_sourceRect;
        const int cw = r.right - r.left, ch = r.bottom - r.top;
        if (format == CAPTURE_TYPE_RAW) {
            orvbench::RawFrameHeader header;
            memcpy(&header, raw, sizeof header);
            const int sample = header.depth == 16 ? 2 : 1;
            if (cw > 0 && ch > 0 && r.left >= 0 && r.top >= 0 && r.right <= header.width &&
                r.bottom <= header.height) {
                std::vector<BYTE> cut(static_cast<size_t>(cw) * ch * sample);
                const BYTE* samples = raw + header.headerSize;
                for (int y = 0; y < ch; ++y)
                    memcpy(&cut[static_cast<size_t>(y) * cw * sample],
                           samples + (static_cast<size_t>(r.top + y) * header.width + r.left) * sample,
                           static_cast<size_t>(cw) * sample);
                ok = SaveCaptureImage(format, name, cut.data(), cw, ch, sample == 2) == WRITER_OK;
            }
        } else if (m_pDevice->Decode(raw, image, m_frameWidth, m_frameHeight, 1) > 0) {
            orvbench::ImageRecord record;
            memcpy(&record, image, sizeof record);
            const size_t pixel = static_cast<size_t>(record.channels) * (record.bits / 8);
            if (cw > 0 && ch > 0 && r.left >= 0 && r.top >= 0 && r.right <= record.width &&
                r.bottom <= record.height && pixel > 0) {
                std::vector<BYTE> cut(record.headerSize + static_cast<size_t>(cw) * ch * pixel);
                const BYTE* pixels = image + record.headerSize;
                for (int j = 0; j < ch; ++j) {   // bottom-up rows of the rectangle
                    const int row = record.height - 1 - (r.top + ch - 1 - j);
                    memcpy(&cut[record.headerSize + static_cast<size_t>(j) * cw * pixel],
                           pixels + (static_cast<size_t>(row) * record.width + r.left) * pixel,
                           static_cast<size_t>(cw) * pixel);
                }
                record.width = static_cast<uint16_t>(cw);
                record.height = static_cast<uint16_t>(ch);
                record.data = cut.data() + record.headerSize;
                memcpy(cut.data(), &record, sizeof record);
                ok = m_pDevice->SaveFile(WithoutExtension(name), cut.data(), format) > 0;
            }
        }
    }
    StartPreview();
    return ok;
}

// The extra capture resolution is the smallest readout enlarged to twice its width and
// height by the library. Without memory for the enlargement the small image is saved.
BOOL CCameraManager::TakeDoubledStill(const CString& bare)
{
    const int format = m_param.capture.CaptureType;
    BYTE* raw = m_buffers[BUF_WORKING];
    BYTE* image = m_buffers[BUF_DECODED];
    StopPreview(1);
    const bool switched = m_param.ResPreview != 0;
    if (switched)
        m_pDevice->SetResolution(0);
    BOOL ok = FALSE;
    orvbench::RawFrameHeader header = {};
    for (int tries = 0; tries < kMaxStillGrabTries; ++tries) {
        if (!LibraryGrab(raw))
            break;
        memcpy(&header, raw, sizeof header);
        if (header.resolution != 0)
            continue;   // still at the preview resolution
        if (m_pDevice->Decode(raw, image, header.width, header.height, 1) <= 0)
            break;
        orvbench::ImageRecord record;
        memcpy(&record, image, sizeof record);
        const size_t bytes = record.headerSize + 4 * static_cast<size_t>(orvbench::ImagePixelBytes(record)) +
                             orvbench::kHistogramBytes;
        BYTE* doubled = static_cast<BYTE*>(malloc(bytes));
        if (doubled && m_pDevice->ResizeImage(image, doubled, 2 * record.width, 2 * record.height) > 0)
            ok = m_pDevice->SaveFile(bare, doubled, format) > 0;
        else
            ok = m_pDevice->SaveFile(bare, image, format) > 0;
        free(doubled);
        break;
    }
    if (switched)
        m_pDevice->SetResolution(m_param.ResPreview);
    StartPreview();
    return ok;
}

// Product 32 averages seven frames for every still. Its capture index 4 is the readout
// of index 1 halved by the library; without memory for that the full image is saved.
BOOL CCameraManager::TakeAveragedStill32(const CString& bare)
{
    const CaptureParam& capture = m_param.capture;
    const int format = capture.CaptureType;
    BYTE* raw = m_buffers[BUF_WORKING];
    BYTE* image = m_buffers[BUF_DECODED];
    StopPreview(1);
    const int deviceIndex = m_param.ResCapture == 4 ? 1 : m_param.ResCapture;
    m_resSwitchPending = 0;
    if (m_param.ResCapture != m_param.ResPreview && !(m_param.ResCapture == 4 && m_param.ResPreview == 1)) {
        m_resSwitchPending = 1;
        m_pDevice->SetResolution(deviceIndex);
    }
    BOOL ok = FALSE;
    orvbench::RawFrameHeader header = {};
    BOOL framed = FALSE;
    for (int tries = 0; tries < kMaxStillGrabTries && !framed; ++tries) {
        if (!LibraryGrab(raw))
            break;
        memcpy(&header, raw, sizeof header);
        // Frames still at the preview resolution are left out while the switch is pending.
        framed = !m_resSwitchPending || header.resolution == deviceIndex;
    }
    if (framed) {
        const INT64 bytes = header.headerSize + static_cast<INT64>(header.dataBytes);
        if (AverageFrames(raw, bytes, header.headerSize, header.depth == 16) &&
            m_pDevice->Decode(raw, image, header.width, header.height, 1) > 0) {
            orvbench::ImageRecord record;
            memcpy(&record, image, sizeof record);
            if (capture.CombineMeasurement && DecodesToImageRecord(m_param.cameraType)) {
                BYTE* pixels = image + record.headerSize;
                if (MergeOverlays(pixels, record.width, record.height, record.channels))
                    record.channels = 3;
                record.data = pixels;
                memcpy(image, &record, sizeof record);
            }
            BYTE* half = nullptr;
            if (m_param.ResCapture == 4) {
                half = static_cast<BYTE*>(malloc(record.headerSize + orvbench::ImagePixelBytes(record) / 4 +
                                                 orvbench::kHistogramBytes + 64));
                if (half && m_pDevice->ResizeImage(image, half, record.width / 2, record.height / 2) <= 0) {
                    free(half);
                    half = nullptr;
                }
            }
            ok = m_pDevice->SaveFile(bare, half ? half : image, format) > 0;
            free(half);
        }
    }
    if (m_resSwitchPending) {
        m_pDevice->SetResolution(m_param.ResPreview);
        m_resSwitchPending = 0;
    }
    StartPreview();
    return ok;
}

// Product 33 previews at device indexes 3 and up; its stills come from index 1 (capture
// index 0, one frame) or index 0 (capture index 1, seven frames averaged).
BOOL CCameraManager::TakeStill33(const CString& bare)
{
    const CaptureParam& capture = m_param.capture;
    const int format = capture.CaptureType;
    BYTE* raw = m_buffers[BUF_READY];
    BYTE* image = m_buffers[BUF_WORKING];
    StopPreview(1);
    m_resSwitchPending = 1;
    if (m_param.ResCapture == 0)
        m_pDevice->SetResolution(1);
    else if (m_param.ResCapture == 1)
        m_pDevice->SetResolution(0);
    BOOL ok = FALSE;
    orvbench::RawFrameHeader header = {};
    if (m_param.ResCapture != 0) {
        // One frame first for the still's size, skipping those still at the preview.
        BOOL framed = FALSE;
        for (int tries = 0; tries < kMaxStillGrabTries && !framed; ++tries) {
            if (!LibraryGrab(raw))
                break;
            memcpy(&header, raw, sizeof header);
            framed = header.resolution != 3;
        }
        m_param.ResPreview = 3;
        ok = framed && AverageFrames(raw, header.headerSize + static_cast<INT64>(header.dataBytes),
                                     header.headerSize, header.depth == 16);
        m_param.ResPreview = 0;
    } else {
        int others = 0;
        for (int tries = 0; tries < kMaxStillGrabTries && others < 2; ++tries) {
            const int result = m_pDevice->GrabFrame(raw);
            if (!FrameAccepted(result))
                continue;
            memcpy(&header, raw, sizeof header);
            if (header.resolution == 3) {
                Sleep(1);
                continue;
            }
            m_noticeArmed = 0;
            ++others;
        }
        ok = others == 2;
    }
    if (ok) {
        ok = FALSE;
        if (m_pDevice->Decode(raw, image, header.width, header.height, 1) > 0) {
            if (capture.CombineMeasurement && DecodesToImageRecord(m_param.cameraType)) {
                orvbench::ImageRecord record;
                memcpy(&record, image, sizeof record);
                BYTE* pixels = image + record.headerSize;
                if (MergeOverlays(pixels, record.width, record.height, record.channels))
                    record.channels = 3;
                record.data = pixels;
                memcpy(image, &record, sizeof record);
            }
            ok = m_pDevice->SaveFile(bare, image, format) > 0;
        }
    }
    m_pDevice->SetResolution(3);
    m_resSwitchPending = 0;
    StartPreview();
    return ok;
}

// Sensor kind 3: some products read their larger capture indexes out at a size the
// library enlarges to 3264 x 1836; the others let the device write the file.
BOOL CCameraManager::TakeThirdKindStill(const CString& bare)
{
    const CaptureParam& capture = m_param.capture;
    const int format = capture.CaptureType;
    const int product = m_info.productIndex;
    const int index = m_param.ResCapture;
    const bool merge = capture.CombineMeasurement != 0;
    const bool dye = m_param.dye.ApplyDye != 0;
    const bool enlargeAtOne = index == 1 && (product == 28 || product == 34 || product == 35);
    const bool enlarge = enlargeAtOne || (product == 28 && index > 0) ||
                         ((merge || dye) && product == 27 && index == 2);
    if (!merge && !dye && !enlarge) {
        const bool fixedIndex = product == 28 || product == 29 || product == 34 || product == 35;
        return DeviceWritesStill(bare, format, fixedIndex ? 1 : index,
                                 fixedIndex || index != m_param.ResPreview);
    }

    BYTE* raw = m_buffers[BUF_WORKING];
    BYTE* image = m_buffers[BUF_DECODED];
    StopPreview(1);
    BOOL ok = FALSE;
    if (LibraryGrab(raw)) {
        orvbench::RawFrameHeader header;
        memcpy(&header, raw, sizeof header);
        if (!merge && !dye && format == CAPTURE_TYPE_RAW) {
            ok = m_pDevice->SaveFile(bare, raw, format) > 0;
        } else if (m_pDevice->Decode(raw, image, header.width, header.height, 1) > 0) {
            orvbench::ImageRecord record;
            memcpy(&record, image, sizeof record);
            if (merge && DecodesToImageRecord(m_param.cameraType)) {
                BYTE* pixels = image + record.headerSize;
                if (MergeOverlays(pixels, record.width, record.height, record.channels))
                    record.channels = 3;
                record.data = pixels;
                memcpy(image, &record, sizeof record);
            }
            BYTE* large = nullptr;
            if (enlarge) {
                const size_t bytes = record.headerSize + size_t(3264) * 1836 * record.channels * (record.bits / 8) +
                                     orvbench::kHistogramBytes;
                large = static_cast<BYTE*>(malloc(bytes));
                if (large && m_pDevice->ResizeImage(image, large, 3264, 1836) <= 0) {
                    free(large);
                    large = nullptr;
                }
            }
            ok = m_pDevice->SaveFile(bare, large ? large : image, format) > 0;
            free(large);
        }
    }
    StartPreview();
    return ok;
}
