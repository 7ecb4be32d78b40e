// Fuzzing of every loader for a while: seeded broken variants of the reference pictures
// and of our own writers' files, decoded in memory. Prints files per second per format.
// The input being decoded is always in fuzz_findings/last_input (a crash leaves it
// there for replay); inputs refused without a reason or slower than 2 s are kept in
// fuzz_findings too.
//   fuzz_loaders.exe [minutes] [seed] [reference folder]
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>

#include <map>
#include <string>

#include "Codecs.h"
#include "ImageCorpus.h"

namespace {

double Now()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

bool ReadFile(const std::string& path, Bytes& data)
{
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return false;
    data.clear();
    unsigned char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0)
        data.insert(data.end(), buf, buf + n);
    fclose(f);
    return true;
}

void WriteFile(const std::string& path, const Bytes& data)
{
    if (FILE* f = fopen(path.c_str(), "wb")) {
        fwrite(data.data(), 1, data.size(), f);
        fclose(f);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    const double minutes = argc > 1 ? atof(argv[1]) : 1.0;
    const unsigned seed = argc > 2 ? (unsigned)atoi(argv[2]) : 1;
    const std::string refs = argc > 3 ? argv[3] : ORV_IMAGING_REFS;
    const std::string findings = "fuzz_findings";
    mkdir(findings.c_str(), 0777);
    struct Seed {
        std::string name;
        int format;
        Bytes data;
    };
    std::vector<Seed> seeds;
    Bytes text;
    if (ReadFile(refs + "/manifest.txt", text))
        for (const ManifestEntry& e : ParseManifest(text)) {
            Seed s{e.file, FormatFromName(e.file), {}};
            if (ReadFile(refs + "/" + e.file, s.data))
                seeds.push_back(s);
        }
    for (int format : {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15, 17}) {
        Bytes data;
        std::string err;
        if (orv_img::EncodeImage(format, MakeTestPicture(31, 17, 8, false, false), data, 90, err))
            seeds.push_back({"own." + std::to_string(format), format, data});
    }
    if (seeds.empty()) {
        fprintf(stderr, "no seeds in %s\n", refs.c_str());
        return 2;
    }
    struct Count {
        long files = 0, refused = 0;
        double seconds = 0;
    };
    std::map<int, Count> counts;
    const double end = Now() + minutes * 60;
    unsigned round = 0;
    long kept = 0;
    while (Now() < end) {
        for (size_t i = 0; i < seeds.size() && Now() < end; ++i) {
            const Seed& s = seeds[i];
            for (const Mutation& m : MakeMutations(s.data, s.format, seed * 7919u + round * 104729u + (unsigned)i, 4)) {
                WriteFile(findings + "/last_input", m.data);
                orv_img::PixelImage img;
                std::string err;
                const double t0 = Now();
                const bool ok = orv_img::DecodeImage(s.format, m.data.data(), m.data.size(), img, err);
                const double dt = Now() - t0;
                Count& c = counts[s.format];
                ++c.files;
                c.refused += !ok;
                c.seconds += dt;
                if ((!ok && err.empty()) || dt > 2.0) {
                    char name[96];
                    snprintf(name, sizeof name, "/%s.%u.%ld", s.name.c_str(), round, kept++);
                    WriteFile(findings + name, m.data);
                }
            }
        }
        ++round;
    }
    remove((findings + "/last_input").c_str());
    printf("fuzz_loaders: %.1f min, seed %u, %zu seeds, %ld findings kept in %s\n", minutes, seed,
           seeds.size(), kept, findings.c_str());
    for (const auto& e : counts)
        printf("  format %2d: %8ld files, %6.1f%% refused, %9.0f files/s\n", e.first, e.second.files,
               100.0 * e.second.refused / e.second.files, e.second.files / (e.second.seconds > 0 ? e.second.seconds : 1));
    return kept ? 1 : 0;
}
