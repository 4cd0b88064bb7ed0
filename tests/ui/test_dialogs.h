#pragma once

#define IDD_TEST_EDIT 901
#define IDD_TEST_WIDE 902
#define IDC_TEST_EDIT 1004
#define IDS_TEST_TEXT 903
