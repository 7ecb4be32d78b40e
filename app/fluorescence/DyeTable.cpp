#include "app/fluorescence/DyeTable.h"

void FillDyeTable() {}
