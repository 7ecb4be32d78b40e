// The package reader against well-formed, damaged and hostile packages.
#include "UpdaterTestSupport.h"
#include "SfxBuilder.h"
#include <map>
#include <stdlib.h>

namespace {

class SfxPackageTest : public testing::Test {
protected:
    SfxPackageTest() : m_root("sfx")
    {
        // root\target\ is where packages go; root\ must never receive anything else.
        CreateDirectoryW(m_root / L"target", nullptr);
        CreateDirectoryW(Target() + L"sub", nullptr);
    }
    CString Target() const { return m_root / L"target\\"; }
    CString PackagePath() const { return m_root / L"package.bin"; }

    int OpenBytes(CSfxPackage& pkg, const std::string& bytes)
    {
        EXPECT_TRUE(WriteBytes(PackagePath(), bytes));
        return pkg.Open(PackagePath());
    }

    // Everything below root except the package itself and what is below target\.
    std::vector<std::string> Outside() const
    {
        std::vector<std::string> out;
        for (const std::string& f : ListFiles(m_root.Path()))
            if (f != "package.bin" && f.compare(0, 7, "target\\") != 0)
                out.push_back(f);
        return out;
    }

    ScratchFolder m_root;
};

struct Seen {
    std::vector<std::string> names;
};

std::string Utf8(const CString& s)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, s, s.GetLength(), nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n : 0, '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, s, s.GetLength(), &out[0], n, nullptr, nullptr);
    return out;
}

std::string AsciiLower(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = (char)(c - 'A' + 'a');
    return s;
}

void RecordEntry(CSfxEntry* entry, void* context)
{
    // The entry's first member is its name.
    static_cast<Seen*>(context)->names.push_back(Utf8(*reinterpret_cast<const CString*>(entry)));
}

}  // namespace

TEST_F(SfxPackageTest, WellFormedPackageExtractsByteExactLastRecordFirst)
{
    const std::string big = PatternBytes(700 * 1024, 1);
    const std::string stub = "MZ" + PatternBytes(5000, 2);
    CSfxPackage pkg;
    ASSERT_EQ(OpenBytes(pkg, MakePackageBytes({ { "first.dll", big }, { "sub\\second.txt", "second" },
                                                { "empty.dat", "" }, { "\xe8\xaf\xb4\xe6\x98\x8e.txt", "utf-8 name" } },
                                              stub)),
              SFX_OK);
    EXPECT_EQ(pkg.GetFileCount(), 4u);
    EXPECT_EQ(pkg.GetEntry(0).m_strName, CString(L"first.dll"));
    EXPECT_EQ(pkg.GetEntry(0).m_nOffset, (INT32)stub.size());
    EXPECT_EQ(pkg.GetEntry(1).m_strName, CString(L"sub\\second.txt"));
    EXPECT_EQ(pkg.GetEntry(3).m_strName, CString(L"说明.txt"));
    EXPECT_EQ(pkg.GetTailLength(), 14u + 4 * 12 + 9 + 14 + 9 + 10);

    // An older file of the same name is replaced.
    ASSERT_TRUE(WriteBytes(Target() + L"first.dll", "old content"));
    Seen seen;
    EXPECT_EQ(pkg.ExtractAll(m_root / L"target", RecordEntry, &seen), SFX_OK);
    EXPECT_EQ(seen.names, (std::vector<std::string>{ "\xe8\xaf\xb4\xe6\x98\x8e.txt", "empty.dat", "sub\\second.txt",
                                                     "first.dll" }));
    EXPECT_EQ(ReadBytes(Target() + L"first.dll"), big);
    EXPECT_EQ(ReadBytes(Target() + L"sub\\second.txt"), "second");
    EXPECT_TRUE(Exists(Target() + L"empty.dat"));
    EXPECT_EQ(ReadBytes(Target() + L"empty.dat"), "");
    EXPECT_EQ(ReadBytes(Target() + L"说明.txt"), "utf-8 name");
    // No temporary files stay behind.
    EXPECT_EQ(ListFiles(Target()).size(), 4u);
    EXPECT_TRUE(Outside().empty());
}

TEST_F(SfxPackageTest, TrailerAndCountProblemsAreReportedBeforeAnythingIsWritten)
{
    CSfxPackage pkg;
    const std::string good = MakePackageBytes({ { "a.txt", "aaa" } });
    for (size_t i = 0; i < 10; i++) {
        std::string bad = good;
        bad[bad.size() - 10 + i] ^= 0x20;
        EXPECT_EQ(OpenBytes(pkg, bad), SFX_NO_TRAILER) << "marker byte " << i;
    }
    EXPECT_EQ(OpenBytes(pkg, ""), SFX_NO_TRAILER);
    EXPECT_EQ(OpenBytes(pkg, "!ZODI_SFX!"), SFX_BAD_TABLE);   // no room for the count
    EXPECT_EQ(OpenBytes(pkg, RawPackage("data", {}, 0)), SFX_NO_FILES);
    EXPECT_EQ(pkg.GetFileCount(), 0u);
    EXPECT_EQ(pkg.Open(m_root / L"missing.bin"), SFX_OPEN_FAILED);

    // A package that vanished between opening and extracting.
    ASSERT_EQ(OpenBytes(pkg, good), SFX_OK);
    DeleteFileW(PackagePath());
    EXPECT_EQ(pkg.ExtractAll(Target()), SFX_READ_FAILED);
    EXPECT_TRUE(ListFiles(Target()).empty());
}

TEST_F(SfxPackageTest, NamesThatLeaveTheTargetFolderAreRefused)
{
    const char* const hostile[] = {
        "..\\evil.txt", "../evil.txt", "sub\\..\\..\\evil.txt", "sub/../../evil.txt", "..", "...", "sub\\...\\x",
        "C:\\evil.txt", "C:evil.txt", "c:/evil.txt", "\\evil.txt", "/evil.txt", "\\\\?\\C:\\evil.txt",
        "\\\\host\\share\\evil.txt", "//host/share/evil.txt", "a:b", "file.txt:stream", "file.txt::$DATA",
        "CON", "con.txt", "sub\\NUL", "COM1", "lpt9.log", "AUX .txt", "CONOUT$", "", "sub\\\\x", "sub\\",
        "x.", "x ", "sub\\x*", "sub\\x?", "a|b", "<a>", "tab\there", "\".txt",
    };
    for (const char* name : hostile) {
        CSfxPackage pkg;
        // The hostile name sits between two harmless ones: nothing at all may be written.
        std::string bytes = MakePackageBytes({ { "ok1.txt", "1" }, { name, "evil" }, { "ok2.txt", "2" } });
        EXPECT_EQ(OpenBytes(pkg, bytes), SFX_BAD_TABLE) << "name: " << name;
        EXPECT_EQ(pkg.GetFileCount(), 0u) << name;
        EXPECT_EQ(pkg.ExtractAll(Target()), SFX_OK);   // nothing to extract
        EXPECT_TRUE(ListFiles(Target()).empty()) << name;
    }
    EXPECT_TRUE(Outside().empty());

    // Bytes that are not UTF-8 are refused too; a relative subfolder is fine.
    CSfxPackage pkg;
    EXPECT_EQ(OpenBytes(pkg, MakePackageBytes({ { "bad\xff.txt", "x" } })), SFX_BAD_TABLE);
    EXPECT_EQ(OpenBytes(pkg, MakePackageBytes({ { "sub/fwd.txt", "x" }, { "dots.in.name.txt", "y" } })), SFX_OK);
    EXPECT_EQ(pkg.ExtractAll(Target()), SFX_OK);
    EXPECT_EQ(ReadBytes(Target() + L"sub\\fwd.txt"), "x");
}

TEST_F(SfxPackageTest, DamagedTablesAreRefusedBeforeAnythingIsWritten)
{
    const std::string data = "0123456789";
    auto rec = [](int32_t off, int32_t size, std::string name = "a.txt", int32_t len = -999) {
        return RawRecord{ off, size, name, len == -999 ? (int32_t)name.size() : len };
    };
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        { "count above 256", RawPackage(data, std::vector<RawRecord>(257, rec(0, 1)), 257) },
        { "count larger than the table", RawPackage(data, { rec(0, 1) }, 5) },
        { "count of all ones", RawPackage(data, { rec(0, 1) }, 0xFFFFFFFFu) },
        { "name length 1000", RawPackage(data, { rec(0, 1, std::string(1000, 'n')) }, 1) },
        { "name length 0", RawPackage(data, { rec(0, 1, "", 0) }, 1) },
        { "negative name length", RawPackage(data, { rec(0, 1, "a.txt", -5) }, 1) },
        { "name length past the start", RawPackage(data, { rec(0, 1, "a.txt", 900) }, 1) },
        { "negative offset", RawPackage(data, { rec(-1, 1) }, 1) },
        { "negative size", RawPackage(data, { rec(0, -1) }, 1) },
        { "size past the data", RawPackage(data, { rec(5, 6) }, 1) },
        { "offset inside the table", RawPackage(data, { rec(10, 4) }, 1) },
        { "offset past the end", RawPackage(data, { rec(100000, 1) }, 1) },
        { "offset and size overflowing 32 bits", RawPackage(data, { rec(0x7FFFFFF0, 0x7FFFFFF0) }, 1) },
        { "largest size", RawPackage(data, { rec(0, 0x7FFFFFFF) }, 1) },
        { "second record bad", RawPackage(data, { rec(0, 2, "b.txt"), rec(0, 20) }, 2) },
    };
    for (const Case& c : cases) {
        CSfxPackage pkg;
        EXPECT_EQ(OpenBytes(pkg, c.bytes), SFX_BAD_TABLE) << c.what;
        EXPECT_EQ(pkg.GetFileCount(), 0u) << c.what;
    }
    // 256 records and a 999-byte name (in parts of at most 255) are still fine.
    std::vector<RawRecord> many;
    for (int i = 0; i < 256; i++)
        many.push_back(rec(i % 10, 0, "f" + std::to_string(i) + ".txt"));
    CSfxPackage pkg;
    EXPECT_EQ(OpenBytes(pkg, RawPackage(data, many, 256)), SFX_OK);
    const std::string part(250, 'n');
    const std::string longest = part + "\\" + part + "\\" + part + "\\" + std::string(246, 'n');
    ASSERT_EQ(longest.size(), 999u);
    EXPECT_EQ(OpenBytes(pkg, RawPackage(data, { rec(0, 10, longest) }, 1)), SFX_OK);
    EXPECT_TRUE(ListFiles(Target()).empty());
}

TEST_F(SfxPackageTest, PackageCutShortWhileExtractingEndsWithAnError)
{
    const std::string content = PatternBytes(300000, 3);
    const std::string full = MakePackageBytes({ { "a.bin", content }, { "b.txt", "bbb" } });
    ASSERT_TRUE(WriteBytes(Target() + L"a.bin", "previous a"));
    CSfxPackage pkg;
    ASSERT_EQ(OpenBytes(pkg, full), SFX_OK);
    // The package shrinks after it was checked: the copy must stop, not repeat a read.
    HANDLE h = CreateFileW(PackagePath(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    SetFilePointer(h, 1000, nullptr, FILE_BEGIN);
    SetEndOfFile(h);
    CloseHandle(h);
    const DWORD start = GetTickCount();
    EXPECT_EQ(pkg.ExtractAll(Target()), SFX_READ_FAILED);
    EXPECT_LT(GetTickCount() - start, 20000u);
    // The damaged file keeps its old content; nothing half written is left.
    EXPECT_EQ(ReadBytes(Target() + L"a.bin"), "previous a");
    EXPECT_EQ(ListFiles(Target()), (std::vector<std::string>{ "a.bin" }));
}

TEST_F(SfxPackageTest, AFileThatCannotBeWrittenFailsTheWholeAndKeepsItsContent)
{
    CSfxPackage pkg;
    ASSERT_EQ(OpenBytes(pkg, MakePackageBytes({ { "locked.dll", "new locked" }, { "free.txt", "new free" },
                                                { "nofolder\\x.txt", "x" } })),
              SFX_OK);
    ASSERT_TRUE(WriteBytes(Target() + L"locked.dll", "old locked"));
    // Held open the way a running program holds its modules.
    HANDLE hold = CreateFileW(Target() + L"locked.dll", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(hold, INVALID_HANDLE_VALUE);
    EXPECT_EQ(pkg.ExtractAll(Target()), SFX_CREATE_FAILED);
    CloseHandle(hold);
    EXPECT_EQ(ReadBytes(Target() + L"locked.dll"), "old locked");
    EXPECT_EQ(ReadBytes(Target() + L"free.txt"), "new free");
    // No folder is made for a name that needs one.
    EXPECT_FALSE(Exists(Target() + L"nofolder"));
    EXPECT_EQ(ListFiles(Target()), (std::vector<std::string>{ "free.txt", "locked.dll" }));
}

TEST_F(SfxPackageTest, BuilderRefusesWhatTheReaderWouldAndKeepsFolderOrder)
{
    ScratchFolder src("sfxsrc");
    CreateDirectoryW(src / L"lib", nullptr);
    ASSERT_TRUE(WriteBytes(src / L"b.txt", "b"));
    ASSERT_TRUE(WriteBytes(src / L"a.txt", "a"));
    ASSERT_TRUE(WriteBytes(src / L"lib\\c.dll", "c"));
    ASSERT_TRUE(WriteBytes(src / L"stub.exe", "MZstub"));

    CSfxBuilder b;
    EXPECT_FALSE(b.AddFile(L"..\\x", src / L"a.txt"));
    EXPECT_FALSE(b.AddFile(L"C:\\x", src / L"a.txt"));
    EXPECT_FALSE(b.AddFile(L"nul", src / L"a.txt"));
    EXPECT_EQ(b.GetCount(), 0);

    for (int round = 0; round < 2; round++) {
        CSfxBuilder folder;
        folder.SetStub(src / L"stub.exe");
        ASSERT_TRUE(folder.AddFolder(src.Path()));
        ASSERT_TRUE(folder.Write(PackagePath()));
        CSfxPackage pkg;
        ASSERT_EQ(pkg.Open(PackagePath()), SFX_OK);
        ASSERT_EQ(pkg.GetFileCount(), 4u);
        EXPECT_EQ(pkg.GetEntry(0).m_strName, CString(L"a.txt"));
        EXPECT_EQ(pkg.GetEntry(1).m_strName, CString(L"b.txt"));
        EXPECT_EQ(pkg.GetEntry(2).m_strName, CString(L"stub.exe"));
        EXPECT_EQ(pkg.GetEntry(3).m_strName, CString(L"lib\\c.dll"));
        EXPECT_EQ(pkg.GetEntry(0).m_nOffset, 6);   // after the stub
    }
}

// Mutations and truncations of valid packages: the reader must not crash or loop, must
// write nothing outside the target folder, and what it accepts must extract byte-exact.
TEST_F(SfxPackageTest, FuzzedPackagesNeverEscapeAndAcceptedOnesExtractExactly)
{
    int cases = 2000;
    if (const char* env = getenv("ORV_FUZZ_CASES"))
        cases = atoi(env) > 0 ? atoi(env) : cases;
    const std::vector<std::string> seeds = {
        MakePackageBytes({ { "a.txt", "alpha" }, { "b.bin", PatternBytes(3000, 4) }, { "c", "" } }, "MZ-stub"),
        MakePackageBytes({ { "one.dll", PatternBytes(10000, 5) } }),
        MakePackageBytes({ { "x1", "1" }, { "x2", "22" }, { "x3", "333" }, { "x4", "4444" }, { "x5", "55555" } }),
    };
    uint32_t rng = 20250611;
    auto next = [&rng] {
        rng ^= rng << 13;
        rng ^= rng >> 17;
        rng ^= rng << 5;
        return rng;
    };
    const uint32_t interesting[] = { 0, 1, 0x7F, 0x80, 0xFF, 0x100, 999, 1000, 0x7FFFFFFF, 0x80000000u,
                                     0xFFFFFFFFu, 0xFFFFFFFEu, 256, 257 };
    int accepted = 0;
    for (int i = 0; i < cases; i++) {
        std::string bytes = seeds[next() % seeds.size()];
        int edits = 1 + next() % 4;
        for (int e = 0; e < edits && !bytes.empty(); e++) {
            // Mostly the tail, where the table lives.
            size_t tail = std::min<size_t>(bytes.size(), 80);
            size_t pos = next() % 3 ? bytes.size() - 1 - next() % tail : next() % bytes.size();
            switch (next() % 6) {
            case 0: bytes[pos] ^= (char)(1 << (next() % 8)); break;
            case 1: bytes[pos] = (char)next(); break;
            case 2: {
                uint32_t v = interesting[next() % (sizeof(interesting) / sizeof(interesting[0]))];
                for (int k = 0; k < 4 && pos + k < bytes.size(); k++)
                    bytes[pos + k] = (char)(v >> (8 * k));
                break;
            }
            case 3: bytes.erase(0, next() % std::min<size_t>(bytes.size(), 64)); break;   // cut from the front
            case 4: bytes.resize(bytes.size() - next() % std::min<size_t>(bytes.size(), 8)); break;
            default: bytes[pos] = "\\/:.\0"[next() % 5]; break;
            }
        }
        CSfxPackage pkg;
        const DWORD start = GetTickCount();
        int r = OpenBytes(pkg, bytes);
        ASSERT_TRUE(r == SFX_OK || r == SFX_NO_TRAILER || r == SFX_NO_FILES || r == SFX_BAD_TABLE) << "case " << i;
        if (r == SFX_OK) {
            accepted++;
            int x = pkg.ExtractAll(Target());
            ASSERT_TRUE(x == SFX_OK || x == SFX_CREATE_FAILED) << "case " << i;
            // The last extraction of a name wins; the platform's names ignore case.
            std::map<std::string, std::string> expected;
            for (int k = (int)pkg.GetFileCount() - 1; k >= 0; k--) {
                const CSfxEntry& en = pkg.GetEntry(k);
                CString name = en.m_strName;
                name.Replace(L'/', L'\\');
                expected[AsciiLower(Utf8(name))] = bytes.substr(en.m_nOffset, en.m_nSize);
            }
            for (const std::string& f : ListFiles(Target())) {
                auto it = expected.find(AsciiLower(f));
                ASSERT_NE(it, expected.end()) << "case " << i << " wrote " << f;
                EXPECT_EQ(ReadBytes(Target() + Str(f)), it->second) << "case " << i << " " << f;
            }
            DeleteTree(Target());
            CreateDirectoryW(Target(), nullptr);
            CreateDirectoryW(Target() + L"sub", nullptr);
        }
        ASSERT_LT(GetTickCount() - start, 10000u) << "case " << i;
        ASSERT_TRUE(Outside().empty()) << "case " << i;
    }
    // The mutations must leave some packages intact enough to be read.
    EXPECT_GT(accepted, cases / 50);
}
