// The process-wide dye table: every dye's wavelengths and display colour, keyed by
// name, and the dye slider's order of names. Filled once by FillDyeTable (the first
// image store's construction calls it); read-only afterwards.
#pragma once
#include "afxwin.h"
#include <map>
#include <string>
#include <vector>

// Excitation and emission wavelength in nanometres, display colour 0..255.
struct DyeRecord
{
    int ex;
    int em;
    int R;
    int G;
    int B;
};

// Keys in byte-wise order of the narrow name (digits before capitals before small letters).
typedef std::map<std::string, DyeRecord> DyeTableMap;

extern DyeTableMap DyeTable;
extern std::vector<CString> DyeNameList;

// Builds the dye table and the dye name list on its first call; later calls return at
// once.
void FillDyeTable();
