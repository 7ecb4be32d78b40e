#include "app/fluorescence/DyeTable.h"

DyeTableMap DyeTable;
std::vector<CString> DyeNameList;

// The built-in dyes arrive with the fluorescence work; until then the table is empty.
void FillDyeTable() {}
