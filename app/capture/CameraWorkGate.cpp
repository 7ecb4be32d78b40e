#include "app/capture/CameraWorkGate.h"

namespace {
int g_running = 0;
}

void BeginCameraWork() { g_running++; }

void EndCameraWork()
{
    if (g_running > 0) g_running--;
}

BOOL CameraWorkRunning() { return g_running > 0; }
