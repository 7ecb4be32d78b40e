// Helpers for tests that drive real windows: answering modal dialogs from a side
// thread, recording the messages a window receives, waiting without fixed sleeps,
// and screenshots kept beside the test programs.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

// Pumps this thread's messages until cond() holds or timeoutMs has passed; returns
// whether it held. The only way tests should wait.
bool WaitFor(const std::function<bool()>& cond, DWORD timeoutMs);
// Pumps this thread's messages for ms milliseconds (e.g. to let a window settle).
void PumpMessagesFor(DWORD ms);

// One modal dialog or message box the watcher met.
struct SeenDialog {
    HWND hwnd = nullptr;
    std::u16string caption;
    std::vector<std::u16string> texts;  // non-empty static texts, in child order
    int pressed = 0;                     // button id pressed, 0 when left alone
    std::u16string Text() const;         // texts joined by '\n'
};

// Watches for visible dialogs (class "#32770") of this process from its own thread
// and presses a button on each, so code under test can show message boxes.
class DialogWatcher {
public:
    // Gets the dialog as seen and returns the button id to press, or 0 to leave
    // it alone. Runs on the watcher thread.
    using Rule = std::function<int(const SeenDialog&)>;

    explicit DialogWatcher(int button = IDOK);
    explicit DialogWatcher(Rule rule);
    ~DialogWatcher();
    DialogWatcher(const DialogWatcher&) = delete;
    DialogWatcher& operator=(const DialogWatcher&) = delete;

    void Stop();                          // ends the thread; idempotent
    int Count() const;
    std::vector<SeenDialog> Dialogs() const;
    std::u16string LastText() const;      // Text() of the latest dialog, "" if none
    std::u16string LastCaption() const;
    bool WaitForCount(int n, DWORD timeoutMs);  // pumps this thread while waiting

private:
    static DWORD WINAPI ThreadProc(void* self);
    static BOOL CALLBACK EnumProc(HWND hwnd, LPARAM self);
    void Start();
    void Visit(HWND hwnd);

    Rule m_rule;
    HANDLE m_thread = nullptr;
    HANDLE m_stop = nullptr;
    mutable CRITICAL_SECTION m_lock;
    std::vector<SeenDialog> m_seen;
    std::vector<HWND> m_handled;  // touched by the watcher thread only
};

// Fails the running test when a message box of this process stays unanswered: a box
// that no DialogWatcher has met within graceMs is reported as a failure with its
// caption and text, then closed (Cancel, No or OK), so a fault shows as a failure
// rather than a test waiting for ever.  The shared main() keeps one for the whole run.
class UnansweredBoxGuard {
public:
    explicit UnansweredBoxGuard(DWORD graceMs = 5000);
    ~UnansweredBoxGuard();
    UnansweredBoxGuard(const UnansweredBoxGuard&) = delete;
    UnansweredBoxGuard& operator=(const UnansweredBoxGuard&) = delete;

private:
    static DWORD WINAPI ThreadProc(void* self);
    void Look();

    struct Pending {
        HWND hwnd;
        DWORD since;
    };
    DWORD m_grace;
    HANDLE m_thread = nullptr;
    HANDLE m_stop = nullptr;
    std::vector<Pending> m_pending;  // guard thread only
};

struct SpyMessage {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;  // GetTickCount() on arrival
};

// Subclasses a window and records every message its procedure gets, then passes
// it on. One spy per window; the original procedure is restored on destruction.
class MessageSpy {
public:
    explicit MessageSpy(HWND hwnd);
    virtual ~MessageSpy();
    MessageSpy(const MessageSpy&) = delete;
    MessageSpy& operator=(const MessageSpy&) = delete;

    HWND Hwnd() const { return m_hwnd; }
    std::vector<SpyMessage> Messages() const;
    int Count(UINT msg) const;
    WPARAM LastWParam(UINT msg) const;  // 0 when none arrived
    LPARAM LastLParam(UINT msg) const;
    // Pumps this thread until msg has arrived `count` times in all.
    bool WaitForMessage(UINT msg, DWORD timeoutMs, int count = 1);
    void Clear();

protected:
    MessageSpy();
    void Attach(HWND hwnd);
    void Detach();

private:
    static LRESULT CALLBACK SpyProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    HWND m_hwnd = nullptr;
    WNDPROC m_original = nullptr;
    mutable CRITICAL_SECTION m_lock;
    std::vector<SpyMessage> m_log;
};

// A hidden message-only window of its own, for code that posts to an HWND; it
// records what arrives. It belongs to the thread that creates it, which must pump.
class MessageReceiver : public MessageSpy {
public:
    MessageReceiver();
    ~MessageReceiver() override;
};

// The pixels of a w x h rectangle at (x, y) of a device context (a window's, or the
// screen's for what is on the display), as 0x00RRGGBB row by row; empty on failure.
std::vector<DWORD> GrabPixels(HDC src, int x, int y, int w, int h);

// Unix folder "screenshots" beside the test program, created on first use.
std::string ScreenshotDir();
// Captures hwnd (window rectangle, frame included) or the whole screen when null,
// as it is on screen now, and writes a PNG at unixPath. Paint first.
bool SaveScreenshotPng(HWND hwnd, const char* unixPath);
// Same, into ScreenshotDir()/<name>.png; returns that path, "" on failure.
std::string SaveScreenshot(HWND hwnd, const char* name);
