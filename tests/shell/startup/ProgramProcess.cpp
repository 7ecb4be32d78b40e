#include "ProgramProcess.h"
#include "support/wintest.h"

namespace {

const WCHAR* W(const std::u16string& s) { return reinterpret_cast<const WCHAR*>(s.c_str()); }

struct FindData {
    DWORD pid;
    HWND found;
    bool boxes;
    std::vector<HWND> all;
};

BOOL CALLBACK FindTopLevel(HWND hwnd, LPARAM lp)
{
    FindData* d = reinterpret_cast<FindData*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != d->pid || !IsWindowVisible(hwnd))
        return TRUE;
    WCHAR cls[64] = {0}, text[256] = {0};
    GetClassNameW(hwnd, cls, 64);
    InternalGetWindowText(hwnd, text, 256);
    if (d->boxes) {
        // Message boxes and modal dialogs have a caption; the program's panels none.
        if (!lstrcmpW(cls, L"#32770") && (GetWindowLongW(hwnd, GWL_STYLE) & WS_CAPTION) == WS_CAPTION)
            d->all.push_back(hwnd);
    } else if (!lstrcmpW(text, L"Orvisnap") && lstrcmpW(cls, L"#32770")) {
        d->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectStatic(HWND hwnd, LPARAM lp)
{
    auto* texts = reinterpret_cast<std::u16string*>(lp);
    WCHAR cls[64] = {0}, text[1024] = {0};
    GetClassNameW(hwnd, cls, 64);
    if (!lstrcmpiW(cls, L"Static") && InternalGetWindowText(hwnd, text, 1024) > 0) {
        if (!texts->empty())
            *texts += u'\n';
        *texts += reinterpret_cast<const char16_t*>(text);
    }
    return TRUE;
}

}  // namespace

std::u16string BinFolder()
{
    WCHAR path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::u16string s(reinterpret_cast<const char16_t*>(path), n);
    return s.substr(0, s.find_last_of(u'\\') + 1);
}

std::u16string ReadUserString(const std::u16string& key, const std::u16string& value)
{
    WCHAR buf[2048] = {0};
    DWORD size = sizeof(buf);
    if (RegGetValueW(HKEY_CURRENT_USER, W(key), W(value), RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS)
        return std::u16string();
    return std::u16string(reinterpret_cast<const char16_t*>(buf));
}

ProgramProcess::~ProgramProcess()
{
    if (m_pi.hProcess) {
        if (Running())
            Kill();
        CloseHandle(m_pi.hProcess);
        CloseHandle(m_pi.hThread);
    }
}

bool ProgramProcess::Start(const std::u16string& args, const std::u16string& benchFile)
{
    // A Winelib program is started through its module file.
    // Found beside this test program, which is where CreateProcess looks first.
    std::u16string cmd = u"Orvisnap.exe.so";
    if (!args.empty())
        cmd += u" " + args;
    WCHAR old[1024] = {0};
    DWORD had = GetEnvironmentVariableW(L"ORV_BENCH_FILE", old, 1024);
    if (!benchFile.empty())
        SetEnvironmentVariableW(L"ORV_BENCH_FILE", W(benchFile));
    STARTUPINFOW si = {sizeof si};
    std::vector<WCHAR> line(cmd.begin(), cmd.end());
    line.push_back(0);
    std::u16string folder = BinFolder();
    BOOL ok = CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, W(folder), &si, &m_pi);
    SetEnvironmentVariableW(L"ORV_BENCH_FILE", had ? old : nullptr);
    return ok != FALSE;
}

HWND ProgramProcess::WaitForMainWindow(DWORD timeoutMs)
{
    FindData d = {m_pi.dwProcessId, nullptr, false, {}};
    WaitFor([&] {
        d.found = nullptr;
        EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&d));
        return d.found != nullptr;
    }, timeoutMs);
    return d.found;
}

std::vector<ProgramBox> ProgramProcess::Boxes()
{
    FindData d = {m_pi.dwProcessId, nullptr, true, {}};
    EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&d));
    std::vector<ProgramBox> boxes;
    for (HWND h : d.all) {
        ProgramBox b;
        b.hwnd = h;
        WCHAR caption[256] = {0};
        InternalGetWindowText(h, caption, 256);
        b.caption = reinterpret_cast<const char16_t*>(caption);
        EnumChildWindows(h, CollectStatic, reinterpret_cast<LPARAM>(&b.text));
        boxes.push_back(b);
    }
    return boxes;
}

ProgramBox ProgramProcess::WaitForBox(DWORD timeoutMs)
{
    ProgramBox found;
    WaitFor([&] {
        std::vector<ProgramBox> boxes = Boxes();
        for (const ProgramBox& b : boxes) {
            if (!b.text.empty()) {
                found = b;
                return true;
            }
        }
        return false;
    }, timeoutMs);
    return found;
}

void ProgramProcess::Press(const ProgramBox& box, int id)
{
    PostMessageW(box.hwnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box.hwnd, id)));
}

bool ProgramProcess::Running() const
{
    return m_pi.hProcess && WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT;
}

bool ProgramProcess::WaitForExit(DWORD timeoutMs, DWORD* exitCode)
{
    bool ended = WaitFor([&] { return !Running(); }, timeoutMs);
    if (ended && exitCode)
        GetExitCodeProcess(m_pi.hProcess, exitCode);
    return ended;
}

void ProgramProcess::Close(DWORD timeoutMs)
{
    HWND main = WaitForMainWindow(0);
    if (main)
        PostMessageW(main, WM_CLOSE, 0, 0);
    if (!WaitForExit(timeoutMs))
        Kill();
}

void ProgramProcess::Kill()
{
    TerminateProcess(m_pi.hProcess, 1);
    WaitForSingleObject(m_pi.hProcess, 5000);
}
