// Worker threads for bands of rows, kept from one call to the next: starting threads
// for every frame costs more than the bands they would share. Win32 side (the bands
// may call Win32, so the threads are the system's). One caller at a time per object.
#pragma once

#include <windows.h>

#include <vector>

class CBandWorkers
{
public:
    typedef void (*Body)(void* context, int band);

    // Up to `workers` threads, started when first needed.
    explicit CBandWorkers(int workers) : m_wanted(workers > 0 ? workers : 0)
    {
        m_quit = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    }
    ~CBandWorkers()
    {
        SetEvent(m_quit);
        for (Worker& w : m_workers) {
            WaitForSingleObject(w.thread, INFINITE);
            CloseHandle(w.thread);
            CloseHandle(w.start);
            CloseHandle(w.done);
        }
        CloseHandle(m_quit);
    }
    CBandWorkers(const CBandWorkers&) = delete;
    CBandWorkers& operator=(const CBandWorkers&) = delete;

    // Calls body(context, band) for every band in 0..count-1 and returns when all are
    // done; the caller takes bands too. Without threads the caller does them all.
    void Run(int count, Body body, void* context)
    {
        if (count <= 0)
            return;
        Start();
        m_body = body;
        m_context = context;
        m_count = count;
        m_next = 0;
        const int helpers = count - 1 < int(m_workers.size()) ? count - 1 : int(m_workers.size());
        for (int i = 0; i < helpers; ++i)
            SetEvent(m_workers[i].start);
        TakeBands();
        for (int i = 0; i < helpers; ++i)
            m_waits[i] = m_workers[i].done;
        if (helpers > 0)
            WaitForMultipleObjects(DWORD(helpers), m_waits.data(), TRUE, INFINITE);
    }

    template <class F>
    void ForEach(int count, F& f)
    {
        Run(count, [](void* context, int band) { (*static_cast<F*>(context))(band); }, &f);
    }

    // Threads this object offers besides the caller's.
    int Helpers()
    {
        Start();
        return int(m_workers.size());
    }

private:
    struct Worker
    {
        CBandWorkers* owner;
        HANDLE thread, start, done;
    };

    void Start()
    {
        if (m_started)
            return;
        m_started = true;
        m_workers.reserve(size_t(m_wanted));
        for (int i = 0; i < m_wanted; ++i) {
            Worker w = {this, nullptr, CreateEventW(nullptr, FALSE, FALSE, nullptr),
                        CreateEventW(nullptr, FALSE, FALSE, nullptr)};
            m_workers.push_back(w);
            m_workers.back().thread = CreateThread(nullptr, 0, ThreadProc, &m_workers.back(), 0, nullptr);
            if (!m_workers.back().thread) {   // fewer threads: the caller does more
                CloseHandle(w.start);
                CloseHandle(w.done);
                m_workers.pop_back();
                break;
            }
        }
        m_waits.resize(m_workers.size() + 1);
    }

    void TakeBands()
    {
        for (;;) {
            const LONG band = InterlockedIncrement(&m_next) - 1;
            if (band >= m_count)
                return;
            m_body(m_context, int(band));
        }
    }

    static DWORD WINAPI ThreadProc(void* param)
    {
        Worker* w = static_cast<Worker*>(param);
        HANDLE waits[2] = {w->start, w->owner->m_quit};
        while (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0) {
            w->owner->TakeBands();
            SetEvent(w->done);
        }
        return 0;
    }

    int m_wanted;
    bool m_started = false;
    HANDLE m_quit;
    std::vector<Worker> m_workers;
    std::vector<HANDLE> m_waits;
    Body m_body = nullptr;
    void* m_context = nullptr;
    LONG m_count = 0;
    volatile LONG m_next = 0;
};
