// tests/dialog/dialog_test_ids.h: the tests' own dialog templates and their
// controls.
#pragma once

// A dialog with a control for each item kind.
#define IDD_ITEMS 100
// A dialog opened from another one.
#define IDD_INNER 200
// A template id from which on dialogs have no help topic of their own.
#define IDD_NO_HELP 16001
// No template has this id.
#define IDD_MISSING 300

// Radio buttons of one template group.
#define IDC_RADIO_A 1001
#define IDC_RADIO_B 1002
#define IDC_RADIO_C 1003
// Check boxes, each a template group of its own.
#define IDC_CHECK_1 1004
#define IDC_CHECK_2 1005
#define IDC_EDIT_1 1010
#define IDC_EDIT_2 1011
#define IDC_EDIT_3 1012
#define IDC_LIST 1020
#define IDC_COLOR_LIST 1021
#define IDC_BUTTON_1 1030
#define IDC_BUTTON_2 1031
#define IDC_FILE 2019
#define IDC_BROWSE 2016

#define IDS_BROWSE_TITLE 2000
