// The Win32-free codecs built natively with AddressSanitizer and UBSan: every
// reference picture decodes as its reference says, and seeded broken variants of every
// file are refused with a reason or decoded, never a fault (the sanitizers abort);
// large pictures are coded in bands on threads. AVI files get the same treatment
// through the structure check that guards the system's AVI reader.
//   imaging_native_check <reference folder> [mutations per file]
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include <thread>
#include <vector>

#include "AviMutations.h"
#include "Codecs.h"
#include "ImageCorpus.h"
#include "app/browse/AviStructure.h"
#include "LibraryDecoders.h"

using namespace orv_img;

namespace {

bool ReadFile(const std::string& path, Bytes& data)
{
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return false;
    data.clear();
    uint8_t buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0)
        data.insert(data.end(), buf, buf + n);
    fclose(f);
    return true;
}

// Bands on threads of their own, so the banded coding runs under the sanitizers too.
void ThreadBands(int count, BandBody body, void* context)
{
    std::vector<std::thread> threads;
    for (int band = 1; band < count; ++band)
        threads.emplace_back(body, context, band);
    body(context, 0);
    for (std::thread& t : threads)
        t.join();
}

double Now()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: %s <reference folder> [mutations per file]\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    const int perFile = argc > 2 ? atoi(argv[2]) : 30;
    SetBandRunner(ThreadBands, 4);
    Bytes manifestText;
    if (!ReadFile(dir + "/manifest.txt", manifestText)) {
        fprintf(stderr, "no manifest in %s\n", dir.c_str());
        return 2;
    }
    int passed = 0, failed = 0;
    struct Seed {
        std::string name;
        int format;
        Bytes data;
    };
    std::vector<Seed> seeds;
    for (const ManifestEntry& e : ParseManifest(manifestText)) {
        Seed s{e.file, FormatFromName(e.file), {}};
        if (!ReadFile(dir + "/" + e.file, s.data)) {
            printf("FAILED %s: cannot read\n", e.file.c_str());
            ++failed;
            continue;
        }
        {
            PixelImage img;
            std::string err;
            Bytes pam;
            RgbaImage ref;
            const bool haveRef = e.library ? DecodeWithLibrary(e.file, s.data, ref)
                                           : ReadFile(dir + "/" + e.file + ".pam", pam) && ReadPam(pam, ref);
            if (!DecodeImage(s.format, s.data.data(), s.data.size(), img, err)) {
                printf("FAILED %s: %s\n", e.file.c_str(), err.c_str());
                ++failed;
            } else if (!haveRef) {
                printf("FAILED %s: no reference\n", e.file.c_str());
                ++failed;
            } else {
                const std::string diff = CompareRgba(ToRgba(img), ref, LibraryTolerance(e));
                if (diff.empty()) {
                    ++passed;
                } else {
                    printf("FAILED %s: %s\n", e.file.c_str(), diff.c_str());
                    ++failed;
                }
            }
        }
        seeds.push_back(std::move(s));
    }
    // Our own writers' files are seeds too, for the formats no tool above makes.
    static const int kOwn[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15, 17};
    for (int format : kOwn)
        for (int bpp : {1, 8, 24}) {
            Bytes buf;
            std::string err;
            if (EncodeImage(format, MakeTestPicture(19, 7, bpp, bpp == 8, bpp == 24 && format == 4), buf,
                            90, err))
                seeds.push_back({"own." + std::to_string(format) + "." + std::to_string(bpp), format, buf});
        }
    // Tall TIFF pictures of our own, written and read in bands.
    for (int bpp : {1, 4, 8, 24}) {
        Bytes buf;
        std::string err;
        if (EncodeImage(FORMAT_TIF, MakeTestPicture(203, 300, bpp, false, bpp == 24), buf, 90, err))
            seeds.push_back({"own.tall." + std::to_string(bpp), FORMAT_TIF, buf});
        else {
            printf("FAILED own.tall.%d: %s\n", bpp, err.c_str());
            ++failed;
        }
    }

    const double start = Now();
    long decoded = 0, refused = 0;
    double slowest = 0;
    std::string slowestName;
    for (size_t i = 0; i < seeds.size(); ++i) {
        const Seed& s = seeds[i];
        for (const Mutation& m : MakeMutations(s.data, s.format, static_cast<uint32_t>(i * 7919 + 1), perFile)) {
            const double t0 = Now();
            PixelImage img;
            std::string err;
            const bool ok = DecodeImage(s.format, m.data.data(), m.data.size(), img, err);
            const double dt = Now() - t0;
            if (dt > slowest) {
                slowest = dt;
                slowestName = s.name + " (" + m.what + ")";
            }
            if (ok && img.IsValid()) {
                ++decoded;
                ++passed;
            } else if (!ok && !img.IsValid() && !err.empty()) {
                ++refused;
                ++passed;
            } else {
                printf("FAILED %s (%s): result %d, valid %d, error \"%s\"\n", s.name.c_str(),
                       m.what.c_str(), ok, img.IsValid(), err.c_str());
                ++failed;
            }
        }
    }
    printf("fuzzing: %zu seeds, %ld decoded, %ld refused, %.1f s, slowest %.3f s: %s\n", seeds.size(),
           decoded, refused, Now() - start, slowest, slowestName.c_str());

    // AVI: the seeds pass, their mutations are judged without a fault.
    long aviAccepted = 0, aviRefused = 0;
    const Bytes aviSeeds[] = {MakeSeedAvi(8, 4, 3, false), MakeSeedAvi(13, 5, 4, true), MakeSeedAvi(1, 1, 1, true)};
    for (size_t i = 0; i < sizeof aviSeeds / sizeof aviSeeds[0]; ++i) {
        avi_check::AviFacts facts;
        if (!avi_check::CheckAviBytes(aviSeeds[i].data(), aviSeeds[i].size(), facts)) {
            printf("FAILED avi seed %zu: %s\n", i, facts.problem.c_str());
            ++failed;
            continue;
        }
        ++passed;
        for (const AviMutation& m : MakeAviMutations(aviSeeds[i], static_cast<uint32_t>(i * 104729 + 3), perFile * 10)) {
            const bool ok = avi_check::CheckAviBytes(m.data.data(), m.data.size(), facts);
            if (ok == facts.problem.empty()) {
                ++passed;
                ok ? ++aviAccepted : ++aviRefused;
            } else {
                printf("FAILED avi seed %zu (%s): result %d, problem \"%s\"\n", i, m.what.c_str(), ok,
                       facts.problem.c_str());
                ++failed;
            }
        }
    }
    printf("avi: %ld accepted, %ld refused\n", aviAccepted, aviRefused);
    printf("%d passed, %d failed\n", passed, failed);
    return failed ? 1 : 0;
}
