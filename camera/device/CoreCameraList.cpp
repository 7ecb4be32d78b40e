#include "camera/device/CoreCameraList.h"

#include "external/zedodir/ZedOdir.h"

#include <shlobj.h>
#include <cstring>

namespace {

// Products of the ZedOdir list. 0xA008 is special-cased in MakeCameraListEntry.
const CameraProduct kZedOdirProducts[] = {
    {0x0547, 0x2851, 5, 1, "Model67"},  {0x0547, 0xA003, 5, 1, "Model67"},
    {0x0547, 0x3841, 4, 1, "Model88"},  {0x0547, 0x3851, 6, 1, "Model89"},
    {0x0547, 0x840A, 17, 2, "Model78"}, {0x0547, 0xE00A, 17, 2, "Model78"},
    {0x0547, 0xA004, 3, 1, "Model65"},  {0x0547, 0xA005, 11, 1, "Model73"},
    {0x0547, 0xA006, 23, 1, "Model66"}, {0x0547, 0xA007, 2, 1, "Model64"},
    {0x0547, 0xA008, 1, 1, "Model84"},  {0x0547, 0xA009, 13, 1, "Model75"},
    {0x0547, 0xA00A, 12, 1, "Model74"}, {0x0547, 0xA00B, 21, 1, "Model63"},
    {0x0547, 0xA811, 16, 1, "Model96"}, {0x0547, 0xC003, 5, 1, "Model33"},
    {0x0547, 0xC004, 3, 1, "Model30"},  {0x0547, 0xC007, 2, 1, "Model29"},
    {0x0547, 0xC00C, 16, 1, "Model62"}, {0x0547, 0xE001, 9, 2, "Model70"},
    {0x0547, 0xE004, 7, 2, "Model68"},  {0x0547, 0xE006, 8, 2, "Model69"},
    {0x0547, 0xE008, 14, 2, "Model76"}, {0x0547, 0xE009, 15, 2, "Model77"},
    {0x0547, 0xE00B, 22, 2, "Model80"}, {0x0547, 0xE00C, 24, 2, "Model81"},
    {0x0547, 0xE80C, 25, 2, "Model83"},
    {0x5172, 0x2851, 5, 1, "Model67"},  {0x5172, 0xA803, 5, 1, "Model67"},
    {0x5172, 0x2901, 37, 3, "Model97"}, {0x5172, 0x2902, 38, 3, "Model98"},
    {0x5172, 0x2A01, 32, 3, "Model87"}, {0x5172, 0x3841, 4, 1, "Model88"},
    {0x5172, 0x3851, 6, 1, "Model89"},  {0x5172, 0x6400, 30, 1, "Model94"},
    {0x5172, 0x6401, 30, 1, "Model86"}, {0x5172, 0x8404, 7, 2, "Model68"},
    {0x5172, 0x8406, 8, 2, "Model69"},  {0x5172, 0x840A, 17, 2, "Model78"},
    {0x5172, 0x840C, 24, 2, "Model81"}, {0x5172, 0x8C01, 9, 2, "Model70"},
    {0x5172, 0x8C04, 14, 2, "Model76"}, {0x5172, 0x8C09, 15, 2, "Model77"},
    {0x5172, 0x8C0C, 25, 2, "Model83"}, {0x5172, 0xA00A, 12, 1, "Model74"},
    {0x5172, 0xA804, 3, 1, "Model65"},  {0x5172, 0xA806, 23, 1, "Model66"},
    {0x5172, 0xA807, 2, 1, "Model64"},  {0x5172, 0xA80B, 21, 1, "Model63"},
    {0xEBA1, 0x7584, 28, 3, "Model85"}, {0xEBA1, 0x7585, 29, 3, "Model90"},
    {0xEBA1, 0x7586, 33, 3, "Model91"}, {0xEBA1, 0x7587, 34, 3, "Model92"},
    {0xEBA1, 0x7588, 35, 3, "Model93"},
    {0x8020, 0xE80C, 36, 2, "Model95"},
};

// Products shown by model name alone, without "#" and the device number.
bool ShowsModelNameOnly(int productIndex)
{
    return productIndex == -1 || productIndex == 4 || productIndex == 6 || productIndex == 32;
}

}  // namespace

std::string ToLibraryName(const CString& name)
{
    int n = WideCharToMultiByte(CP_ACP, 0, name, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1)
        return std::string();
    std::string out(n, '\0');
    WideCharToMultiByte(CP_ACP, 0, name, -1, &out[0], n, nullptr, nullptr);
    out.resize(n - 1);
    return out;
}

CString FromLibraryName(const char* name)
{
    if (!name || !*name)
        return CString();
    int n = MultiByteToWideChar(CP_ACP, 0, name, -1, nullptr, 0);
    std::u16string wide(n, u'\0');
    MultiByteToWideChar(CP_ACP, 0, name, -1, reinterpret_cast<WCHAR*>(&wide[0]), n);
    return CString(reinterpret_cast<const WCHAR*>(wide.c_str()));
}

CString CameraConfigurationFolder()
{
    WCHAR appData[MAX_PATH] = {0};
    SHGetSpecialFolderPathW(nullptr, appData, CSIDL_APPDATA, FALSE);
    CString folder = appData;
    folder += L"\\";
    folder += LoadLibraryString(IDS_PROGRAM_NAME);
    folder += L"\\";
    if (GetFileAttributesW(folder) == INVALID_FILE_ATTRIBUTES)
        CreateDirectoryW(folder, nullptr);
    return folder;
}

CameraListEntry MakeCameraListEntry(const char* deviceName, int vendorId, int productId,
                                    const CameraProduct* table, size_t count)
{
    CameraListEntry entry;
    entry.vendorId = vendorId;
    entry.productId = productId;
    entry.deviceName = FromLibraryName(deviceName);
    const char* dot = deviceName ? strrchr(deviceName, '.') : nullptr;
    CString suffix = dot ? FromLibraryName(dot + 1) : CString(L"1");
    CString model = LoadLibraryString(IDS_UNKNOWN_DEVICE);
    for (size_t i = 0; i < count; ++i) {
        if (table[i].vendorId != vendorId || table[i].productId != productId)
            continue;
        entry.productIndex = table[i].productIndex;
        entry.sensorKind = table[i].sensorKind;
        model = FromLibraryName(table[i].modelName);
        // One product id serves two models, told apart by the device name's stem.
        if (productId == 0xA008 && dot && std::string(deviceName, dot) == "Model28")
            model = L"Model28";
        break;
    }
    if (ShowsModelNameOnly(entry.productIndex))
        entry.displayName = model;
    else
        entry.displayName.Format(L"%s %c%s", static_cast<LPCWSTR>(model), L'#',
                                 static_cast<LPCWSTR>(suffix));
    return entry;
}

int CCoreCameraList::Open()
{
    CString folder = CameraConfigurationFolder();
    return InitDevice(folder);
}

void CCoreCameraList::Close()
{
    ExitDevice();
}

void CCoreCameraList::Refresh()
{
    RemoveAllEntries();
    const int count = DeviceCount();
    for (int i = 0; i < count; ++i) {
        const char* name = DeviceName(i);
        if (!name || !*name)
            continue;
        std::string copy = name;
        AddEntry(MakeCameraListEntry(copy.c_str(), DeviceVendor(copy.c_str()),
                                     DeviceProduct(copy.c_str()), kZedOdirProducts,
                                     sizeof kZedOdirProducts / sizeof kZedOdirProducts[0]));
    }
    // The current index survives a refresh; fewer cameras must not leave it dangling.
    SetCurrentIndex(m_currentIndex);
}

BOOL CCoreCameraList::GetGuid(GUID* guid)
{
    const GUID* id = DeviceGUID();
    if (!guid || !id)
        return FALSE;
    memcpy(guid, id, sizeof(GUID));
    return TRUE;
}

int CCoreCameraList::DeviceChange(CString& name, const char* devicePath, int arrived)
{
    name = FromLibraryName(::DeviceChange(devicePath, arrived != 0));
    return name.IsEmpty() ? 0 : 1;
}
