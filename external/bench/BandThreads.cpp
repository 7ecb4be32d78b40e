// Threads for the native sensor and decoder: created by the system, so nothing the
// bands call can meet a thread it does not know.
#include <windows.h>

#include "Pipeline.h"

#include <vector>

namespace {

struct BandJob
{
    orvbench::BandBody body;
    void* context;
    int band;
};

DWORD WINAPI BandThread(void* param)
{
    const BandJob* job = static_cast<const BandJob*>(param);
    job->body(job->context, job->band);
    return 0;
}

}  // namespace

namespace orvbench {

void RunBands(int count, BandBody body, void* context)
{
    std::vector<BandJob> jobs(count > 1 ? count : 1);
    std::vector<HANDLE> threads;
    for (int band = 1; band < count; ++band) {
        jobs[band] = {body, context, band};
        HANDLE thread = threads.size() < MAXIMUM_WAIT_OBJECTS
                      ? CreateThread(nullptr, 0, BandThread, &jobs[band], 0, nullptr) : nullptr;
        if (thread)
            threads.push_back(thread);
        else
            body(context, band);   // no thread to spare: the caller does the band
    }
    if (count > 0)
        body(context, 0);
    if (!threads.empty())
        WaitForMultipleObjects(DWORD(threads.size()), threads.data(), TRUE, INFINITE);
    for (HANDLE thread : threads)
        CloseHandle(thread);
}

}  // namespace orvbench
