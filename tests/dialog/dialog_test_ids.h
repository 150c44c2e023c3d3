// tests/dialog/dialog_test_ids.h: the tests' own dialog templates and their
// controls; the file name field, Browse and its title as the product has them.
#pragma once

#include "res/SettingsDialogRes.h"

#define IDD_ITEMS 100     // a control for each item kind
#define IDD_INNER 200     // opened from another dialog
#define IDD_NO_HELP 16001 // from 16000 on dialogs have no help topic of their own

// Radio buttons of one template group; check boxes, each a group of its own.
#define IDC_RADIO_A 1001
#define IDC_RADIO_B 1002
#define IDC_RADIO_C 1003
#define IDC_CHECK_1 1004
#define IDC_CHECK_2 1005
#define IDC_EDIT_1 1010
#define IDC_EDIT_2 1011
#define IDC_EDIT_3 1012
#define IDC_LIST 1020
#define IDC_COLOR_LIST 1021
#define IDC_BUTTON_1 1030
