# The harness of the end-to-end tests, sourced by every *_test.sh and by benchmark.sh.
#
# Each run gets an X server of its own (Xvfb, on a display it picks itself), trayer as the
# notification area, the demo server on a port of its own, and Lumatra in a run folder of its own
# whose config.ini points at that server.  Every process started here is ended when the script
# ends, whichever way it ends.  Waits are bounded polls: a condition that does not come in time
# fails the test and says what it waited for.
#
# The programs come from the build folder ($E2E_BUILD, else build/), or from $LUMATRA,
# $DEMO_SERVER and $X11_PROBE; screenshots go to $E2E_SCREENSHOTS.  With $E2E_KEEP set, the run's
# folder (logs, config.ini, profiles) is kept.

set -euo pipefail

e2e_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
e2e_build="$(realpath -m "${E2E_BUILD:-$e2e_dir/../../build}")"
LUMATRA="${LUMATRA:-$e2e_build/app/Lumatra}"
DEMO_SERVER="${DEMO_SERVER:-$e2e_build/tools/demo-server/lumatra-demo-server}"
X11_PROBE="${X11_PROBE:-$e2e_build/tests/e2e/x11_probe}"
SCREENSHOTS="${E2E_SCREENSHOTS:-$e2e_build/tests/e2e/screenshots}"
test_name="$(basename "$0" .sh)"

# What the developer's own desktop may have set must not reach the programs under test.
unset LUMATRA_BROWSER LUMATRA_BROWSER_ARGS LUMATRA_CDP_URL DBUS_SESSION_BUS_ADDRESS
export LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb

# Headless Chromium, as root, without a network.
readonly headless_browser_args="--headless=new --no-sandbox --disable-gpu --disable-quic --no-first-run
  --disable-background-networking --disable-component-update --disable-sync"

# The login window's template and the controls the tests click, in dialog units: left, top,
# width and height.
readonly login_template_width=223 login_template_height=141
readonly user_name_edit="167 69 44 12" login_button="110 116 41 12" settings_button="11 116 41 12"
readonly login_window_title="Kelvaro进销存"

work="$(mktemp -d "${TMPDIR:-/tmp}/lumatra-e2e.XXXXXX")"
rm -f "$SCREENSHOTS/$test_name-failure.png"
started=()  # every process started here, in order
LUMATRA_PID=""
extra_browser_args=""  # more arguments for the browser that Lumatra starts
LOGIN_WINDOW=""
BASE_URL=""

# -- Processes -------------------------------------------------------------------------------------

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

# The processes whose parent is $1.
children_of() {
    local stat fields
    for stat in /proc/[0-9]*/stat; do
        fields="$(cat "$stat" 2>/dev/null)" || continue
        read -r -a fields <<<"${fields##*) }"  # after the command name: state, parent, ...
        if [ "${fields[1]}" = "$1" ]; then
            stat="${stat#/proc/}"
            echo "${stat%/stat}"
        fi
    done
}

descendants_of() {
    local child
    for child in $(children_of "$1"); do
        echo "$child"
        descendants_of "$child"
    done
}

# True once process $1 has ended (a zombie counts as ended).
has_ended() {
    local state
    state="$(cat "/proc/$1/stat" 2>/dev/null)" || return 0
    state="${state##*) }"
    [ "${state:0:1}" = Z ]
}

# Ends process $1 and everything it started (Lumatra's browser, the browser's helpers): asked
# first, so that the X server removes its lock and socket, then killed after at most 5 s.
kill_tree() {
    local pids deadline=$(( $(now_ms) + 5000 ))
    pids=("$1" $(descendants_of "$1"))
    kill -TERM "${pids[@]}" 2>/dev/null || true
    while ! has_ended "$1" && [ "$(now_ms)" -lt "$deadline" ]; do sleep 0.05; done
    kill -KILL "${pids[@]}" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}

cleanup() {
    local status=$? i
    trap - EXIT
    [ "$status" -eq 0 ] || report_failure
    for (( i = ${#started[@]} - 1; i >= 0; i-- )); do kill_tree "${started[i]}"; done
    if [ -n "${E2E_KEEP:-}" ]; then
        echo "The run's folder, with the programs' logs: $work" >&2
    else
        rm -rf "$work"
    fi
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# What a failed run leaves for the reader: the screen, and the logs of the programs.
report_failure() {
    local log
    if [ -n "${DISPLAY:-}" ]; then
        mkdir -p "$SCREENSHOTS"
        import -window root "$SCREENSHOTS/$test_name-failure.png" 2>/dev/null &&
            echo "The screen at the failure: $SCREENSHOTS/$test_name-failure.png" >&2
    fi
    for log in "$work"/*.log; do
        [ -s "$log" ] || continue
        echo "--- $(basename "$log") (last lines)" >&2
        tail -n 20 "$log" >&2
    done
}

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

pass() { echo "ok: $*"; }

# Polls "$@" every 100 ms until it succeeds; fails the test after $1 seconds, saying it waited
# for $2.
wait_for() {
    local seconds="$1" what="$2"
    shift 2
    local deadline=$(( $(now_ms) + seconds * 1000 ))
    until "$@"; do
        [ "$(now_ms)" -lt "$deadline" ] || fail "waited ${seconds} s for $what"
        sleep 0.1
    done
}

expect_equal() {  # what, expected, actual
    [ "$2" = "$3" ] || fail "$1: expected '$2', got '$3'"
    pass "$1"
}

# -- The desktop ----------------------------------------------------------------------------------

# -noreset: by default the X server resets, and refuses connections for a moment, whenever its
# last client leaves, as the probes below do.
start_display() {
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
    started+=($!)
    wait_for 20 "the X server's display number" test -s "$work/display"
    export DISPLAY=":$(head -n 1 "$work/display")"
    wait_for 20 "the X server to answer" xdpyinfo_answers
}

xdpyinfo_answers() { xdpyinfo >/dev/null 2>&1; }

# trayer at the top left corner, so that the tray menu opens below and right of the icon.
start_notification_area() {
    trayer --edge top --align left --widthtype request --height 32 --SetDockType false \
        --SetPartialStrut false >"$work/trayer.log" 2>&1 &
    started+=($!)
    wait_for 20 "trayer to claim the notification area" "$X11_PROBE" tray-ready
}

start_desktop() {
    start_display
    start_notification_area
}

# No window manager runs on the test display, so nothing gives a window the keyboard focus when it
# opens or is clicked: the tests give it explicitly before they type.
focus() { xdotool windowfocus --sync "$1"; }

# Sends keys to whatever has the keyboard: the focused window, or an open menu.
keys() { xdotool key --delay 30 "$@"; }

type_text() {
    "$X11_PROBE" bind-keys "$1" || fail "no spare keys for typing '$1'"
    xdotool type --delay 30 "$1"
}

# Ids of the mapped top-level windows titled exactly $1 (not the tray icon, which lives in
# trayer's panel).
visible_windows_titled() {
    local id top_level
    top_level="$(xwininfo -root -children | awk '/^ +0x/ { print $1 }')"
    for id in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
        if grep -qx "$(printf '0x%x' "$id")" <<<"$top_level"; then echo "$id"; fi
    done
}

window_visible() { [ -n "$(visible_windows_titled "$1")" ]; }
window_gone() { ! window_visible "$1"; }

window_size() {  # prints WIDTHxHEIGHT
    local WIDTH HEIGHT X Y SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$1")"
    echo "${WIDTH}x${HEIGHT}"
}

# Waits for the window titled $1 and prints its id.
wait_for_window() {
    wait_for 20 "a window titled '$1'" window_visible "$1"
    visible_windows_titled "$1" | head -n 1
}

# Ids of Lumatra's mapped windows: its dialogs, menus and its tray icon.
visible_lumatra_windows() { xdotool search --onlyvisible --class '^Lumatra$' 2>/dev/null | sort || true; }

# The window of Lumatra's tray icon inside trayer's panel; empty when it is not there.
tray_icon() {
    local panel
    panel="$(xdotool search --onlyvisible --name '^panel$' 2>/dev/null | head -n 1)"
    [ -n "$panel" ] || return 0
    xwininfo -tree -id "$panel" | awk '/\("Lumatra" "Lumatra"\)/ { print $1; exit }'
}

tray_icon_present() { [ -n "$(tray_icon)" ]; }
tray_icon_absent() { [ -z "$(tray_icon)" ]; }

# A Lumatra window that was not among $1 (a list of ids) is now mapped: a menu or a dialog.
new_lumatra_window() { [ -n "$(comm -13 <(echo "$1") <(visible_lumatra_windows))" ]; }

# Two clicks on the tray icon closer together than this make a double click, which the tray icon
# does not answer with its menu (Qt's default interval is 400 ms).
readonly double_click_ms=500
last_tray_click_ms=0

# Right-clicks the tray icon and waits for its menu to open.  The menu holds the keyboard while it
# is open, so its items are then chosen with keys(): Up goes to the last item, Down to the first.
open_tray_menu() {
    local before icon wait_ms
    before="$(visible_lumatra_windows)"
    icon="$(tray_icon)"
    [ -n "$icon" ] || fail "no tray icon to click"
    wait_ms=$(( last_tray_click_ms + double_click_ms - $(now_ms) ))
    [ "$wait_ms" -le 0 ] || sleep "$(printf '0.%03d' "$wait_ms")"
    xdotool mousemove --window "$icon" 10 10 click 3
    last_tray_click_ms="$(now_ms)"
    wait_for 10 "the tray menu" new_lumatra_window "$before"
    wait_for 10 "the tray menu to take the keyboard" "$X11_PROBE" keyboard-grabbed
}

# The text that the clipboard holds; empty when it holds none.
clipboard() { "$X11_PROBE" clipboard 2>/dev/null || true; }
clipboard_is() { [ "$(clipboard)" = "$1" ]; }

# The text selected with the mouse (the primary selection).
selection_is() { [ "$("$X11_PROBE" selection 2>/dev/null || true)" = "$1" ]; }

# Selects the whole text of message box $1 with a triple click on it: the text stands in the upper
# half of the box, right of the icon.
select_message_text() {
    local WIDTH HEIGHT X Y SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$1")"
    xdotool mousemove --window "$1" $(( WIDTH * 5 / 8 )) $(( HEIGHT / 4 )) click --repeat 3 --delay 80 1
}

# Copies the text of the focused control of the focused window to the clipboard.
copy_focused_text() { keys ctrl+a ctrl+c; }

# Clicks the centre of the login window's control placed at ($1, $2) with size $3 x $4 in dialog
# units (one of the controls above, unquoted), scaled as the window's size scales its template.
click_login_control() {
    local WIDTH HEIGHT X Y SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$LOGIN_WINDOW")"
    xdotool mousemove --window "$LOGIN_WINDOW" \
        $(( (2 * $1 + $3) * WIDTH / (2 * login_template_width) )) \
        $(( (2 * $2 + $4) * HEIGHT / (2 * login_template_height) )) click 1
}

screenshot() {  # name, then the window (default: the whole screen), then import's options
    mkdir -p "$SCREENSHOTS"
    import -window "${2:-root}" "${@:3}" "$SCREENSHOTS/$1.png"
}

# The top left corner of the screen that holds the tray icon and Lumatra's open menus.
tray_menu_region() {
    local id right=0 bottom=0 WIDTH HEIGHT X Y SCREEN WINDOW
    for id in $(visible_lumatra_windows); do
        if [ "$id" != "$LOGIN_WINDOW" ]; then
            eval "$(xdotool getwindowgeometry --shell "$id")"
            right=$(( X + WIDTH > right ? X + WIDTH : right ))
            bottom=$(( Y + HEIGHT > bottom ? Y + HEIGHT : bottom ))
        fi
    done
    echo "$(( right + 16 ))x$(( bottom + 16 ))+0+0"
}

# -- The demo server ------------------------------------------------------------------------------

start_demo_server() {  # further options of the server, e.g. --login-delay 1500
    "$DEMO_SERVER" --port 0 --other-host --log "$work/server.log" "$@" >"$work/server.out" 2>&1 &
    started+=($!)
    wait_for 20 "the demo server's base URL" test -s "$work/server.out"
    BASE_URL="$(head -n 1 "$work/server.out")"
    local port="${BASE_URL#http://127.0.0.1:}"
    SERVER_PORT="${port%%/*}"
    BASE_PATH="/${port#*/}"
}

# The server's log lines that contain every one of the given fragments, e.g. '"event":"login"'.
server_records() {
    local line fragment
    [ -f "$work/server.log" ] || return 0
    while IFS= read -r line; do
        for fragment in "$@"; do [[ "$line" == *"$fragment"* ]] || continue 2; done
        echo "$line"
    done <"$work/server.log"
}

count_records() { server_records "$@" | wc -l; }

# True when the log holds at least $1 lines with the given fragments.
records_at_least() {
    local wanted="$1"
    shift
    [ "$(count_records "$@")" -ge "$wanted" ]
}

# The value of the string field $1 of JSON line $2.
record_field() { sed -n "s/.*\"$1\":\"\\([^\"]*\\)\".*/\\1/p" <<<"$2"; }

# What login record $1 received, as "host user password".
login_data() { echo "$(record_field host "$1") $(record_field username "$1") $(record_field password "$1")"; }

readonly login_event='"event":"login"' page_event='"event":"page"' loaded_event='"event":"loaded"'
readonly shutdown_event='"event":"shutdown"'
path_is() { echo "\"path\":\"$1\""; }
host_is() { echo "\"host\":\"$1\""; }

# -- A browser's debugging port ------------------------------------------------------------------

DEBUGGING_PORT=""  # of the browser whose tabs the tests open and close

# Starts headless Chromium with a debugging port, as a user would for $LUMATRA_CDP_URL, and
# exports that variable so that Lumatra attaches to it.
start_user_browser() {
    chromium $headless_browser_args --remote-debugging-port=0 --user-data-dir="$work/user-browser" \
        about:blank >"$work/user-browser.log" 2>&1 &
    USER_BROWSER_PID=$!
    started+=($USER_BROWSER_PID)
    wait_for 30 "the browser's debugging port" test -s "$work/user-browser/DevToolsActivePort"
    DEBUGGING_PORT="$(head -n 1 "$work/user-browser/DevToolsActivePort")"
    export LUMATRA_CDP_URL="http://127.0.0.1:$DEBUGGING_PORT"
}

# Opens $1 in a new tab, as a user would, and prints the tab's id.
open_tab() {
    local reply
    reply="$(browser_request PUT "/json/new?$1")"
    [[ "$reply" == *'"type": "page"'* ]] || fail "the browser did not open $1: $reply"
    sed -n 's/^ *"id": "\([^"]*\)".*/\1/p' <<<"$reply"
}

# Sends an HTTP request to the debugging port and prints the reply's body.  The browser keeps the
# connection open, so the body is read by its length.
browser_request() {  # method, path
    local http line length=0 body=""
    exec {http}<>"/dev/tcp/127.0.0.1/$DEBUGGING_PORT"
    printf '%s %s HTTP/1.1\r\nHost: 127.0.0.1:%s\r\n\r\n' "$1" "$2" "$DEBUGGING_PORT" >&"$http"
    while IFS= read -r -t 10 line <&"$http" && [ -n "${line%$'\r'}" ]; do
        [[ "${line,,}" == content-length:* ]] && length="$(tr -dc 0-9 <<<"$line")"
    done
    [ "$length" -eq 0 ] || LC_ALL=C read -r -t 10 -N "$length" body <&"$http" || true
    exec {http}>&-
    echo "$body"
}

# -- Lumatra --------------------------------------------------------------------------------------

# Starts Lumatra in a run folder of its own.  The caller may have written run/config.ini; by
# default it points at the demo server, written as Lumatra writes it.
start_lumatra() {
    local run="$work/run"
    mkdir -p "$run" "$work/data" "$work/runtime"
    chmod 700 "$work/runtime"
    [ -f "$run/config.ini" ] || printf '%s\r\r\n' "$BASE_URL" >"$run/config.ini"
    (
        cd "$run"
        export XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/runtime"
        export LUMATRA_BROWSER_ARGS="$(echo $headless_browser_args $extra_browser_args)"
        exec "$LUMATRA"
    ) >"$work/lumatra.log" 2>&1 &
    LUMATRA_PID=$!
    started+=($LUMATRA_PID)
    wait_for 20 "the login window" login_window_shown_or_lumatra_ended
    lumatra_running || fail "Lumatra ended at start"
    LOGIN_WINDOW="$(visible_windows_titled "$login_window_title" | head -n 1)"
}

login_window_shown_or_lumatra_ended() { login_window_visible || lumatra_ended; }

lumatra_ended() { has_ended "$LUMATRA_PID"; }
lumatra_running() { ! lumatra_ended; }
login_window_visible() { window_visible "$login_window_title"; }
login_window_hidden() { window_gone "$login_window_title"; }

# The browser that Lumatra started itself: its child process.  Empty when none runs.
lumatra_browser() {
    local child
    for child in $(children_of "$LUMATRA_PID"); do
        has_ended "$child" || { echo "$child"; return; }
    done
}

# Types a user name and a password into the login window and presses Enter (登 录).
log_in() {
    focus "$LOGIN_WINDOW"
    click_login_control $user_name_edit
    keys ctrl+a BackSpace
    type_text "$1"
    keys Tab ctrl+a BackSpace
    type_text "$2"
    keys Return
}
