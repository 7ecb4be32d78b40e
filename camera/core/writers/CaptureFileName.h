// File names of captured stills and recordings: built from the capture settings, or
// asked for with a Save-As dialog. The camera manager's MakeCaptureFileName picks
// one of the two and owns the user-visible "folder missing" message.
#pragma once

#include "afxwin.h"

// The extension of a capture format: 1 ".jpg", 4 ".raw", 8 ".tif", 32 ".avi",
// any other ".bmp".
LPCWSTR CaptureFileExtension(int captureType);

// Answers whether a file or folder exists; context is the caller's.
typedef BOOL (*CaptureNameProbe)(LPCWSTR path, void* context);

// What the built name depends on: the capture settings' fields, the shot index,
// the local time and a view of the file system.
struct CaptureNameFields {
    LPCWSTR folder = L"";      // the capture folder, ending in a backslash
    LPCWSTR prefix = L"";      // the file-name prefix
    int captureType = 8;
    BOOL isNum = FALSE;        // never overwrite: add "_1", "_2", ...
    BOOL isTimeStamp = FALSE;  // name from month, day, hour, minute, second
    BOOL isLapse = FALSE;      // the shot belongs to a series
    int shot = 0;              // index of the shot in its series
    SYSTEMTIME localTime = {};
    CaptureNameProbe exists = nullptr;  // null: the real file system
    void* probeContext = nullptr;
};

// Builds the full path into name. FALSE when the name's folder does not exist
// (name still holds the path that was built).
BOOL BuildCaptureFileName(const CaptureNameFields& fields, CString& name);

// The Save-As dialog of the ask mode. videoMode offers AVI only; rawFilter adds the
// RAW filter. captureType selects the initial filter and, on OK, receives the
// format of the chosen filter (32 in video mode). FALSE when cancelled.
BOOL AskCaptureFileName(HWND owner, LPCWSTR initialName, BOOL videoMode, BOOL rawFilter,
                        BYTE& captureType, CString& path);
