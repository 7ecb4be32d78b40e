// The updater's download + check + unpack of a package from the local test server, against
// a plain internet-client download of the same bytes into one file (64 KB reads), and the
// updater's peak working set during the update against its idle dialog.
//
//   bench_update.exe [--mb 100,500]
#include "SfxBuilder.h"
#include "Sha256.h"
#include "VersionFile.h"
#include "support/TestHttpServer.h"
#include <psapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <wininet.h>
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

const int kStatusId = 1003;
const int kUpdateId = 1001;

double Now()
{
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return (double)c.QuadPart / (double)f.QuadPart;
}

CString Folder(const CString& parent, LPCWSTR name)
{
    CString f = parent + name + L"\\";
    CreateDirectoryW(f, nullptr);
    return f;
}

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
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteTree(base + L"\\" + name);
            else
                DeleteFileW(base + L"\\" + name);
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryW(base);
}

bool WritePattern(const CString& path, long long size, unsigned seed)
{
    HANDLE h = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    std::vector<uint32_t> block(256 * 1024);
    uint32_t x = seed * 2654435761u + 1;
    bool ok = true;
    for (long long done = 0; ok && done < size;) {
        for (uint32_t& v : block) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            v = x;
        }
        DWORD want = (DWORD)std::min<long long>(size - done, (long long)block.size() * 4), put = 0;
        ok = WriteFile(h, block.data(), want, &put, nullptr) && put == want;
        done += want;
    }
    CloseHandle(h);
    return ok;
}

// Mixed sizes, from small files to large modules, adding up to the total.
bool MakePackage(const CString& src, const CString& package, long long total, int& files)
{
    static const long long kSizes[] = { 4 << 10, 60 << 10, 700 << 10, 3 << 20, 16 << 20, 48 << 20, 1 << 10, 200 << 10 };
    CSfxBuilder builder;
    long long left = total;
    files = 0;
    CreateDirectoryW(src + L"lib", nullptr);
    for (int i = 0; left > 0 && files < 250; i++) {
        long long size = std::min(kSizes[i % 8], left);
        CString name;
        name.Format(i % 3 ? L"lib\\part%03d.bin" : L"file%03d.dat", i);
        if (!WritePattern(src + name, size, (unsigned)i + 1) || !builder.AddFile(name, src + name))
            return false;
        left -= size;
        files++;
    }
    return builder.Write(package);
}

double PlainDownload(unsigned short port, const CString& object, const CString& out, long long& bytes)
{
    bytes = 0;
    double start = Now();
    HINTERNET net = InternetOpenW(L"bench", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    HINTERNET con = InternetConnectW(net, L"127.0.0.1", port, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
    HINTERNET req = HttpOpenRequestW(con, L"GET", object, nullptr, nullptr, nullptr,
                                     INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0);
    HANDLE file = CreateFileW(out, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (req && HttpSendRequestW(req, nullptr, 0, nullptr, 0) && file != INVALID_HANDLE_VALUE) {
        std::vector<char> block(64 * 1024);
        DWORD got = 0, put = 0;
        while (InternetReadFile(req, block.data(), (DWORD)block.size(), &got) && got > 0) {
            WriteFile(file, block.data(), got, &put, nullptr);
            bytes += got;
        }
    }
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    InternetCloseHandle(req);
    InternetCloseHandle(con);
    InternetCloseHandle(net);
    return Now() - start;
}

CString StatusOf(HWND dlg)
{
    WCHAR buf[512];
    int n = InternalGetWindowText(GetDlgItem(dlg, kStatusId), buf, 512);
    return CString(buf, n > 0 ? n : 0);
}

struct FindDialog {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindUpdateDialog(HWND hwnd, LPARAM param)
{
    auto* f = reinterpret_cast<FindDialog*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == f->pid && IsWindowVisible(hwnd) && GetDlgItem(hwnd, kStatusId))
        f->found = hwnd;
    return TRUE;
}

bool WaitUntil(const std::function<bool()>& cond, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!cond()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(10);
    }
    return true;
}

bool RunOne(const CString& root, const CString& bin, int megabytes)
{
    const long long total = (long long)megabytes << 20;
    CString srv = Folder(root, L"srv");
    CString svc = Folder(Folder(srv, L"html"), L"softwareupdate");
    CString src = Folder(root, L"src");
    CString app = Folder(root, L"app");
    int files = 0;
    printf("%d MB: making the package...\n", megabytes);
    if (!MakePackage(src, svc + L"bench.pkg", total, files)) {
        printf("cannot make the package\n");
        return false;
    }
    DeleteTree(src);

    TestHttpServer server(std::u16string(reinterpret_cast<const char16_t*>((LPCWSTR)srv), srv.GetLength()));
    if (!server.Start()) {
        printf("cannot start the server\n");
        return false;
    }
    CString base;
    base.Format(L"http://127.0.0.1:%d/html/softwareupdate/", (int)server.Port());
    CVersionInfo offer;
    offer.m_strVersion = L"2.0.0.0";
    offer.m_nVersionId = 2;
    offer.m_strUrl = base;
    offer.m_strFile = L"bench.pkg";
    offer.m_bHasSize = TRUE;
    Sha256OfFile(svc + L"bench.pkg", offer.m_strSha256, offer.m_llSize);
    offer.WriteServiceFile(svc + L"version.ini");
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, svc + L"version.ini");
    WriteInstalledVersion(app + L"version.ini", L"1.0.0.0", 1, base, L"");

    long long refBytes = 0;
    double ref = PlainDownload(server.Port(), L"/html/softwareupdate/bench.pkg", root + L"reference.bin", refBytes);
    DeleteFileW(root + L"reference.bin");

    // The package's subfolder exists in the extraction folder, as it would in an installation.
    Folder(Folder(Folder(app, L"Update"), L"JolExtract"), L"lib");
    CopyFileW(bin + L"JolUpdate.exe.so", app + L"JolUpdate.exe", FALSE);
    CopyFileW(bin + L"orvfw.dll", app + L"orvfw.dll", FALSE);
    STARTUPINFOW si = { sizeof(si) };
    PROCESS_INFORMATION pi = {};
    CString exe = app + L"JolUpdate.exe";
    CString cmd = L"\"" + exe + L"\"";
    if (!CreateProcessW(exe, cmd.GetBuffer(cmd.GetLength() + 1), nullptr, nullptr, FALSE, 0, nullptr, app, &si, &pi)) {
        printf("cannot start the updater\n");
        return false;
    }
    CloseHandle(pi.hThread);
    FindDialog fd{ pi.dwProcessId, nullptr };
    bool ok = WaitUntil([&] {
        EnumWindows(FindUpdateDialog, (LPARAM)&fd);
        return fd.found && StatusOf(fd.found) == L"A new version of the software can be updated!";
    }, 60000);
    PROCESS_MEMORY_COUNTERS idle = { sizeof(idle) }, after = { sizeof(after) };
    double took = 0;
    CString done;
    done.Format(L"%d files extracted successfully!", files);
    if (ok) {
        GetProcessMemoryInfo(pi.hProcess, &idle, sizeof(idle));
        double start = Now();
        PostMessageW(fd.found, WM_COMMAND, MAKEWPARAM(kUpdateId, BN_CLICKED), (LPARAM)GetDlgItem(fd.found, kUpdateId));
        bool failed = false;
        WaitUntil([&] {
            CString status = StatusOf(fd.found);
            failed = status == L"Internal Error!" || status == L"Download new application failed!" ||
                     status == L"Archive contains no data!";
            return failed || status == done;
        }, 1800000);
        took = Now() - start;
        ok = StatusOf(fd.found) == done;
        GetProcessMemoryInfo(pi.hProcess, &after, sizeof(after));
    }
    if (!ok) {
        char status[512];
        WideCharToMultiByte(CP_UTF8, 0, fd.found ? StatusOf(fd.found) : CString(L"no dialog"), -1, status, 512, nullptr, nullptr);
        printf("the update did not finish: %s\n", status);
    }
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, 10000);
    CloseHandle(pi.hProcess);
    server.Stop();
    DeleteTree(app);
    DeleteTree(srv);
    if (!ok)
        return false;

    const double mb = (double)refBytes / (1 << 20);
    printf("%d MB, %d files: plain download %.2f s (%.0f MB/s), update %.2f s, update / plain download %.2f (aim <= 2.5)\n",
           megabytes, files, ref, mb / ref, took, took / ref);
    printf("%d MB: working set idle %.1f MB, peak %.1f MB, peak above idle %.1f MB (aim <= 64)\n", megabytes,
           idle.WorkingSetSize / 1048576.0, after.PeakWorkingSetSize / 1048576.0,
           ((double)after.PeakWorkingSetSize - (double)idle.WorkingSetSize) / 1048576.0);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    setvbuf(stdout, nullptr, _IONBF, 0);
    ClearProxyEnvironment();
    std::vector<int> sizes = { 100, 500 };
    for (int i = 1; i + 1 < argc; i++)
        if (!strcmp(argv[i], "--mb")) {
            sizes.clear();
            for (char* p = argv[i + 1]; *p;) {
                sizes.push_back(atoi(p));
                while (*p && *p != ',')
                    p++;
                if (*p)
                    p++;
            }
        }
    WCHAR path[MAX_PATH], temp[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    CString bin(path, (int)n);
    bin = bin.Left(bin.ReverseFind(L'\\') + 1);
    GetTempPathW(MAX_PATH, temp);
    CString root;
    root.Format(L"%sorv-bench-update-%lu\\", temp, GetCurrentProcessId());
    CreateDirectoryW(root, nullptr);
    bool ok = true;
    for (int mb : sizes)
        ok = RunOne(root, bin, mb) && ok;
    DeleteTree(root);
    return ok ? 0 : 1;
}
