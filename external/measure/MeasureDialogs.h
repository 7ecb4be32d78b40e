// The library's own dialogs, built from templates in memory so the library needs no
// resources: calibration against a reference line, and the list of measurements.
#pragma once
#include "MeasureImpl.h"

// Control ids of the calibration dialog.
enum
{
    IDC_CALIB_PIXELS = 1001,   // length of the reference line in image pixels
    IDC_CALIB_LENGTH = 1002,   // its real length
    IDC_CALIB_UNIT = 1003,     // unit text
    IDC_MEASURE_LIST = 1004,   // list box of the measurement list
    IDC_TABLE_LIST = 1005,     // calibration table: saved calibrations
    IDC_TABLE_NAME = 1006,     // name for the current calibration
    IDC_TABLE_ADD = 1007,
    IDC_TABLE_DELETE = 1008,
    IDC_NOTE_TEXT = 1009,      // annotation text
};

// Where the calibration table is kept (one string value per entry: "<length> <unit>").
#define QRM_CALIBRATION_KEY L"Software\\QrVMeasure\\CalibrationTable"

// Runs the calibration dialog; returns 1 when a new calibration was applied.
int RunCalibrationDialog(CQrMeasure::Impl& m);
// Runs the measurement list; returns 1 after it was shown.
int RunMeasureListDialog(CQrMeasure::Impl& m);
// Runs the calibration table; returns 1 when a saved calibration was applied.
int RunCalibrationTableDialog(CQrMeasure::Impl& m);
// Asks for an annotation's text; returns false when cancelled or left empty.
bool AskAnnotationText(CWnd* pParent, CString& text);
