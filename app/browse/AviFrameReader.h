// One frame of an AVI video through the AVIFile library, decompressed in memory by the
// stream's installed decompressor into a 24-bit picture (rows padded to 4 bytes, bottom
// row first).  Nothing is written beside the video.  COM is initialised for the life of
// the reader on the thread that constructs it; use the reader on that thread only.
// The file's structure is checked before the library sees it (AviStructure.h), and the
// file is kept from writers while the reader has it open, so what was checked is read.
#pragma once
#include "afxwin.h"
#include <vfw.h>
#include <string>
#include <vector>

#include "app/browse/AviStructure.h"

class CAviFrameReader
{
public:
    CAviFrameReader();
    ~CAviFrameReader();
    CAviFrameReader(const CAviFrameReader&) = delete;
    CAviFrameReader& operator=(const CAviFrameReader&) = delete;

    // 1 when the file opened and holds a video stream of a sensible size, else 0.
    int Open(LPCWSTR path);
    // Why the last Open refused the file's structure (empty when it did not).
    const std::string& GetProblem() const { return m_facts.problem; }
    // Decompresses frame index (counted from the stream's start); 1 on success.  The
    // frame buffer holds a picture only after a successful read.
    int ReadFrame(int index);
    // The last frame read as the bytes of a BMP file; FALSE before a successful read.
    BOOL GetFrameBmp(std::vector<BYTE>& out) const;
    // Writes GetFrameBmp to target; 1 when all of it was written.
    int WriteFrameBmp(LPCWSTR target) const;
    int Close();

    WORD GetWidth() const { return m_width; }
    WORD GetHeight() const { return m_height; }
    // Frames in the video stream (0 before Open).
    LONG GetFrameCount() const;
    const BITMAPINFOHEADER& GetHeader() const { return m_header; }
    const std::vector<BYTE>& GetFrameBits() const { return m_frame; }
    BOOL HasFrame() const { return m_hasFrame; }

    // Largest frame accepted, in pixels.
    static const ULONGLONG kMaxPixels = avi_check::kMaxFramePixels;

private:
    BOOL CheckStructure(LPCWSTR path);

    CString m_path;
    HANDLE m_hold;   // the file, shared for reading only
    avi_check::AviFacts m_facts;
    WORD m_width;
    WORD m_height;
    PAVIFILE m_file;
    PAVISTREAM m_video;
    PGETFRAME m_getFrame;
    BITMAPINFOHEADER m_header;
    AVIFILEINFOW m_info;
    std::vector<BYTE> m_frame;
    BOOL m_hasFrame;
    BOOL m_comStarted;
};
