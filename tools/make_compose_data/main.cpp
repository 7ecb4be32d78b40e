// Writes composition test data rendered by the camera bench into a folder:
//   make_compose_data <folder> focus <width> <height> <planes> <.ext> [<noise>]
//       plane_NN.ext (stage focus evenly from -2 to +2), truth.ext (all in focus);
//       with a noise, a camera's noise of that many grey levels at mid-grey instead of
//       the bench's
//   make_compose_data <folder> depth <width> <height> <planes> <noise> <.ext>
//       the same of a scene whose depth varies smoothly over the field
//   make_compose_data <folder> grid <tile width> <tile height> <rows> <columns> <overlap>
//                     <stage error px> <empty share> <.ext> [<noise> <smooth share> <gain spread>]
//       tile_NN.ext (row by row), positions.txt (each tile's corner), mosaic.ext
//   make_compose_data <folder> bracket <width> <height> <count> <.ext>
//       exposure_N.ext (one stop apart), truth.ext (middle exposure without noise)
// The folder is a Windows path, or a Unix path (starting with '/').
#include <windows.h>

#include "ComposeData.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::vector<WCHAR> g_folder;

std::vector<WCHAR> Wide(const std::string& s)
{
    int n = MultiByteToWideChar(CP_UTF8, 0, s.c_str(), -1, nullptr, 0);
    std::vector<WCHAR> w(n > 0 ? n : 1, 0);
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, s.c_str(), -1, w.data(), n);
    return w;
}

bool SetFolder(const std::string& folder)
{
    if (!folder.empty() && folder[0] == '/') {
        WCHAR* dos = wine_get_dos_file_name(folder.c_str());
        if (!dos)
            return false;
        for (WCHAR* p = dos; *p; ++p)
            g_folder.push_back(*p);
        g_folder.push_back(0);
        HeapFree(GetProcessHeap(), 0, dos);
    } else {
        g_folder = Wide(folder);
    }
    CreateDirectoryW(g_folder.data(), nullptr);
    return GetFileAttributesW(g_folder.data()) != INVALID_FILE_ATTRIBUTES;
}

bool WriteBytes(const std::string& name, const std::vector<uint8_t>& bytes)
{
    std::vector<WCHAR> path(g_folder.begin(), g_folder.end() - 1);
    path.push_back('\\');
    std::vector<WCHAR> n = Wide(name);
    path.insert(path.end(), n.begin(), n.end());
    HANDLE f = CreateFileW(path.data(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    DWORD put = 0;
    bool ok = WriteFile(f, bytes.data(), DWORD(bytes.size()), &put, nullptr) && put == bytes.size();
    CloseHandle(f);
    return ok;
}

bool WritePicture(const std::string& name, const composedata::Picture& p, const std::string& ext)
{
    std::vector<uint8_t> bytes;
    if (!composedata::Encode(p, ext, &bytes) || !WriteBytes(name + ext, bytes)) {
        std::fprintf(stderr, "make_compose_data: cannot write %s%s\n", name.c_str(), ext.c_str());
        return false;
    }
    return true;
}

std::string Numbered(const char* stem, int i)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%s_%02d", stem, i);
    return buf;
}

int Usage()
{
    std::fprintf(stderr, "usage: make_compose_data <folder> focus <w> <h> <planes> <.ext> [<noise>]\n"
                         "       make_compose_data <folder> depth <w> <h> <planes> <noise> <.ext>\n"
                         "       make_compose_data <folder> grid <w> <h> <rows> <cols> <overlap> <error> <empty> <.ext>\n"
                         "                         [<noise> <smooth share> <gain spread>]\n"
                         "       make_compose_data <folder> bracket <w> <h> <count> <.ext>\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return Usage();
    if (!SetFolder(argv[1])) {
        std::fprintf(stderr, "make_compose_data: cannot make folder %s\n", argv[1]);
        return 1;
    }
    const std::string kind = argv[2];
    bool ok = true;
    if ((kind == "focus" && (argc == 7 || argc == 8)) || (kind == "depth" && argc == 8)) {
        const bool depth = kind == "depth";
        const char* noiseArg = depth ? argv[6] : argc == 8 ? argv[7] : "0";
        const float noise = float(std::atof(noiseArg));
        const std::string ext = argv[depth ? 7 : 6];
        composedata::FocusStack stack;
        if (depth) {
            stack = composedata::MakeDepthStack(std::atoi(argv[3]), std::atoi(argv[4]),
                                                std::atoi(argv[5]), noise, 1);
        } else {
            const bool camera = argc == 8;
            stack = composedata::MakeFocusStack(std::atoi(argv[3]), std::atoi(argv[4]),
                                                std::atoi(argv[5]), 2.0f, 1, !camera);
            for (size_t i = 0; camera && i < stack.planes.size(); ++i)
                composedata::AddCameraNoise(&stack.planes[i], noise, uint32_t(1000 + i));
        }
        for (size_t i = 0; i < stack.planes.size(); ++i)
            ok = WritePicture(Numbered("plane", int(i)), stack.planes[i], ext) && ok;
        ok = WritePicture("truth", stack.truth, ext) && ok;
    } else if (kind == "grid" && (argc == 11 || argc == 14)) {
        composedata::GridSpec spec;
        spec.tileWidth = std::atoi(argv[3]);
        spec.tileHeight = std::atoi(argv[4]);
        spec.rows = std::atoi(argv[5]);
        spec.cols = std::atoi(argv[6]);
        spec.overlap = std::atof(argv[7]);
        spec.stageError = std::atoi(argv[8]);
        spec.emptyShare = float(std::atof(argv[9]));
        if (argc == 14) {
            spec.cameraNoise = float(std::atof(argv[11]));
            spec.smoothShare = float(std::atof(argv[12]));
            spec.gainSpread = float(std::atof(argv[13]));
        }
        auto grid = composedata::MakeTileGrid(spec);
        std::string positions;
        for (size_t i = 0; i < grid.tiles.size(); ++i) {
            std::string name = Numbered("tile", int(i));
            ok = WritePicture(name, grid.tiles[i], argv[10]) && ok;
            positions += name + argv[10] + " " + std::to_string(grid.x[i]) + " "
                       + std::to_string(grid.y[i]) + "\n";
        }
        ok = WriteBytes("positions.txt", std::vector<uint8_t>(positions.begin(), positions.end())) && ok;
        ok = WritePicture("mosaic", grid.mosaic, argv[10]) && ok;
    } else if (kind == "bracket" && argc == 7) {
        auto bracket = composedata::MakeExposureBracket(std::atoi(argv[3]), std::atoi(argv[4]),
                                                        std::atoi(argv[5]), 1.0f, 1);
        for (size_t i = 0; i < bracket.exposures.size(); ++i)
            ok = WritePicture(Numbered("exposure", int(i)), bracket.exposures[i], argv[6]) && ok;
        ok = WritePicture("truth", bracket.truth, argv[6]) && ok;
    } else {
        return Usage();
    }
    return ok ? 0 : 1;
}
