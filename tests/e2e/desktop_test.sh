#!/usr/bin/env bash
# The desktop program on a real X display: the login window, its tray icon and menu, the message
# box, the settings dialog and the About box, and Esc ending the program.  It saves screenshots of
# each window for a person to look at, into the folder it prints.
#
# No browser is involved: nothing here opens a page.  What the login window's edits hand on to a
# browser is login_test.sh's business.

source "$(dirname "$0")/harness.sh"

start_desktop
# The server that config.ini names is never asked: written loosely, with blanks, so that the
# settings dialog shows it as Lumatra reads it and writes it back the way Lumatra writes.
server_url="http://127.0.0.1:9/crm2.5"
mkdir -p "$work/run"
printf ' %s\t\n' "$server_url" >"$work/run/config.ini"
start_lumatra

expect_equal "the login window's size" 389x246 "$(window_size "$LOGIN_WINDOW")"
wait_for 20 "the tray icon in the notification area" tray_icon_present
pass "the tray icon is in the notification area"
screenshot login-window "$LOGIN_WINDOW"

# Typing goes to the user-name edit from the start: what was typed copies back out of the focused
# control, which the password edit would refuse.
focus "$LOGIN_WINDOW"
type_text "alice张三"
copy_focused_text
wait_for 10 "the typed user name on the clipboard" clipboard_is "alice张三"
pass "the user-name edit has the focus at start and holds the typed text"
screenshot login-window-typed "$LOGIN_WINDOW"
keys BackSpace  # the whole text is selected: the edit is empty again

# Enter with an empty user name: the message box, captioned with the program's name.
keys Return
message_box="$(wait_for_window Lumatra)"
screenshot message-box "$message_box"
focus "$message_box"
select_message_text "$message_box"
wait_for 10 "the message box's text in the selection" selection_is "用户名不能为空!"
pass "Enter with an empty user name shows '用户名不能为空!' captioned 'Lumatra'"
keys Return
wait_for 10 "the message box to close" window_gone Lumatra
login_window_visible || fail "the login window went away with the message box"

# The settings dialog opens from its button; Enter right after it opens confirms, and config.ini
# then holds the URL as Lumatra writes it.
focus "$LOGIN_WINDOW"
click_login_control $settings_button
settings="$(wait_for_window 参数设置)"
screenshot settings-dialog "$settings"
focus "$settings"
keys Return
wait_for 10 "the settings dialog to close" window_gone 参数设置
cmp -s "$work/run/config.ini" <(printf '%s\r\r\n' "$server_url") ||
    fail "config.ini holds $(od -c "$work/run/config.ini")"
pass "Enter right after the settings dialog opens writes the URL followed by CR CR LF"

# The tray menu: the help submenu, a separator, 重新登录 and 退出系统; the About box from it.
open_tray_menu
menu_open="$(visible_lumatra_windows)"
keys Down Right  # the help submenu opens on its first item
wait_for 10 "the help submenu" new_lumatra_window "$menu_open"
screenshot tray-menu root -crop "$(tray_menu_region)" +repage
keys Return  # 关于 Kelvaro进销存
about="$(wait_for_window "关于 Kelvaro进销存")"
screenshot about-box "$about"
focus "$about"
keys Escape
wait_for 10 "the About box to close" window_gone "关于 Kelvaro进销存"
pass "the tray menu's help submenu opens the About box"

# Esc ends the program, and the tray icon leaves the notification area.
focus "$LOGIN_WINDOW"
keys Escape
wait_for 20 "Lumatra to end after Esc" lumatra_ended
wait_for 10 "the tray icon to leave the notification area" tray_icon_absent
pass "Esc ends the program and removes the tray icon"

echo "Screenshots: $SCREENSHOTS"
