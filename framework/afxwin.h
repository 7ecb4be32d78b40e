// The framework: a compact application framework over Win32, one shared module
// (orvfw.dll) used by the program, the camera library and the tests.
//
// What may cross a module edge:
// - Framework objects (CString, CWnd*, CDC*, GDI objects, collections) have one
//   definition and one runtime, in this module.  A CString filled by one module may be
//   freed by another; every allocating member lives here and all modules share one heap.
// - A window has one framework object per process: FromHandlePermanent finds it from any
//   module and any thread.  Temporary objects from FromHandle belong to the calling
//   thread and live until that thread's next idle time; never keep or hand them on.
// - Messages to a window are handled on the thread that created it.  Other threads post,
//   or send knowing that the GUI thread must be able to answer (see
//   AfxWaitForSingleObjectSent).
// - Exceptions (thrown as CException*) are caught by the caller in the same module and
//   thread; nothing throws across an exported function or a thread edge.
// - Global objects are built before the platform is ready: a constructor at namespace
//   scope may make CString, CCriticalSection and CWinApp objects, nothing that calls
//   Win32 (CEvent, CMutex, windows, GDI objects, LoadString).
// - Thread-local variables are read and written only in functions of the default
//   calling convention; the compiler's TLS access inside a WINAPI function fails.
// - The resource handle (AfxGetResourceHandle) is process-wide; a module that loads its
//   own resources names its module handle explicitly or switches the handle around the
//   call on the GUI thread.
#pragma once
#include "afx.h"
#include <commctrl.h>

#include "afxmsg.h"
#include "afxwnd.h"
#include "afxgdi.h"
#include "afxmenu.h"
#include "afxdc.h"
#include "afxctrl.h"
#include "afxdlg.h"
#include "afxapp.h"
#include "afxcmn.h"
#include "afxext.h"
#include "afxdlgs.h"
#include "afxframe.h"
