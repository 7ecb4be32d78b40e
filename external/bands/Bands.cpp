#include <windows.h>

#include "Bands.h"

#include <vector>

namespace {

struct BandJob
{
    orvbands::BandBody body;
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

namespace orvbands {

void RunBands(int count, BandBody body, void* context)
{
    if (count < 1)
        return;
    std::vector<BandJob> jobs(count);
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
    body(context, 0);
    if (!threads.empty())
        WaitForMultipleObjects(DWORD(threads.size()), threads.data(), TRUE, INFINITE);
    for (HANDLE thread : threads)
        CloseHandle(thread);
}

int BandCount(int rows, int minRows)
{
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    int cpus = int(info.dwNumberOfProcessors);
    int count = minRows > 0 ? rows / minRows : rows;
    if (count > cpus)
        count = cpus;
    if (count > 8)
        count = 8;
    return count < 1 ? 1 : count;
}

}  // namespace orvbands
