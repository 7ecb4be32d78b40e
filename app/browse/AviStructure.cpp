#include "app/browse/AviStructure.h"

#include <string.h>

#include <vector>

namespace avi_check {

namespace {

constexpr uint32_t Fourcc(const char (&s)[5])
{
    return uint32_t(uint8_t(s[0])) | uint32_t(uint8_t(s[1])) << 8 | uint32_t(uint8_t(s[2])) << 16 |
           uint32_t(uint8_t(s[3])) << 24;
}

const uint32_t kRiff = Fourcc("RIFF"), kAvi = Fourcc("AVI "), kList = Fourcc("LIST");
const uint32_t kHdrl = Fourcc("hdrl"), kAvih = Fourcc("avih"), kStrl = Fourcc("strl");
const uint32_t kStrh = Fourcc("strh"), kStrf = Fourcc("strf"), kStrd = Fourcc("strd");
const uint32_t kStrn = Fourcc("strn"), kMovi = Fourcc("movi"), kIdx1 = Fourcc("idx1");
const uint32_t kRec = Fourcc("rec "), kJunk = Fourcc("JUNK");
const uint32_t kVids = Fourcc("vids"), kAuds = Fourcc("auds");

// The system's reader holds at most this many streams.
const uint32_t kMaxStreams = 100;
// The header list is read whole; real ones are a few kilobytes.
const uint32_t kMaxHeaderList = 1u << 20;
const uint32_t kMaxIndexBytes = 64u << 20;
const uint32_t kMainHeaderSize = 56;
const uint32_t kMinStreamHeader = 48;
const uint32_t kBitmapHeader = 40;
const uint32_t kWaveFormat = 14;
const uint32_t kHasIndex = 0x10;  // AVIF_HASINDEX
const uint32_t kBiRgb = 0;

uint32_t Le32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

// The stream number the system's reader takes from a chunk id: two "hex" digits,
// decoded its way (lower-case letters and other characters give numbers too).
uint16_t StreamNumber(uint32_t ckid)
{
    auto hex = [](int c) { return c >= 'A' ? c - 'A' + 10 : c - '0'; };
    return uint16_t((hex(int(ckid & 0xFF)) << 4) + hex(int((ckid >> 8) & 0xFF)));
}

bool IsPaletteChange(uint32_t ckid) { return ((ckid >> 16) & 0xFF) == 'p' && (ckid >> 24) == 'c'; }

struct Stream {
    uint32_t type = 0;
    uint32_t start = 0, length = 0, sampleSize = 0;
    bool hasHeader = false;
    std::vector<uint8_t> format;
    bool hasFormat = false, hasHandlerData = false;
    uint32_t frames = 0;           // chunks the system's reader indexes
    uint64_t frameBytes = 0;       // an uncompressed video frame's size
};

struct Chunk {
    uint32_t id = 0, size = 0;
    uint64_t data = 0;  // offset of its data
    uint32_t listType = 0;
};

class Checker {
public:
    Checker(ReadAt read, void* source, uint64_t size, AviFacts& facts)
        : m_read(read), m_source(source), m_size(size), m_facts(facts)
    {
    }

    bool Run();

private:
    bool Fail(const char* why)
    {
        m_facts.problem = why;
        return false;
    }
    bool Read(uint64_t offset, void* buf, size_t n) { return offset + n <= m_size && m_read(m_source, offset, buf, n); }
    // The chunk at pos, which must lie whole inside [pos, end).
    bool ChunkAt(uint64_t pos, uint64_t end, Chunk& c);
    bool CheckHeaderList(const Chunk& hdrl);
    bool CheckStreamList(const uint8_t* p, uint32_t size, Stream& s);
    bool CheckVideoFormat(Stream& s);
    bool WalkMovie(uint64_t pos, uint64_t end, int depth);
    bool CheckIndex(const Chunk& idx1);

    ReadAt m_read;
    void* m_source;
    uint64_t m_size;
    AviFacts& m_facts;
    std::vector<Stream> m_streams;
    uint32_t m_flags = 0;
    uint64_t m_moviData = 0;  // offset of the movie list's type
    // Chunks of each stream in the movie list and in the index, counted apart since
    // the system's reader uses one, the other or both.
    std::vector<uint32_t> m_movieFrames, m_indexFrames;
    std::vector<uint32_t> m_movieSizes, m_indexSizes;  // video chunk sizes, for the frame check
};

bool Checker::ChunkAt(uint64_t pos, uint64_t end, Chunk& c)
{
    uint8_t h[12];
    if (pos + 8 > end || !Read(pos, h, 8))
        return Fail("chunk header past its list");
    c.id = Le32(h);
    c.size = Le32(h + 4);
    c.data = pos + 8;
    if (c.data + c.size > end)
        return Fail("chunk larger than its list");
    c.listType = 0;
    if (c.id == kList || c.id == kRiff) {
        if (c.size < 4 || !Read(c.data, h + 8, 4))
            return Fail("list without a type");
        c.listType = Le32(h + 8);
    }
    return true;
}

// Past a chunk and its pad byte (the pad may be missing at the end of a list).
uint64_t After(const Chunk& c, uint64_t end)
{
    const uint64_t next = c.data + c.size + (c.size & 1);
    return next < end ? next : end;
}

bool Checker::CheckVideoFormat(Stream& s)
{
    const std::vector<uint8_t>& f = s.format;
    if (!s.hasFormat || f.size() < kBitmapHeader)
        return Fail("video format shorter than a bitmap header");
    const uint32_t biSize = Le32(&f[0]);
    const int32_t width = int32_t(Le32(&f[4]));
    const int32_t height = int32_t(Le32(&f[8]));
    const uint16_t planes = Le16(&f[12]), bits = Le16(&f[14]);
    const uint32_t compression = Le32(&f[16]);
    const uint32_t clrUsed = Le32(&f[32]);
    if (biSize < kBitmapHeader || biSize > f.size())
        return Fail("bitmap header size outside its format");
    if (width <= 0 || height == 0 || height == INT32_MIN)
        return Fail("frame size not positive");
    const uint64_t w = uint64_t(width), h = uint64_t(height < 0 ? -int64_t(height) : height);
    if (w * h > kMaxFramePixels)
        return Fail("frame too large");
    if (planes != 1 || (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32))
        return Fail("frame depth not supported");
    // The reader fills in a palette size for 8 bits and less; the palette must be there.
    const uint64_t colours = clrUsed ? clrUsed : (bits <= 8 ? 1u << bits : 0);
    if (colours > 256 || biSize + colours * 4 > f.size())
        return Fail("palette outside its format");
    if (s.sampleSize != 0 || s.start != 0)
        return Fail("video stream with fixed samples or a late start");
    if (compression == kBiRgb)
        s.frameBytes = (w * bits + 31) / 32 * 4 * h;
    return true;
}

bool Checker::CheckStreamList(const uint8_t* p, uint32_t size, Stream& s)
{
    uint32_t pos = 4;  // past "strl"
    while (pos + 8 <= size) {
        const uint32_t id = Le32(p + pos), n = Le32(p + pos + 4);
        const uint32_t data = pos + 8;
        if (n > size - data)
            return Fail("stream chunk larger than its list");
        const uint8_t* d = p + data;
        if (id == kStrh) {
            if (n < kMinStreamHeader)
                return Fail("stream header too short");
            s.hasHeader = true;
            s.type = Le32(d);
            s.start = Le32(d + 28);
            s.length = Le32(d + 32);
            s.sampleSize = Le32(d + 44);
        } else if (id == kStrf) {
            if (s.hasFormat)
                return Fail("two stream formats");
            s.hasFormat = n > 0;
            s.format.assign(d, d + n);
        } else if (id == kStrd) {
            if (s.hasHandlerData)
                return Fail("two stream handler data");
            s.hasHandlerData = true;
        } else if (id == kStrn) {
            // Read as a C string: it must end inside the chunk.
            if (n == 0 || memchr(d, 0, n) == nullptr)
                return Fail("stream name without an end");
        }
        pos = data + n + (n & 1);
    }
    if (!s.hasHeader)
        return Fail("stream without a header");
    if (s.type == kAuds && s.hasFormat && s.format.size() < kWaveFormat)
        return Fail("audio format too short");
    if (s.type == kVids && !CheckVideoFormat(s))
        return false;
    return true;
}

bool Checker::CheckHeaderList(const Chunk& hdrl)
{
    if (hdrl.size > kMaxHeaderList)
        return Fail("header list too large");
    std::vector<uint8_t> list(hdrl.size);
    if (!Read(hdrl.data, list.data(), list.size()))
        return Fail("header list unreadable");
    // The reader finds the main header anywhere in the list, then takes one stream
    // list from each chunk that follows it.
    uint32_t pos = 4, streams = 0;
    bool found = false;
    while (pos + 8 <= hdrl.size) {
        const uint32_t id = Le32(&list[pos]), n = Le32(&list[pos + 4]);
        const uint32_t data = pos + 8;
        if (n > hdrl.size - data)
            return Fail("header chunk larger than its list");
        pos = data + n + (n & 1);
        if (!found) {
            if (id != kAvih)
                continue;
            if (n != kMainHeaderSize)
                return Fail("main header of the wrong size");
            found = true;
            m_flags = Le32(&list[data + 12]);
            streams = Le32(&list[data + 24]);
            if (streams == 0 || streams > kMaxStreams)
                return Fail("stream count out of range");
            continue;
        }
        if (m_streams.size() == streams)
            continue;
        if (id != kList || n < 4 || Le32(&list[data]) != kStrl)
            return Fail("fewer stream lists than the header declares");
        Stream s;
        if (!CheckStreamList(&list[data], n, s))
            return false;
        m_streams.push_back(std::move(s));
    }
    if (!found)
        return Fail("no main header");
    if (m_streams.size() != streams)
        return Fail("fewer stream lists than the header declares");
    m_facts.streams = streams;
    return true;
}

bool Checker::WalkMovie(uint64_t pos, uint64_t end, int depth)
{
    if (depth > 4)
        return Fail("lists nested too deeply");
    while (pos + 8 <= end) {
        Chunk c;
        if (!ChunkAt(pos, end, c))
            return false;
        if (c.id == kList) {
            if (!WalkMovie(c.data + 4, c.data + c.size, depth + 1))
                return false;
        } else if (c.id != kJunk) {
            const uint16_t n = StreamNumber(c.id);
            if (n >= m_streams.size())
                return Fail("movie chunk of an undeclared stream");
            if (IsPaletteChange(c.id))
                return Fail("palette change");
            ++m_movieFrames[n];
            if (int(n) == m_facts.videoStream)
                m_movieSizes.push_back(c.size);
        }
        pos = After(c, end);
    }
    return true;
}

bool Checker::CheckIndex(const Chunk& idx1)
{
    if (idx1.size > kMaxIndexBytes)
        return Fail("index too large");
    const uint32_t count = idx1.size / 16;
    std::vector<uint8_t> index(size_t(count) * 16);
    if (!index.empty() && !Read(idx1.data, index.data(), index.size()))
        return Fail("index unreadable");
    // Offsets count from the file's start, or from the movie list when the first entry
    // lies before it; the system's reader decides as below.
    const uint32_t moviPos = uint32_t(m_moviData);
    bool absolute = true;
    uint32_t base = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* e = &index[size_t(i) * 16];
        const uint32_t ckid = Le32(e), offset = Le32(e + 8), length = Le32(e + 12);
        if (i == 0)
            base = moviPos - offset + 4;
        if (ckid == kRec)
            continue;
        const uint16_t n = StreamNumber(ckid);
        if (n >= m_streams.size())
            return Fail("index entry of an undeclared stream");
        if (IsPaletteChange(ckid))
            return Fail("palette change");
        if (absolute && offset < moviPos)
            absolute = false;
        const uint64_t at = absolute ? offset : uint32_t(offset + base);
        if (at + 8 + uint64_t(length) > m_size)
            return Fail("index entry outside the file");
        ++m_indexFrames[n];
        if (int(n) == m_facts.videoStream)
            m_indexSizes.push_back(length);
    }
    return true;
}

bool Checker::Run()
{
    uint8_t h[12];
    if (m_size < 12 || !Read(0, h, 12) || Le32(h) != kRiff || Le32(h + 8) != kAvi)
        return Fail("not an AVI file");
    const uint64_t riffEnd = 8 + uint64_t(Le32(h + 4));
    if (riffEnd > m_size || riffEnd < 12)
        return Fail("file shorter than its RIFF chunk");
    Chunk hdrl, movi, idx1;
    bool haveHdrl = false, haveMovi = false, haveIdx1 = false;
    for (uint64_t pos = 12; pos + 8 <= riffEnd;) {
        Chunk c;
        if (!ChunkAt(pos, riffEnd, c))
            return false;
        if (!haveHdrl && c.id == kList && c.listType == kHdrl) {
            hdrl = c;
            haveHdrl = true;
        } else if (haveHdrl && !haveMovi && c.id == kList && c.listType == kMovi) {
            movi = c;
            haveMovi = true;
        } else if (haveMovi && !haveIdx1 && c.id == kIdx1) {
            idx1 = c;
            haveIdx1 = true;
        }
        pos = After(c, riffEnd);
    }
    if (!haveHdrl || !haveMovi)
        return Fail("header or movie list missing");
    if (!CheckHeaderList(hdrl))
        return false;
    for (size_t i = 0; i < m_streams.size(); ++i)
        if (m_streams[i].type == kVids) {
            m_facts.videoStream = int(i);
            break;
        }
    m_moviData = movi.data;
    m_movieFrames.assign(m_streams.size(), 0);
    m_indexFrames.assign(m_streams.size(), 0);
    // The movie list is checked even with an index: the reader falls back on it.
    if (!WalkMovie(movi.data + 4, movi.data + movi.size, 0))
        return false;
    const bool useIndex = haveIdx1 && idx1.size > 0;
    if (useIndex && !CheckIndex(idx1))
        return false;
    // Without the header's index flag the reader indexes the movie list as well.
    const bool useMovie = !useIndex || !(m_flags & kHasIndex);
    for (size_t i = 0; i < m_streams.size(); ++i) {
        Stream& s = m_streams[i];
        s.frames = (useIndex ? m_indexFrames[i] : 0) + (useMovie ? m_movieFrames[i] : 0);
        // A stream claiming more frames than it has is read past its index.
        if (s.sampleSize == 0 && s.length > s.frames)
            return Fail("stream longer than its chunks");
    }
    if (m_facts.videoStream < 0)
        return Fail("no video stream");
    const Stream& video = m_streams[size_t(m_facts.videoStream)];
    if (video.frameBytes) {
        // Uncompressed frames are handed over whole: every chunk must hold one.
        const std::vector<uint32_t>* lists[] = {useIndex ? &m_indexSizes : nullptr,
                                                useMovie ? &m_movieSizes : nullptr};
        for (const std::vector<uint32_t>* sizes : lists)
            for (size_t k = 0; sizes && k < sizes->size(); ++k)
                if ((*sizes)[k] < video.frameBytes)
                    return Fail("video chunk shorter than a frame");
    }
    m_facts.width = Le32(&video.format[4]);
    const int32_t height = int32_t(Le32(&video.format[8]));
    m_facts.height = uint32_t(height < 0 ? -int64_t(height) : height);
    m_facts.uncompressed = video.frameBytes != 0;
    m_facts.frames = video.frames;
    return true;
}

struct Memory {
    const uint8_t* data;
    size_t size;
};

bool ReadMemory(void* source, uint64_t offset, void* buf, size_t n)
{
    const Memory* m = static_cast<const Memory*>(source);
    if (offset > m->size || n > m->size - offset)
        return false;
    memcpy(buf, m->data + offset, n);
    return true;
}

}  // namespace

bool CheckAvi(ReadAt read, void* source, uint64_t size, AviFacts& facts)
{
    facts = AviFacts();
    Checker checker(read, source, size, facts);
    try {
        return checker.Run();
    } catch (...) {
        // Only the lists' buffers allocate, and their sizes are bounded above.
        facts.problem = "not enough memory";
        return false;
    }
}

bool CheckAviBytes(const uint8_t* data, size_t size, AviFacts& facts)
{
    Memory m = {data, size};
    return CheckAvi(ReadMemory, &m, size, facts);
}

}  // namespace avi_check
