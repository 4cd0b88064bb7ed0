// Resource and command identifiers, shared by the resource script and the code.
#pragma once

// Dialog templates
#define IDD_MAIN 101

// Icons
#define IDI_APP 102
#define IDI_SMALL 103

// Strings
#define IDS_PRODUCT 103

// Controls of the main dialog
#define IDC_USER_NAME 1004
#define IDC_ABOUT 1006

// Commands
#define CMD_CLIPBOARD_CHANGED 666
#define CMD_PROPERTIES 40001
#define CMD_ADD_BUTTON 40002
#define CMD_EXIT 40005
#define CMD_CLEAR_STACK 40027

// Window messages
#define WM_TRAY_NOTIFY (WM_USER + 7)
