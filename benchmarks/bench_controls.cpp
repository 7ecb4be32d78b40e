// Skinned controls against the common controls they stand in for, in the same run:
//   a 300-pixel skinned slider (transparent channel and thumb) dragged over 300
//   positions, each step a mouse move and a synchronous repaint
//     /  the same drag on a common-controls trackbar                  (aim: at most 3)
//   the focus meter's progress bar, SetPos and repaint
//     /  a plain progress control doing the same                      (aim: at most 3)
// Each figure is the median of several rounds.
#include "afxwin.h"
#include "SkinSlider.h"
#include "SkinProgressCtrl.h"

#include <stdio.h>
#include <algorithm>
#include <functional>
#include <vector>

namespace {

const int kSteps = 300;
const int kRounds = 9;

double Now()
{
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return (double)t.QuadPart / frequency.QuadPart;
}

void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Median microseconds per step of `steps` calls of step(i).
double PerStep(const std::function<void(int)>& step)
{
    std::vector<double> rounds;
    for (int r = 0; r < kRounds; r++) {
        Pump();
        double t0 = Now();
        for (int i = 0; i < kSteps; i++) step(r % 2 ? kSteps - 1 - i : i);
        rounds.push_back((Now() - t0) * 1e6 / kSteps);
    }
    std::sort(rounds.begin(), rounds.end());
    return rounds[rounds.size() / 2];
}

// Drags a control's thumb from its left end over every pixel of the track.
double DragPerStep(HWND hWnd, int xFirst, int y)
{
    SendMessageW(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(xFirst, y));
    double us = PerStep([&](int i) {
        SendMessageW(hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(xFirst + i, y));
        UpdateWindow(hWnd);
    });
    SendMessageW(hWnd, WM_LBUTTONUP, 0, MAKELPARAM(xFirst, y));
    Pump();
    return us;
}

} // namespace

int main()
{
    LPCWSTR cls = AfxRegisterWndClass(0, LoadCursorW(NULL, (LPCWSTR)IDC_ARROW), (HBRUSH)(COLOR_BTNFACE + 1));
    CWnd host;
    if (!host.CreateEx(0, cls, L"bench", WS_POPUP | WS_VISIBLE, 0, 0, 400, 200, NULL, NULL)) return 1;

    CSkinSlider slider;
    slider.Create(L"", WS_CHILD | WS_VISIBLE | SS_NOTIFY, CRect(20, 20, 320, 40), &host, 100);
    if (!slider.SetChannelBitmaps(9901, 9902, TRUE) || !slider.SetThumbBitmaps(9903, 9904, TRUE)) {
        printf("slider bitmaps missing\n");
        return 1;
    }
    slider.SetRange(0, 290);
    slider.SetPos(0);
    HWND hTrack = CreateWindowExW(0, TRACKBAR_CLASSW, L"", WS_CHILD | WS_VISIBLE | TBS_HORZ | TBS_NOTICKS, 20, 60,
                                  300, 30, host.m_hWnd, (HMENU)101, NULL, NULL);
    SendMessageW(hTrack, TBM_SETRANGE, TRUE, MAKELPARAM(0, 290));
    SendMessageW(hTrack, TBM_SETPOS, TRUE, 0);
    RECT thumb = {};
    SendMessageW(hTrack, TBM_GETTHUMBRECT, 0, (LPARAM)&thumb);
    host.UpdateWindow();
    Pump();

    double skinned = DragPerStep(slider.m_hWnd, 5, 10);
    double common = DragPerStep(hTrack, (thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2);
    printf("slider drag step: skinned %.1f us, trackbar %.1f us, ratio %.2f (aim <= 3)\n", skinned, common,
           skinned / common);

    CSkinProgressCtrl meter;
    meter.Create(WS_CHILD | WS_VISIBLE, CRect(20, 110, 320, 125), &host, 102);
    meter.SetRange(0, 255);
    CProgressCtrl plain;
    plain.Create(WS_CHILD | WS_VISIBLE, CRect(20, 140, 320, 155), &host, 103);
    plain.SetRange32(0, 255);
    Pump();
    double skinnedBar = PerStep([&](int i) {
        meter.SetPos(i % 256);
        meter.UpdateWindow();
    });
    double plainBar = PerStep([&](int i) {
        plain.SetPos(i % 256);
        plain.UpdateWindow();
    });
    printf("progress step: skinned %.1f us, plain %.1f us, ratio %.2f (aim <= 3)\n", skinnedBar, plainBar,
           skinnedBar / plainBar);
    host.DestroyWindow();
    return 0;
}
