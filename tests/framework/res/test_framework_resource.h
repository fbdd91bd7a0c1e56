#pragma once
// Dialog templates that only the framework's tests carry.
#define IDD_TEST_MODAL 500
#define IDD_TEST_MODELESS 501
#define IDC_TEST_TEXT 510
#define IDC_TEST_EDIT 511
#define IDR_TEST_AVI 520
