// Resource and command numbers shared by the resource script and the code. Plain defines only:
// the resource compiler reads this file too.
#ifndef VEILSWITCHER_RES_RESOURCE_H
#define VEILSWITCHER_RES_RESOURCE_H

#define IDI_MAIN 128

#define IDD_OPTIONS 102
#define IDD_ABOUTBOX 129
#define IDD_DESK_EDIT 133

#define IDC_ABOUT_TEXT 1019

#define IDM_EXIT 900
#define IDM_ABOUT 901

#endif  // VEILSWITCHER_RES_RESOURCE_H
