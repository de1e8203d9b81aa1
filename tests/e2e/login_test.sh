#!/usr/bin/env bash
# Logins end to end in the browser that Lumatra starts itself (headless Chromium): a login reaches
# the demo server once per load of the login page; 重新登录 sends the application page to the
# shutdown page and shows the login window again with its text; the browser killed under Lumatra
# is started again by the next 登 录; 退出系统 asks for the shutdown page and ends the program.

source "$(dirname "$0")/harness.sh"

readonly user="alice" password="wonder land"

# Every login the server records must come from our host with the typed name and password, one
# for every load of the login page.
expect_logins() {  # count
    local record
    expect_equal "loads of the login page" "$1" "$(count_records "$page_event" "$(path_is "$BASE_PATH/login/initial.htm")")"
    expect_equal "logins, one per load of the login page" "$1" "$(count_records "$login_event")"
    while IFS= read -r record; do
        expect_equal "what the login handler received" "127.0.0.1 $user $password" "$(login_data "$record")"
    done < <(server_records "$login_event")
}

start_desktop
# The server answers a login only after 1.5 s.  Meanwhile the login page is still open, with its
# title, at every scan: submitting its form again would cancel the login under way, again and
# again, and the application page would never come.
start_demo_server --login-delay 1500
start_lumatra
wait_for 20 "the tray icon" tray_icon_present

# A login: the browser starts on the login page, and the server receives the typed name and
# password once.
log_in "$user" "$password"
wait_for 10 "the login window to hide" login_window_hidden
wait_for 60 "the application page after the login" \
    records_at_least 1 "$page_event" "$(path_is "$BASE_PATH/main.htm")"
expect_logins 1
first_browser="$(lumatra_browser)"
[ -n "$first_browser" ] || fail "Lumatra runs no browser after the login"

# 重新登录: the application page goes to the shutdown page, and the login window shows again with
# the user name it had.
open_tray_menu
keys Up Up Return  # 重新登录, the item before the last
wait_for 20 "the shutdown page" records_at_least 1 "$shutdown_event"
wait_for 10 "the login window to show again" login_window_visible
focus "$LOGIN_WINDOW"
click_login_control $user_name_edit
copy_focused_text
wait_for 10 "the user name in the shown login window" clipboard_is "$user"
pass "重新登录 sends the application page to the shutdown page and shows the login window with its text"

# The browser killed under Lumatra: Lumatra notices, and its window still answers.
kill -KILL "$first_browser"
wait_for 20 "Lumatra to notice that its browser is gone" test ! -e "/proc/$first_browser"
lumatra_running || fail "Lumatra ended with its browser"
focus "$LOGIN_WINDOW"
click_login_control $settings_button
settings="$(wait_for_window 参数设置)"
focus "$settings"
keys Escape
wait_for 10 "the settings dialog to close" window_gone 参数设置
pass "with its browser killed, Lumatra runs on and its window answers"

# The next 登 录 starts the browser again, and logs in with the name and password that the window
# kept through 重新登录.
focus "$LOGIN_WINDOW"
click_login_control $login_button
wait_for 10 "the login window to hide" login_window_hidden
wait_for 60 "the application page after the second login" \
    records_at_least 2 "$page_event" "$(path_is "$BASE_PATH/main.htm")"
second_browser="$(lumatra_browser)"
[ -n "$second_browser" ] && [ "$second_browser" != "$first_browser" ] || fail "no new browser runs"
expect_logins 2

# 退出系统: the application page goes to the shutdown page, and the program ends with its browser
# and its tray icon.
open_tray_menu
keys Up Return  # 退出系统, the last item
wait_for 20 "the shutdown page" records_at_least 2 "$shutdown_event"
wait_for 20 "Lumatra to end" lumatra_ended
wait_for 20 "Lumatra's browser to end" has_ended "$second_browser"
wait_for 10 "the tray icon to leave the notification area" tray_icon_absent
pass "退出系统 asks for the shutdown page and ends the program"
