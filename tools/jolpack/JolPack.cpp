// jolpack: makes an update package and the service's version file that offers it.
//
//   jolpack --out PACKAGE [--stub FILE] (--folder DIR | NAME=FILE ...)
//           [--version-ini FILE --version TEXT --id N --url URL]
//
// Paths may be Unix or Windows paths.  Records follow the folder's name order (or the
// order of the NAME=FILE pairs); names use "\" between folders.
#include "SfxBuilder.h"
#include "Sha256.h"
#include "VersionFile.h"
#include <shellapi.h>
#include <stdio.h>

namespace {

void Print(FILE* f, const CString& s)
{
    int n = ::WideCharToMultiByte(CP_UTF8, 0, s, s.GetLength(), NULL, 0, NULL, NULL);
    std::string out(n > 0 ? n : 0, '\0');
    if (n > 0) ::WideCharToMultiByte(CP_UTF8, 0, s, s.GetLength(), &out[0], n, NULL, NULL);
    fprintf(f, "%s\n", out.c_str());
}

int Usage(LPCWSTR lpszProblem)
{
    if (lpszProblem) Print(stderr, CString(L"jolpack: ") + lpszProblem);
    fprintf(stderr,
            "usage: jolpack --out PACKAGE [--stub FILE] (--folder DIR | NAME=FILE ...)\n"
            "               [--version-ini FILE --version TEXT --id N --url URL]\n");
    return 2;
}

// Unix paths are turned into the platform's own; others are taken as they are.
CString PlatformPath(const CString& strArg)
{
    if (strArg.IsEmpty() || strArg[0] != '/') return strArg;
    int n = ::WideCharToMultiByte(CP_UTF8, 0, strArg, -1, NULL, 0, NULL, NULL);
    std::string unixPath(n, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, strArg, -1, &unixPath[0], n, NULL, NULL);
    WCHAR* dos = wine_get_dos_file_name(unixPath.c_str());
    if (dos == NULL) return strArg;
    CString result = dos;
    ::HeapFree(::GetProcessHeap(), 0, dos);
    return result;
}

} // namespace

int main()
{
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (argv == NULL) return Usage(L"cannot read the command line");

    CSfxBuilder builder;
    CString out, folder, versionIni, version, url;
    int id = 0;
    bool haveId = false, havePairs = false;
    for (int i = 1; i < argc; i++) {
        CString a = argv[i];
        bool hasValue = i + 1 < argc;
        if (a == L"--out" && hasValue) out = PlatformPath(argv[++i]);
        else if (a == L"--stub" && hasValue) builder.SetStub(PlatformPath(argv[++i]));
        else if (a == L"--folder" && hasValue) folder = PlatformPath(argv[++i]);
        else if (a == L"--version-ini" && hasValue) versionIni = PlatformPath(argv[++i]);
        else if (a == L"--version" && hasValue) version = argv[++i];
        else if (a == L"--url" && hasValue) url = argv[++i];
        else if (a == L"--id" && hasValue) {
            CString v = argv[++i];
            if (v.IsEmpty() || v.SpanIncluding(L"0123456789") != v || v.GetLength() > 9) return Usage(L"--id needs a number");
            id = 0;
            for (int k = 0; k < v.GetLength(); k++) id = id * 10 + (v[k] - '0');
            haveId = true;
        } else if (a.Find(L'=') > 0 && a.Left(2) != L"--") {
            int eq = a.Find(L'=');
            if (!builder.AddFile(a.Left(eq), PlatformPath(a.Mid(eq + 1)))) {
                Print(stderr, L"jolpack: " + builder.GetError());
                return 1;
            }
            havePairs = true;
        } else {
            return Usage(CString(L"unknown argument ") + a);
        }
    }
    ::LocalFree(argv);

    if (out.IsEmpty()) return Usage(L"--out is missing");
    if (folder.IsEmpty() == !havePairs) return Usage(L"give either --folder or NAME=FILE pairs");
    if (!versionIni.IsEmpty() && (version.IsEmpty() || !haveId || url.IsEmpty()))
        return Usage(L"--version-ini needs --version, --id and --url");
    if (!url.IsEmpty() && !IsServiceUrl(url))
        return Usage(L"--url must be http://host[:port]/.../ ending in \"/\" (the updater ignores anything else)");
    CString packageName = out.Mid(out.ReverseFind(L'\\') + 1);
    if (!versionIni.IsEmpty() && !IsPlainPackageName(packageName))
        return Usage(L"the package's file name must use only letters, digits and . - _ ~ + ( )");

    if (!folder.IsEmpty() && !builder.AddFolder(folder)) {
        Print(stderr, L"jolpack: " + builder.GetError());
        return 1;
    }
    if (!builder.Write(out)) {
        Print(stderr, L"jolpack: " + builder.GetError());
        return 1;
    }
    CString sha;
    LONGLONG size = 0;
    if (!Sha256OfFile(out, sha, size)) {
        Print(stderr, L"jolpack: cannot read back " + out);
        return 1;
    }
    CString line;
    line.Format(L"%s: %d files, %I64d bytes, sha256 %s", (LPCWSTR)out, builder.GetCount(), size, (LPCWSTR)sha);
    Print(stdout, line);

    if (!versionIni.IsEmpty()) {
        CVersionInfo info;
        info.m_strVersion = version;
        info.m_nVersionId = id;
        info.m_strUrl = url;
        info.m_strFile = packageName;
        info.m_bHasSize = TRUE;
        info.m_llSize = size;
        info.m_strSha256 = sha;
        ::DeleteFileW(versionIni);
        if (!info.WriteServiceFile(versionIni)) {
            Print(stderr, L"jolpack: cannot write " + versionIni);
            return 1;
        }
        ::WritePrivateProfileStringW(NULL, NULL, NULL, versionIni);
        Print(stdout, versionIni + L": version " + version + L", package " + packageName);
    }
    return 0;
}
