// Resource ids of the control tests.
#pragma once
#define IDM_TEST_CONTEXT    9500
#define IDD_TEST_BUTTONS    9510
#define IDC_TEST_PUSH       1601
#define IDC_TEST_CHECK      1602
#define IDC_TEST_RADIO1     1603
#define IDC_TEST_RADIO2     1604
#define IDC_TEST_RADIO3     1605
#define IDC_TEST_OTHER      1606
#define IDC_TEST_MASKED     1607
