// Every resource and control id of the program, in one place. Plain #defines only: the
// resource compiler reads this file too, and the portable jobs take their sound ids here.
#pragma once

// Dialog templates.
#define IDD_ABOUT 103
#define IDD_MAIN 129
#define IDD_METADATA_EDITOR 142
#define IDD_UPDATE 3061

// Menu and accelerator table of the main window share one id.
#define IDR_MAIN_MENU 109
#define IDR_ACCELERATORS 109

// Icon group.
#define IDI_APP 107

// WAVE sounds of the jobs.
#define IDS_SOUND_WRITE_OK 135
#define IDS_SOUND_FAILED 136
#define IDS_SOUND_ERASE_OK 137
#define IDS_SOUND_HARDWARE_FOUND 138
#define IDS_SOUND_VERIFY_FAILED 139
#define IDS_SOUND_VERIFY_OK 140

// Controls of the main window (template 129).
#define IDC_POSITION_GRID 1000
#define IDC_ERASE_ALL 1002
#define IDC_ERASE_SELECTION 1003
#define IDC_WRITE_SELECTION 1005
#define IDC_VERIFY_SELECTION 1006
#define IDC_QUERY_DEVICE 1009
#define IDC_WRITE_ALL 1010
#define IDC_MOVE_UP 1012
#define IDC_MOVE_DOWN 1013
#define IDC_PROGRESS 1014
#define IDC_STATUS_BOX 1015
#define IDC_FILE_INFO_BOX 1016
#define IDC_DEVICE_INFO_BOX 1017
#define IDC_BROWSE 1020
#define IDC_POSITION_SELECTOR 1038
#define IDC_POSITION_SELECTOR_LABEL 1039
#define IDC_EDIT_FILE_INFO 1040

// About box (template 103): the support line, a link.
#define IDC_SUPPORT_LINK 1016

// Metadata editor (template 142).
#define IDC_EDITOR_VERSION 1041
#define IDC_EDITOR_SUMMARY 1042
#define IDC_EDITOR_DESCRIPTION 1043

// Update dialog (template 3061).
#define IDC_UPDATE_CHECK 2936
#define IDC_UPDATE_STATUS 2974

// Menu commands (menu 109, accelerators 109).
#define IDM_ABOUT 104
#define IDM_EXIT 105
#define IDM_QUERY_DEVICE 32779
#define IDM_WRITE_SELECTION 32780
#define IDM_WRITE_ALL 32781
#define IDM_VERIFY_SELECTION 32782
#define IDM_ERASE_SELECTION 32783
#define IDM_ERASE_DEVICE 32784
#define IDM_LOAD_LAYOUT 32789
#define IDM_SAVE_LAYOUT 32790
#define IDM_MOVE_UP 32798
#define IDM_MOVE_DOWN 32799
#define IDM_SAVE_LAYOUT_AS 32801
#define IDM_BROWSE 32804
#define IDM_CHECK_UPDATE 32813
#define IDM_CLEAR_LAYOUT 32824
#define IDM_VIEW_EXTENDED 32827
#define IDM_ALLOW_SOFTWARE_POSITION 32846
#define IDM_VERIFY_ALL 32849
