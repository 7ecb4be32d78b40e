// Threads for the native sensor and decoder: created by the system, so nothing the
// bands call can meet a thread it does not know. Each caller borrows a crew of
// workers kept from frame to frame; callers on several threads (the grab thread
// renders while the display thread decodes) get crews of their own.
#include "BandWorkers.h"

#include "Pipeline.h"

#include <vector>

namespace {

// The bands use at most 8 threads; the caller is one of them.
const int kCrewHelpers = 7;

struct Crews
{
    CRITICAL_SECTION lock;
    std::vector<CBandWorkers*> idle;
    Crews() { InitializeCriticalSection(&lock); }
};

// Never destroyed: threads of a crew are ended by the process exit, not by unloading.
Crews& TheCrews()
{
    static Crews* crews = new Crews;
    return *crews;
}

}  // namespace

namespace orvbench {

void RunBands(int count, BandBody body, void* context)
{
    if (count <= 1) {
        if (count == 1)
            body(context, 0);
        return;
    }
    Crews& crews = TheCrews();
    CBandWorkers* crew = nullptr;
    EnterCriticalSection(&crews.lock);
    if (!crews.idle.empty()) {
        crew = crews.idle.back();
        crews.idle.pop_back();
    }
    LeaveCriticalSection(&crews.lock);
    if (!crew)
        crew = new CBandWorkers(kCrewHelpers);
    crew->Run(count, body, context);
    EnterCriticalSection(&crews.lock);
    crews.idle.push_back(crew);
    LeaveCriticalSection(&crews.lock);
}

}  // namespace orvbench
