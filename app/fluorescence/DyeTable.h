// The process-wide dye table (placeholder until the fluorescence work fills it).
#pragma once

// Builds the dye table and the dye name list on its first call; later calls return at
// once.
void FillDyeTable();
