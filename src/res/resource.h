// Resource and command numbers shared by the resource script and the code. Plain defines only:
// the resource compiler reads this file too.
#ifndef VEILSWITCHER_RES_RESOURCE_H
#define VEILSWITCHER_RES_RESOURCE_H

#define IDI_MAIN 128

#define IDD_OPTIONS 102
#define IDD_ABOUTBOX 129
#define IDD_DESK_EDIT 133
#define IDD_MORE 140

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
#define IDC_SEND_NEXT_HOTKEY 1030
#define IDC_SEND_PREV_HOTKEY 1031
#define IDC_PIN_HOTKEY 1032
#define IDC_LAST_HOTKEY 1033
#define IDC_SHIFT_SENDS 1034
#define IDC_SEND_FOLLOWS 1035
#define IDC_WRAP_AROUND 1036
#define IDC_TRAY_NUMBER 1037
#define IDC_INACTIVE 1038

#define IDM_EXIT 900
#define IDM_ABOUT 901
#define IDM_MORE 902

#endif  // VEILSWITCHER_RES_RESOURCE_H
