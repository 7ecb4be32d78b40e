// ZedOdir stand-in: every call is answered by the camera bench's ZedOdir front.
#include "ZedOdir.h"

#include "external/bench/LibraryFront.h"

#define ORV_ZEDODIR_EXPORT(result, name, params, call) \
    extern "C" ORV_IMPORT_ONLY result WINAPI name params { return orvbench::Front(orvbench::kLibraryZedOdir).call; }
ORV_COMMON_CALLS(ORV_ZEDODIR_EXPORT)
ORV_ZEDODIR_CALLS(ORV_ZEDODIR_EXPORT)
