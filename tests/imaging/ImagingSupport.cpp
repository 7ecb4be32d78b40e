#include "ImagingSupport.h"

#include <dirent.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

std::string RefsDir()
{
    return ORV_IMAGING_REFS;
}

std::string SavedDir()
{
    return ORV_IMAGING_SAVED;
}

std::string FuzzDir()
{
    return ORV_IMAGING_FUZZ;
}

std::vector<WCHAR> WinPath(const std::string& unixPath)
{
    std::vector<WCHAR> out;
    WCHAR* dos = wine_get_dos_file_name(unixPath.c_str());
    if (dos) {
        out.assign(dos, dos + lstrlenW(dos) + 1);
        HeapFree(GetProcessHeap(), 0, dos);
    } else {
        out.push_back(0);
    }
    return out;
}

bool ReadUnixFile(const std::string& path, Bytes& data)
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

bool WriteUnixFile(const std::string& path, const Bytes& data)
{
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = fwrite(data.data(), 1, data.size(), f) == data.size();
    return fclose(f) == 0 && ok;
}

void ResetUnixDir(const std::string& dir)
{
    mkdir(dir.c_str(), 0777);
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.')
                unlink((dir + "/" + e->d_name).c_str());
        closedir(d);
    }
}

bool WritePam(const std::string& path, const RgbaImage& image)
{
    char header[128];
    snprintf(header, sizeof header,
             "P7\nWIDTH %d\nHEIGHT %d\nDEPTH %d\nMAXVAL 255\nTUPLTYPE %s\nENDHDR\n", image.width,
             image.height, image.hasAlpha ? 4 : 3, image.hasAlpha ? "RGB_ALPHA" : "RGB");
    Bytes data(header, header + strlen(header));
    for (size_t i = 0; i < image.px.size(); i += 4)
        data.insert(data.end(), image.px.begin() + i, image.px.begin() + i + (image.hasAlpha ? 4 : 3));
    return WriteUnixFile(path, data);
}

RgbaImage ToRgba(const CxImage& image)
{
    return ToRgba(image.Pixels());
}
