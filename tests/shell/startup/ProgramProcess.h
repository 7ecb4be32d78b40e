// Orvisnap.exe started as a process from a test: its windows found from outside, its
// message boxes read and answered, its end awaited.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

struct ProgramBox {
    HWND hwnd = nullptr;
    std::u16string caption;
    std::u16string text;   // static texts joined by '\n'
};

class ProgramProcess {
public:
    ProgramProcess() = default;
    ~ProgramProcess();
    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;

    // Starts build/bin/Orvisnap.exe with the arguments; benchFile (a Windows path) sets
    // ORV_BENCH_FILE for the child, empty leaves the default bench.
    bool Start(const std::u16string& args = u"", const std::u16string& benchFile = u"");
    DWORD Pid() const { return m_pi.dwProcessId; }
    // Waits (pumping) for the visible top-level window titled "Orvisnap" of the process.
    HWND WaitForMainWindow(DWORD timeoutMs);
    // Waits for a visible message box (or other captioned dialog) of the process; empty
    // text when none came.
    ProgramBox WaitForBox(DWORD timeoutMs);
    std::vector<ProgramBox> Boxes();
    // Presses a button of a box (IDOK, IDCANCEL...).
    static void Press(const ProgramBox& box, int id);
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr);
    bool Running() const;
    // Closes the main window and waits; kills the process when it does not end.
    void Close(DWORD timeoutMs = 20000);
    void Kill();

private:
    PROCESS_INFORMATION m_pi = {};
};

// The folder of the test programs (build/bin), with a trailing backslash.
std::u16string BinFolder();
// Reads a REG_SZ under HKEY_CURRENT_USER; empty when missing.
std::u16string ReadUserString(const std::u16string& key, const std::u16string& value);
