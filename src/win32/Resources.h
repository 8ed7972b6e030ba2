#pragma once

// Identifiers of the window's resources, shared by the resource script and the code. The
// control identifiers are those of the window's template table (ControlId); the code checks
// at compile time that both agree.

#define IDD_MAIN_WINDOW 102

#define IDI_BRIMBLE 128
#define IDI_ADD 134
#define IDI_REMOVE 135
#define IDI_BUILD 139

#define IDC_LIST 1000
#define IDC_ADD 1002
#define IDC_REMOVE 1026
#define IDC_SORT 1040
#define IDC_UPDOWN 1047
#define IDC_BUILD 1020
#define IDC_OUTPUT_PATH 1022
#define IDC_CHOOSE_OUTPUT 1021
#define IDC_RESTORE_LIST 1039
#define IDC_TOGGLE_PANEL 1043
#define IDC_TITLE 1023
#define IDC_PPU_SPEED_HACK 1008
#define IDC_NO_CPU_SPEED_HACK 1007
#define IDC_PAL_TIMING 1009
#define IDC_FOLLOW_SPRITE 1016
#define IDC_FOLLOW_MEMORY 1017
#define IDC_FOLLOW_VALUE 1013
#define IDC_AUTONUMBER 1015
#define IDC_SPLASH 1031
#define IDC_FLAG_190K 1037
#define IDC_SPLASH_PATH 1032
#define IDC_CHOOSE_SPLASH 1033
#define IDC_FILE_NAME 1029
#define IDC_ROM_SIZE 1035
#define IDC_TOTAL_CAPTION -1
#define IDC_TOTAL 1036
#define IDC_DETAILS_FRAME -2

// Commands of the system menu and the list's context menu (the system menu keeps the low
// four bits of its identifiers for itself), and of the keyboard.
#define IDM_LOCATE_EMULATOR 0x10
#define IDM_LOCATE_GOODNES 0x20
#define IDM_LOCATE_QUORREL 0x30
#define IDM_ADD_KEY 0x40
