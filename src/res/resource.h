// Resource and command identifiers, shared by the resource script and the code.
#pragma once

// Dialog templates
#define IDD_MAIN 101
#define IDD_SHARE 104
#define IDD_ABOUT 109
#define IDD_GET 110
#define IDD_PROGRESS 111
#define IDD_CLEAR_STACK 112

// Icons
#define IDI_APP 102
#define IDI_SMALL 103

// Menus
#define IDM_TRAY 103

// Bitmaps
#define IDB_GLYPHS 105
#define IDB_CHECKS 138
#define IDB_KEYCAPS 139

// Strings
#define IDS_USER 101
#define IDS_COMPUTER 102
#define IDS_PRODUCT 103
#define IDS_CLIPBOARD_EMPTY 104
#define IDS_PICTURE 105
#define IDS_UNKNOWN_FORMAT 106
#define IDS_SELECT_USERS 109
#define IDS_NOTHING_SHARED 110
#define IDS_FETCH_FAILED 111
#define IDS_PICTURE_SIZE 112
#define IDS_KILL_STATIC 113
#define IDS_STATE_UNREADABLE 114
#define IDS_SAVE_FAILED 115
#define IDS_STATE_RESTORED 116

// Strings: big copies
#define IDS_CAPTURE_FAILED 150

// Unnamed controls: labels, icons
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Controls of the main dialog
#define IDC_USER_NAME 1004
#define IDC_ABOUT 1006

// Controls of the share dialog
#define IDC_SHARED 1000
#define IDC_ALL_USERS 1001
#define IDC_SELECTED_USERS 1002
#define IDC_USER_LIST 1003

// Controls of the clear-stack dialog: its list has the same ID as the user list
#define IDC_SNAPSHOT_LIST 1003

// Controls of the get dialog
#define IDC_SHARED_TREE 1009

// Controls of the progress dialog
#define IDC_PROGRESS_BAR 1010
#define IDC_PROGRESS_TEXT 1011

// Controls of the About box
#define IDC_SEND_MAIL 1014
#define IDC_WEB_PAGE 1015

// The maker, as the About box's buttons show and use it
#define MAKER_EMAIL "tolvaran@example.org"
#define MAKER_WEB_PAGE "http://www.example.org/tolvaran/"

// Commands
#define CMD_CLIPBOARD_CHANGED 666
#define CMD_PROPERTIES 40001
#define CMD_ADD_BUTTON 40002
#define CMD_CLOSE_BUTTON 40003
#define CMD_SHARE 40004
#define CMD_EXIT 40005
#define CMD_GET 40006
#define CMD_ACTIVATE_BUTTON 40021
#define CMD_ADD_STATIC 40023
#define CMD_CLEAR_STACK 40027

// The keyboard: the hot-key field of the main dialog, its status line, the
// first start's notice
#define IDC_HOTKEY 1020
#define IDC_HOTKEY_WIN 1021
#define IDC_HOTKEY_STATUS 1022
#define IDS_HOTKEY_TAKEN 170
#define IDS_HOTKEY_NOT_SAVED 171
#define IDS_WELCOME_TITLE 172
#define IDS_WELCOME_KEY 173
#define IDS_WELCOME_CLICK 174
