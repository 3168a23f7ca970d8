// Resource and command numbers shared by the resource script and the code. Plain defines only:
// the resource compiler reads this file too.
#ifndef VEILSWITCHER_RES_RESOURCE_H
#define VEILSWITCHER_RES_RESOURCE_H

#define IDI_MAIN 128

#define IDD_OPTIONS 102
#define IDD_ABOUTBOX 129
#define IDD_DESK_EDIT 133

#define IDC_ADD 1003
#define IDC_DELETE 1004
#define IDC_EDIT 1005
#define IDC_SHOW_NOTICE 1006
#define IDC_DESK_NAME 1007
#define IDC_AUTOSTART 1009
#define IDC_DESK_HOTKEY 1011
#define IDC_DESK_LIST 1016
#define IDC_ABOUT_TEXT 1019
#define IDC_PREV_HOTKEY 1021
#define IDC_NEXT_HOTKEY 1022

#define IDM_EXIT 900
#define IDM_ABOUT 901

#endif  // VEILSWITCHER_RES_RESOURCE_H
