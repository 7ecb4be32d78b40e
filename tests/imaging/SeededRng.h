// The seeded generator of the mutation helpers: the same seed gives the same files.
#pragma once

#include <stdint.h>

struct SeededRng {
    uint64_t s;
    explicit SeededRng(uint32_t seed, uint64_t salt = 1) : s(seed * 0x9E3779B97F4A7C15ull + salt) {}
    uint32_t Next()
    {
        s ^= s << 13;
        s ^= s >> 7;
        s ^= s << 17;
        return static_cast<uint32_t>(s >> 11);
    }
    uint32_t Below(uint32_t n) { return n ? Next() % n : 0; }
};
