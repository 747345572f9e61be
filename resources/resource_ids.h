#pragma once
// Numbers of the program's resources and of the dialog controls that code
// addresses. Read by the C++ code and by the resource script alike, so it
// holds nothing but #define lines.

// Dialog templates. The wizard and its pages come in a Chinese and an English
// set; the host window has one template for both languages.
#define IDD_UPDATE_CHECK_DLG 102
#define IDD_DOWNLOAD_DLG 103
#define IDD_DOWNLOAD_DLG_EN 136
#define IDD_DOWNLOAD_PAGE1 131
#define IDD_DOWNLOAD_PAGE1_EN 134
#define IDD_DOWNLOAD_PAGE2 132
#define IDD_DOWNLOAD_PAGE2_EN 135
#define IDD_UPGRADE_MESSAGE_DLG 133
#define IDD_UPGRADE_MESSAGE_DLG_EN 137

// Pictures.
#define IDR_MAINFRAME 128
#define IDB_BANNER 129
#define IDB_FILE_STATUS 130

// Controls.
#define IDC_PAGE1_TITLE 1003
#define IDC_DESCRIPTION_EDIT 1004
#define IDC_PAGE_AREA 1005
#define IDC_FILE_LIST 1006
#define IDC_FILE_LIST_HEADING 1007
#define IDC_DOWNLOAD_STATUS 1008
#define IDC_UPGRADE_ICON 1009
