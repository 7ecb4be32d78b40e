// Parameter store and parameter teams: the capture settings (ParamMgr) and the
// per-model camera key in the registry, the device's numbered parameter sets, teams,
// and backup / restore of the company's registry branch through regedit.
#include "camera/core/CameraManager.h"
#include "afxprotect.h"

#include "afxwin.h"
#include "camera/core/LibraryResources.h"
#include "camera/core/RegistryKey.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>

DWORD CCameraManager::s_pollTimeout = 10000;

namespace {

struct ProductName {
    int product;
    const WCHAR* name;
};

const ProductName kCoreAProducts[] = {
    {1, L"Model19"}, {2, L"Model20"}, {3, L"Model22"}, {4, L"Model25"}, {5, L"Model26"},
    {6, L"Model24"}, {7, L"Model16"}, {8, L"Model14"}, {9, L"Model17"}, {11, L"Model08"},
    {12, L"Model07"}, {13, L"Model06"}, {14, L"Model15"}, {15, L"Model13"}, {16, L"Model27"},
    {17, L"Model12"}, {21, L"Model18"}, {22, L"Model11"}, {23, L"Model21"}, {24, L"Model10"},
    {25, L"Model09"}, {27, L"Model04"}, {28, L"Model03"}, {32, L"Model23"}, {33, L"Model05"},
    {34, L"Model02"}, {35, L"Model01"},
};
const ProductName kMinorProducts[] = {
    {27, L"Model04"}, {28, L"Model03"}, {34, L"Model02"}, {35, L"Model01"},
};
const ProductName kDriverFamilies[] = {
    {CAMERA_TYPE_CAMDRVE, L"SensFamH"}, {CAMERA_TYPE_CAMDRVJ, L"SensFamJ"},
    {CAMERA_TYPE_CAMDRVL, L"SensFamK"}, {CAMERA_TYPE_CAMDRVD, L"SensFamL"},
    {CAMERA_TYPE_CAMDRVF, L"SensFamG"}, {CAMERA_TYPE_CAMDRVH, L"SensFamF"},
    {CAMERA_TYPE_CAMDRVG, L"SensFamD"}, {CAMERA_TYPE_SENSFAME, L"SensFamE"},
    {CAMERA_TYPE_CAMDRVA, L"SensFamC"}, {CAMERA_TYPE_CAMDRVB, L"SensFamB"},
    {CAMERA_TYPE_CAMDRVC, L"SensFamA"}, {CAMERA_TYPE_CAMDRVK, L"SensFamI"},
};

template <size_t N>
const WCHAR* FindName(const ProductName (&table)[N], int key)
{
    for (const ProductName& entry : table)
        if (entry.product == key)
            return entry.name;
    return nullptr;
}

CString Numbered(LPCWSTR format, int i)
{
    CString name;
    name.Format(format, i);
    return name;
}

BOOL IsOne(CRegistryKey& key, LPCWSTR name)
{
    DWORD value = 0;
    key.ReadNumber(name, &value);
    return value == 1;
}

DWORD Number(CRegistryKey& key, LPCWSTR name)
{
    DWORD value = 0;
    key.ReadNumber(name, &value);
    return value;
}

CString AppDataFolder()
{
    WCHAR appData[MAX_PATH] = {0};
    SHGetSpecialFolderPathW(nullptr, appData, CSIDL_APPDATA, TRUE);
    return CString(appData) + L"\\" + LoadLibraryString(IDS_PROGRAM_NAME) + L"\\";
}

bool EndsWithNoCase(const CString& text, LPCWSTR suffix)
{
    const int n = lstrlenW(suffix);
    return text.GetLength() >= n && text.Right(n).CompareNoCase(suffix) == 0;
}

// Every file (no folders) of a folder, by name.
void ListFiles(const CString& folder, CStringArray& names)
{
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(folder + L"*.*", &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.Add(found.cFileName);
    } while (FindNextFileW(find, &found));
    FindClose(find);
}

// Starts regedit and waits for it, at most timeout milliseconds; TRUE when it ended.
BOOL RunRegedit(const CString& parameters, int show, DWORD timeout)
{
    SHELLEXECUTEINFOW info;
    ZeroMemory(&info, sizeof info);
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpVerb = L"open";
    info.lpFile = L"regedit.exe";
    info.lpParameters = parameters;
    info.nShow = show;
    if (!ShellExecuteExW(&info) || !info.hProcess)
        return FALSE;
    const BOOL ended = WaitForSingleObject(info.hProcess, timeout) == WAIT_OBJECT_0;
    CloseHandle(info.hProcess);
    return ended;
}

// The text of a .reg file: UTF-16 with its mark, or 8-bit text.
BOOL ReadRegFile(const CString& path, CString* text)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return FALSE;
    const DWORD size = GetFileSize(file, nullptr);
    BOOL ok = size != INVALID_FILE_SIZE && size < (64u << 20);
    CArray<BYTE, BYTE> bytes;
    if (ok) {
        bytes.SetSize(size + 2);
        DWORD read = 0;
        ok = ReadFile(file, bytes.GetData(), size, &read, nullptr) && read == size;
        bytes[size] = bytes[size + 1] = 0;
    }
    CloseHandle(file);
    if (!ok)
        return FALSE;
    const BYTE* data = bytes.GetData();
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xFE)
        *text = CString(reinterpret_cast<const WCHAR*>(data + 2), static_cast<int>((size - 2) / 2));
    else
        *text = CString(reinterpret_cast<const char*>(data));
    return TRUE;
}

// A backup may only touch the company's branch of the current user: every key line
// ("[...]" or "[-...]") must lie inside it.
BOOL StaysInBranch(const CString& text, const CString& branch)
{
    CString prefix = branch + L"\\";
    int start = 0;
    int keys = 0;
    while (start < text.GetLength()) {
        int end = text.Find(L'\n', start);
        if (end < 0)
            end = text.GetLength();
        CString line = text.Mid(start, end - start);
        start = end + 1;
        line.Trim();
        if (line.IsEmpty() || line[0] != L'[')
            continue;
        int close = line.ReverseFind(L']');
        if (close < 0)
            return FALSE;
        CString key = line.Mid(1, close - 1);
        if (!key.IsEmpty() && key[0] == L'-')
            key = key.Mid(1);
        if (key.CompareNoCase(branch) != 0 &&
            (key.GetLength() <= prefix.GetLength() ||
             key.Left(prefix.GetLength()).CompareNoCase(prefix) != 0))
            return FALSE;
        ++keys;
    }
    return keys > 0;
}

} // namespace

// --- names --------------------------------------------------------------------------------

CString CCameraManager::GetCameraName() const
{
    const WCHAR* name = nullptr;
    if (m_param.cameraType == CAMERA_TYPE_CORE_A)
        name = FindName(kCoreAProducts, m_info.productIndex);
    else if (m_param.cameraType == CAMERA_TYPE_MINOR)
        name = FindName(kMinorProducts, m_info.productIndex);
    else
        name = FindName(kDriverFamilies, m_param.cameraType);
    return name ? CString(name) : CString(L"CAMERA_UNKNOW");
}

CString CCameraManager::ProgramKeyPath()
{
    CString path;
    path.Format(L"Software\\%s\\%s", static_cast<LPCWSTR>(LoadLibraryString(IDS_COMPANY)),
                static_cast<LPCWSTR>(LoadLibraryString(IDS_PROGRAM_NAME)));
    return path;
}

// --- saving ---------------------------------------------------------------------------------

void CCameraManager::WriteMgrSettings()
{
    CRegistryBatch key;
    const CaptureParam& c = m_param.capture;
    key.WriteNumber(L"IsCaptureDlg", c.IsCaptureDlg);
    key.WriteText(L"Path", c.Path);
    key.WriteText(L"FileName", c.FileName);
    key.WriteNumber(L"CaptureType", c.CaptureType);
    key.WriteNumber(L"PictureType", c.PictureType);
    key.WriteNumber(L"Count", c.Count);
    key.WriteNumber(L"Space", c.Space);
    key.WriteNumber(L"IsNum", c.IsNum);
    key.WriteNumber(L"IsTimeStamp", c.IsTimeStamp);
    key.WriteNumber(L"IsLapse", c.IsLapse);
    key.WriteNumber(L"IsManual", c.IsManual);
    key.WriteNumber(L"IsTimeRecord", c.IsTimeRecord);
    key.WriteNumber(L"AviFrame", c.AviFrame);
    key.WriteNumber(L"Compress", c.Compress);
    key.WriteNumber(L"CompressID", c.CompressID);
    key.WriteNumber(L"CombineMeasurement", c.CombineMeasurement);
    key.WriteNumber(L"IsMode", c.IsMode);
    key.WriteNumber(L"Interval", c.Interval);
    key.WriteNumber(L"FPS", c.FPS);
    key.WriteNumber(L"FluorescenceType", c.FluorescenceType);
    key.WriteNumber(L"ShowCross", m_showCross);
    key.WriteNumber(L"CrossColor", m_crossColor);
    key.WriteNumber(L"LockShowAgain", m_param.LockShowAgain);
    key.WriteNumber(L"LockShowAgain1", m_param.LockShowAgain1);
    key.WriteNumber(L"HDAutoWB", m_cur.HDAutoWB);
    key.WriteNumber(L"HDFrameSpeed", m_cur.HDFrameSpeed);
    key.Commit(ProgramKeyPath() + L"\\ParamMgr", &m_mgrKeyMemo);
}

void CCameraManager::WriteCameraSettings()
{
    CRegistryBatch key;
    CameraMgrParam& p = m_param;
    key.WriteNumber(L"IsFirstUse", 1);
    key.WriteNumber(L"ResLock", p.ResLock);
    key.WriteNumber(L"ResPreview", p.ResPreview);
    key.WriteNumber(L"ResCapture", p.ResCapture);
    key.WriteNumber(L"CntParam", p.CntParam);
    for (int i = 0; i < PARAM_TEAM_MAX; ++i) {
        key.WriteText(Numbered(L"Param%d", i), p.teamNames[i]);
        key.WriteNumber(Numbered(L"Param%d_Index", i), p.teamSetNumber[i]);
        key.WriteNumber(Numbered(L"Param%d_WBLock", i), p.teamWBLock[i]);
        key.WriteNumber(Numbered(L"Param%d_AELock", i), p.teamAELock[i]);
        key.WriteNumber(Numbered(L"Param%d_Exp", i), p.teamExposure[i]);
        key.WriteNumber(Numbered(L"Param%d_Gain", i), p.teamGain[i]);
        key.WriteNumber(Numbered(L"Param%d_PreRes", i), p.teamPreviewRes[i]);
        key.WriteNumber(Numbered(L"Param%d_CapRes", i), p.teamCaptureRes[i]);
        key.WriteNumber(Numbered(L"Param%d_ResLock", i), p.teamResLock[i]);
    }
    const int current = PARAM_TEAM_MAX;
    key.WriteText(Numbered(L"Param%d", current), L"Default");
    key.WriteNumber(Numbered(L"Param%d_Index", current), current);
    key.WriteNumber(Numbered(L"Param%d_WBLock", current), m_cur.HDAutoWB);
    key.WriteNumber(Numbered(L"Param%d_AELock", current), m_cur.aeOn);
    key.WriteNumber(Numbered(L"Param%d_PreRes", current), p.ResPreview);
    key.WriteNumber(Numbered(L"Param%d_CapRes", current), p.ResCapture);
    key.WriteNumber(Numbered(L"Param%d_ResLock", current), p.ResLock);
    key.WriteNumber(L"ApplyDye", p.dye.ApplyDye);
    key.WriteNumber(L"DyeColorIndex", p.dye.ColorIndex);
    key.WriteNumber(L"DyeNameIndex", p.dye.NameIndex);
    key.WriteNumber(L"DyeEmWaveLen", p.dye.EmWaveLen);
    key.WriteNumber(L"DyeExWaveLen", p.dye.ExWaveLen);
    key.WriteNumber(L"DyeRChannel", p.dye.R);
    key.WriteNumber(L"DyeGChannel", p.dye.G);
    key.WriteNumber(L"DyeBChannel", p.dye.B);
    key.WriteNumber(L"CoolingDegree", m_cur.CoolingDegree);
    key.WriteNumber(L"HDAutoWB", m_cur.HDAutoWB);
    key.WriteNumber(L"HDFrameSpeed", m_cur.HDFrameSpeed);
    key.WriteNumber(L"Temperature", m_cur.colorTemperature);
    key.Commit(ProgramKeyPath() + L"\\Camera\\" + GetCameraName(), &m_cameraKeyMemo);
}

int CCameraManager::SaveSettings()
{
    CSingleLock lock(&m_saveLock, TRUE);
    WriteMgrSettings();
    if (!m_pDevice)
        return CAM_ERR_NO_DEVICE;
    WriteCameraSettings();
    return CAM_OK;
}

// --- loading --------------------------------------------------------------------------------

void CCameraManager::ReadMgrSettings()
{
    CRegistryKey key;
    if (!key.Open(ProgramKeyPath() + L"\\ParamMgr"))
        return;
    CaptureParam& c = m_param.capture;
    c.IsCaptureDlg = IsOne(key, L"IsCaptureDlg");
    // Folder and name prefix are kept apart: a missing name must not become the folder.
    key.ReadText(L"Path", &c.Path);
    key.ReadText(L"FileName", &c.FileName);
    c.CaptureType = static_cast<BYTE>(Number(key, L"CaptureType"));
    c.PictureType = static_cast<BYTE>(Number(key, L"PictureType"));
    c.Count = Number(key, L"Count");
    c.Space = Number(key, L"Space");
    c.IsNum = IsOne(key, L"IsNum");
    c.IsTimeStamp = IsOne(key, L"IsTimeStamp");
    c.IsLapse = IsOne(key, L"IsLapse");
    c.IsManual = IsOne(key, L"IsManual");
    c.IsTimeRecord = IsOne(key, L"IsTimeRecord");
    c.AviFrame = Number(key, L"AviFrame");
    c.Compress = Number(key, L"Compress");
    c.CompressID = Number(key, L"CompressID");
    c.CombineMeasurement = IsOne(key, L"CombineMeasurement");
    c.IsMode = IsOne(key, L"IsMode");
    c.Interval = Number(key, L"Interval");
    c.FPS = Number(key, L"FPS");
    c.FluorescenceType = Number(key, L"FluorescenceType");
    m_showCross = Number(key, L"ShowCross");
    m_crossColor = Number(key, L"CrossColor");
    m_param.LockShowAgain = IsOne(key, L"LockShowAgain");
    m_param.LockShowAgain1 = IsOne(key, L"LockShowAgain1");
    m_cur.HDAutoWB = IsOne(key, L"HDAutoWB");
    m_cur.HDFrameSpeed = static_cast<BYTE>(Number(key, L"HDFrameSpeed"));
}

void CCameraManager::ClampResolutions()
{
    CameraMgrParam& p = m_param;
    const int type = p.cameraType;
    const int product = m_info.productIndex;
    const bool library = p.mode == 1;
    if (library && p.ResLock)
        p.ResCapture = p.ResPreview;
    auto clampPair = [&p](int most) {
        if (p.ResPreview > most)
            p.ResPreview = static_cast<BYTE>(most);
        if (p.ResLock)
            p.ResCapture = p.ResPreview;
        else if (p.ResCapture > most)
            p.ResCapture = static_cast<BYTE>(most);
    };
    switch (type) {
    case 1: case 2: case 7: case 8: case 13: case 20:
        clampPair(2);
        break;
    case 3: case 9: case 12:
        clampPair(3);
        break;
    case 11:
        if (p.ResPreview > 2) p.ResPreview = 2;
        if (p.ResCapture > 3) p.ResCapture = 3;
        break;
    case 5: {
        const BYTE most = library ? 3 : 4;
        if (p.ResPreview > most) p.ResPreview = most;
        if (p.ResCapture > most) p.ResCapture = most;
        break;
    }
    default:
        break;
    }
    if (p.sensorKind == SENSOR_KIND_THIRD) {
        if (product == 27) {
            if (p.ResPreview != 0)
                p.ResPreview = 1;
            if (!p.ResLock) {
                if (p.ResCapture > 2) p.ResCapture = 2;
            } else if (p.ResCapture != 2) {
                p.ResCapture = p.ResPreview;
            }
        } else if (product == 33) {
            p.ResPreview = 0;
            p.ResCapture = 0;
        }
    }
}

int CCameraManager::LoadCameraSettings()
{
    if (!m_pDevice)
        return CAM_ERR_NO_DEVICE;
    CameraMgrParam& p = m_param;
    const int type = p.cameraType;
    const int product = m_info.productIndex;

    BYTE preview = 0, capture = 0;
    int lock = 1;
    switch (type) {
    case 1: case 2: case 3: case 5: case 9: case 12: case 20:
        preview = 1; capture = 0; lock = 0;
        break;
    case 11:
        preview = 0; capture = 2; lock = 0;
        break;
    case 13:
        preview = 0; capture = 3; lock = 0;
        break;
    case CAMERA_TYPE_CORE_A:
        if (product == 29) { preview = 0; capture = 1; lock = 1; }
        else if (product == 32) { preview = 0; capture = 0; lock = 0; }
        break;
    default:
        break;
    }
    p.ResPreview = preview;
    p.ResCapture = capture;
    p.ResLock = lock;
    p.CntParam = 0;
    const CString freeName = LoadLibraryString(IDS_PARAM_NULL);
    for (int i = 0; i < PARAM_TEAM_MAX; ++i)
        p.teamNames[i] = freeName;

    CRegistryKey key;
    if (key.Open(ProgramKeyPath() + L"\\Camera\\" + GetCameraName())) {
        p.ResLock = IsOne(key, L"ResLock") || type == CAMERA_TYPE_CAMDRVF ||
                    type == CAMERA_TYPE_CAMDRVH || product == 22;
        p.ResPreview = static_cast<BYTE>(Number(key, L"ResPreview"));
        p.ResCapture = static_cast<BYTE>(Number(key, L"ResCapture"));
        p.CntParam = static_cast<BYTE>(Number(key, L"CntParam"));
        if (p.CntParam > PARAM_TEAM_MAX)
            p.CntParam = PARAM_TEAM_MAX;
        for (int i = 0; i < PARAM_TEAM_ENTRIES; ++i) {
            key.ReadText(Numbered(L"Param%d", i), &p.teamNames[i]);
            p.teamSetNumber[i] = static_cast<BYTE>(Number(key, Numbered(L"Param%d_Index", i)));
            p.teamWBLock[i] = Number(key, Numbered(L"Param%d_WBLock", i));
            p.teamAELock[i] = static_cast<BYTE>(Number(key, Numbered(L"Param%d_AELock", i)));
            p.teamExposure[i] = Number(key, Numbered(L"Param%d_Exp", i));
            p.teamGain[i] = Number(key, Numbered(L"Param%d_Gain", i));
            p.teamPreviewRes[i] = static_cast<BYTE>(Number(key, Numbered(L"Param%d_PreRes", i)));
            p.teamCaptureRes[i] = static_cast<BYTE>(Number(key, Numbered(L"Param%d_CapRes", i)));
            p.teamResLock[i] = Number(key, Numbered(L"Param%d_ResLock", i));
            m_cur.HDAutoWB = p.teamWBLock[i];
            m_cur.aeOn = p.teamAELock[i];
        }
        p.dye.ApplyDye = IsOne(key, L"ApplyDye");
        p.dye.ColorIndex = Number(key, L"DyeColorIndex");
        p.dye.NameIndex = Number(key, L"DyeNameIndex");
        p.dye.EmWaveLen = Number(key, L"DyeEmWaveLen");
        p.dye.ExWaveLen = Number(key, L"DyeExWaveLen");
        p.dye.R = Number(key, L"DyeRChannel");
        p.dye.G = Number(key, L"DyeGChannel");
        p.dye.B = Number(key, L"DyeBChannel");
        m_cur.HDAutoWB = IsOne(key, L"HDAutoWB");
        m_cur.HDFrameSpeed = static_cast<BYTE>(Number(key, L"HDFrameSpeed"));
        m_cur.colorTemperature = Number(key, L"Temperature");
    }
    ClampResolutions();
    return CAM_OK;
}

// --- device parameter sets --------------------------------------------------------------------

int CCameraManager::SaveParameter(int setNumber)
{
    if (!m_pDevice)
        return CAM_ERR_NO_DEVICE;
    m_cur.paramSetNumber = static_cast<BYTE>(setNumber);
    return m_pDevice->SaveParameter(setNumber);
}

int CCameraManager::ReadParameter(int setNumber)
{
    if (!m_pDevice)
        return CAM_ERR_NO_DEVICE;
    m_cur.paramSetNumber = static_cast<BYTE>(setNumber);
    m_pDevice->ReadParameter(setNumber);
    ReadValue();
    m_cur.paramSetNumber = static_cast<BYTE>(setNumber);
    ParameterApply();
    return CAM_OK;
}

int CCameraManager::GetCurrentParameterTeam(BYTE* setNumber)
{
    if (!m_pDevice)
        return CAM_ERR_NO_DEVICE;
    if (!setNumber)
        return CAM_ERR_RANGE;
    return m_pDevice->GetCurrentParameterTeam(setNumber);
}

int CCameraManager::ParameterApply()
{
    if (!m_pDevice)
        return CAM_ERR_NO_DEVICE;
    m_pDevice->SaveParameter(m_cur.paramSetNumber);
    return m_pDevice->SetLastParameter(&m_cur);
}

int CCameraManager::ParameterReset()
{
    if (!m_pDevice)
        return CAM_ERR_NO_DEVICE;
    m_pDevice->GetLastParameter(&m_cur);
    return ReadParameter(m_cur.paramSetNumber);
}

int CCameraManager::ParameterInit()
{
    if (!m_pDevice)
        return CAM_ERR_NO_DEVICE;
    const int product = m_info.productIndex;
    const bool thirdKind = m_param.sensorKind == SENSOR_KIND_THIRD;
    if (product == 37 || product == 38)
        InterlockedExchange(&s_noRawFilter, 1);
    m_pDevice->GetLastParameter(&m_cur);
    LoadCameraSettings();
    m_pDevice->GetCurrentParameterTeam(&m_cur.paramSetNumber);

    bool firstUse = true;
    {
        CRegistryKey key;
        if (key.OpenOrCreate(ProgramKeyPath() + L"\\Camera\\" + GetCameraName())) {
            DWORD value = 0;
            key.ReadNumber(L"IsFirstUse", &value);
            firstUse = value == 0;
            if (value != 1)
                key.WriteNumber(L"IsFirstUse", 1);
        }
    }

    if (firstUse) {
        m_bFirstUseHandled = TRUE;
        if (product == 28 || product == 29 || product == 34 || product == 35)
            m_cur.HDFrameSpeed = 1;
        if (product == 33)
            m_pDevice->SetResolution(m_param.ResPreview + 3);
        else
            ApplyCurrentParameters();
        if (thirdKind) {
            SetAeState(1);
            SetAWBState(1);
        }
        if (product == 32)
            LevelsDefault();
        if (product == 37) {
            int on = 0;
            m_pDevice->GetMirror(1, &on);
            Sleep(200);
            SetMirror(1, !on);
            SetAutoLevelsState(0);
        }
        if (product == 38) {
            m_param.ResPreview = 3;
            m_param.ResCapture = 3;
            m_pDevice->SetResolution(3);
        }
    } else {
        ReadValue();
        if (product == 33)
            m_pDevice->SetResolution(m_param.ResPreview + 3);
        if (product == 29)
            m_pDevice->SetResolution(0);
        if (product == 32)
            LevelsDefault();
    }

    if (!m_bFirstUseHandled && !m_bStartTeamLoaded) {
        m_bStartTeamLoaded = TRUE;
        ReadParameter(LAST_RUN_PARAMETER_SET);
    }

    if (product == 35)
        m_pDevice->SetAeTarget(m_cur.aeTarget);
    if (product == 32)
        SetResPreview(m_param.ResPreview);
    return CAM_OK;
}

int CCameraManager::ParameterDefault(int mode)
{
    if (!m_pDevice)
        return CAM_ERR_NO_DEVICE;
    const int product = m_info.productIndex;
    if (mode == 0 || mode == 3) {
        m_param.showChannel = 3;
        for (int c = 0; c < 4; ++c) {
            m_param.gamma[c] = 100;
            m_param.levelsLow[c] = 0;
            m_param.levelsHigh[c] = 255;
            m_param.autoLevels[c] = 0;
        }
        m_param.dye = DyeSettings();
    }
    m_pDevice->GetDefaultParameter(&m_cur, mode);
    ApplyCurrentParameters();
    Sleep(300);
    if (mode == 3)
        return CAM_OK;

    BYTE one = 1;
    if (product == 32 || product == 33 || product == 38) {
        m_pDevice->CalcWhiteBalance(&one, nullptr);
        m_cur.HDAutoWB = 1;
    } else if (product == 28 || product == 29 || product == 34 || product == 35 ||
               m_param.cameraType == CAMERA_TYPE_CORE_B) {
        m_pDevice->CalcWhiteBalance(&one, nullptr);
        m_pDevice->CalcWhiteBalance(m_cur.HDAutoWB ? nullptr : &one, nullptr);
    } else {
        SetAWBState(1);
    }
    ReadChannelGains();
    m_pDevice->GetColorTemperature(&m_cur.colorTemperature);
    m_showCross = 0;
    m_cur.HDAutoWB = 1;
    m_crossColor = 255;
    return CAM_OK;
}

int CCameraManager::ReadValue()
{
    if (!m_pDevice)
        return CAM_ERR_NO_DEVICE;
    CCameraDevice& d = *m_pDevice;
    const int product = m_info.productIndex;
    const bool thirdKind = m_param.sensorKind == SENSOR_KIND_THIRD;
    const bool library = m_param.mode == 1;
    const bool wbProduct = product == 28 || product == 29 || (product >= 32 && product <= 35) ||
                           product == 37 || product == 38;

    d.GetAeState(&m_cur.aeOn);
    if (thirdKind && !(product == 28 || (product >= 32 && product <= 35) || product == 37 ||
                       product == 38))
        m_param.autoLevels[m_param.showChannel & 3] = m_cur.aeOn;
    BYTE target = static_cast<BYTE>(m_cur.aeTarget);
    d.GetAeTarget(&target);
    m_cur.aeTarget = std::max(m_info.aeTargetMin, std::min(m_info.aeTargetMax, static_cast<int>(target)));
    ReadExposureBack(!library);
    ReadGainBack();
    d.GetGamma(&m_cur.gamma);
    BYTE contrast = static_cast<BYTE>(m_cur.contrast);
    d.GetContrast(&contrast);
    m_cur.contrast = contrast;
    d.GetSaturation(&m_cur.saturation);
    if (!thirdKind) {
        m_cur.gammaValue = d.RegisterToGamma(m_cur.gamma);
        m_cur.contrastValue = d.RegisterToContrast(m_cur.contrast, m_param.mode);
        m_cur.saturationValue = d.RegisterToSaturation(m_cur.saturation, m_param.mode);
    }
    d.GetBlackLevel(&m_cur.blackLevel);
    d.GetColorEnhancement(&m_cur.colorEnhancement);
    d.GetMonochrome(&m_cur.monochrome);
    d.GetFlatFieldingState(&m_cur.flatField);
    m_bFlatFieldCalculated = m_cur.flatField != 0;
    d.GetMirror(0, &m_cur.mirror[0]);
    d.GetMirror(1, &m_cur.mirror[1]);
    d.GetGain(&m_cur.redGain, &m_cur.greenGain, &m_cur.blueGain);
    if (library && !(product == 28 || product == 29 || product == 34 || product == 35)) {
        d.GetFrameSpeed(&m_cur.HDFrameSpeed);
    } else if (!library) {
        d.GetFrameSpeed(&m_cur.HDFrameSpeed);
        if (m_cur.HDFrameSpeed > 2)
            m_cur.HDFrameSpeed = 2;
    }
    d.UpdateExposureRange(&m_info, m_param.longExposure);
    d.GetDataWide(&m_cur.dataWide);
    const int shown = m_param.showChannel;
    const int first = shown == 3 ? 0 : shown, last = shown == 3 ? 3 : shown;
    for (int c = first; c <= last; ++c) {
        d.GetAutoLevelsState(&m_param.autoLevels[c], c);
        d.GetLevelsValues(&m_param.levelsLow[c], &m_param.levelsHigh[c], c);
    }
    d.GetGammaEx(&m_param.gamma[shown & 3], shown);
    d.GetDyeSettings(&m_param.dye);
    d.GetCurrentParameterTeam(&m_cur.paramSetNumber);
    d.GetFilter(&m_cur.filter);
    d.GetDenoise(&m_cur.denoise);
    d.GetSharpness(&m_cur.sharpness);

    if (wbProduct) {
        BYTE one = 1;
        d.CalcWhiteBalance(m_cur.HDAutoWB ? &one : nullptr, nullptr);
        ReadChannelGains();
        if (!m_cur.HDAutoWB)
            d.SetGain(m_cur.redGain, m_cur.greenGain, m_cur.blueGain);
    }
    return CAM_OK;
}

int CCameraManager::GetParameterInfo(CameraParamInfo* info, int cached)
{
    if (!info)
        return CAM_ERR_RANGE;
    if (m_pDevice && cached == 0)
        return m_pDevice->GetParameterInfo(info);
    *info = m_info;
    return m_pDevice ? CAM_OK : CAM_ERR_NO_DEVICE;
}

int CCameraManager::GetLastParameter(CameraCurParam* param)
{
    if (!m_pDevice)
        return CAM_ERR_NO_DEVICE;
    if (!param)
        return CAM_ERR_RANGE;
    return m_pDevice->GetLastParameter(param);
}

int CCameraManager::GetCurParameter(CameraCurParam* param)
{
    if (!m_pDevice)
        return CAM_ERR_NO_DEVICE;
    if (!param)
        return CAM_ERR_RANGE;
    m_pDevice->GetGain(&m_cur.redGain, &m_cur.greenGain, &m_cur.blueGain);
    *param = m_cur;
    return CAM_OK;
}

// --- teams -----------------------------------------------------------------------------------

void CCameraManager::ResetTeamEntry(int i)
{
    CameraMgrParam& p = m_param;
    p.teamNames[i] = LoadLibraryString(IDS_PARAM_NULL);
    p.teamPreviewRes[i] = 0;
    p.teamCaptureRes[i] = 0;
    p.teamResLock[i] = 1;
    p.teamWBLock[i] = 0;
    p.teamAELock[i] = 0;
    p.teamExposure[i] = 0;
    p.teamGain[i] = 0;
    p.teamSetNumber[i] = PARAM_TEAM_MAX;
}

int CCameraManager::AddParamterTeam(const CString* name)
{
    CameraMgrParam& p = m_param;
    // Entry 20 holds the current settings: a 21st team must not land there.
    if (!name || p.CntParam >= PARAM_TEAM_MAX)
        return CAM_ERR_RANGE;
    const int i = p.CntParam;
    int setNumber = PARAM_TEAM_MAX;
    for (int candidate = 0; candidate < PARAM_TEAM_MAX && setNumber == PARAM_TEAM_MAX; ++candidate) {
        bool used = false;
        for (int t = 0; t < p.CntParam; ++t)
            used = used || p.teamSetNumber[t] == candidate;
        if (!used)
            setNumber = candidate;
    }
    p.teamNames[i] = *name;
    p.teamPreviewRes[i] = p.ResPreview;
    p.teamCaptureRes[i] = p.ResCapture;
    p.teamResLock[i] = p.ResLock;
    p.teamWBLock[i] = m_cur.HDAutoWB;
    p.teamAELock[i] = static_cast<BYTE>(m_cur.aeOn);
    p.teamExposure[i] = m_cur.exposureTime;
    p.teamGain[i] = m_cur.gain;
    p.teamSetNumber[i] = static_cast<BYTE>(setNumber);
    p.CntParam = static_cast<BYTE>(i + 1);
    return CAM_OK;
}

int CCameraManager::DelParamterTeam(int index)
{
    CameraMgrParam& p = m_param;
    if (index < 0 || index >= p.CntParam)
        return CAM_ERR_RANGE;
    p.CntParam = static_cast<BYTE>(p.CntParam - 1);
    for (int i = index; i < p.CntParam; ++i) {
        p.teamNames[i] = p.teamNames[i + 1];
        p.teamPreviewRes[i] = p.teamPreviewRes[i + 1];
        p.teamCaptureRes[i] = p.teamCaptureRes[i + 1];
        p.teamResLock[i] = p.teamResLock[i + 1];
        p.teamWBLock[i] = p.teamWBLock[i + 1];
        p.teamAELock[i] = p.teamAELock[i + 1];
        p.teamExposure[i] = p.teamExposure[i + 1];
        p.teamGain[i] = p.teamGain[i + 1];
        p.teamSetNumber[i] = p.teamSetNumber[i + 1];
    }
    for (int i = p.CntParam; i < PARAM_TEAM_MAX; ++i)
        ResetTeamEntry(i);
    return CAM_OK;
}

int CCameraManager::SaveParamterTeam(int index)
{
    if (!m_pDevice)
        return CAM_ERR_NO_DEVICE;
    CameraMgrParam& p = m_param;
    if (index < 0 || index >= p.CntParam)
        return CAM_ERR_RANGE;
    m_cur.paramSetNumber = p.teamSetNumber[index];
    p.teamPreviewRes[index] = p.ResPreview;
    p.teamCaptureRes[index] = p.ResCapture;
    p.teamResLock[index] = p.ResLock;
    p.teamWBLock[index] = m_cur.HDAutoWB;
    p.teamAELock[index] = static_cast<BYTE>(m_cur.aeOn);
    p.teamExposure[index] = m_cur.exposureTime;
    p.teamGain[index] = m_cur.gain;
    // A device that refuses to keep the set (gone, for one) makes the save a failure.
    const int saved = m_pDevice->SaveParameter(p.teamSetNumber[index]);
    SaveSettings();
    return saved == CAM_OK ? CAM_OK : CAM_FAILED;
}

int CCameraManager::ReadParamterTeam(int index)
{
    if (!m_pDevice)
        return CAM_ERR_NO_DEVICE;
    CameraMgrParam& p = m_param;
    if (index < 0 || index >= p.CntParam)
        return CAM_ERR_RANGE;
    auto takeEntry = [this, &p, index]() {
        m_cur.paramSetNumber = p.teamSetNumber[index];
        m_cur.HDAutoWB = p.teamWBLock[index];
        m_cur.aeOn = p.teamAELock[index];
    };
    takeEntry();
    m_pDevice->ReadParameter(p.teamSetNumber[index]);
    ReadValue();
    takeEntry();
    p.ResPreview = p.teamPreviewRes[index];
    p.ResCapture = p.teamCaptureRes[index];
    p.ResLock = p.teamResLock[index];
    m_cur.exposureTime = p.teamExposure[index];
    m_cur.gain = p.teamGain[index];
    if (p.sensorKind != SENSOR_KIND_THIRD)
        ParameterApply();
    m_pDevice->SetAeState(m_cur.aeOn);
    if (m_info.productIndex == 32) {
        if (m_cur.HDAutoWB) {
            BYTE one = 1;
            m_pDevice->CalcWhiteBalance(&one, nullptr);
        } else {
            Sleep(300);
            m_pDevice->SetGain(m_cur.redGain, m_cur.greenGain, m_cur.blueGain);
        }
    }
    const int exposure = m_cur.exposureTime;
    SetAnalogGain(m_cur.gain);
    SetExposureTimeMS(exposure, 1);
    ClampResolutions();
    if (p.mode == 0 && m_bInitialized) {
        UnInitCamera();
        InitCamera(p.ResPreview, m_pDrawWnd, m_initWindow, m_initFlag);
    }
    return CAM_OK;
}

int CCameraManager::SetParamterTeamName(int index, const CString* name)
{
    if (!name || index < 0 || index >= PARAM_TEAM_ENTRIES)
        return CAM_ERR_RANGE;
    m_param.teamNames[index] = *name;
    return CAM_OK;
}

int CCameraManager::SetMsgLock(int on)
{
    m_param.LockShowAgain = on;
    return CAM_OK;
}

int CCameraManager::SetCapMsgLock(int on)
{
    m_param.LockShowAgain1 = on;
    return CAM_OK;
}

// --- backup and restore ----------------------------------------------------------------------

namespace {

// A read-only file is left as it is: CopyFile would replace it under Wine.
BOOL CopyOverUnprotected(const CString& from, const CString& to)
{
    return !AfxIsProtectedFile(to) && CopyFileW(from, to, FALSE);
}

}  // namespace

int CCameraManager::BackupParameter(const CString* folder)
{
    if (!folder || folder->IsEmpty())
        return CAM_ERR_RANGE;
    CString target = *folder;
    if (target.Right(1) != L"\\")
        target += L"\\";
    const CString program = LoadLibraryString(IDS_PROGRAM_NAME);
    // regedit answers success even when it wrote nothing: it exports beside the backup,
    // and only a file it really wrote replaces an earlier backup.
    const CString backup = target + program + L".reg";
    const CString part = backup + L".part";
    DeleteFileW(part);
    CString parameters;
    parameters.Format(L"/e \"%s\" \"HKEY_CURRENT_USER\\Software\\%s\"", static_cast<LPCWSTR>(part),
                      static_cast<LPCWSTR>(LoadLibraryString(IDS_COMPANY)));
    // Waited for, so the file is complete when the caller goes on with it.
    BOOL exported = RunRegedit(parameters, SW_SHOWNORMAL, s_pollTimeout);
    WIN32_FILE_ATTRIBUTE_DATA written;
    exported = exported && GetFileAttributesExW(part, GetFileExInfoStandard, &written) &&
               !(written.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
               (written.nFileSizeLow != 0 || written.nFileSizeHigh != 0) && !AfxIsProtectedFile(backup) &&
               MoveFileExW(part, backup, MOVEFILE_REPLACE_EXISTING);
    if (!exported)
        DeleteFileW(part);

    const CString source = AppDataFolder();
    CStringArray names;
    ListFiles(source, names);
    for (INT_PTR i = 0; i < names.GetSize(); ++i)
        if (!EndsWithNoCase(names[i], L".jpg"))
            CopyOverUnprotected(source + names[i], target + names[i]);
    return exported ? CAM_OK : CAM_FAILED;
}

int CCameraManager::RecoverParameter(const CString* folder)
{
    if (!folder || folder->IsEmpty())
        return CAM_ERR_RANGE;
    CString source = *folder;
    if (source.Right(1) != L"\\")
        source += L"\\";
    const CString program = LoadLibraryString(IDS_PROGRAM_NAME);
    const CString backupName = program + L".reg";
    const CString target = AppDataFolder();
    CreateDirectoryW(target, nullptr);

    int result = CAM_OK;
    CStringArray names;
    ListFiles(source, names);
    // A folder without our backup is not one: nothing of it is taken over.
    bool hasBackup = false;
    for (INT_PTR i = 0; i < names.GetSize(); ++i)
        hasBackup = hasBackup || names[i].CompareNoCase(backupName) == 0;
    if (!hasBackup)
        return CAM_FAILED;
    for (INT_PTR i = 0; i < names.GetSize(); ++i) {
        const CString path = source + names[i];
        if (!EndsWithNoCase(names[i], L".reg")) {
            CopyOverUnprotected(path, target + names[i]);
            continue;
        }
        // Only our own backup, and only when it stays inside the company's branch.
        if (names[i].CompareNoCase(backupName) != 0)
            continue;
        CString text;
        const CString branch = L"HKEY_CURRENT_USER\\Software\\" + LoadLibraryString(IDS_COMPANY);
        if (!ReadRegFile(path, &text) || !StaysInBranch(text, branch)) {
            result = CAM_FAILED;
            continue;
        }
        CString parameters;
        parameters.Format(L"/s \"%s\"", static_cast<LPCWSTR>(path));
        if (!RunRegedit(parameters, SW_HIDE, s_pollTimeout))
            result = CAM_FAILED;
        LoadCameraSettings();
    }
    return result;
}
