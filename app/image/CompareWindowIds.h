// Resource and control ids of CCompareWindow.
#pragma once

#define IDD_COMPARE_WINDOW 602
