#include "testprinter.h"
#include <winspool.h>
#include <vector>

namespace {

const WCHAR kPrinter[] = L"Orv PostScript A4";
const WCHAR kDriver[] = L"Orv Test PostScript";
const WCHAR kPpd[] = L"orvtest.ppd";
const char kPpdText[] =
    "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*LanguageLevel: \"2\"\n*ColorDevice: True\n"
    "*DefaultResolution: 300dpi\n*DefaultPageSize: A4\n"
    "*PageSize A4/A4: \"<</PageSize[595 842]>>setpagedevice\"\n*DefaultImageableArea: A4\n"
    "*ImageableArea A4/A4: \"0 0 595 842\"\n*DefaultPaperDimension: A4\n*PaperDimension A4/A4: \"595 842\"\n";

bool InstallDriver()
{
    WCHAR path[MAX_PATH + 32];
    DWORD needed = 0;
    if (!GetPrinterDriverDirectoryW(nullptr, nullptr, 1, (LPBYTE)path, MAX_PATH * sizeof(WCHAR), &needed))
        return false;
    lstrcatW(path, L"\\");
    lstrcatW(path, kPpd);
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    WriteFile(file, kPpdText, sizeof kPpdText - 1, &written, nullptr);
    CloseHandle(file);
    DRIVER_INFO_3W driver = {};
    driver.cVersion = 3;
    driver.pName = const_cast<LPWSTR>(kDriver);
    driver.pDriverPath = const_cast<LPWSTR>(L"wineps.drv");
    driver.pDataFile = const_cast<LPWSTR>(kPpd);
    driver.pConfigFile = const_cast<LPWSTR>(L"wineps.drv");
    return AddPrinterDriverExW(nullptr, 3, (LPBYTE)&driver, 0) != FALSE;
}

}  // namespace

const WCHAR* UseTestPrinter(const char* unixOutputPath)
{
    const int n = MultiByteToWideChar(CP_UTF8, 0, unixOutputPath, -1, nullptr, 0);
    std::vector<WCHAR> port(n > 0 ? n : 1, 0);
    MultiByteToWideChar(CP_UTF8, 0, unixOutputPath, -1, port.data(), n);

    HANDLE printer = nullptr;
    if (!OpenPrinterW(const_cast<LPWSTR>(kPrinter), &printer, nullptr)) {
        if (!InstallDriver())
            return nullptr;
        PRINTER_INFO_2W info = {};
        info.pPrinterName = const_cast<LPWSTR>(kPrinter);
        info.pPortName = port.data();
        info.pDriverName = const_cast<LPWSTR>(kDriver);
        info.pPrintProcessor = const_cast<LPWSTR>(L"WinPrint");
        info.pDatatype = const_cast<LPWSTR>(L"RAW");
        printer = AddPrinterW(nullptr, 2, (LPBYTE)&info);
        if (!printer)
            return nullptr;
    } else {
        DWORD needed = 0;
        GetPrinterW(printer, 2, nullptr, 0, &needed);
        std::vector<BYTE> buffer(needed);
        if (needed == 0 || !GetPrinterW(printer, 2, buffer.data(), needed, &needed)) {
            ClosePrinter(printer);
            return nullptr;
        }
        PRINTER_INFO_2W* info = (PRINTER_INFO_2W*)buffer.data();
        info->pPortName = port.data();
        info->pDriverName = const_cast<LPWSTR>(kDriver);
        SetPrinterW(printer, 2, (LPBYTE)info, 0);
    }
    ClosePrinter(printer);
    return SetDefaultPrinterW(kPrinter) ? kPrinter : nullptr;
}
