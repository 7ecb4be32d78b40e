// The framework's core without windows: objects, strings, geometry, synchronisation,
// threads, exceptions and collections.  Translation units that must stay free of the
// windowing classes include this instead of afxwin.h.
#pragma once
#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#include <windows.h>

// A module that uses the framework must load it through its import table, or the
// framework's own Win32 imports are never resolved and its first Win32 call crashes.
// Referencing one export from every translation unit makes the linker record it.
extern "C" DWORD WINAPI AfxFrameworkVersion(void);
__attribute__((used)) static DWORD(WINAPI* const _afxFrameworkImport)(void) = AfxFrameworkVersion;

#ifndef _T
#define _T(x) L##x
#endif
#ifndef _TEXT
#define _TEXT(x) L##x
#endif

#include "afxobject.h"
#include "afxstr.h"
#include "afxgeom.h"
#include "afxmt.h"
#include "afxexcept.h"
#include "afxcoll.h"
#include "afxfile.h"

// Resource lookup.  The resource handle starts as the program's module; the camera
// library or a satellite may switch it around its own resources.
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE hInstResource);
HINSTANCE AfxFindResourceHandle(LPCWSTR lpszName, LPCWSTR lpszType);

// The framework's process-wide lock, for state shared by every thread (handle maps, the
// shared GDI objects of a control class).  Recursive; hold it briefly.
void AfxLockGlobals();
void AfxUnlockGlobals();

// Loads a string-table entry into a caller's buffer; returns the length copied.
int AfxLoadString(UINT nIDS, LPWSTR lpszBuf, UINT nMaxBuf = 256);
