// ZuzIrazo stand-in: every call is answered by the camera bench's ZuzIrazo front.
#include "ZuzIrazo.h"

#include "external/bench/LibraryFront.h"

#define ORV_ZUZIRAZO_EXPORT(result, name, params, call) \
    extern "C" ORV_IMPORT_ONLY result WINAPI Hd##name params { return orvbench::Front(orvbench::kLibraryZuzIrazo).call; }
ORV_COMMON_CALLS(ORV_ZUZIRAZO_EXPORT)
ORV_ZUZIRAZO_CALLS(ORV_ZUZIRAZO_EXPORT)
