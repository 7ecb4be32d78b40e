// Row bands of one picture pass on Win32 worker threads that are created once and kept:
// under Wine a new thread costs more than a band of a large picture.
#pragma once

namespace orv_bands {

// Threads the pool would use for a pass: the processors, at most eight.
int BandCount();

// Calls work(arg, band) for band 0..count-1 and returns when all are done: band 0 on the
// calling thread, the others on the pool. A caller that finds the pool busy with another
// pass (another store, another thread) runs its bands itself, one after another.
void RunBands(int count, void (*work)(void* arg, int band), void* arg);

}  // namespace orv_bands
