// The camera library's own resources (string table of QrCCamera.rc).
#pragma once

#include "afx.h"

// String-table entries the library's code names.
enum {
    IDS_UNKNOWN_DEVICE = 1,     // "未知設備"
    IDS_DEFAULT_PREFIX = 21,    // "Orv"
    IDS_PARAM_NULL = 22,        // free parameter-team entry
    IDS_PATH_MISSING = 27,
    IDS_COMPANY = 32,
    IDS_PROGRAM_NAME = 65,
    IDS_TEMPERATURE_SPAN = 72,
    IDS_CAPTURE_FOLDER = 84,    // "Orvisnap images"
    IDS_DEGREE_CELSIUS = 89,
};

// The module handle of QrCCamera.dll (resources are looked up there).
HINSTANCE QrCInstance();
// Text of a string-table entry of the library; empty when missing.
CString LoadLibraryString(UINT id);
