#include "AviMutations.h"

#include "SeededRng.h"

#include <stdio.h>
#include <string.h>

namespace {

typedef std::vector<uint8_t> Bytes;

typedef SeededRng Rng;

uint32_t Get32(const Bytes& d, size_t p)
{
    return d[p] | d[p + 1] << 8 | d[p + 2] << 16 | static_cast<uint32_t>(d[p + 3]) << 24;
}

void Put32(Bytes& d, size_t p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        d[p + i] = static_cast<uint8_t>(v >> (8 * i));
}

void Append32(Bytes& d, uint32_t v)
{
    d.resize(d.size() + 4);
    Put32(d, d.size() - 4, v);
}

void AppendId(Bytes& d, const char* id) { d.insert(d.end(), id, id + 4); }

// Opens a chunk (or list, with its type); Close fills in the size.
size_t Open(Bytes& d, const char* id, const char* type = nullptr)
{
    AppendId(d, id);
    const size_t at = d.size();
    Append32(d, 0);
    if (type)
        AppendId(d, type);
    return at;
}

void Close(Bytes& d, size_t at)
{
    Put32(d, at, static_cast<uint32_t>(d.size() - at - 4));
    if (d.size() & 1)
        d.push_back(0);
}

// Where the interesting fields of a file lie.
struct Sites {
    std::vector<size_t> ids;        // chunk and list ids
    std::vector<size_t> sizes;      // chunk and list sizes
    std::vector<size_t> streamIds;  // ids of movie chunks and index entries ("00db")
    std::vector<size_t> fields;     // header, stream header, format and index fields
    size_t avihStreams = 0, avihFlags = 0;
};

bool IsList(const Bytes& d, size_t p) { return !memcmp(&d[p], "LIST", 4) || !memcmp(&d[p], "RIFF", 4); }

void Walk(const Bytes& d, size_t pos, size_t end, const std::string& parent, Sites& s, int depth)
{
    while (pos + 8 <= end && depth < 6) {
        const uint32_t size = Get32(d, pos + 4);
        const size_t data = pos + 8;
        s.ids.push_back(pos);
        s.sizes.push_back(pos + 4);
        if (size > end - data)
            return;
        const std::string id(reinterpret_cast<const char*>(&d[pos]), 4);
        if (IsList(d, pos) && size >= 4) {
            s.ids.push_back(data);
            Walk(d, data + 4, data + size, std::string(reinterpret_cast<const char*>(&d[data]), 4), s,
                 depth + 1);
        } else if (id == "avih" && size >= 56) {
            s.avihFlags = data + 12;
            s.avihStreams = data + 24;
            for (size_t k : {16, 24, 32, 36})
                s.fields.push_back(data + k);
        } else if (id == "strh" && size >= 48) {
            for (size_t k : {0, 4, 28, 32, 36, 44})  // type, handler, start, length, buffer, sample size
                s.fields.push_back(data + k);
        } else if (id == "strf" && size >= 16) {
            for (size_t k : {0, 4, 8, 12, 16, 20, 32})
                if (k + 4 <= size)
                    s.fields.push_back(data + k);
        } else if (id == "idx1") {
            for (size_t e = data; e + 16 <= data + size; e += 16) {
                s.streamIds.push_back(e);
                s.fields.push_back(e + 4);
                s.fields.push_back(e + 8);
                s.fields.push_back(e + 12);
            }
        } else if (parent == "movi" || parent == "rec ") {
            s.streamIds.push_back(pos);
        }
        pos = data + size + (size & 1);
    }
}

}  // namespace

std::vector<uint8_t> MakeSeedAvi(int width, int height, int frames, bool withAudio)
{
    const uint32_t stride = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    const uint32_t frameBytes = stride * static_cast<uint32_t>(height);
    const uint32_t audioBytes = 64;
    Bytes d;
    const size_t riff = Open(d, "RIFF", "AVI ");
    const size_t hdrl = Open(d, "LIST", "hdrl");
    const size_t avih = Open(d, "avih");
    const uint32_t main[14] = {40000, 0, 0, 0x10, static_cast<uint32_t>(frames), 0, withAudio ? 2u : 1u,
                               frameBytes, static_cast<uint32_t>(width), static_cast<uint32_t>(height)};
    for (uint32_t v : main)
        Append32(d, v);
    Close(d, avih);
    auto streamList = [&](const char* type, uint32_t length, uint32_t sampleSize, const Bytes& format) {
        const size_t strl = Open(d, "LIST", "strl");
        const size_t strh = Open(d, "strh");
        AppendId(d, type);
        const uint32_t header[13] = {0, 0, 0, 0, 1, 25, 0, length, 0, 0xFFFFFFFF, sampleSize, 0, 0};
        for (uint32_t v : header)
            Append32(d, v);
        Close(d, strh);
        const size_t strf = Open(d, "strf");
        d.insert(d.end(), format.begin(), format.end());
        Close(d, strf);
        Close(d, strl);
    };
    Bytes bitmap;
    for (uint32_t v : {40u, static_cast<uint32_t>(width), static_cast<uint32_t>(height), 0x00180001u, 0u,
                       frameBytes, 0u, 0u, 0u, 0u})
        Append32(bitmap, v);
    streamList("vids", static_cast<uint32_t>(frames), 0, bitmap);
    if (withAudio) {
        // 8 kHz mono 8-bit PCM: tag 1, 1 channel, rate, bytes per second, align 1, 8 bits.
        Bytes wave = {1, 0, 1, 0};
        Append32(wave, 8000);
        Append32(wave, 8000);
        wave.insert(wave.end(), {1, 0, 8, 0});
        streamList("auds", audioBytes * static_cast<uint32_t>(frames), 1, wave);
    }
    Close(d, hdrl);
    const size_t movi = Open(d, "LIST", "movi");
    const size_t moviData = movi + 4;
    struct Entry {
        const char* id;
        uint32_t offset, size;
    };
    std::vector<Entry> index;
    for (int f = 0; f < frames; ++f) {
        const size_t at = d.size();
        const size_t c = Open(d, "00db");
        for (uint32_t i = 0; i < frameBytes; ++i)
            d.push_back(static_cast<uint8_t>(i * 7 + f * 40));
        Close(d, c);
        index.push_back({"00db", static_cast<uint32_t>(at - moviData), frameBytes});
        if (withAudio) {
            const size_t a = d.size();
            const size_t w = Open(d, "01wb");
            d.insert(d.end(), audioBytes, static_cast<uint8_t>(128 + f));
            Close(d, w);
            index.push_back({"01wb", static_cast<uint32_t>(a - moviData), audioBytes});
        }
    }
    Close(d, movi);
    const size_t idx1 = Open(d, "idx1");
    for (const Entry& e : index) {
        AppendId(d, e.id);
        Append32(d, 0x10);  // key frame
        Append32(d, e.offset);
        Append32(d, e.size);
    }
    Close(d, idx1);
    Close(d, riff);
    return d;
}

std::vector<AviMutation> MakeAviMutations(const std::vector<uint8_t>& file, uint32_t seed, int count)
{
    std::vector<AviMutation> out;
    if (file.size() < 12)
        return out;
    Sites s;
    Walk(file, 0, file.size(), "", s, 0);
    Rng rng(seed, 7);
    static const char* kIds[] = {"LIST", "JUNK", "strl", "strh", "strf", "strn", "movi", "idx1", "hdrl",
                                 "avih", "rec ", "00db", "RIFF"};
    static const char* kStreams[] = {"01", "02", "99", "7F", "0a", "ZZ", "ix", "00", "1 "};
    static const char* kTwoCc[] = {"db", "dc", "wb", "pc", "ix"};
    static const uint32_t kValues[] = {0, 1, 2, 3, 4, 8, 40, 56, 100, 101, 0x7FFF, 0x10000, 0x7FFFFFFF,
                                       0x80000000, 0xFFFFFFFF, 0xFFFFFFF0};
    for (int i = 0; i < count; ++i) {
        AviMutation m;
        m.data = file;
        Bytes& d = m.data;
        char what[120];
        const uint32_t kind = rng.Below(9);
        auto pick = [&](const std::vector<size_t>& v) { return v[rng.Below(static_cast<uint32_t>(v.size()))]; };
        auto value = [&](size_t at) {
            uint32_t v = kValues[rng.Below(sizeof kValues / sizeof kValues[0])];
            if (rng.Below(3) == 0)  // a little off the old value, either way
                v = Get32(file, at) + (rng.Below(2) ? 1 + rng.Below(32) : -(1 + rng.Below(32)));
            else if (rng.Below(5) == 0)
                v = static_cast<uint32_t>(file.size() + rng.Below(64));
            return v;
        };
        if (kind == 0 && !s.streamIds.empty()) {
            // A movie chunk or index entry names another stream, maybe undeclared.
            const int n = 1 + static_cast<int>(rng.Below(3));
            for (int k = 0; k < n; ++k) {
                const size_t at = pick(s.streamIds);
                memcpy(&d[at], kStreams[rng.Below(sizeof kStreams / sizeof kStreams[0])], 2);
                if (rng.Below(3) == 0)
                    memcpy(&d[at + 2], kTwoCc[rng.Below(5)], 2);
            }
            snprintf(what, sizeof what, "%d stream numbers changed", n);
        } else if (kind == 1 && !s.streamIds.empty()) {
            // Every chunk of stream 0 moved to stream 1, as in a file whose header lost a stream.
            for (size_t at : s.streamIds)
                if (d[at] == '0' && d[at + 1] == '0')
                    d[at + 1] = '1';
            snprintf(what, sizeof what, "all chunks of stream 0 renamed to stream 1");
        } else if (kind == 2 && !s.ids.empty()) {
            const size_t at = pick(s.ids);
            const char* id = kIds[rng.Below(sizeof kIds / sizeof kIds[0])];
            memcpy(&d[at], id, 4);
            snprintf(what, sizeof what, "id at %zu set to %.4s", at, id);
        } else if (kind == 3 && !s.sizes.empty()) {
            const size_t at = pick(s.sizes);
            const uint32_t v = value(at);
            Put32(d, at, v);
            snprintf(what, sizeof what, "size at %zu set to %u", at, v);
        } else if (kind == 4 && s.avihStreams) {
            const size_t at = rng.Below(2) ? s.avihStreams : s.avihFlags;
            const uint32_t v = at == s.avihFlags ? Get32(file, at) ^ 0x10 : value(at);
            Put32(d, at, v);
            snprintf(what, sizeof what, "main header field at %zu set to %u", at, v);
        } else if ((kind == 5 || kind == 6) && !s.fields.empty()) {
            const int n = kind == 5 ? 1 : 2 + static_cast<int>(rng.Below(3));
            for (int k = 0; k < n; ++k) {
                const size_t at = pick(s.fields);
                Put32(d, at, value(at));
            }
            snprintf(what, sizeof what, "%d header, format or index fields poisoned", n);
        } else if (kind == 7) {
            const size_t cut = 8 + rng.Below(static_cast<uint32_t>(file.size() - 8));
            d.resize(cut);
            snprintf(what, sizeof what, "truncated to %zu bytes", cut);
        } else {
            // The index gone (the reader then walks the movie list), plus a stream change.
            for (size_t at : s.ids)
                if (!memcmp(&d[at], "idx1", 4))
                    memcpy(&d[at], "JUNK", 4);
            if (!s.streamIds.empty())
                memcpy(&d[pick(s.streamIds)], kStreams[rng.Below(sizeof kStreams / sizeof kStreams[0])], 2);
            snprintf(what, sizeof what, "index hidden, a stream number changed");
        }
        m.what = what;
        out.push_back(std::move(m));
    }
    return out;
}
