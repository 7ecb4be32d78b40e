// A PostScript printer of the test prefix: A4 at 300 dots per inch (2479 x 3508 pixels),
// whose jobs land in a Unix file. Installed on first use, made the default printer, its
// output file set on every call.
#pragma once
#include <windows.h>

// Returns the printer's name, or nullptr when it could not be installed.
const WCHAR* UseTestPrinter(const char* unixOutputPath);
