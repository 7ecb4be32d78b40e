// CCoreCameraList: the cameras the ZedOdir library sees (source of camera type 18),
// each with its product index, sensor kind and display name from the product table.
#pragma once

#include "camera/device/CameraListBase.h"

#include <string>

// A product a camera list knows by its USB ids.
struct CameraProduct {
    int vendorId;
    int productId;
    int productIndex;
    BYTE sensorKind;
    const char* modelName;
};

// The outside libraries name devices in the ANSI code page.
std::string ToLibraryName(const CString& name);
CString FromLibraryName(const char* name);

// The folder the outside libraries keep their configuration in (created when
// missing): the user's application-data folder and the program name.
CString CameraConfigurationFolder();

// Builds the list entry of a device from its USB ids and a product table.
CameraListEntry MakeCameraListEntry(const char* deviceName, int vendorId, int productId,
                                    const CameraProduct* table, size_t count);

class CCoreCameraList : public CCameraListBase {
public:
    int Open() override;
    void Close() override;
    void Refresh() override;
    BOOL GetGuid(GUID* guid) override;
    int DeviceChange(CString& name, const char* devicePath, int arrived) override;
};
