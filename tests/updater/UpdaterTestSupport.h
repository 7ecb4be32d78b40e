// Helpers shared by the updater's tests: scratch folders, files as bytes, packages made
// by the builder or crafted byte by byte, and the update dialog run on a thread of its own.
#pragma once
#include "afxwin.h"
#include "support/gtest.h"
#include "support/wintest.h"
#include <functional>
#include <string>
#include <vector>

std::u16string U16(const CString& s);
std::string Narrow(const std::u16string& s);   // for messages
CString Str(const std::string& s);          // ASCII/UTF-8 to CString

// A fresh folder under the temporary folder, removed with everything in it at the end.
class ScratchFolder {
public:
    explicit ScratchFolder(const char* tag);
    ~ScratchFolder();
    const CString& Path() const { return m_path; }   // with a trailing "\"
    CString operator/(const CString& name) const { return m_path + name; }

private:
    CString m_path;
};

void DeleteTree(const CString& folder);
bool WriteBytes(const CString& path, const std::string& bytes);
bool ReadBytes(const CString& path, std::string& bytes);
std::string ReadBytes(const CString& path);
bool Exists(const CString& path);
// Names (relative, "\" between folders) of every file below a folder, sorted.
std::vector<std::string> ListFiles(const CString& folder);
// Deterministic content of any size.
std::string PatternBytes(size_t size, unsigned seed);

// A table record as it is stored; every field may be anything.
struct RawRecord {
    int32_t offset;
    int32_t size;
    std::string name;
    int32_t nameLength;   // normally name.size()
};
// Data bytes, then the records (record 0 first), the count and the marker.
std::string RawPackage(const std::string& data, const std::vector<RawRecord>& records, uint32_t count);
// A well-formed package of the given files (name, content), stored in order.
std::string MakePackageBytes(const std::vector<std::pair<std::string, std::string>>& files,
                             const std::string& stub = std::string());

// The update dialog on a thread of its own, driven from the test thread as a user would.
class DialogRun {
public:
    DialogRun(const CString& ownFolder, const CString& commandLine = CString());
    ~DialogRun();

    HWND Hwnd() const { return m_hwnd; }
    bool Started() const { return m_hwnd != nullptr; }
    std::u16string Text(int id) const;           // read without waiting on the dialog
    std::u16string Status() const { return Text(1003); }
    bool WaitStatus(const std::u16string& text, DWORD timeoutMs) const;
    bool WaitStatusPrefix(const std::u16string& prefix, DWORD timeoutMs) const;
    bool IsEnabled(int id) const;
    void Click(int id) const;                    // posted, as a click is
    // Waits for the modal run to end; returns whether it did.
    bool WaitEnd(DWORD timeoutMs);
    INT_PTR Result() const { return m_result; }

private:
    static DWORD WINAPI ThreadProc(void* self);
    CString m_ownFolder;
    CString m_commandLine;
    HANDLE m_thread = nullptr;
    HANDLE m_ready = nullptr;
    HWND m_hwnd = nullptr;
    volatile INT_PTR m_result = -2;
    friend class CRunUpdateDlg;
};

// The updater program beside the tests, and the framework module it needs.
CString BinFolder();
// Copies JolUpdate and the framework module into a folder so it runs from there.
bool InstallUpdater(const CString& folder);
// Starts a program with a command line; returns the process handle (caller closes).
HANDLE StartProgram(const CString& exe, const CString& args, DWORD* pid = nullptr);

// Visible dialogs of another process: caption and static texts, read without waiting on
// that process.
struct ProcessDialog {
    HWND hwnd = nullptr;
    std::u16string caption;
    std::u16string texts;   // static texts joined by '\n'
};
std::vector<ProcessDialog> DialogsOf(DWORD pid);
// Waits for a dialog of the process whose caption or texts contain the text.
HWND WaitDialogOf(DWORD pid, const std::u16string& containing, DWORD timeoutMs);
std::u16string ControlText(HWND dlg, int id);
