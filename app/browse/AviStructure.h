// The RIFF structure of an AVI file, checked before the file goes anywhere near the
// system's AVI reader. That reader trusts the file: a chunk or index entry naming a
// stream the header does not declare, a stream list missing from the header list, a
// format shorter than its header or a stream longer than its chunks ends the whole
// process inside the library (an assertion or a stray pointer). A file refused here
// is simply not a video to us.
//
// No Win32 header: the check also runs natively under the sanitizers in the fuzzing.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>

namespace avi_check {

// Reads n bytes at offset into buf; false unless all of them were read.
typedef bool (*ReadAt)(void* source, uint64_t offset, void* buf, size_t n);

// What the check learnt of a file it accepted.
struct AviFacts {
    uint32_t streams = 0;
    int videoStream = -1;       // the first video stream
    uint32_t width = 0;         // its frame size, from its format
    uint32_t height = 0;
    bool uncompressed = false;  // BI_RGB frames
    uint32_t frames = 0;        // frames of that stream the system's reader will index
    std::string problem;        // why a file was refused
};

// Largest frame accepted, in pixels.
const uint64_t kMaxFramePixels = 64ull * 1024 * 1024;

// True when every part of the file the system's reader relies on is sound; otherwise
// false with facts.problem saying what is wrong.
bool CheckAvi(ReadAt read, void* source, uint64_t size, AviFacts& facts);
bool CheckAviBytes(const uint8_t* data, size_t size, AviFacts& facts);

}  // namespace avi_check
