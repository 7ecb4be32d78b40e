// CCoreCameraListB: the second ZedOdir list (source of camera type 19). It starts
// empty and has no refresh of its own; nothing in the system adds to it, so the
// second family is reached only when the manager is asked for type 19 directly.
#pragma once

#include "camera/device/CameraListBase.h"

class CCoreCameraListB : public CCameraListBase {
};
