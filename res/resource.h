// Resource identifiers of Kestrune, shared by the resource script and the code.
#pragma once

// Dialog templates
#define IDD_ABOUTBOX                100
#define IDD_KESTRUNE_DIALOG         102
#define IDD_ADDEDIT_PROG            131
#define IDD_CUSTOM_DUMP             150

// Strings
#define IDS_ABOUTBOX                101

// Icon, menus, accelerators
#define IDR_MAINFRAME               128
#define IDR_MAIN_MENU               129
#define IDR_MAIN_ACCEL              130
#define IDR_PROG_MENU               132
#define IDR_LIST_MENU               133

// Version block
#define VS_VERSION_BLOCK            1

// Controls of the dump settings panel (main window and program dialog)
#define IDC_EDIT_DUMP_FOLDER        1000
#define IDC_BTN_BROWSE_FOLDER       1001
#define IDC_COMBO_DUMP_TYPE         1002
#define IDC_EDIT_DUMP_COUNT         1003
#define IDC_CHECK_SET_ACL           1004
#define IDC_SPIN_DUMP_COUNT         1010
#define IDC_BTN_DUMP_CONTENTS       1040

// Contents of a custom dump
#define IDC_LIST_DUMP_FLAGS         1041
#define IDC_STATIC_DUMP_FLAGS_VALUE 1042
#define IDC_BTN_DUMP_FLAGS_DEFAULT  1043

// Main window
#define IDC_LIST_PROGRAMS           1005
#define IDC_BTN_ADD_PROGRAM         1006
#define IDC_BTN_DELETE_PROGRAM      1007
#define IDC_BTN_EDIT_PROGRAM        1008
#define IDC_LINK_INTRO              1009
#define IDC_LINK_NOTE               1011
#define IDC_STATIC_EXPLANATION      1015
#define IDC_STATIC_ADMIN_NOTICE     1022
#define IDC_STATIC_WARNING_PLACE    1023

// About box
#define IDC_LINK_WEBSITE            1011
#define IDC_STATIC_PRODUCT          1012
#define IDC_STATIC_VERSION          1013
#define IDC_STATIC_COPYRIGHT        1014

// Program settings dialog
#define IDC_STATIC_EXE_ICON         1016
#define IDC_EDIT_PROCESS_NAME       1017
#define IDC_BTN_BROWSE_EXE          1019
#define IDC_STATIC_CASE_NOTE        1020
#define IDC_STATIC_OMITTED_INFO     1021

// Dump collection check: the main window's status line and the check window
#define IDD_DUMP_CHECK              140
#define IDC_LINK_DUMP_STATUS        1030
#define IDC_LIST_FINDINGS           1031
#define IDC_EDIT_FINDING_TEXT       1032
#define ID_HELP_CHECK_DUMPS         32800

// Commands of the main window's menu bar
#define ID_FILE_EXIT                32771
#define ID_EDIT_CLEAR_GLOBAL        32772
#define ID_EDIT_SUGGESTED_GLOBAL    32773
#define ID_FILE_SAVE_AND_EXIT       32774
#define ID_HELP_ABOUT               32775
#define ID_EDIT_REFRESH             32777
#define ID_EDIT_ADD_PROGRAM         32781
#define ID_EDIT_EDIT_PROGRAM        32782
#define ID_EDIT_DELETE_PROGRAM      32783
#define ID_HELP_TECHNICAL_DETAILS   32794
#define ID_HELP_DONATION            32796
#define ID_FILE_EXPORT              32810

// Commands of the program dialog's menu bar
#define ID_PROG_CLEAR_SETTINGS      32786
#define ID_PROG_SUGGESTED_SETTINGS  32787
#define ID_PROG_SAVE_AND_CLOSE      32788
#define ID_PROG_CLOSE               32789
#define ID_PROG_TECHNICAL_DETAILS   32795

// Commands of the program list's context menu
#define ID_LIST_ADD_PROGRAM         32790
#define ID_LIST_DELETE_PROGRAMS     32791
#define ID_LIST_EDIT_PROGRAM        32792
#define ID_LIST_SELECT_ALL          32793

// System menu
#define ID_SYSMENU_ABOUT            0x0010
