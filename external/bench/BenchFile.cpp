// Bench file: one setting or camera per line, '#' starts a comment.
//   seed <n>                 noise <on|off>            focus <z>          ambient <degrees>
//   stage <x> <y>            (the field's corner on a slide larger than it, sensor pixels)
//   empty <share>            (0..1: share of that slide without cells)
//   camera <zedodir|zuzirazo> <vendor>:<product> <device name> [colour|mono] [cooled|uncooled]
//          [resolutions=<W>X<H>,...] [clocks=<name>:<MHz>,...]     (ids hexadecimal;
//          '_' in a clock name stands for a blank)
//   camera camdrv <vendor>:<product> <device name> [colour|mono] [usb=<controller>:<port>[.<port>...]]
#include "Bench.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <sstream>

namespace orvbench {

namespace {

const PictureProfile kStandardProfile = {100, 128, 100, 64, 1, 255};
const PictureProfile kHighDefinitionProfile = {28, 8, 8, 50, 0, 99};
const PictureProfile kMinorProfile = {2, 8, 6, 50, 0, 99};

// Products whose sensors have a cooler.
const int kCooledProducts[] = {0x840A, 0x840C, 0x8C0C, 0xE00A, 0xE00C, 0xE80C};
// ZedOdir products of the high-definition family (their picture values are small).
const int kHighDefinitionProducts[] = {0x7584, 0x7585, 0x7586, 0x7587, 0x7588,
                                       0x2901, 0x2902, 0x2A01};

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

bool ParseHex(const std::string& s, int* out)
{
    if (s.empty() || s.size() > 8)
        return false;
    char* end = nullptr;
    long v = std::strtol(s.c_str(), &end, 16);
    if (*end)
        return false;
    *out = int(v);
    return true;
}

// usb=<controller>:<port>[.<port>...]: controller 0-9 (what the scan tries), at most
// six ports (the root port and five hubs, as USB allows), ports 1-127.
bool ParseUsbPlace(const std::string& s, CameraSpec* spec)
{
    size_t colon = s.find(':');
    if (colon != 1 || !std::isdigit(static_cast<unsigned char>(s[0])))
        return false;
    spec->usbController = s[0] - '0';
    spec->usbPorts.clear();
    std::string rest = s.substr(2) + ".";
    size_t start = 0, dot;
    while ((dot = rest.find('.', start)) != std::string::npos) {
        std::string item = rest.substr(start, dot - start);
        char* end = nullptr;
        long port = std::strtol(item.c_str(), &end, 10);
        if (item.empty() || *end || port < 1 || port > 127 || spec->usbPorts.size() == 6)
            return false;
        spec->usbPorts.push_back(int(port));
        start = dot + 1;
    }
    return !spec->usbPorts.empty();
}

std::vector<std::string> Split(const std::string& s, char sep)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(s);
    while (std::getline(in, part, sep))
        parts.push_back(part);
    return parts;
}

bool ParseResolution(const std::string& s, Resolution* r)
{
    size_t x = s.find_first_of("Xx*");
    if (x == std::string::npos)
        return false;
    int w = std::atoi(s.substr(0, x).c_str()), h = std::atoi(s.substr(x + 1).c_str());
    // Rows of a 24-bit bitmap must stay 4-byte aligned without padding.
    if (w < 8 || h < 8 || w > 16384 || h > 16384 || w % 4)
        return false;
    r->width = w;
    r->height = h;
    r->name = std::to_string(w) + "X" + std::to_string(h);
    return true;
}

bool ParseCamera(std::istringstream& in, CameraSpec* spec, std::string* why)
{
    std::string lib, ids, name;
    if (!(in >> lib >> ids >> name)) {
        *why = "expected: camera <library> <vendor>:<product> <name>";
        return false;
    }
    lib = Lower(lib);
    if (lib == "zedodir")
        spec->library = kLibraryZedOdir;
    else if (lib == "zuzirazo")
        spec->library = kLibraryZuzIrazo;
    else if (lib == "camdrv")
        spec->library = kLibraryCamDrv;
    else {
        *why = "unknown library '" + lib + "'";
        return false;
    }
    size_t colon = ids.find(':');
    if (colon == std::string::npos || !ParseHex(ids.substr(0, colon), &spec->vendor)
        || !ParseHex(ids.substr(colon + 1), &spec->product)) {
        *why = "bad ids '" + ids + "' (want vendor:product in hexadecimal)";
        return false;
    }
    spec->name = name;
    int cooled = -1;
    std::string word;
    while (in >> word) {
        std::string key = Lower(word);
        if (key == "colour" || key == "color")
            spec->colour = true;
        else if (key == "mono")
            spec->colour = false;
        else if (key == "cooled")
            cooled = 1;
        else if (key == "uncooled")
            cooled = 0;
        else if (key.rfind("usb=", 0) == 0) {
            if (spec->library != kLibraryCamDrv || !ParseUsbPlace(word.substr(4), spec)) {
                *why = spec->library != kLibraryCamDrv
                     ? "usb= is for camdrv cameras"
                     : "bad usb place '" + word + "' (want usb=<controller 0-9>:<port>[.<port>...])";
                return false;
            }
        }
        else if (key.rfind("resolutions=", 0) == 0) {
            for (const std::string& item : Split(word.substr(12), ',')) {
                Resolution r;
                if (!ParseResolution(item, &r)) {
                    *why = "bad resolution '" + item + "' (width a multiple of 4)";
                    return false;
                }
                spec->resolutions.push_back(r);
            }
        } else if (key.rfind("clocks=", 0) == 0) {
            for (const std::string& item : Split(word.substr(7), ',')) {
                size_t c = item.rfind(':');
                double mhz = c == std::string::npos ? 0 : std::atof(item.c_str() + c + 1);
                if (mhz <= 0) {
                    *why = "bad clock '" + item + "' (want name:MHz)";
                    return false;
                }
                PixelClock clock{item.substr(0, c), mhz};
                std::replace(clock.name.begin(), clock.name.end(), '_', ' ');
                spec->clocks.push_back(clock);
            }
        } else {
            *why = "unknown camera word '" + word + "'";
            return false;
        }
    }
    CompleteSpec(spec);
    if (cooled >= 0)
        spec->cooled = cooled == 1;
    return true;
}

}  // namespace

// Two driver cameras clash when they sit on the same port, or one sits on a port the
// other's path uses for a hub.
bool UsbPlacesClash(const CameraSpec& a, const CameraSpec& b)
{
    if (a.library != kLibraryCamDrv || b.library != kLibraryCamDrv || a.usbPorts.empty()
        || b.usbPorts.empty() || a.usbController != b.usbController)
        return false;
    size_t n = std::min(a.usbPorts.size(), b.usbPorts.size());
    return std::equal(a.usbPorts.begin(), a.usbPorts.begin() + n, b.usbPorts.begin());
}

void CompleteSpec(CameraSpec* spec)
{
    if (spec->resolutions.empty()) {
        // Products with an extra capture resolution make it by doubling resolution 0,
        // so their first resolution is half of it.
        if (spec->product == 0xA005 || spec->product == 0xA00A)
            spec->resolutions = {{"1272X1016", 1272, 1016}, {"636X508", 636, 508}};
        else if (spec->product == 0xA009)
            spec->resolutions = {{"2040X1528", 2040, 1528}, {"1020X764", 1020, 764}};
        else if (spec->product == 0x7585 && spec->library == kLibraryZuzIrazo)
            spec->resolutions = {{"1632X918", 1632, 918}, {"816X460", 816, 460}};
        else
            spec->resolutions = {{"1280X1024", 1280, 1024}, {"640X512", 640, 512}};
    }
    if (spec->clocks.empty())
        spec->clocks = {{"50HZ refresh rate", 24.0}, {"60HZ refresh rate", 48.0}};
    spec->cooled = std::find(std::begin(kCooledProducts), std::end(kCooledProducts),
                             spec->product) != std::end(kCooledProducts);
    if (spec->library == kLibraryZuzIrazo)
        spec->profile = kMinorProfile;
    else if (std::find(std::begin(kHighDefinitionProducts), std::end(kHighDefinitionProducts),
                       spec->product) != std::end(kHighDefinitionProducts))
        spec->profile = kHighDefinitionProfile;
    else
        spec->profile = kStandardProfile;
}

CameraSettings InitialSettings(const CameraSpec& spec)
{
    CameraSettings s;
    const PictureProfile& p = spec.profile;
    for (int c = 0; c < 3; ++c) {
        s.channelGain[c] = p.channelGainNeutral;
        s.gammaEx[c] = 100;
    }
    s.gamma = p.gammaNeutral;
    s.contrast = p.contrastNeutral;
    s.saturation = p.saturationNeutral;
    s.aeTarget = p.gammaNeutral == 100 ? 100 : 8;
    return s;
}

std::vector<CameraSpec> DefaultBench()
{
    CameraSpec spec;
    spec.library = kLibraryZedOdir;
    spec.vendor = 0x0547;
    spec.product = 0xA005;
    spec.name = "Model73.1";
    spec.colour = true;
    CompleteSpec(&spec);
    return {spec};
}

bool ParseBench(const std::string& text, std::vector<CameraSpec>* cameras,
                BenchOptions* options, std::string* error)
{
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    std::vector<CameraSpec> found;
    BenchOptions opt;
    while (std::getline(lines, line)) {
        ++number;
        size_t hash = line.find('#');
        if (hash != std::string::npos)
            line.resize(hash);
        std::istringstream in(line);
        std::string key;
        if (!(in >> key))
            continue;
        key = Lower(key);
        std::string why, value;
        bool ok = true;
        if (key == "camera") {
            CameraSpec spec;
            ok = ParseCamera(in, &spec, &why);
            for (const CameraSpec& other : found)
                if (ok && other.library == spec.library && other.name == spec.name) {
                    ok = false;
                    why = "device name '" + spec.name + "' used twice";
                } else if (ok && UsbPlacesClash(other, spec)) {
                    ok = false;
                    why = "usb place of '" + spec.name + "' taken by '" + other.name + "'";
                }
            if (ok)
                found.push_back(spec);
        } else if (key == "seed") {
            ok = bool(in >> opt.seed);
        } else if (key == "noise") {
            ok = bool(in >> value) && (value == "on" || value == "off");
            opt.noiseFree = value == "off";
        } else if (key == "focus") {
            ok = bool(in >> opt.focus);
        } else if (key == "ambient") {
            ok = bool(in >> opt.ambient);
        } else if (key == "stopfail") {
            ok = bool(in >> opt.stopFailures) && opt.stopFailures >= 0;
        } else if (key == "stage") {
            ok = bool(in >> opt.stageX >> opt.stageY);
            opt.onSlide = true;
        } else if (key == "empty") {
            ok = bool(in >> opt.emptyShare) && opt.emptyShare >= 0 && opt.emptyShare <= 1;
        } else {
            ok = false;
            why = "unknown setting '" + key + "'";
        }
        if (!ok) {
            if (error)
                *error = "bench line " + std::to_string(number) + ": "
                       + (why.empty() ? "bad value" : why);
            return false;
        }
    }
    *cameras = found;
    *options = opt;
    return true;
}

}  // namespace orvbench
