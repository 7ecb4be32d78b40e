// Video recording: the display thread hands each drawn frame to RecordDisplayedFrame,
// which writes every frame or one per time-lapse interval into AVI parts, stops at
// the time or frame limit and reports progress; an end worker confirms the stop.
#include "camera/core/CameraManager.h"
#include "camera/core/AviWriter.h"

#include "afxwin.h"

#include <mmsystem.h>
#include <string.h>
#include <vector>

namespace {

// The AVI limit of one file part.
const INT64 kAviPartBytes = 2147483648LL;
INT64 s_partBytes = kAviPartBytes;

// Compressors a recording may name; any other code records uncompressed.
const DWORD kVideoCompressors[] = {
    mmioFOURCC('M', 'P', '4', '2'), mmioFOURCC('W', 'M', 'V', '3'),
    mmioFOURCC('M', 'P', 'G', '4'), mmioFOURCC('X', 'V', 'I', 'D'),
    mmioFOURCC('H', 'F', 'Y', 'U'), mmioFOURCC('A', 'C', 'D', 'V'),
};

DWORD ChooseCompressor(int code)
{
    for (DWORD fcc : kVideoCompressors)
        if (fcc == static_cast<DWORD>(code))
            return fcc;
    return CAviWriter::kUncompressed;
}

struct RecordEndJob {
    CAviWriter* writer;
    HWND receiver;
    int confirm;
};

HWND ReceiveHandle(const CaptureParam& capture)
{
    return capture.ReceiveWnd ? capture.ReceiveWnd->GetSafeHwnd() : nullptr;
}

}  // namespace

void CCameraManager::SetVideoSplitBytes(INT64 bytes)
{
    s_partBytes = bytes > 0 ? bytes : kAviPartBytes;
}

int CCameraManager::StartRecording(const CString& path)
{
    if (m_bRecording)
        return CAM_ERR_NO_DEVICE;
    if (!m_pAviWriter)
        m_pAviWriter = new CAviWriter;
    const CaptureParam& capture = m_param.capture;
    if (m_splitCount == 0) {
        m_frameWritten = FALSE;
        m_firstFrame = TRUE;
        m_recordStartTick = m_lastWriteTick = GetTickCount();
        m_recordTimeLimit = static_cast<DWORD>(capture.AviFrame) * 1000;
        const double fps = capture.IsMode == 1 ? capture.FPS : m_displayRate;
        const INT64 rate = static_cast<INT64>(fps * 1000000.0);
        m_recordRateKept = rate > 0 && rate <= 0x7fffffff ? static_cast<int>(rate) : 1;
        m_framesWritten = 0;
        m_recordHasFrame = FALSE;
    }
    m_pAviWriter->SetRate(static_cast<DWORD>(m_recordRateKept));
    m_pAviWriter->SetCompressor(ChooseCompressor(capture.Compress));
    int width = m_frameWidth, height = m_frameHeight;
    if (m_cropped) {
        width = m_sourceRect.right - m_sourceRect.left;
        height = m_sourceRect.bottom - m_sourceRect.top;
    }
    const BOOL opened = m_pAviWriter->Open(path, width, height);
    m_framesInFile = 0;
    m_bytesInFile = 0;
    m_lastPosition = -1;
    m_fileTimeSet = FALSE;
    const INT64 frameBytes = static_cast<INT64>(width) * height * 3;
    m_framesPerFile = frameBytes > 0 ? s_partBytes / frameBytes : 0;
    // A recording whose file did not open must not look like one that runs.
    m_bRecording = opened;
    return opened ? CAM_OK : CAM_ERR_NO_DEVICE;
}

void CCameraManager::RecordEndThreadProc(void* param)
{
    RecordEndJob* job = static_cast<RecordEndJob*>(param);
    // A write in progress finishes first; the confirmation is sent outside the lock
    // because its answer (QrCCameraReleaseCapture) closes the file under that lock.
    job->writer->Lock().Lock();
    job->writer->Lock().Unlock();
    if (job->receiver && job->confirm)
        SendMessageW(job->receiver, WM_CAPTURE_DONE, 0, 1);
    SetEvent(job->writer->EndEvent());
    delete job;
    _endthread();
}

void CCameraManager::StopRecordingWithConfirm(int confirm)
{
    CSingleLock lock(&m_recordLock, TRUE);
    if (!m_bRecording)
        return;
    m_bRecording = FALSE;
    m_framesWritten = 0;
    if (!m_pAviWriter)   // no file was ever opened: nothing to confirm
        return;
    ResetEvent(m_pAviWriter->EndEvent());
    RecordEndJob* job = new RecordEndJob{m_pAviWriter, ReceiveHandle(m_param.capture), confirm};
    if (_beginthread(RecordEndThreadProc, 0, job) == static_cast<uintptr_t>(-1)) {
        SetEvent(m_pAviWriter->EndEvent());
        delete job;
    }
    m_framesWritten = 0;
}

int CCameraManager::StopRecording()
{
    StopRecordingWithConfirm(1);
    return CAM_OK;
}

void CCameraManager::StopRecordingAndWait()
{
    const BOOL wasRecording = m_bRecording;
    StopRecordingWithConfirm(0);
    if (wasRecording && m_pAviWriter)
        AfxWaitForSingleObjectSent(m_pAviWriter->EndEvent(), INFINITE);
    m_bRecording = FALSE;
}

void CCameraManager::CloseVideoFile()
{
    if (m_pAviWriter)
        m_pAviWriter->Close();
}

void CCameraManager::SplitRecording()
{
    ++m_splitCount;
    CString first = m_captureFiles.GetSize() > 0 ? m_captureFiles[0] : m_singleShotName;
    CString base = first.GetLength() > 4 ? first.Left(first.GetLength() - 4) : first;
    CString next;
    next.Format(L"%s_%d.avi", static_cast<LPCWSTR>(base), m_splitCount);
    m_bRecording = FALSE;
    m_pAviWriter->Close();
    if (StartRecording(next) != CAM_OK) {
        // The next part could not be made: end the recording as if its limit was reached.
        m_bRecording = TRUE;
        StopRecordingWithConfirm(1);
    }
}

// Writes one frame at its place and counts it into the file. A real-time frame more
// than one place ahead of its time (frames coming faster than the rate) or past a time
// limit's last place is left out, so the file plays as fast as it was recorded; the
// closing frame fills the last place of a time limit when no frame reached it.
BOOL CCameraManager::WriteRecordedFrame(const BYTE* pixels, DWORD now, BOOL closing)
{
    const CaptureParam& capture = m_param.capture;
    const int width = m_pAviWriter->Width(), height = m_pAviWriter->Height();
    const BYTE* frame = pixels;
    std::vector<BYTE> cut;
    INT64 position = m_lastPosition + 1;
    if (m_cropped) {
        if (closing)
            return FALSE;
        // Rows of the source rectangle, counted from the top, into bottom-up order.
        cut.resize(static_cast<size_t>(width) * height * 3);
        const size_t stride = static_cast<size_t>(m_frameWidth) * 3;
        for (int j = 0; j < height; ++j) {
            const int top = m_sourceRect.top + height - 1 - j;
            const int memoryRow = m_frameHeight - 1 - top;
            if (memoryRow < 0 || memoryRow >= m_frameHeight)
                continue;
            memcpy(&cut[static_cast<size_t>(j) * width * 3],
                   pixels + memoryRow * stride + static_cast<size_t>(m_sourceRect.left) * 3,
                   static_cast<size_t>(width) * 3);
        }
        frame = cut.data();
    } else if (capture.IsMode == 0) {
        // Real-time recordings place a frame by its time; a time-lapse one packs its
        // frames one after the other so that it plays faster than it was taken.
        const double fps = m_pAviWriter->Rate() / 1000000.0;
        const LONG sinceFirst = static_cast<LONG>(timeGetTime() - m_fileFirstFrameTime);
        const INT64 byTime = static_cast<INT64>((sinceFirst > 0 ? sinceFirst : 0) * fps / 1000.0);
        INT64 lastPlace = -1;
        if (capture.IsTimeRecord && !capture.IsManual) {
            const double fileMs = double(m_recordTimeLimit) - double(m_fileStartElapsed);
            const INT64 places = static_cast<INT64>(fileMs * fps / 1000.0 + 0.5);
            lastPlace = (places > 1 ? places : 1) - 1;
        }
        if (closing) {
            if (lastPlace <= m_lastPosition)
                return FALSE;
            position = lastPlace;
        } else {
            if (byTime > position)
                position = byTime;
            if (position > byTime + 1 || (lastPlace >= 0 && position > lastPlace))
                return FALSE;
        }
    } else if (closing) {
        return FALSE;
    }
    LONG bytes = 0;
    if (!m_pAviWriter->Write(frame, static_cast<LONG>(position), &bytes))
        return FALSE;
    if (!m_recordHasFrame) {
        m_recordHasFrame = TRUE;
        m_recordStartTick = now;
    }
    m_lastPosition = position;
    m_lastWriteTick = now;
    m_frameWritten = TRUE;
    m_firstFrame = FALSE;
    ++m_framesInFile;
    m_bytesInFile += bytes > 0 ? bytes : static_cast<INT64>(width) * height * 3;
    BOOL full;
    if (m_pAviWriter->IsCompressed()) {
        // Compressed frames vary (and the stream does not tell their size): stop
        // before a frame of the average size would take the file past the limit.
        const INT64 onDisk = m_pAviWriter->FileBytes();
        if (onDisk > m_bytesInFile)
            m_bytesInFile = onDisk;
        const INT64 average = m_bytesInFile / m_framesInFile;
        full = m_bytesInFile + average > s_partBytes;
    } else {
        full = m_framesInFile >= m_framesPerFile;
    }
    if (full && !closing)
        SplitRecording();
    return TRUE;
}

void CCameraManager::RecordDisplayedFrame(const BYTE* pixels)
{
    if (!m_bRecording || !pixels || !m_pAviWriter)
        return;
    const CaptureParam& capture = m_param.capture;
    const DWORD now = GetTickCount();
    if (!m_fileTimeSet) {
        m_fileFirstFrameTime = timeGetTime();
        m_fileTimeSet = TRUE;
        m_fileStartElapsed = m_recordHasFrame ? now - m_recordStartTick : 0;
    }

    const BOOL timeMode = capture.IsTimeRecord || capture.IsManual;
    if (timeMode) {
        m_recordElapsed = m_recordHasFrame ? now - m_recordStartTick : 0;
        if (capture.IsTimeRecord && !capture.IsManual && m_recordHasFrame &&
            m_recordElapsed >= m_recordTimeLimit) {
            WriteRecordedFrame(pixels, now, TRUE);
            StopRecordingWithConfirm(1);
            return;
        }
    }

    const BOOL write = capture.IsMode == 0 || m_firstFrame ||
                       now - m_lastWriteTick >= static_cast<DWORD>(capture.Interval > 0 ? capture.Interval : 0);
    if (write)
        WriteRecordedFrame(pixels, now, FALSE);

    HWND receiver = ReceiveHandle(capture);
    if (timeMode) {
        if (receiver)
            PostMessageW(receiver, WM_CAPTURE_PROGRESS, m_recordElapsed / 1000, 0);
    } else if (m_frameWritten) {
        if (receiver)
            PostMessageW(receiver, WM_CAPTURE_PROGRESS, static_cast<WPARAM>(m_framesWritten), 0);
        ++m_framesWritten;
        if (m_framesWritten >= capture.AviFrame)
            StopRecordingWithConfirm(1);
    }
    m_frameWritten = FALSE;
}
