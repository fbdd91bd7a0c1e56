#pragma once
// Resources that only the tests of qvedge carry.
#define IDR_TEST_EMPTY_HTML 900
#define IDR_TEST_ONE_BYTE_HTML 901
