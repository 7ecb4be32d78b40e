// Resource and control ids of CRulerPropsDialog.
#pragma once

#define IDD_RULER_PROPS 671
#define IDC_RULER_OK 1
#define IDC_RULER_CANCEL 2
