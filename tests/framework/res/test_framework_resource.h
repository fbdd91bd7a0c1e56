#pragma once
// Resources that only the tests of the framework carry.
#define IDB_TEST_PATTERN 900
#define IDB_TEST_NOT_A_PICTURE 901
#define IDB_TEST_MISSING 902
