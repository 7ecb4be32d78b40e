// Names and files of composition results.
#pragma once

#include "afxwin.h"

#include <string>

// Turns path into one that names no existing file: stem + "_1" + extension, then "_2"
// and so on, the extension being what follows the file name's last "." (a dot in a
// folder name does not count). 1 when the path now names no file, 0 when the file
// name has no "." (path unchanged).
int MakeUniqueFileName(CString& path);

// The composition clock's time as month, day, hour, minute, second ("%02d" each).
CString CompositionStamp();
// Tests replace the clock (null: local time again).
typedef void (*CompositionClock)(SYSTEMTIME* now);
void SetCompositionClock(CompositionClock clock);

// The file name's extension with its dot ("" when the name has none).
CString FileExtensionOf(const CString& path);
// The folder part, up to and including the last backslash ("" when none).
CString FolderOf(const CString& path);
// The text after the last backslash.
CString FileNameOf(const CString& path);

std::string ToUtf8(const CString& text);

// The picture type (CxImage format code) that a file's extension names, 0 for files
// that are no picture the program reads.
int PictureTypeOf(const CString& path);

// A picture's width and height, read from its header where the type has a simple one
// (BMP, PNG, GIF, JPEG, TIFF), else by decoding it. false when unreadable.
bool ReadPictureSize(const CString& path, int* width, int* height);
