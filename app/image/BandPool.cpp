#include "app/image/BandPool.h"
#include <windows.h>

namespace orv_bands {

namespace {

const int kMaxBands = 8;

struct Worker {
    HANDLE thread, go, done;
};

INIT_ONCE g_once = INIT_ONCE_STATIC_INIT;
CRITICAL_SECTION g_lock;
Worker g_workers[kMaxBands - 1];
int g_started;
bool g_busy;
// The pass being run; written under g_lock before the workers are woken.
void (*g_work)(void*, int);
void* g_arg;

BOOL CALLBACK InitPool(PINIT_ONCE, PVOID, PVOID*)
{
    ::InitializeCriticalSection(&g_lock);
    return TRUE;
}

DWORD WINAPI WorkerMain(void* param)
{
    Worker& self = *static_cast<Worker*>(param);
    const int band = (int)(&self - g_workers) + 1;
    for (;;) {
        ::WaitForSingleObject(self.go, INFINITE);
        g_work(g_arg, band);
        ::SetEvent(self.done);
    }
}

// Workers for bands 1..count-1, started on first need; returns how many run.
int EnsureWorkers(int count)
{
    while (g_started < count - 1) {
        Worker& w = g_workers[g_started];
        w.go = ::CreateEventW(NULL, FALSE, FALSE, NULL);
        w.done = ::CreateEventW(NULL, FALSE, FALSE, NULL);
        w.thread = w.go && w.done ? ::CreateThread(NULL, 0, WorkerMain, &w, 0, NULL) : NULL;
        if (w.thread == NULL) {
            if (w.go)
                ::CloseHandle(w.go);
            if (w.done)
                ::CloseHandle(w.done);
            break;
        }
        ++g_started;
    }
    return g_started + 1;
}

}  // namespace

int BandCount()
{
    SYSTEM_INFO si;
    ::GetSystemInfo(&si);
    const int n = (int)si.dwNumberOfProcessors;
    return n < 1 ? 1 : (n > kMaxBands ? kMaxBands : n);
}

void RunBands(int count, void (*work)(void* arg, int band), void* arg)
{
    if (count > kMaxBands)
        count = kMaxBands;
    ::InitOnceExecuteOnce(&g_once, InitPool, NULL, NULL);
    bool pooled = count > 1 && ::TryEnterCriticalSection(&g_lock);
    if (pooled && g_busy) {
        // A band asking for bands of its own.
        ::LeaveCriticalSection(&g_lock);
        pooled = false;
    }
    if (!pooled) {
        for (int i = 0; i < count; ++i)
            work(arg, i);
        return;
    }
    g_busy = true;
    const int workers = EnsureWorkers(count);
    const int running = workers < count ? workers : count;
    g_work = work;
    g_arg = arg;
    HANDLE done[kMaxBands];
    for (int i = 1; i < running; ++i) {
        done[i - 1] = g_workers[i - 1].done;
        ::SetEvent(g_workers[i - 1].go);
    }
    // Bands beyond the threads that could be started run here.
    work(arg, 0);
    for (int i = running; i < count; ++i)
        work(arg, i);
    if (running > 1)
        ::WaitForMultipleObjects(running - 1, done, TRUE, INFINITE);
    g_busy = false;
    ::LeaveCriticalSection(&g_lock);
}

}  // namespace orv_bands
