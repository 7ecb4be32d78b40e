// Seeded, structure-aware broken variants of an AVI file: chunk ids, chunk sizes,
// stream numbers of movie chunks and index entries, index offsets and lengths, the
// header's stream count and flags, stream headers and formats, truncations. No Win32
// header: used by the sanitizer run and by the tests that hand the files to the
// system's AVI reader.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

struct AviMutation {
    std::string what;
    std::vector<uint8_t> data;
};

std::vector<AviMutation> MakeAviMutations(const std::vector<uint8_t>& file, uint32_t seed, int count);

// A small, valid, uncompressed AVI (one 24-bit video stream of `frames` frames, with
// an index), made without the system's writer, and optionally a second stream of audio.
std::vector<uint8_t> MakeSeedAvi(int width, int height, int frames, bool withAudio);
