#!/usr/bin/env bash
# Login pages that Lumatra does not open itself, in a browser that the user started with a
# debugging port ($LUMATRA_CDP_URL): the login form inside a frame of a frameset page, and a login
# page served in GBK, are filled in; a login page of another host receives nothing, whether it is
# a page of its own or a frame inside one of ours.  The extra pages are opened through the
# browser's debugging port, as a user opening tabs would.

source "$(dirname "$0")/harness.sh"

# A Chinese name and password go through the GBK page's form as GBK.
readonly user="张三" password="密码 123"

logins_from() { count_records "$login_event" "$(host_is "$1")"; }

# What the last login the server recorded received, as "host user password".
last_login() { login_data "$(server_records "$login_event" | tail -n 1)"; }

start_desktop
start_demo_server
start_user_browser
start_lumatra

log_in "$user" "$password"
wait_for 30 "the login" records_at_least 1 "$login_event"
expect_equal "the login from the login window" "127.0.0.1 $user $password" "$(last_login)"

# The login pages of another host are open, and have loaded, before the pages below are filled in:
# the scans that fill those in pass over these.
open_tab "http://127.0.0.2:$SERVER_PORT$BASE_PATH/login/initial.htm" >/dev/null
open_tab "$BASE_URL/login/cross-frame.htm" >/dev/null
wait_for 30 "the two login pages of the other host to load" \
    records_at_least 2 "$loaded_event" "$(host_is 127.0.0.2)"

open_tab "$BASE_URL/login/frameset.htm" >/dev/null
wait_for 30 "the login from the frameset page's frame" records_at_least 2 "$login_event"
expect_equal "the login from the frameset page's frame" "127.0.0.1 $user $password" "$(last_login)"

open_tab "$BASE_URL/login/initial-gbk.htm" >/dev/null
wait_for 30 "the login from the GBK page" records_at_least 3 "$login_event"
expect_equal "the login from the GBK page" "127.0.0.1 $user $password" "$(last_login)"

expect_equal "logins from the other host" 0 "$(logins_from 127.0.0.2)"
expect_equal "logins, one per login page of ours" 3 "$(logins_from 127.0.0.1)"

# 退出系统 sends the three application pages (two tabs and a frame) to the shutdown page, and ends
# Lumatra; the user's browser stays.
wait_for 30 "the three application pages" records_at_least 3 "$page_event" "$(path_is "$BASE_PATH/main.htm")"
open_tray_menu
keys Up Return  # 退出系统
wait_for 20 "the shutdown page for each application page" records_at_least 3 "$shutdown_event"
wait_for 20 "Lumatra to end" lumatra_ended
if has_ended "$USER_BROWSER_PID"; then fail "the user's browser ended with Lumatra"; fi
pass "退出系统 sends every application page to the shutdown page and leaves the user's browser running"
