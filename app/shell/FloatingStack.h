// The windows that float over the main frame, kept above it on the screen.
//
// Where top-level windows are unmanaged (no window manager), every keyboard-focus change
// into a window restacks that window's display window above all others, and the exposure
// the display then reports moves it above the same windows in the system's own order as
// well.  A focus change inside the frame thus leaves the frame over its popups, and no
// message tells it.  The display follows the system's order only for a window that becomes
// the very first visible top-level window, so re-asserting the order means bringing each
// window there in turn, bottom to top, with a change that is real in the system's terms.
#pragma once
#include "afxwin.h"
#include <vector>

class CFloatingStack
{
public:
    CFloatingStack();
    ~CFloatingStack();

    // Watches the calling thread's messages for whatever may have disturbed the stack over
    // frame (a focus change into the frame or into a window it owns, an activation, a popup
    // shown, the end of a menu or move loop) and posts message to the frame for each.
    BOOL Watch(HWND frame, UINT message);
    void Unwatch();
    // Every window made while the hook is in place passes it, a round trip to the server
    // each: a batch of windows made between messages (a section built in the background,
    // which moves neither focus nor activation) goes without it.
    void HoldHook();
    void ReleaseHook();
    // Posts the message once; further requests wait until the frame has taken it.
    void Request();
    // Takes the request; TRUE when nothing but windows shown asked for it since the last,
    // with those windows in the order they were shown.
    BOOL Taken(std::vector<HWND>* shown = NULL);

    // The visible windows over frame, bottom to top: the panels as given (missing or hidden
    // ones left out), then every other visible window the frame owns, directly or through
    // another owned window, in its present order.
    static std::vector<HWND> Order(HWND frame, const std::vector<HWND>& panels);
    // Whether the system's order has the frame below all of order, and order as given.
    static BOOL IsInOrder(HWND frame, const std::vector<HWND>& order);
    // Whether the screen's order is already order after the windows shown, each put over all
    // others in turn, given that it was before: the shown ones end order, in the order they
    // were shown, and the system's order agrees.
    static BOOL IsShownInOrder(HWND frame, const std::vector<HWND>& order, const std::vector<HWND>& shown);
    // Whether the system's order has the frame below all of order.  Where it has not, the
    // screen put the frame over them (the system's order follows the screen's reports).
    static BOOL IsFrameUnder(HWND frame, const std::vector<HWND>& order);
    // Brings each window of order to the front of the screen, bottom to top; topmost ones
    // stay topmost, and the other windows frame owns keep their owners and band.
    static void Restack(HWND frame, const std::vector<HWND>& order);
    // Puts the system's own order right again where the screen's late exposure reports
    // moved a window (the frame above its popups, a popup above another), the screen's
    // stacking being right already.
    static void Settle(HWND frame, const std::vector<HWND>& order);
    // Whether hwnd is frame or a window it owns (through any chain of owners).
    static BOOL BelongsTo(HWND hwnd, HWND frame);
    // Gives the display's pointer clip of a window covering the screen its pointer grab
    // back: after a menu's own grab ends, the clip's input-only window stays over the frame
    // without it and takes every click (under a window manager, where no focus change
    // follows the menu to renew it).
    static void RenewPointerClip();

private:
    static LRESULT CALLBACK WatchProc(int code, WPARAM wParam, LPARAM lParam);
    static void ObserveMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void Notice(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void NoticeShown(HWND hwnd);
    void Post();

    HHOOK m_hook;
    BOOL m_bHookHeld;
    HWND m_frame;
    UINT m_message;
    BOOL m_bPosted;
    BOOL m_bOnlyShown;
    std::vector<HWND> m_shown;
    AFX_MSG_OBSERVER m_previousObserver;
    CFloatingStack* m_previousWatching;
};
