#include <windows.h>

#include "Bands.h"

#include <vector>

namespace {

// Under Wine a new thread costs milliseconds, as much as a band of a large picture:
// bands run on workers started once and kept, waiting between passes.
const int kMaxWorkers = 7;

struct Worker
{
    HANDLE thread, go, done;
};

INIT_ONCE g_once = INIT_ONCE_STATIC_INIT;
CRITICAL_SECTION g_lock;
Worker g_workers[kMaxWorkers];
int g_started;
bool g_busy;
// The pass being run; written under g_lock before the workers are woken.
orvbands::BandBody g_body;
void* g_context;

BOOL CALLBACK InitPool(PINIT_ONCE, PVOID, PVOID*)
{
    InitializeCriticalSection(&g_lock);
    return TRUE;
}

DWORD WINAPI PoolWorker(void* param)
{
    Worker& self = *static_cast<Worker*>(param);
    const int band = int(&self - g_workers) + 1;
    for (;;) {
        WaitForSingleObject(self.go, INFINITE);
        g_body(g_context, band);
        SetEvent(self.done);
    }
}

// Workers for bands 1..count-1, started on first need; returns how many there are.
int EnsureWorkers(int count)
{
    while (g_started < count - 1 && g_started < kMaxWorkers) {
        Worker& w = g_workers[g_started];
        w.go = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        w.done = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        w.thread = w.go && w.done ? CreateThread(nullptr, 0, PoolWorker, &w, 0, nullptr) : nullptr;
        if (!w.thread) {
            if (w.go)
                CloseHandle(w.go);
            if (w.done)
                CloseHandle(w.done);
            break;
        }
        ++g_started;
    }
    return g_started;
}

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

// A pass while the pool serves another (another thread, or a band asking for bands of
// its own): threads of its own, ended with the pass.
void RunOnNewThreads(int count, orvbands::BandBody body, void* context)
{
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

}  // namespace

namespace orvbands {

void RunBands(int count, BandBody body, void* context)
{
    if (count < 1)
        return;
    if (count == 1) {
        body(context, 0);
        return;
    }
    InitOnceExecuteOnce(&g_once, InitPool, nullptr, nullptr);
    if (!TryEnterCriticalSection(&g_lock)) {
        RunOnNewThreads(count, body, context);
        return;
    }
    if (g_busy) {
        // The lock is re-entered by a band of this thread's own pass.
        LeaveCriticalSection(&g_lock);
        RunOnNewThreads(count, body, context);
        return;
    }
    g_busy = true;
    const int workers = EnsureWorkers(count);
    const int pooled = workers + 1 < count ? workers + 1 : count;
    g_body = body;
    g_context = context;
    HANDLE done[kMaxWorkers];
    for (int band = 1; band < pooled; ++band) {
        done[band - 1] = g_workers[band - 1].done;
        SetEvent(g_workers[band - 1].go);
    }
    body(context, 0);
    // Bands beyond the workers that could be started run here.
    for (int band = pooled; band < count; ++band)
        body(context, band);
    if (pooled > 1)
        WaitForMultipleObjects(DWORD(pooled - 1), done, TRUE, INFINITE);
    g_busy = false;
    LeaveCriticalSection(&g_lock);
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
