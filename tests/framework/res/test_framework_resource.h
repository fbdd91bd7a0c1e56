#pragma once
// Resources that only the tests of the framework carry.
#define IDB_TEST_PATTERN 900
#define IDB_TEST_NOT_A_PICTURE 901
#define IDB_TEST_MISSING 902
#define IDD_TEST_MODAL 500
#define IDD_TEST_MODELESS 501
#define IDC_TEST_TEXT 510
#define IDC_TEST_EDIT 511
#define IDR_TEST_AVI 520
