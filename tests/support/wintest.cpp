#include "support/wintest.h"
#include "support/gtest.h"
#include <algorithm>

namespace {

struct Lock {
    explicit Lock(CRITICAL_SECTION& cs) : m_cs(cs) { EnterCriticalSection(&m_cs); }
    ~Lock() { LeaveCriticalSection(&m_cs); }
    CRITICAL_SECTION& m_cs;
};

// Reads a window's stored text without sending it a message, so a busy or
// blocked owner thread cannot stall the reader.
std::u16string StoredText(HWND hwnd)
{
    WCHAR buf[4096];
    int n = InternalGetWindowText(hwnd, buf, ARRAYSIZE(buf));
    return std::u16string(reinterpret_cast<const char16_t*>(buf), n > 0 ? n : 0);
}

bool HasClass(HWND hwnd, const WCHAR* name)
{
    WCHAR cls[64];
    return GetClassNameW(hwnd, cls, ARRAYSIZE(cls)) && !lstrcmpiW(cls, name);
}

// Message boxes some DialogWatcher has met: they are the test's own business.
CRITICAL_SECTION g_metLock;
std::vector<HWND> g_met;
INIT_ONCE g_metOnce = INIT_ONCE_STATIC_INIT;

BOOL CALLBACK InitMet(INIT_ONCE*, void*, void**)
{
    InitializeCriticalSection(&g_metLock);
    return TRUE;
}

void NoteMet(HWND hwnd)
{
    InitOnceExecuteOnce(&g_metOnce, InitMet, nullptr, nullptr);
    Lock l(g_metLock);
    g_met.erase(std::remove_if(g_met.begin(), g_met.end(), [](HWND x) { return !IsWindow(x); }),
                g_met.end());
    g_met.push_back(hwnd);
}

bool WasMet(HWND hwnd)
{
    InitOnceExecuteOnce(&g_metOnce, InitMet, nullptr, nullptr);
    Lock l(g_metLock);
    return std::find(g_met.begin(), g_met.end(), hwnd) != g_met.end();
}

// The system's message box: its text and icon statics have these ids.
bool IsMessageBox(HWND hwnd)
{
    HWND text = GetDlgItem(hwnd, 0xFFFF), icon = GetDlgItem(hwnd, 1088);
    return text && icon && HasClass(text, L"Static") && HasClass(icon, L"Static");
}

std::string Utf8(const std::u16string& s)
{
    if (s.empty())
        return std::string();
    const WCHAR* w = reinterpret_cast<const WCHAR*>(s.c_str());
    int n = WideCharToMultiByte(CP_UTF8, 0, w, (int)s.size(), nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, w, (int)s.size(), &out[0], n, nullptr, nullptr);
    return out;
}

BOOL CALLBACK CollectBoxes(HWND hwnd, LPARAM lp)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == GetCurrentProcessId() && IsWindowVisible(hwnd) && HasClass(hwnd, L"#32770") &&
        IsMessageBox(hwnd))
        reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
    return TRUE;
}

const WCHAR kSpyProp[] = L"OrvTestMessageSpy";
const WCHAR kOriginalProp[] = L"OrvTestMessageSpyProc";

}  // namespace

// ---- waiting ----

static bool PumpPending(WPARAM& quitCode)
{
    bool quit = false;
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.message == WM_QUIT) {
            quit = true;
            quitCode = m.wParam;
            continue;
        }
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    return quit;
}

bool WaitFor(const std::function<bool()>& cond, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    bool quit = false;
    WPARAM quitCode = 0;
    bool ok = false;
    for (;;) {
        quit |= PumpPending(quitCode);
        if (cond()) {
            ok = true;
            break;
        }
        DWORD spent = GetTickCount() - start;
        if (spent >= timeoutMs)
            break;
        MsgWaitForMultipleObjectsEx(0, nullptr, std::min<DWORD>(10, timeoutMs - spent),
                                    QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
    // A quit request belongs to whoever runs the real message loop.
    if (quit)
        PostQuitMessage(static_cast<int>(quitCode));
    return ok;
}

void PumpMessagesFor(DWORD ms)
{
    WaitFor([] { return false; }, ms);
}

// ---- dialog watcher ----

std::u16string SeenDialog::Text() const
{
    std::u16string all;
    for (const auto& t : texts) {
        if (!all.empty())
            all += u'\n';
        all += t;
    }
    return all;
}

DialogWatcher::DialogWatcher(int button)
    : m_rule([button](const SeenDialog&) { return button; })
{
    Start();
}

DialogWatcher::DialogWatcher(Rule rule) : m_rule(std::move(rule))
{
    Start();
}

DialogWatcher::~DialogWatcher()
{
    Stop();
    DeleteCriticalSection(&m_lock);
}

void DialogWatcher::Start()
{
    InitializeCriticalSection(&m_lock);
    m_stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_thread = CreateThread(nullptr, 0, ThreadProc, this, 0, nullptr);
}

void DialogWatcher::Stop()
{
    if (m_thread) {
        SetEvent(m_stop);
        WaitForSingleObject(m_thread, INFINITE);
        CloseHandle(m_thread);
        m_thread = nullptr;
    }
    if (m_stop) {
        CloseHandle(m_stop);
        m_stop = nullptr;
    }
}

DWORD WINAPI DialogWatcher::ThreadProc(void* self)
{
    auto* w = static_cast<DialogWatcher*>(self);
    do {
        auto& h = w->m_handled;
        h.erase(std::remove_if(h.begin(), h.end(), [](HWND x) { return !IsWindow(x); }),
                h.end());
        EnumWindows(EnumProc, reinterpret_cast<LPARAM>(w));
    } while (WaitForSingleObject(w->m_stop, 15) == WAIT_TIMEOUT);
    return 0;
}

BOOL CALLBACK DialogWatcher::EnumProc(HWND hwnd, LPARAM self)
{
    reinterpret_cast<DialogWatcher*>(self)->Visit(hwnd);
    return TRUE;
}

void DialogWatcher::Visit(HWND hwnd)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    // Wait until visible: texts are set while the dialog initialises, hidden.
    if (pid != GetCurrentProcessId() || !IsWindowVisible(hwnd) || !HasClass(hwnd, L"#32770"))
        return;
    if (std::find(m_handled.begin(), m_handled.end(), hwnd) != m_handled.end())
        return;
    m_handled.push_back(hwnd);
    NoteMet(hwnd);

    SeenDialog d;
    d.hwnd = hwnd;
    d.caption = StoredText(hwnd);
    for (HWND c = GetWindow(hwnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (!HasClass(c, L"Static"))
            continue;
        std::u16string t = StoredText(c);
        if (!t.empty())
            d.texts.push_back(t);
    }
    d.pressed = m_rule ? m_rule(d) : 0;
    {
        Lock l(m_lock);
        m_seen.push_back(d);
    }
    // Posted, as a click would be: the watcher never waits on the dialog's thread.
    if (d.pressed)
        PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(d.pressed, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(hwnd, d.pressed)));
}

int DialogWatcher::Count() const
{
    Lock l(m_lock);
    return static_cast<int>(m_seen.size());
}

std::vector<SeenDialog> DialogWatcher::Dialogs() const
{
    Lock l(m_lock);
    return m_seen;
}

std::u16string DialogWatcher::LastText() const
{
    Lock l(m_lock);
    return m_seen.empty() ? std::u16string() : m_seen.back().Text();
}

std::u16string DialogWatcher::LastCaption() const
{
    Lock l(m_lock);
    return m_seen.empty() ? std::u16string() : m_seen.back().caption;
}

bool DialogWatcher::WaitForCount(int n, DWORD timeoutMs)
{
    return WaitFor([this, n] { return Count() >= n; }, timeoutMs);
}

// ---- unanswered message boxes ----

UnansweredBoxGuard::UnansweredBoxGuard(DWORD graceMs) : m_grace(graceMs)
{
    m_stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_thread = CreateThread(nullptr, 0, ThreadProc, this, 0, nullptr);
}

UnansweredBoxGuard::~UnansweredBoxGuard()
{
    SetEvent(m_stop);
    WaitForSingleObject(m_thread, INFINITE);
    CloseHandle(m_thread);
    CloseHandle(m_stop);
}

DWORD WINAPI UnansweredBoxGuard::ThreadProc(void* self)
{
    auto* g = static_cast<UnansweredBoxGuard*>(self);
    do {
        g->Look();
    } while (WaitForSingleObject(g->m_stop, 100) == WAIT_TIMEOUT);
    return 0;
}

void UnansweredBoxGuard::Look()
{
    std::vector<HWND> boxes;
    EnumWindows(CollectBoxes, reinterpret_cast<LPARAM>(&boxes));
    std::vector<Pending> still;
    const DWORD now = GetTickCount();
    for (HWND box : boxes) {
        if (WasMet(box))
            continue;
        auto it = std::find_if(m_pending.begin(), m_pending.end(),
                               [box](const Pending& p) { return p.hwnd == box; });
        const DWORD since = it == m_pending.end() ? now : it->since;
        if (now - since < m_grace) {
            still.push_back({box, since});
            continue;
        }
        ADD_FAILURE() << "a message box nobody answered, closed after " << m_grace / 1000.0 << " s: \""
                      << Utf8(StoredText(box)) << "\": " << Utf8(StoredText(GetDlgItem(box, 0xFFFF)));
        NoteMet(box);
        // The least a user could have chosen.
        for (int id : {IDCANCEL, IDNO, IDOK, IDABORT, IDIGNORE}) {
            if (HWND button = GetDlgItem(box, id)) {
                PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
                break;
            }
        }
    }
    m_pending.swap(still);
}

// ---- message spy ----

MessageSpy::MessageSpy()
{
    InitializeCriticalSection(&m_lock);
}

MessageSpy::MessageSpy(HWND hwnd) : MessageSpy()
{
    Attach(hwnd);
}

MessageSpy::~MessageSpy()
{
    Detach();
    DeleteCriticalSection(&m_lock);
}

void MessageSpy::Attach(HWND hwnd)
{
    m_hwnd = hwnd;
    // A second spy on one window would forward to itself.
    if (!IsWindow(hwnd) || GetPropW(hwnd, kOriginalProp))
        return;
    m_original = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
    SetPropW(hwnd, kSpyProp, this);
    SetPropW(hwnd, kOriginalProp, reinterpret_cast<HANDLE>(m_original));
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SpyProc));
}

void MessageSpy::Detach()
{
    if (!IsWindow(m_hwnd) || GetPropW(m_hwnd, kSpyProp) != this)
        return;
    RemovePropW(m_hwnd, kSpyProp);
    // Whoever subclassed after us still calls SpyProc, which then only forwards.
    if (GetWindowLongPtrW(m_hwnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(SpyProc)) {
        SetWindowLongPtrW(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_original));
        RemovePropW(m_hwnd, kOriginalProp);
    }
}

LRESULT CALLBACK MessageSpy::SpyProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    auto original = reinterpret_cast<WNDPROC>(GetPropW(hwnd, kOriginalProp));
    if (auto* spy = static_cast<MessageSpy*>(GetPropW(hwnd, kSpyProp))) {
        {
            Lock l(spy->m_lock);
            spy->m_log.push_back({msg, wp, lp, GetTickCount()});
        }
        if (msg == WM_NCDESTROY)
            spy->Detach();
    }
    if (msg == WM_NCDESTROY)
        RemovePropW(hwnd, kOriginalProp);
    return original ? CallWindowProcW(original, hwnd, msg, wp, lp)
                    : DefWindowProcW(hwnd, msg, wp, lp);
}

std::vector<SpyMessage> MessageSpy::Messages() const
{
    Lock l(m_lock);
    return m_log;
}

int MessageSpy::Count(UINT msg) const
{
    Lock l(m_lock);
    return static_cast<int>(std::count_if(m_log.begin(), m_log.end(),
                                          [msg](const SpyMessage& m) { return m.msg == msg; }));
}

WPARAM MessageSpy::LastWParam(UINT msg) const
{
    Lock l(m_lock);
    for (auto it = m_log.rbegin(); it != m_log.rend(); ++it)
        if (it->msg == msg)
            return it->wParam;
    return 0;
}

LPARAM MessageSpy::LastLParam(UINT msg) const
{
    Lock l(m_lock);
    for (auto it = m_log.rbegin(); it != m_log.rend(); ++it)
        if (it->msg == msg)
            return it->lParam;
    return 0;
}

bool MessageSpy::WaitForMessage(UINT msg, DWORD timeoutMs, int count)
{
    return WaitFor([this, msg, count] { return Count(msg) >= count; }, timeoutMs);
}

void MessageSpy::Clear()
{
    Lock l(m_lock);
    m_log.clear();
}

MessageReceiver::MessageReceiver()
{
    const WCHAR kClass[] = L"OrvTestReceiver";
    HINSTANCE inst = GetModuleHandleW(nullptr);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = inst;
    wc.lpszClassName = kClass;
    RegisterClassW(&wc);  // fails harmlessly once registered
    // Subclassed after creation, so the log starts with what others send.
    Attach(CreateWindowExW(0, kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, inst,
                           nullptr));
}

MessageReceiver::~MessageReceiver()
{
    HWND hwnd = Hwnd();
    Detach();
    if (IsWindow(hwnd))
        DestroyWindow(hwnd);
}
