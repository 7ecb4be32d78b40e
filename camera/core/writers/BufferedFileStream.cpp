#include "BufferedFileStream.h"

#include <stdlib.h>
#include <string.h>

namespace {
const size_t kGatherBytes = 1 << 20;
}

BufferedFileStream::BufferedFileStream(HANDLE file)
    : m_file(file), m_buffer(static_cast<BYTE*>(malloc(kGatherBytes)))
{
    // Without the buffer every write goes straight to the file.
    m_capacity = m_buffer ? kGatherBytes : 0;
}

BufferedFileStream::~BufferedFileStream()
{
    free(m_buffer);
}

orv_codec::CodecStream BufferedFileStream::Table()
{
    return {this, Read, Write, Seek, Size};
}

bool BufferedFileStream::WriteAt(long long position, const void* data, size_t size)
{
    LARGE_INTEGER move;
    move.QuadPart = position;
    if (!SetFilePointerEx(m_file, move, nullptr, FILE_BEGIN))
        return false;
    const BYTE* p = static_cast<const BYTE*>(data);
    while (size > 0) {
        DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(m_file, p, chunk, &written, nullptr) || written == 0)
            return false;
        p += written;
        size -= written;
    }
    return true;
}

bool BufferedFileStream::Flush()
{
    if (m_bufferLength > 0) {
        if (!WriteAt(m_bufferStart, m_buffer, m_bufferLength))
            m_failed = true;
        m_bufferLength = 0;
    }
    return !m_failed;
}

long BufferedFileStream::Read(void* ctx, void* data, long size)
{
    BufferedFileStream* s = static_cast<BufferedFileStream*>(ctx);
    if (size < 0 || !s->Flush())
        return -1;
    LARGE_INTEGER move;
    move.QuadPart = s->m_position;
    DWORD got = 0;
    if (!SetFilePointerEx(s->m_file, move, nullptr, FILE_BEGIN) ||
        !ReadFile(s->m_file, data, static_cast<DWORD>(size), &got, nullptr))
        return -1;
    s->m_position += got;
    return static_cast<long>(got);
}

long BufferedFileStream::Write(void* ctx, const void* data, long size)
{
    BufferedFileStream* s = static_cast<BufferedFileStream*>(ctx);
    if (size < 0)
        return -1;
    const size_t n = static_cast<size_t>(size);
    const bool continues = s->m_bufferLength > 0 &&
                           s->m_position == s->m_bufferStart + static_cast<long long>(s->m_bufferLength);
    if (!continues || s->m_bufferLength + n > s->m_capacity) {
        if (!s->Flush())
            return -1;
        if (n >= s->m_capacity) {
            if (!s->WriteAt(s->m_position, data, n)) {
                s->m_failed = true;
                return -1;
            }
            s->m_position += size;
            return size;
        }
        s->m_bufferStart = s->m_position;
    }
    memcpy(s->m_buffer + s->m_bufferLength, data, n);
    s->m_bufferLength += n;
    s->m_position += size;
    return size;
}

long long BufferedFileStream::Seek(void* ctx, long long offset, int whence)
{
    BufferedFileStream* s = static_cast<BufferedFileStream*>(ctx);
    long long base;
    switch (whence) {
    case 0: base = 0; break;
    case 1: base = s->m_position; break;
    case 2: base = Size(ctx); break;
    default: return -1;
    }
    if (base + offset < 0)
        return -1;
    s->m_position = base + offset;
    return s->m_position;
}

long long BufferedFileStream::Size(void* ctx)
{
    BufferedFileStream* s = static_cast<BufferedFileStream*>(ctx);
    LARGE_INTEGER size;
    if (!GetFileSizeEx(s->m_file, &size))
        size.QuadPart = 0;
    const long long gathered = s->m_bufferStart + static_cast<long long>(s->m_bufferLength);
    return s->m_bufferLength > 0 && gathered > size.QuadPart ? gathered : size.QuadPart;
}
