// Broken files through the real path: seeded truncations, bit flips and poisoned
// fields of every format, written to a corpus folder and loaded by name. No fault,
// each file within a time limit, refusals with a reason, and the corpus untouched.
#include <dirent.h>
#include <sys/stat.h>

#include <map>

#include "ImagingSupport.h"
#include "support/gtest.h"

namespace {

// Name, size and modification time of every file in a folder.
std::map<std::string, std::pair<long long, long long>> Snapshot(const std::string& dir)
{
    std::map<std::string, std::pair<long long, long long>> files;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            struct stat st;
            if (e->d_name[0] != '.' && stat((dir + "/" + e->d_name).c_str(), &st) == 0)
                files[e->d_name] = {static_cast<long long>(st.st_size),
                                    static_cast<long long>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
        }
        closedir(d);
    }
    return files;
}

}  // namespace

TEST(ImageFuzzing, BrokenFilesNeverFaultAndAreRefusedWithAReason)
{
    Bytes text;
    ASSERT_TRUE(ReadUnixFile(RefsDir() + "/manifest.txt", text));
    const std::string corpus = FuzzDir() + "/corpus";
    ResetUnixDir(corpus);
    // Every seed file once per format kind, plus our own writers' output.
    std::vector<std::pair<std::string, Bytes>> seeds;
    for (const ManifestEntry& e : ParseManifest(text)) {
        Bytes data;
        if (ReadUnixFile(RefsDir() + "/" + e.file, data))
            seeds.push_back({e.file, data});
    }
    static const DWORD kOwn[] = {CXIMAGE_FORMAT_BMP, CXIMAGE_FORMAT_GIF, CXIMAGE_FORMAT_ICO,
                                 CXIMAGE_FORMAT_TGA, CXIMAGE_FORMAT_PCX, CXIMAGE_FORMAT_WBMP,
                                 CXIMAGE_FORMAT_PGX, CXIMAGE_FORMAT_PNM, CXIMAGE_FORMAT_RAS,
                                 CXIMAGE_FORMAT_MNG, CXIMAGE_FORMAT_JPC};
    static const char* kExt[] = {"bmp", "gif", "ico", "tga", "pcx", "wbmp", "pgx", "pnm", "ras", "mng", "jpc"};
    for (size_t i = 0; i < sizeof kOwn / sizeof kOwn[0]; ++i) {
        CxImage picture;
        picture.Pixels() = MakeTestPicture(23, 9, kOwn[i] == CXIMAGE_FORMAT_WBMP ? 1 : 8, false, false);
        Bytes data;
        ASSERT_TRUE(picture.Encode(data, kOwn[i])) << kExt[i];
        seeds.push_back({std::string("own.") + kExt[i], data});
    }
    int files = 0;
    for (size_t i = 0; i < seeds.size(); ++i) {
        const std::string& name = seeds[i].first;
        const std::string ext = name.substr(name.rfind('.'));
        int k = 0;
        for (const Mutation& m : MakeMutations(seeds[i].second, FormatFromName(name),
                                               static_cast<uint32_t>(1000 + i), 8)) {
            char file[96];
            snprintf(file, sizeof file, "%03zu_%d%s", i, k++, ext.c_str());
            ASSERT_TRUE(WriteUnixFile(corpus + "/" + file, m.data));
            ++files;
        }
    }
    const auto before = Snapshot(corpus);
    ASSERT_EQ(static_cast<size_t>(files), before.size());

    int loaded = 0, refused = 0;
    DWORD slowest = 0;
    std::string slowestName;
    const DWORD start = GetTickCount();
    for (const auto& f : before) {
        CxImage image;
        const DWORD t0 = GetTickCount();
        const bool ok = image.Load(WinPath(corpus + "/" + f.first).data(), FormatFromName(f.first));
        const DWORD dt = GetTickCount() - t0;
        if (dt > slowest) {
            slowest = dt;
            slowestName = f.first;
        }
        EXPECT_LT(dt, 5000u) << f.first;
        if (ok) {
            EXPECT_TRUE(image.IsValid()) << f.first;
            EXPECT_GT(image.GetWidth(), 0u) << f.first;
            ++loaded;
        } else {
            EXPECT_FALSE(image.IsValid()) << f.first;
            EXPECT_STRNE("", image.GetLastError()) << f.first;
            ++refused;
        }
    }
    const DWORD total = GetTickCount() - start;
    EXPECT_LT(total, 60000u);
    EXPECT_GT(refused, files / 4);
    EXPECT_TRUE(before == Snapshot(corpus)) << "the corpus folder changed";
    printf("[ fuzzing  ] %d files: %d loaded, %d refused in %lu ms; slowest %lu ms (%s)\n", files,
           loaded, refused, static_cast<unsigned long>(total), static_cast<unsigned long>(slowest),
           slowestName.c_str());
}
