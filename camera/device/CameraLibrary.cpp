#include "camera/device/CameraLibrary.h"

#include "external/zedodir/ZedOdir.h"
#include "external/zuzirazo/ZuzIrazo.h"

#define ORV_ZEDODIR_ENTRY(result, name, params, call) &::name,
#define ORV_ZUZIRAZO_ENTRY(result, name, params, call) &::Hd##name,

const CameraLibrary kZedOdirLibrary = {
    ORV_COMMON_CALLS(ORV_ZEDODIR_ENTRY)
    &::GetWhiteBalanceState,
};

const CameraLibrary kZuzIrazoLibrary = {
    ORV_COMMON_CALLS(ORV_ZUZIRAZO_ENTRY)
    &::HdGetWhiteBalance,
};
