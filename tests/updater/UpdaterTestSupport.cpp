#include "UpdaterTestSupport.h"
#include "SfxBuilder.h"
#include "UpdateDlg.h"
#include <algorithm>

std::u16string U16(const CString& s)
{
    return std::u16string(reinterpret_cast<const char16_t*>((LPCWSTR)s), s.GetLength());
}

std::string Narrow(const std::u16string& s)
{
    std::string out;
    for (char16_t c : s)
        out += c < 0x80 ? (char)c : '?';
    return out;
}

CString Str(const std::string& s)
{
    int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), (int)s.size(), nullptr, 0);
    CString out;
    if (n > 0) {
        MultiByteToWideChar(CP_UTF8, 0, s.data(), (int)s.size(), out.GetBuffer(n), n);
        out.ReleaseBuffer(n);
    }
    return out;
}

// ---- files ----

ScratchFolder::ScratchFolder(const char* tag)
{
    WCHAR temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    static LONG s_counter = 0;
    CString name;
    name.Format(L"%sorvupd-%S-%lu-%ld\\", temp, tag, GetCurrentProcessId(), InterlockedIncrement(&s_counter));
    m_path = name;
    DeleteTree(m_path);
    CreateDirectoryW(m_path, nullptr);
}

ScratchFolder::~ScratchFolder() { DeleteTree(m_path); }

void DeleteTree(const CString& folder)
{
    CString base = folder;
    base.TrimRight(L'\\');
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW(base + L"\\*", &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            CString name = fd.cFileName;
            if (name == L"." || name == L"..")
                continue;
            CString full = base + L"\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                DeleteTree(full);
            } else {
                SetFileAttributesW(full, FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(full);
            }
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryW(base);
}

bool WriteBytes(const CString& path, const std::string& bytes)
{
    HANDLE h = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    size_t done = 0;
    bool ok = true;
    while (ok && done < bytes.size()) {
        DWORD put = 0, want = (DWORD)std::min<size_t>(bytes.size() - done, 1 << 24);
        ok = WriteFile(h, bytes.data() + done, want, &put, nullptr) && put == want;
        done += put;
    }
    CloseHandle(h);
    return ok;
}

bool ReadBytes(const CString& path, std::string& bytes)
{
    bytes.clear();
    HANDLE h = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size;
    GetFileSizeEx(h, &size);
    bytes.resize((size_t)size.QuadPart);
    size_t done = 0;
    bool ok = true;
    while (ok && done < bytes.size()) {
        DWORD got = 0, want = (DWORD)std::min<size_t>(bytes.size() - done, 1 << 24);
        ok = ReadFile(h, &bytes[done], want, &got, nullptr) && got > 0;
        done += got;
    }
    CloseHandle(h);
    return ok;
}

std::string ReadBytes(const CString& path)
{
    std::string bytes;
    ReadBytes(path, bytes);
    return bytes;
}

bool Exists(const CString& path) { return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }

static void ListInto(const CString& folder, const std::string& prefix, std::vector<std::string>& out)
{
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW(folder + L"*", &fd);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do {
        CString name = fd.cFileName;
        if (name == L"." || name == L"..")
            continue;
        int n = WideCharToMultiByte(CP_UTF8, 0, name, -1, nullptr, 0, nullptr, nullptr);
        std::string utf8(n - 1, '\0');
        WideCharToMultiByte(CP_UTF8, 0, name, -1, &utf8[0], n, nullptr, nullptr);
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ListInto(folder + name + L"\\", prefix + utf8 + "\\", out);
        else
            out.push_back(prefix + utf8);
    } while (FindNextFileW(h, &fd));
    FindClose(h);
}

std::vector<std::string> ListFiles(const CString& folder)
{
    CString base = folder;
    if (base.IsEmpty() || base[base.GetLength() - 1] != '\\')
        base += L'\\';
    std::vector<std::string> out;
    ListInto(base, "", out);
    std::sort(out.begin(), out.end());
    return out;
}

std::string PatternBytes(size_t size, unsigned seed)
{
    std::string s(size, '\0');
    uint32_t x = seed * 2654435761u + 12345;
    for (size_t i = 0; i < size; i++) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        s[i] = (char)(x >> 24);
    }
    return s;
}

// ---- packages ----

static void PutInt32(std::string& out, uint32_t v)
{
    for (int i = 0; i < 4; i++)
        out += (char)((v >> (8 * i)) & 0xFF);
}

std::string RawPackage(const std::string& data, const std::vector<RawRecord>& records, uint32_t count)
{
    std::string out = data;
    for (const RawRecord& r : records) {
        PutInt32(out, (uint32_t)r.offset);
        PutInt32(out, (uint32_t)r.size);
        out += r.name;
        PutInt32(out, (uint32_t)r.nameLength);
    }
    PutInt32(out, count);
    out += "!ZODI_SFX!";
    return out;
}

std::string MakePackageBytes(const std::vector<std::pair<std::string, std::string>>& files, const std::string& stub)
{
    std::string data = stub;
    std::vector<RawRecord> records;
    for (const auto& f : files) {
        records.push_back({ (int32_t)data.size(), (int32_t)f.second.size(), f.first, (int32_t)f.first.size() });
        data += f.second;
    }
    return RawPackage(data, records, (uint32_t)records.size());
}

// ---- the dialog on its own thread ----

class CRunUpdateDlg : public CUpdateDlg {
public:
    explicit CRunUpdateDlg(DialogRun* run) : m_run(run) {}

protected:
    BOOL OnInitDialog() override
    {
        BOOL r = CUpdateDlg::OnInitDialog();
        m_run->m_hwnd = m_hWnd;
        SetEvent(m_run->m_ready);
        return r;
    }

private:
    DialogRun* m_run;
};

DialogRun::DialogRun(const CString& ownFolder, const CString& commandLine)
    : m_ownFolder(ownFolder), m_commandLine(commandLine)
{
    m_ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_thread = CreateThread(nullptr, 0, ThreadProc, this, 0, nullptr);
    HANDLE both[2] = { m_ready, m_thread };
    WaitForMultipleObjects(2, both, FALSE, 20000);
}

DialogRun::~DialogRun()
{
    if (m_thread && WaitForSingleObject(m_thread, 0) == WAIT_TIMEOUT && IsWindow(m_hwnd)) {
        // Closed as a user would, agreeing to give up a running update.
        HWND main = m_hwnd;
        DialogWatcher yes([main](const SeenDialog& d) { return d.hwnd == main ? 0 : IDYES; });
        Click(IDCANCEL);
        WaitEnd(30000);
    }
    if (m_thread) {
        if (WaitForSingleObject(m_thread, 10000) == WAIT_TIMEOUT) {
            ADD_FAILURE() << "the update dialog did not close";
            TerminateThread(m_thread, 1);
        }
        CloseHandle(m_thread);
    }
    CloseHandle(m_ready);
}

DWORD WINAPI DialogRun::ThreadProc(void* self)
{
    auto* run = static_cast<DialogRun*>(self);
    {
        CRunUpdateDlg dlg(run);
        dlg.SetOwnFolder(run->m_ownFolder);
        dlg.SetCommandLine(run->m_commandLine);
        run->m_result = dlg.DoModal();
    }
    SetEvent(run->m_ready);
    return 0;
}

std::u16string DialogRun::Text(int id) const { return ControlText(m_hwnd, id); }

bool DialogRun::WaitStatus(const std::u16string& text, DWORD timeoutMs) const
{
    return WaitFor([&] { return Status() == text; }, timeoutMs);
}

bool DialogRun::WaitStatusPrefix(const std::u16string& prefix, DWORD timeoutMs) const
{
    return WaitFor([&] { return Status().compare(0, prefix.size(), prefix) == 0; }, timeoutMs);
}

bool DialogRun::IsEnabled(int id) const { return IsWindowEnabled(GetDlgItem(m_hwnd, id)) != FALSE; }

void DialogRun::Click(int id) const
{
    PostMessageW(m_hwnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(m_hwnd, id));
}

bool DialogRun::WaitEnd(DWORD timeoutMs)
{
    return WaitFor([this] { return WaitForSingleObject(m_thread, 0) == WAIT_OBJECT_0; }, timeoutMs);
}

// ---- the program in its own process ----

CString BinFolder()
{
    WCHAR path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    CString s(path, (int)n);
    return s.Left(s.ReverseFind(L'\\') + 1);
}

bool InstallUpdater(const CString& folder)
{
    CString bin = BinFolder();
    return CopyFileW(bin + L"JolUpdate.exe.so", folder + L"JolUpdate.exe", FALSE) &&
           CopyFileW(bin + L"orvfw.dll", folder + L"orvfw.dll", FALSE);
}

HANDLE StartProgram(const CString& exe, const CString& args, DWORD* pid)
{
    CString cmd = L"\"" + exe + L"\"";
    if (!args.IsEmpty())
        cmd += L" " + args;
    STARTUPINFOW si = { sizeof(si) };
    PROCESS_INFORMATION pi = {};
    CString dir = exe.Left(exe.ReverseFind(L'\\') + 1);
    if (!CreateProcessW(exe, cmd.GetBuffer(cmd.GetLength() + 1), nullptr, nullptr, FALSE, 0, nullptr, dir, &si, &pi))
        return nullptr;
    CloseHandle(pi.hThread);
    if (pid)
        *pid = pi.dwProcessId;
    return pi.hProcess;
}

std::u16string ControlText(HWND dlg, int id)
{
    WCHAR buf[1024];
    int n = InternalGetWindowText(GetDlgItem(dlg, id), buf, 1024);
    return std::u16string(reinterpret_cast<const char16_t*>(buf), n > 0 ? n : 0);
}

namespace {

struct EnumDialogs {
    DWORD pid;
    std::vector<ProcessDialog> found;
};

std::u16string StoredText(HWND hwnd)
{
    WCHAR buf[1024];
    int n = InternalGetWindowText(hwnd, buf, 1024);
    return std::u16string(reinterpret_cast<const char16_t*>(buf), n > 0 ? n : 0);
}

BOOL CALLBACK CollectDialog(HWND hwnd, LPARAM param)
{
    auto* e = reinterpret_cast<EnumDialogs*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    WCHAR cls[32];
    if (pid != e->pid || !IsWindowVisible(hwnd) || !GetClassNameW(hwnd, cls, 32) || lstrcmpW(cls, L"#32770"))
        return TRUE;
    ProcessDialog d;
    d.hwnd = hwnd;
    d.caption = StoredText(hwnd);
    for (HWND c = GetWindow(hwnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (GetClassNameW(c, cls, 32) && !lstrcmpiW(cls, L"Static")) {
            if (!d.texts.empty())
                d.texts += u'\n';
            d.texts += StoredText(c);
        }
    }
    e->found.push_back(d);
    return TRUE;
}

}  // namespace

std::vector<ProcessDialog> DialogsOf(DWORD pid)
{
    EnumDialogs e{ pid, {} };
    EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&e));
    return e.found;
}

HWND WaitDialogOf(DWORD pid, const std::u16string& containing, DWORD timeoutMs)
{
    HWND found = nullptr;
    WaitFor([&] {
        for (const ProcessDialog& d : DialogsOf(pid)) {
            if (d.caption.find(containing) != std::u16string::npos || d.texts.find(containing) != std::u16string::npos) {
                found = d.hwnd;
                return true;
            }
        }
        return false;
    }, timeoutMs);
    return found;
}
