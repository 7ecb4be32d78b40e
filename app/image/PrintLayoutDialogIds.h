// Resource and control ids of CPrintLayoutDialog.
#pragma once

#define IDD_PRINT_LAYOUT 706
