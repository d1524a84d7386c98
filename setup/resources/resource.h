// Resource and control identifiers of the setup engine.
#pragma once

#define IDI_SETUP 101
#define IDD_SELECTION 102
#define IDB_CHECKMARK 103
#define IDD_COPY 106
#define IDD_DRIVE 107
#define IDD_NOTICE 108

// Selection dialog
#define IDC_DESCRIPTION 1000
#define IDC_DESCRIPTION_GROUP 1001
#define IDC_INSTALL 1002
#define IDC_PROMPT 1008

// Copy progress dialog
#define IDC_COPY_SOURCE 1003
#define IDC_COPY_DEST 1004
#define IDC_COPY_FILE 1005

// Drive selection dialog
#define IDC_DRIVE_LIST 1006
#define IDC_NETWORK 4

// Notice dialog
#define IDC_NOTICE_TEXT 1007
