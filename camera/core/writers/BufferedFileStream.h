// A Win32 file seen through the codec side's stream table, with writes gathered into
// large blocks: libtiff writes a strip (a row or two) at a time, and every WriteFile
// under the Win32 layer costs far more than a plain write.
#pragma once

#include <windows.h>

#include "WriterCodecs.h"

class BufferedFileStream {
public:
    explicit BufferedFileStream(HANDLE file);  // the caller keeps and closes the handle
    ~BufferedFileStream();
    BufferedFileStream(const BufferedFileStream&) = delete;
    BufferedFileStream& operator=(const BufferedFileStream&) = delete;

    orv_codec::CodecStream Table();
    // Writes what is still gathered; false when that or any earlier write failed.
    bool Flush();

private:
    static long Read(void* ctx, void* data, long size);
    static long Write(void* ctx, const void* data, long size);
    static long long Seek(void* ctx, long long offset, int whence);
    static long long Size(void* ctx);
    bool WriteAt(long long position, const void* data, size_t size);

    HANDLE m_file;
    long long m_position = 0;  // where the codec believes it is
    BYTE* m_buffer;
    size_t m_capacity;
    long long m_bufferStart = 0;
    size_t m_bufferLength = 0;
    bool m_failed = false;
};
