// CAviWriter: one AVI file of 24-bit frames written through AVIFile, uncompressed
// ("DIB ") or through an installable compressor named by its four-character code.
// Frame writes, the recording's end confirmation and the close share the writer
// lock, so a frame being written always finishes before the file goes away.
#pragma once

#include "afxwin.h"

#include <vfw.h>

class CAviWriter {
public:
    CAviWriter();
    ~CAviWriter();
    CAviWriter(const CAviWriter&) = delete;
    CAviWriter& operator=(const CAviWriter&) = delete;

    // Frames per second times 1,000,000 (the stream's scale is 1,000,000).
    void SetRate(DWORD rateValue) { m_rate = rateValue ? rateValue : 1; }
    DWORD Rate() const { return m_rate; }
    void SetCompressor(DWORD fourCC) { m_compressor = fourCC; }
    DWORD Compressor() const { return m_compressor; }
    BOOL IsCompressed() const { return m_compressor != kUncompressed; }

    // 1 when the file is open for width x height frames; 0 on any failure.
    int Open(LPCWSTR path, int width, int height);
    // One key frame of width x height x 3 bytes (bottom-up BGR) at position; bytes
    // receives what the stream stored. 1 on success.
    int Write(const BYTE* pixels, LONG position, LONG* bytes);
    int Close();
    // Bytes the file holds on disk now.
    INT64 FileBytes() const;

    BOOL IsOpen() const { return m_open; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    CCriticalSection& Lock() { return m_lock; }
    HANDLE EndEvent() const { return m_hEnd; }

    static const DWORD kUncompressed = mmioFOURCC('D', 'I', 'B', ' ');

private:
    void ReleaseStreams();

    volatile BOOL m_open;
    CString m_path;
    int m_width, m_height;
    DWORD m_rate;
    DWORD m_compressor;
    PAVIFILE m_file;
    PAVISTREAM m_stream;
    PAVISTREAM m_compressed;
    CCriticalSection m_lock;
    HANDLE m_hEnd;               // set by the recording's end worker
};
