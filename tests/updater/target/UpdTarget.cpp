// A stand-in for an installed program: a window and a message loop until it is ended.
#include <windows.h>

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = hInstance;
    wc.lpszClassName = L"OrvUpdTarget";
    RegisterClassW(&wc);
    CreateWindowExW(0, wc.lpszClassName, L"UpdTarget", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr, hInstance, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}
