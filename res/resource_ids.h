// Numbers shared by the resource script and the Windows program: resources,
// the controls of the address-range dialog, and the command ids of the menu,
// the accelerators and the keypad's tape keys. Plain #defines, because the
// resource compiler reads this file too.
#ifndef TARVOSIM_RESOURCE_IDS_H
#define TARVOSIM_RESOURCE_IDS_H

// Resources
#define IDB_KEYPAD 1199
#define IDB_BOARD 1200
#define IDA_MAIN 1201
#define IDD_ADDRESS_RANGE 1010

// Controls of the address-range dialog (besides IDOK 1 and IDCANCEL 2)
#define IDC_FIRST_LABEL 1011
#define IDC_FIRST_FIELD 1012
#define IDC_SECOND_LABEL 1013
#define IDC_SECOND_FIELD 1014
#define IDC_CHECK 1015

// Commands
#define IDM_OPEN_HEX_FILE 40050
#define IDM_OPEN_BINARY_FILE 50064
#define IDM_SAVE_HEX_FILE 1017
#define IDM_SAVE_BINARY_FILE 50065
#define IDM_EXIT 40001
#define IDM_ABOUT 40002
#define IDM_CTRL_A 1202
#define IDM_CTRL_F 1203

#endif
