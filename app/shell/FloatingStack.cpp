#include "app/shell/FloatingStack.h"
#include <algorithm>

namespace {

// One frame per thread watches; the hook finds it here.
CFloatingStack* s_watching = NULL;
// The restacking's own moves are no news to the watch.
int s_restacking = 0;

// Owner chains are short; the bound only guards against a cycle.
const int kMaxOwnerDepth = 16;

BOOL IsMenuWindow(HWND hwnd)
{
    WCHAR name[16] = {0};
    ::GetClassNameW(hwnd, name, 16);
    return ::lstrcmpW(name, L"#32768") == 0;
}

BOOL IsTopmost(HWND hwnd) { return (::GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM lp)
{
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
    return TRUE;
}

// The top-level windows from the top of the screen down, asked of the window server at
// once: walking them one by one costs a round trip to it per window.
std::vector<HWND> TopLevelWindows()
{
    std::vector<HWND> windows;
    ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

} // namespace

CFloatingStack::CFloatingStack()
    : m_hook(NULL), m_bHookHeld(FALSE), m_frame(NULL), m_message(0), m_bPosted(FALSE), m_bOnlyShown(TRUE), m_previousObserver(NULL), m_previousWatching(NULL)
{
}

CFloatingStack::~CFloatingStack() { Unwatch(); }

BOOL CFloatingStack::Watch(HWND frame, UINT message)
{
    Unwatch();
    m_frame = frame;
    m_message = message;
    m_bPosted = FALSE;
    m_bOnlyShown = TRUE;
    m_shown.clear();
    // A hook on every message would cost each one a round trip to the server, three times
    // the cost of the message itself: the framework's windows are watched for nothing, and
    // only activations and focus changes, which reach windows of any kind, are hooked.
    m_hook = ::SetWindowsHookExW(WH_CBT, WatchProc, NULL, ::GetCurrentThreadId());
    if (m_hook == NULL) return FALSE;
    // A watch started while another runs (a test's, beside the frame's) gives the other
    // back when it ends.
    m_previousWatching = s_watching;
    s_watching = this;
    m_previousObserver = AfxSetMessageObserver(ObserveMessage);
    return TRUE;
}

void CFloatingStack::Unwatch()
{
    if (m_hook != NULL || m_bHookHeld) {
        if (m_hook != NULL) ::UnhookWindowsHookEx(m_hook);
        AfxSetMessageObserver(m_previousObserver);
        if (s_watching == this) s_watching = m_previousWatching;
    }
    m_hook = NULL;
    m_bHookHeld = FALSE;
    m_previousObserver = NULL;
    m_previousWatching = NULL;
    m_frame = NULL;
}

void CFloatingStack::HoldHook()
{
    if (m_hook == NULL) return;
    ::UnhookWindowsHookEx(m_hook);
    m_hook = NULL;
    m_bHookHeld = TRUE;
}

void CFloatingStack::ReleaseHook()
{
    if (!m_bHookHeld) return;
    m_bHookHeld = FALSE;
    m_hook = ::SetWindowsHookExW(WH_CBT, WatchProc, NULL, ::GetCurrentThreadId());
}

void CFloatingStack::Post()
{
    if (m_bPosted || m_frame == NULL || !::IsWindow(m_frame)) return;
    m_bPosted = ::PostMessageW(m_frame, m_message, 0, 0);
}

void CFloatingStack::Request()
{
    m_bOnlyShown = FALSE;
    Post();
}

void CFloatingStack::NoticeShown(HWND hwnd)
{
    m_shown.erase(std::remove(m_shown.begin(), m_shown.end(), hwnd), m_shown.end());
    m_shown.push_back(hwnd);
    Post();
}

BOOL CFloatingStack::Taken(std::vector<HWND>* shown)
{
    const BOOL onlyShown = m_bOnlyShown && !m_shown.empty();
    if (shown != NULL) shown->swap(m_shown);
    m_shown.clear();
    m_bPosted = FALSE;
    m_bOnlyShown = TRUE;
    return onlyShown;
}

LRESULT CALLBACK CFloatingStack::WatchProc(int code, WPARAM wParam, LPARAM lParam)
{
    CFloatingStack* self = s_watching;
    if (self != NULL && s_restacking == 0 && wParam != 0) {
        // Told before the change; the request is taken after it.
        if (code == HCBT_ACTIVATE) self->Notice((HWND)wParam, WM_ACTIVATE, WA_ACTIVE, 0);
        else if (code == HCBT_SETFOCUS) self->Notice((HWND)wParam, WM_SETFOCUS, 0, 0);
    }
    return ::CallNextHookEx(self != NULL ? self->m_hook : NULL, code, wParam, lParam);
}

void CFloatingStack::ObserveMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CFloatingStack* self = s_watching;
    if (self != NULL && s_restacking == 0) self->Notice(hwnd, message, wParam, lParam);
}

void CFloatingStack::Notice(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_EXITMENULOOP:
    case WM_EXITSIZEMOVE:
        Request();
        return;
    case WM_SETFOCUS:
        // The focus window's top-level window was just put over everything on the screen.
        if (BelongsTo(::GetAncestor(hwnd, GA_ROOT), m_frame)) Request();
        return;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && BelongsTo(hwnd, m_frame)) Request();
        return;
    case WM_WINDOWPOSCHANGED: {
        // A window shown is put over everything on the screen, a panel over a floating window.
        const WINDOWPOS* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (pos != NULL && (pos->flags & SWP_SHOWWINDOW) && ::GetAncestor(hwnd, GA_ROOT) == hwnd &&
            hwnd != m_frame && BelongsTo(hwnd, m_frame))
            NoticeShown(hwnd);
        return;
    }
    default:
        return;
    }
}

BOOL CFloatingStack::BelongsTo(HWND hwnd, HWND frame)
{
    if (hwnd == NULL || frame == NULL) return FALSE;
    for (int depth = 0; hwnd != NULL && depth < kMaxOwnerDepth; depth++) {
        if (hwnd == frame) return TRUE;
        hwnd = ::GetWindow(hwnd, GW_OWNER);
    }
    return FALSE;
}

std::vector<HWND> CFloatingStack::Order(HWND frame, const std::vector<HWND>& panels)
{
    std::vector<HWND> order;
    for (HWND panel : panels)
        if (panel != NULL && ::IsWindowVisible(panel)) order.push_back(panel);
    // The system's list runs top to bottom.
    std::vector<HWND> others;
    for (HWND w : TopLevelWindows()) {
        if (w == frame || !::IsWindowVisible(w) || IsMenuWindow(w) || !BelongsTo(w, frame)) continue;
        if (std::find(panels.begin(), panels.end(), w) != panels.end()) continue;
        others.push_back(w);
    }
    order.insert(order.end(), others.rbegin(), others.rend());
    return order;
}

BOOL CFloatingStack::IsShownInOrder(HWND frame, const std::vector<HWND>& order, const std::vector<HWND>& shown)
{
    std::vector<HWND> visible;
    for (HWND w : shown)
        if (::IsWindowVisible(w)) visible.push_back(w);
    if (visible.empty() || visible.size() > order.size()) return FALSE;
    if (!std::equal(visible.begin(), visible.end(), order.end() - visible.size())) return FALSE;
    return IsInOrder(frame, order);
}

BOOL CFloatingStack::IsInOrder(HWND frame, const std::vector<HWND>& order)
{
    // Walking down from the top, the windows of order come last first, then the frame.
    size_t next = order.size();
    for (HWND w : TopLevelWindows()) {
        if (w == frame) return next == 0;
        if (next > 0 && w == order[next - 1]) {
            next--;
            continue;
        }
        if (std::find(order.begin(), order.begin() + next, w) != order.begin() + next) return FALSE;
    }
    return FALSE;
}

namespace {

const UINT kQuietMove = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER;

BOOL IsAbove(HWND upper, HWND lower)
{
    const std::vector<HWND> windows = TopLevelWindows();
    const auto up = std::find(windows.begin(), windows.end(), upper);
    return upper != lower && up != windows.end() && std::find(up, windows.end(), lower) != windows.end();
}

// An owned window leaving the topmost band is put right above its owner; with the owner
// first of the normal band that place is still among the topmost windows, and the window
// stays topmost.  Unowned for the move, it goes to the front of the normal band.
void SetBand(HWND hwnd, BOOL top)
{
    const HWND owner = top ? NULL : ::GetWindow(hwnd, GW_OWNER);
    if (owner != NULL) ::SetWindowLongPtrW(hwnd, GWLP_HWNDPARENT, 0);
    ::SetWindowPos(hwnd, top ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, kQuietMove);
    if (owner != NULL) ::SetWindowLongPtrW(hwnd, GWLP_HWNDPARENT, (LONG_PTR)owner);
}

} // namespace

BOOL CFloatingStack::IsFrameUnder(HWND frame, const std::vector<HWND>& order)
{
    const std::vector<HWND> windows = TopLevelWindows();
    const auto w = std::find(windows.begin(), windows.end(), frame);
    return w == windows.end() || std::find_first_of(w + 1, windows.end(), order.begin(), order.end()) == windows.end();
}

void CFloatingStack::Restack(HWND frame, const std::vector<HWND>& order)
{
    s_restacking++;
    // A window shown a moment ago paints first: its new place keeps what it painted.
    for (HWND w : order) ::UpdateWindow(w);
    // The system moves a window's owned windows along, ahead of it, so they and not the
    // window would become first: for the while every window is owned by the frame itself.
    std::vector<std::pair<HWND, HWND>> owners;
    std::vector<std::pair<HWND, BOOL>> topmost;
    for (HWND w : TopLevelWindows()) {
        if (w == frame || !BelongsTo(w, frame)) continue;
        topmost.push_back(std::make_pair(w, IsTopmost(w)));
        HWND owner = ::GetWindow(w, GW_OWNER);
        if (owner != frame && ::IsWindowVisible(w)) owners.push_back(std::make_pair(w, owner));
    }
    for (const auto& o : owners) ::SetWindowLongPtrW(o.first, GWLP_HWNDPARENT, (LONG_PTR)frame);
    for (HWND w : order) {
        if (!::IsWindow(w)) continue;
        // Topmost for a moment makes the window the first of all, which the screen follows;
        // the second move gives it back its band, a move the screen does not see.
        auto was = std::find_if(topmost.begin(), topmost.end(), [w](const std::pair<HWND, BOOL>& t) { return t.first == w; });
        const BOOL top = was != topmost.end() ? was->second : IsTopmost(w);
        ::SetWindowPos(w, top ? HWND_NOTOPMOST : HWND_TOPMOST, 0, 0, 0, 0, kQuietMove);
        SetBand(w, top);
        // Hidden owned windows moved along with their owner took its band for the while.
        for (const auto& t : topmost)
            if (::IsWindow(t.first) && IsTopmost(t.first) != t.second) SetBand(t.first, t.second);
    }
    for (const auto& o : owners)
        if (::IsWindow(o.first)) ::SetWindowLongPtrW(o.first, GWLP_HWNDPARENT, (LONG_PTR)o.second);
    s_restacking--;
}

void CFloatingStack::Settle(HWND frame, const std::vector<HWND>& order)
{
    s_restacking++;
    // Each window goes right under the one that belongs above it, never to the front, so the
    // screen, already right, sees none of these moves and reports no exposure again.
    HWND above = NULL;
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        HWND w = *it;
        if (above != NULL && IsTopmost(above) == IsTopmost(w)) ::SetWindowPos(w, above, 0, 0, 0, 0, kQuietMove);
        above = w;
    }
    if (above != NULL && IsAbove(frame, above)) ::SetWindowPos(frame, above, 0, 0, 0, 0, kQuietMove);
    s_restacking--;
}

void CFloatingStack::RenewPointerClip()
{
    // A clip already in place over the whole screen is left as it is; one to a smaller
    // rectangle first, and the whole screen again, grabs anew.
    RECT clip;
    if (!::GetClipCursor(&clip) || clip.right - clip.left < 2) return;
    RECT inner = clip;
    inner.right--;
    ::ClipCursor(&inner);
    ::ClipCursor(NULL);
}
