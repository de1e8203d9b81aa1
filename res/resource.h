#pragma once
// Identifiers of the program's resources, commands and messages: one table for every window.

#include "platform/window.h"

// The window system's own command IDs.
using platform::ID_HELP;
using platform::IDCANCEL;
using platform::IDOK;

// Dialog templates.
inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDD_LOGIN_DIALOG = 102;
inline constexpr int IDD_PARASET = 130;

// Strings.
inline constexpr int IDS_ABOUTBOX = 101;

// Menus.  The tray menu's ID is also the tray icon's identifier.
inline constexpr int IDR_TRAYMENU = 131;

// Bitmaps and icons.
inline constexpr int IDB_CRM_BG = 129;
inline constexpr int IDB_LOGIN_BG = 140;
inline constexpr int IDI_TRAY1 = 141;
inline constexpr int IDI_TRAY2 = 142;

// Controls.  IDC_USERNAME and IDC_SERVER share a value in different templates.
inline constexpr int IDC_STATIC = -1;
inline constexpr int IDC_SETTINGS = 3;
inline constexpr int IDC_USERNAME = 1000;
inline constexpr int IDC_PASSWORD = 1001;
inline constexpr int IDC_SERVER = 1000;

// Commands.
inline constexpr unsigned IDM_ABOUTBOX = 0x0010;  // system menu
inline constexpr unsigned ID_TRAY_RELOGIN = 32778;
inline constexpr unsigned ID_TRAY_EXIT = 32779;
inline constexpr unsigned ID_TRAY_ABOUT = 32780;

// The tray icon's callback to the login window.
inline constexpr platform::Message WM_TRAY_NOTIFY = platform::msg::User + 10;
