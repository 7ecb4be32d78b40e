// The program's entry for programs built on the framework: link the object library
// orvfw_main and define one global CWinApp-derived object; this WinMain runs it.
// It lives outside the framework module because the platform's start-up code looks
// for WinMain in the program itself.
#include "afxwin.h"

extern "C" int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR, int nCmdShow)
{
    LPWSTR lpCmdLine = ::GetCommandLineW();
    // Skip the program name, as the platform's WinMain command line does.
    bool bQuoted = (*lpCmdLine == '"');
    if (bQuoted) {
        lpCmdLine++;
        while (*lpCmdLine && *lpCmdLine != '"') lpCmdLine++;
        if (*lpCmdLine) lpCmdLine++;
    } else {
        while (*lpCmdLine && *lpCmdLine != ' ' && *lpCmdLine != '\t') lpCmdLine++;
    }
    while (*lpCmdLine == ' ' || *lpCmdLine == '\t') lpCmdLine++;
    return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
}

extern "C" int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR, int nCmdShow)
{
    return wWinMain(hInstance, hPrevInstance, NULL, nCmdShow);
}
