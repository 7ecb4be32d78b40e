// The manager's creation, camera choice, opening and closing, and the whole-record
// copies of the settings.
#include "camera/core/CameraManager.h"

#include "afxwin.h"
#include "camera/core/LibraryResources.h"
#include "camera/device/CameraFactory.h"
#include "camera/device/UsbCameraScanner.h"

#include <shlobj.h>
#include <stdlib.h>
#include <string.h>

CameraDeviceFactoryFn CCameraManager::s_deviceFactory = nullptr;

namespace {

// Buffer sizes of the driver families whose frames the manager cannot size itself.
INT64 FixedBufferSize(int cameraType)
{
    switch (cameraType) {
    case CAMERA_TYPE_CAMDRVF:
    case CAMERA_TYPE_CAMDRVH:
        return 8355840;
    case CAMERA_TYPE_CAMDRVG:
        return 30246720;
    case CAMERA_TYPE_SENSFAME:
        return 18337536;
    case CAMERA_TYPE_CAMDRVA:
        return 31887360;
    case CAMERA_TYPE_CAMDRVB:
        return 7987200;
    case CAMERA_TYPE_CAMDRVC:
        return 75497472;
    default:
        return 0;
    }
}

bool IsLibraryCamera(int cameraType)
{
    return cameraType == CAMERA_TYPE_CORE_A || cameraType == CAMERA_TYPE_CORE_B ||
           cameraType == CAMERA_TYPE_MINOR;
}

} // namespace

// --- creation and destruction ---------------------------------------------------------

CCameraManager& CCameraManager::Instance()
{
    static CCameraManager manager;
    return manager;
}

CCameraManager::CCameraManager()
    : m_runState(RUN_STOPPED), m_frameWidth(640), m_frameHeight(480), m_frameBufferSize(0),
      m_newFrame(0), m_frameReceived(0), m_noticeArmed(0), m_hGrabEnd(nullptr),
      m_hDisplayEnd(nullptr), m_hCaptureEnd(nullptr), m_hDrawDC(nullptr),
      m_hDrawDCWnd(nullptr), m_hDrawDib(nullptr), m_cropBuffer(nullptr), m_cropped(0),
      m_grabRate(1.0f), m_displayRate(1.0f), m_grabCount(0), m_displayCount(0),
      m_grabTick(0), m_displayTick(0), m_pDrawWnd(nullptr), m_hGuideWnd(nullptr),
      m_initWindow(nullptr), m_initFlag(0), m_bInitialized(FALSE),
      m_bReinitForCapture(FALSE), m_bRecording(FALSE), m_bFirstUseHandled(FALSE),
      m_bStartTeamLoaded(FALSE), m_splitCount(0), m_framesPerFile(100),
      m_recordRateKept(1000), m_showCross(0), m_crossColor(255), m_coolingSetPoint(-30),
      m_hTemperatureWnd(nullptr), m_pDevice(nullptr), m_pCoreList(nullptr),
      m_pCoreListB(nullptr), m_pMinorList(nullptr), m_pUsbHost(nullptr),
      m_bComInitialized(FALSE), m_pFrameLock(nullptr), m_pSpareLock1(nullptr),
      m_pDisplayLock(nullptr), m_pProcessLock(nullptr), m_pSpareLock2(nullptr)
{
    for (BYTE*& buffer : m_buffers)
        buffer = nullptr;
    memset(&m_bmih, 0, sizeof(m_bmih));
    SetRect(&m_displayRect, 0, 0, 640, 480);
    SetRect(&m_sourceRect, 0, 0, 640, 480);
    for (int& sample : m_temperatureHistory)
        sample = -300;

    m_bComInitialized = SUCCEEDED(CoInitialize(nullptr));

    m_pCoreList = CreateCameraList(CAMERA_LIST_CORE);
    m_pCoreListB = CreateCameraList(CAMERA_LIST_CORE_B);
    m_pMinorList = CreateCameraList(CAMERA_LIST_MINOR);
    if (m_pCoreList)
        m_pCoreList->Open();
    if (m_pMinorList)
        m_pMinorList->Open();

    m_param.cameraType = CAMERA_TYPE_NONE;
    m_param.sensorKind = 0;
    m_param.runState = RUN_STOPPED;
    m_info.productIndex = -1;
    InitTeamArrays();

    // Capture defaults; the folder lives on the desktop and is made when missing.
    m_param.capture = CaptureParam();
    WCHAR desktop[MAX_PATH] = {0};
    SHGetSpecialFolderPathW(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, TRUE);
    CString folder = CString(desktop) + L"\\" + LoadLibraryString(IDS_CAPTURE_FOLDER);
    if (GetFileAttributesW(folder) == INVALID_FILE_ATTRIBUTES)
        CreateDirectoryW(folder, nullptr);
    m_param.capture.Path = folder + L"\\";
    m_param.capture.FileName = LoadLibraryString(IDS_DEFAULT_PREFIX);

    m_comparison.bytesPerPixel = 3;
    m_comparison.transparency = 0.5f;
    m_comparison.lock = &m_comparisonLock;

    ReadMgrSettings();
}

CCameraManager::~CCameraManager()
{
    // Closing the camera is QrCCameraMgrUninitialize's work; here only memory goes.
    delete m_pCoreList;
    delete m_pCoreListB;
    delete m_pMinorList;
    free(m_comparison.image);
    free(m_cropBuffer);
}

void CCameraManager::InitTeamArrays()
{
    const CString freeName = LoadLibraryString(IDS_PARAM_NULL);
    m_param.teamNames.SetSize(PARAM_TEAM_ENTRIES);
    m_param.teamPreviewRes.SetSize(PARAM_TEAM_ENTRIES);
    m_param.teamCaptureRes.SetSize(PARAM_TEAM_ENTRIES);
    m_param.teamResLock.SetSize(PARAM_TEAM_ENTRIES);
    m_param.teamSetNumber.SetSize(PARAM_TEAM_ENTRIES);
    m_param.teamWBLock.SetSize(PARAM_TEAM_ENTRIES);
    m_param.teamAELock.SetSize(PARAM_TEAM_ENTRIES);
    m_param.teamExposure.SetSize(PARAM_TEAM_ENTRIES);
    m_param.teamGain.SetSize(PARAM_TEAM_ENTRIES);
    for (int i = 0; i < PARAM_TEAM_ENTRIES; ++i) {
        m_param.teamNames[i] = freeName;
        m_param.teamPreviewRes[i] = 0;
        m_param.teamCaptureRes[i] = 0;
        m_param.teamResLock[i] = 1;
        m_param.teamSetNumber[i] = static_cast<BYTE>(i);
        m_param.teamWBLock[i] = 0;
        m_param.teamAELock[i] = 0;
        m_param.teamExposure[i] = 0;
        m_param.teamGain[i] = 0;
    }
    m_param.CntParam = 0;
}

void CCameraManager::SetDeviceFactory(CameraDeviceFactoryFn factory)
{
    s_deviceFactory = factory;
}

void CCameraManager::InstallCameraLists(CCameraListBase* core, CCameraListBase* coreB,
                                        CCameraListBase* minor)
{
    if (m_pCoreList)
        m_pCoreList->Close();
    if (m_pMinorList)
        m_pMinorList->Close();
    delete m_pCoreList;
    delete m_pCoreListB;
    delete m_pMinorList;
    m_pCoreList = core;
    m_pCoreListB = coreB;
    m_pMinorList = minor;
}

// --- camera choice --------------------------------------------------------------------

CCameraDevice* CCameraManager::NewDevice(int cameraType)
{
    return s_deviceFactory ? s_deviceFactory(cameraType) : CreateCameraDevice(cameraType);
}

int CCameraManager::ScanUsbForCamera()
{
    // A host given by SetUsbHost wins over the factory's.
    CUsbHostInterface* created = m_pUsbHost ? nullptr : CreateUsbHost();
    CUsbCameraScanner scanner(m_pUsbHost ? m_pUsbHost : created);
    const int code = scanner.Scan();
    delete created;
    return code;
}

void CCameraManager::CopyDeviceInfo()
{
    if (!m_pDevice)
        return;
    m_pDevice->GetParameterInfo(&m_info);
    if (!m_info.Feature(FEATURE_FLUORESCENCE_CAPTURE))
        m_param.capture.FluorescenceType = 0;
}

// Ends whatever runs on the current device and deletes it. An open camera gets the
// same teardown as QrCCameraUnInit, so a capture or recording in progress ends before
// its buffers go.
void CCameraManager::RemoveDevice()
{
    if (!m_pDevice)
        return;
    if (m_bInitialized)
        CloseCamera();
    StopTemperatureWorker();
    m_pDevice->SuspendDevice();
    delete m_pDevice;
    m_pDevice = nullptr;
}

void CCameraManager::ApplyListPreset(CCameraListBase* list, int cameraType)
{
    if (list) {
        list->SetCurrentIndex(list->GetCurrentIndex());
        if (CameraListEntry* entry = list->GetCurrentEntry())
            m_param.sensorKind = m_pDevice->ApplyProductPreset(entry);
    }
    CopyDeviceInfo();
    LoadCameraSettings();
    m_pDevice->ResumeDevice(m_param.ResPreview);
    if (cameraType == CAMERA_TYPE_CORE_A || cameraType == CAMERA_TYPE_CORE_B)
        StartTemperatureWorker();
}

int CCameraManager::ReflashCamera()
{
    if (!m_pCoreList || !m_pCoreListB || !m_pMinorList)
        return CAM_ERR_NO_DEVICE;

    int code = ScanUsbForCamera();
    Sleep(100);
    if (code == CAMERA_TYPE_NONE) {
        m_pCoreList->Refresh();
        if (m_pCoreList->GetCount() > 0)
            code = CAMERA_TYPE_CORE_A;
    }
    if (code == CAMERA_TYPE_NONE) {
        m_pMinorList->Refresh();
        if (m_pMinorList->GetCount() > 0)
            code = CAMERA_TYPE_MINOR;
    }
    SetCamera(code);
    return CAM_OK;
}

int CCameraManager::SetCamera(int cameraType)
{
    SaveSettings();
    m_param.cameraType = cameraType;
    RemoveDevice();

    m_param.mode = 0;
    int sensorKind = SENSOR_KIND_NONE;
    switch (cameraType) {
    case CAMERA_TYPE_CAMDRVE: case CAMERA_TYPE_CAMDRVJ: case CAMERA_TYPE_CAMDRVL:
    case CAMERA_TYPE_CAMDRVD: case CAMERA_TYPE_CAMDRVA: case CAMERA_TYPE_CAMDRVB:
    case CAMERA_TYPE_CAMDRVC: case CAMERA_TYPE_CAMDRVK:
        if ((m_pDevice = NewDevice(cameraType)) != nullptr) {
            sensorKind = SENSOR_KIND_CMOS;
            m_param.ResCapture = 0;
            m_param.ResPreview = 0;
            m_param.ResLock = 0;
            m_param.longExposure = 0;
        }
        break;
    case CAMERA_TYPE_CAMDRVF: case CAMERA_TYPE_CAMDRVH:
        if ((m_pDevice = NewDevice(cameraType)) != nullptr) {
            sensorKind = SENSOR_KIND_CCD;
            m_param.ResCapture = 0;
            m_param.ResPreview = 0;
            m_param.ResLock = 1;
        }
        break;
    case CAMERA_TYPE_CAMDRVG:
        if ((m_pDevice = NewDevice(cameraType)) != nullptr) {
            sensorKind = SENSOR_KIND_CCD;
            m_param.ResCapture = 0;
            m_param.ResPreview = 1;
            m_param.ResLock = 0;
        }
        break;
    case CAMERA_TYPE_CORE_A: case CAMERA_TYPE_CORE_B: case CAMERA_TYPE_MINOR:
        if ((m_pDevice = NewDevice(cameraType)) != nullptr) {
            m_param.mode = 1;
            m_param.ResCapture = 0;
            m_param.ResPreview = 0;
            m_param.ResLock = cameraType == CAMERA_TYPE_MINOR ? 1 : 0;
            m_param.longExposure = 0;
        }
        break;
    default:
        break;
    }
    m_param.sensorKind = sensorKind;

    if (!m_pDevice) {
        m_info.productIndex = -1;
        m_info.sensorKind = 0;
        return CAM_OK;
    }
    if (IsLibraryCamera(cameraType)) {
        CCameraListBase* list = cameraType == CAMERA_TYPE_CORE_A ? m_pCoreList
                              : cameraType == CAMERA_TYPE_CORE_B ? m_pCoreListB
                                                                 : m_pMinorList;
        ApplyListPreset(list, cameraType);
    }
    CopyDeviceInfo();
    if (!IsLibraryCamera(cameraType))
        LoadCameraSettings();
    return CAM_OK;
}

int CCameraManager::ChoiceCamera(int index)
{
    if (!m_pCoreList || !m_pMinorList)
        return CAM_ERR_NO_DEVICE;

    int code = CAMERA_TYPE_NONE;
    CCameraListBase* list = nullptr;
    if (m_pCoreListB && m_pCoreListB->GetCount() > 0) {
        code = CAMERA_TYPE_CORE_B;
        list = m_pCoreListB;
    } else if (m_pCoreList->GetCount() > 0) {
        code = CAMERA_TYPE_CORE_A;
        list = m_pCoreList;
    } else if (m_pMinorList->GetCount() > 0) {
        code = CAMERA_TYPE_MINOR;
        list = m_pMinorList;
    }
    if (list)
        list->SetCurrentIndex(index);

    SaveSettings();
    RemoveDevice();

    m_param.cameraType = code;
    if (code == CAMERA_TYPE_NONE || (m_pDevice = NewDevice(code)) == nullptr) {
        m_info.productIndex = -1;
        m_info.sensorKind = 0;
        m_param.sensorKind = SENSOR_KIND_NONE;
        m_param.mode = 0;
        return CAM_OK;
    }
    m_param.mode = 1;
    m_param.ResCapture = 0;
    m_param.ResPreview = 0;
    m_param.ResLock = 0;
    m_param.longExposure = 0;
    m_param.sensorKind = SENSOR_KIND_NONE;
    ApplyListPreset(list, code);
    CopyDeviceInfo();
    return CAM_OK;
}

namespace {

// After the list changed, the entry that was current stays current where it is still
// listed.
void KeepCurrentEntry(CCameraListBase* list, const CString& name)
{
    for (int i = 0; i < list->GetCount(); ++i)
        if (list->GetEntry(i)->deviceName == name) {
            list->SetCurrentIndex(i);
            return;
        }
}

}  // namespace

// currentLeft (may be null) becomes 1 when the camera that left is the current one: the
// caller closes it and removes it (QrCRemoveCurrentCamera). Any other camera that left
// is dropped from the list here.
int CCameraManager::ChangeCamera(int* currentLeft, const char* devicePath, int arrived)
{
    if (!m_pCoreList)
        return CAM_ERR_NO_DEVICE;
    CString name;
    m_pCoreList->DeviceChange(name, devicePath, arrived);
    if (name.IsEmpty())
        return CAM_ERR_NO_DEVICE;
    CString current;
    if (CameraListEntry* entry = m_pCoreList->GetCurrentEntry())
        current = entry->deviceName;
    if (arrived) {
        m_pCoreList->Refresh();
        KeepCurrentEntry(m_pCoreList, current);
        if (m_pCoreList->GetCount() == 1)
            ChoiceCamera(0);
    } else if (m_param.cameraType == CAMERA_TYPE_CORE_A && name == current) {
        if (currentLeft)
            *currentLeft = 1;
    } else {
        m_pCoreList->RemoveByName(name);
        KeepCurrentEntry(m_pCoreList, current);
    }
    return CAM_OK;
}

int CCameraManager::RemoveCurrentCamera()
{
    if (!m_pCoreList)
        return CAM_ERR_NO_DEVICE;
    if (CameraListEntry* current = m_pCoreList->GetCurrentEntry()) {
        const CString name = current->deviceName;
        m_pCoreList->RemoveByName(name);
    }
    return ChoiceCamera(m_pCoreList->GetCurrentIndex());
}

int CCameraManager::RegisterCamera(HWND comboBox)
{
    if (!m_pCoreList || !m_pMinorList)
        return CAM_ERR_NO_DEVICE;
    if (m_pCoreListB)
        m_pCoreListB->FillComboBox(comboBox);
    m_pCoreList->FillComboBox(comboBox);
    m_pMinorList->FillComboBox(comboBox);
    // Each list selected its own current index as it was filled; the combo holds them
    // one after the other, so the current camera's entry is chosen once all are in.
    const int countB = m_pCoreListB ? m_pCoreListB->GetCount() : 0;
    int selection = -1;
    switch (m_param.cameraType) {
    case CAMERA_TYPE_CORE_B:
        selection = countB ? m_pCoreListB->GetCurrentIndex() : -1;
        break;
    case CAMERA_TYPE_CORE_A:
        selection = m_pCoreList->GetCount() ? countB + m_pCoreList->GetCurrentIndex() : -1;
        break;
    case CAMERA_TYPE_MINOR:
        selection = m_pMinorList->GetCount()
                        ? countB + m_pCoreList->GetCount() + m_pMinorList->GetCurrentIndex() : -1;
        break;
    default:
        break;
    }
    if (comboBox && selection >= 0)
        SendMessageW(comboBox, CB_SETCURSEL, selection, 0);
    return CAM_OK;
}

int CCameraManager::GetCameraCount(int* count)
{
    if (!m_pCoreList)
        return CAM_ERR_NO_DEVICE;
    if (!count)
        return CAM_ERR_RANGE;
    *count = m_pCoreList->GetCount();
    return CAM_OK;
}

int CCameraManager::GetCameraGUID(GUID* guid)
{
    if (!m_pCoreList)
        return CAM_ERR_NO_DEVICE;
    if (!guid)
        return CAM_ERR_RANGE;
    m_pCoreList->GetGuid(guid);
    return CAM_OK;
}

// --- opening and closing ----------------------------------------------------------------

HWND CCameraManager::DrawWindowHandle() const
{
    return m_pDrawWnd ? m_pDrawWnd->GetSafeHwnd() : nullptr;
}

HWND CCameraManager::DrawParentHandle() const
{
    HWND wnd = DrawWindowHandle();
    return wnd ? GetParent(wnd) : nullptr;
}

INT64 CCameraManager::ComputeBufferSize(int width, int height)
{
    const int type = m_param.cameraType;
    if (INT64 fixed = FixedBufferSize(type))
        return fixed;
    if (type == CAMERA_TYPE_CORE_A || type == CAMERA_TYPE_MINOR) {
        int receive = 0;
        m_pDevice->GetRecvBufferSize(&receive);
        const int product = m_info.productIndex;
        return static_cast<INT64>(receive) * ((product == 32 || product == 33) ? 2 : 3);
    }
    const INT64 bytesPerPixel = m_info.Feature(FEATURE_16BIT_DATA) ? 6 : 3;
    return static_cast<INT64>(width) * height * bytesPerPixel + 512;
}

BOOL CCameraManager::AllocateFrameBuffers(INT64 size)
{
    if (size <= 0 || static_cast<UINT64>(size) > SIZE_MAX)
        return FALSE;
    for (int i = 0; i < FRAME_BUFFER_COUNT; ++i) {
        m_buffers[i] = static_cast<BYTE*>(calloc(static_cast<size_t>(size), 1));
        if (!m_buffers[i]) {
            for (int j = 0; j < i; ++j) {
                free(m_buffers[j]);
                m_buffers[j] = nullptr;
            }
            return FALSE;
        }
    }
    m_frameBufferSize = size;
    return TRUE;
}

void CCameraManager::FreeFrameBuffers()
{
    for (int i = 0; i < FRAME_BUFFER_COUNT; ++i) {
        if (i == BUF_DECODED && m_pDisplayLock) {
            CSingleLock lock(m_pDisplayLock, TRUE);
            free(m_buffers[i]);
            m_buffers[i] = nullptr;
            continue;
        }
        free(m_buffers[i]);
        m_buffers[i] = nullptr;
    }
    m_frameBufferSize = 0;
}

void CCameraManager::TakeDrawDC(HWND wnd)
{
    ReleaseDrawDC();
    if (!wnd)
        return;
    m_hDrawDC = GetDC(wnd);
    m_hDrawDCWnd = m_hDrawDC ? wnd : nullptr;
}

// Gives back a device context this library took with GetDC; one handed in with
// QrCCameraSetDrawHDC belongs to the caller and is only forgotten.
void CCameraManager::ReleaseDrawDC()
{
    if (m_hDrawDC && m_hDrawDCWnd)
        ReleaseDC(m_hDrawDCWnd, m_hDrawDC);
    m_hDrawDC = nullptr;
    m_hDrawDCWnd = nullptr;
}

void CCameraManager::ReleaseLiveResources()
{
    FreeFrameBuffers();
    FreeViews();
    CCriticalSection** locks[] = {&m_pFrameLock, &m_pSpareLock1, &m_pDisplayLock,
                                  &m_pProcessLock, &m_pSpareLock2};
    for (CCriticalSection** lock : locks) {
        delete *lock;
        *lock = nullptr;
    }
    if (m_hDrawDib) {
        DrawDibClose(m_hDrawDib);
        m_hDrawDib = nullptr;
    }
    ReleaseDrawDC();
}

int CCameraManager::InitCamera(int previewResolution, CWnd* drawWindow, HWND displayWindow,
                               int flag)
{
    if (!m_pDevice)
        return CAM_ERR_NO_DEVICE;
    // Open with its threads running: the device is initialised again and its
    // information copied, but never under the grab thread, and the buffers stay.
    if (m_bInitialized && m_runState != RUN_STOPPED)
        return ReinitRunningCamera(previewResolution, drawWindow, displayWindow, flag);
    if (m_pDevice->Init(FrameCallback, previewResolution, displayWindow, displayWindow, flag) != CAM_OK)
        return CAM_ERR_NO_DEVICE;

    // The extra capture resolution and the resolution-lock rules go by the lists'
    // counts: take them from the device now rather than from whichever list a panel
    // happened to fill. The capture list comes last: its count holds the extra entry.
    m_pDevice->FillResolutionList(nullptr, 1);
    m_pDevice->FillResolutionList(nullptr, 0);
    CopyDeviceInfo();
    m_pDrawWnd = drawWindow;
    m_initWindow = displayWindow;
    m_initFlag = static_cast<BYTE>(flag & 0xFF);

    // Open but paused (a capture stopped the threads): the old set goes before a new one.
    if (m_bInitialized)
        ReleaseLiveResources();
    m_bInitialized = FALSE;

    int width = m_frameWidth, height = m_frameHeight;
    if (m_cropped) {
        width = m_sourceRect.right - m_sourceRect.left;
        height = m_sourceRect.bottom - m_sourceRect.top;
    } else {
        m_pDevice->GetImageSize(&width, &height);
    }
    m_frameWidth = width;
    m_frameHeight = height;

    if (!AllocateFrameBuffers(ComputeBufferSize(width, height)))
        return CAM_ERR_NO_MEMORY;

    memset(&m_bmih, 0, sizeof(m_bmih));
    m_bmih.biSize = sizeof(BITMAPINFOHEADER);
    m_bmih.biWidth = width;
    m_bmih.biHeight = height;
    m_bmih.biPlanes = 1;
    m_bmih.biBitCount = 24;
    m_bmih.biCompression = BI_RGB;

    HWND drawWnd = DrawWindowHandle();
    TakeDrawDC(drawWnd);
    m_hDrawDib = DrawDibOpen();
    if (drawWnd)
        GetClientRect(drawWnd, &m_displayRect);
    SetRect(&m_sourceRect, 0, 0, width, height);

    m_pFrameLock = new CCriticalSection;
    m_pSpareLock1 = new CCriticalSection;
    m_pDisplayLock = new CCriticalSection;
    m_pProcessLock = new CCriticalSection;
    m_pSpareLock2 = new CCriticalSection;

    m_bRecording = FALSE;
    m_cropped = 0;
    m_splitCount = 0;
    m_framesPerFile = 100;
    m_recordRateKept = 1000;
    m_bInitialized = TRUE;
    StartPreview();
    return CAM_OK;
}

// Stops the live threads first, so the device is never initialised under the grab
// thread, and starts them again; the buffers stay (a capture may be using them) unless
// the frame no longer fits. A device that refuses leaves the camera running as it was.
int CCameraManager::ReinitRunningCamera(int previewResolution, CWnd* drawWindow, HWND displayWindow,
                                        int flag)
{
    StopPreview(1);
    if (m_pDevice->Init(FrameCallback, previewResolution, displayWindow, displayWindow, flag) != CAM_OK) {
        StartPreview();
        return CAM_ERR_NO_DEVICE;
    }
    int width = m_frameWidth, height = m_frameHeight;
    if (!m_cropped)
        m_pDevice->GetImageSize(&width, &height);
    if (ComputeBufferSize(width, height) > m_frameBufferSize) {
        // Open as a paused camera does, with buffers for the new frame.
        return InitCamera(previewResolution, drawWindow, displayWindow, flag);
    }
    m_pDevice->FillResolutionList(nullptr, 1);
    m_pDevice->FillResolutionList(nullptr, 0);
    CopyDeviceInfo();
    m_initWindow = displayWindow;
    m_initFlag = static_cast<BYTE>(flag & 0xFF);
    {
        CSingleLock lock(m_pDisplayLock, TRUE);
        if (!m_cropped) {
            m_frameWidth = width;
            m_frameHeight = height;
            m_bmih.biWidth = width;
            m_bmih.biHeight = height;
            SetRect(&m_sourceRect, 0, 0, width, height);
        }
        if (drawWindow != m_pDrawWnd) {
            // Drawing goes where the messages go: into the window given now.
            m_pDrawWnd = drawWindow;
            HWND drawWnd = DrawWindowHandle();
            TakeDrawDC(drawWnd);
            if (drawWnd)
                GetClientRect(drawWnd, &m_displayRect);
        }
    }
    StartPreview();
    return CAM_OK;
}

// The close path of QrCCameraUnInit, shared by every path that drops an open camera.
int CCameraManager::CloseCamera()
{
    m_bInitialized = FALSE;
    EndGainTransform();

    if (m_runState != RUN_STOPPED && m_bRecording) {
        StopRecordingAndWait();
        ReleaseCapture();
    }
    if (m_param.captureRunning) {
        m_param.captureRunning = 0;
        if (m_hCaptureEnd)
            AfxWaitForSingleObjectSent(m_hCaptureEnd, INFINITE);
    }
    if (m_runState != RUN_STOPPED)
        StopPreview(0);

    m_runState = RUN_STOPPED;
    m_param.runState = RUN_STOPPED;
    Sleep(200);
    ReleaseLiveResources();
    return m_pDevice->UnInit();
}

int CCameraManager::UnInitCamera()
{
    if (!m_pDevice)
        return CAM_ERR_NO_DEVICE;
    if (!m_bInitialized)
        return CAM_OK;
    return CloseCamera();
}

int CCameraManager::MgrUninitialize()
{
    if (m_pDevice) {
        SaveSettings();
        m_pDevice->SaveParameter(LAST_RUN_PARAMETER_SET);
        RemoveDevice();
    }
    if (m_pCoreList) {
        m_pCoreList->Close();
        delete m_pCoreList;
        m_pCoreList = nullptr;
    }
    if (m_pMinorList) {
        m_pMinorList->Close();
        delete m_pMinorList;
        m_pMinorList = nullptr;
    }
    delete m_pCoreListB;
    m_pCoreListB = nullptr;
    ReleaseDrawDC();
    {
        CSingleLock lock(&m_comparisonLock, TRUE);
        free(m_comparison.image);
        m_comparison.image = nullptr;
    }
    if (m_bComInitialized) {
        CoUninitialize();
        m_bComInitialized = FALSE;
    }
    return CAM_OK;
}

int CCameraManager::SetResDefault()
{
    if (!m_bReinitForCapture)
        return CAM_OK;
    m_bReinitForCapture = FALSE;
    UnInitCamera();
    InitCamera(m_param.ResPreview, m_pDrawWnd, m_initWindow, m_initFlag);
    return CAM_OK;
}

// --- the settings record ----------------------------------------------------------------

void CCameraManager::CopyMgrParam(CameraMgrParam& to, const CameraMgrParam& from)
{
    if (&to == &from)
        return;
    to.mode = from.mode;
    to.cameraType = from.cameraType;
    to.sensorKind = from.sensorKind;
    to.runState = from.runState;
    to.ResCapture = from.ResCapture;
    to.ResPreview = from.ResPreview;
    to.ResLock = from.ResLock;
    to.longExposure = from.longExposure;
    to.exposureChanged = from.exposureChanged;
    to.aeLock = from.aeLock;
    to.captureRunning = from.captureRunning;
    to.LockShowAgain = from.LockShowAgain;
    to.LockShowAgain1 = from.LockShowAgain1;
    to.showChannel = from.showChannel;
    for (int c = 0; c < 4; ++c) {
        to.gamma[c] = from.gamma[c];
        to.levelsLow[c] = from.levelsLow[c];
        to.levelsHigh[c] = from.levelsHigh[c];
        to.autoLevels[c] = from.autoLevels[c];
    }
    to.dye = from.dye;
    to.CntParam = from.CntParam;
    to.teamNames.Copy(from.teamNames);
    to.teamPreviewRes.Copy(from.teamPreviewRes);
    to.teamCaptureRes.Copy(from.teamCaptureRes);
    to.teamResLock.Copy(from.teamResLock);
    to.teamSetNumber.Copy(from.teamSetNumber);
    to.teamWBLock.Copy(from.teamWBLock);
    to.teamAELock.Copy(from.teamAELock);
    to.teamExposure.Copy(from.teamExposure);
    to.teamGain.Copy(from.teamGain);
    to.capture = from.capture;
}

// Every team array holds PARAM_TEAM_ENTRIES entries, whatever a caller hands back:
// later code indexes them without checking.
void CCameraManager::NormaliseTeamArrays()
{
    const CString freeName = LoadLibraryString(IDS_PARAM_NULL);
    CameraMgrParam& p = m_param;
    for (INT_PTR i = p.teamNames.GetSize(); i < PARAM_TEAM_ENTRIES; ++i)
        p.teamNames.Add(freeName);
    for (INT_PTR i = p.teamResLock.GetSize(); i < PARAM_TEAM_ENTRIES; ++i)
        p.teamResLock.Add(1);
    for (INT_PTR i = p.teamSetNumber.GetSize(); i < PARAM_TEAM_ENTRIES; ++i)
        p.teamSetNumber.Add(static_cast<BYTE>(i));
    p.teamNames.SetSize(PARAM_TEAM_ENTRIES);
    p.teamResLock.SetSize(PARAM_TEAM_ENTRIES);
    p.teamSetNumber.SetSize(PARAM_TEAM_ENTRIES);
    p.teamPreviewRes.SetSize(PARAM_TEAM_ENTRIES);   // new entries are zero
    p.teamCaptureRes.SetSize(PARAM_TEAM_ENTRIES);
    p.teamWBLock.SetSize(PARAM_TEAM_ENTRIES);
    p.teamAELock.SetSize(PARAM_TEAM_ENTRIES);
    p.teamExposure.SetSize(PARAM_TEAM_ENTRIES);
    p.teamGain.SetSize(PARAM_TEAM_ENTRIES);
    if (p.CntParam > PARAM_TEAM_MAX)
        p.CntParam = PARAM_TEAM_MAX;
}

int CCameraManager::GetMgrParameter(CameraMgrParam* param)
{
    if (!param)
        return CAM_ERR_RANGE;
    CopyMgrParam(*param, m_param);
    return CAM_OK;
}

int CCameraManager::SetMgrParameter(const CameraMgrParam* param)
{
    if (!param)
        return CAM_ERR_RANGE;
    CopyMgrParam(m_param, *param);
    NormaliseTeamArrays();
    return CAM_OK;
}
