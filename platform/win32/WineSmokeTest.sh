#!/usr/bin/env bash
# wakewatch.exe under Wine, from start to Exit, on a private X server with a
# tray host (trayer): the icon is added with the live "<name> up for ..."
# tooltip, which changes; Wine docks it in the tray; a second start is
# refused with the message box, which is answered; a double click on the
# icon opens the main window; Exit from the icon's menu ends the program,
# which deletes its icon.
#
#   WineSmokeTest.sh <wakewatch.exe> <tools/wine-run> <wine prefix>
#
# The prefix is the test's own (made on first use): Wine's shell, which docks
# the icons, belongs to the prefix's wineserver and stays on the X display it
# first met, so a server shared with tests on another display would dock the
# icon there.
#
# What the program did is read from its trace (WAKEWATCH_TRACE) and from X,
# never from exit codes: a Wine that cannot run 32-bit programs "succeeds".
set -uo pipefail

exe=$(readlink -f "$1")
wine_run=$(readlink -f "$2")
export WINEPREFIX=$3
work=$(mktemp -d /tmp/ww-wine-smoke.XXXXXX)
trace=$work/trace.txt
: >"$trace"
pids=()

say() { echo "smoke: $*"; }
fail() {
    echo "smoke: FAIL: $*"
    echo "---- trace ----"
    cat "$trace"
    exit 1
}
cleanup() {
    local pid
    # The prefix's server ends Wine's processes; then the X server goes.
    wineserver -k 2>/dev/null
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null
    done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# wait_for <seconds> <command...>: true once the command succeeds.
wait_for() {
    local limit=$(($(date +%s) + $1))
    shift
    until "$@"; do
        [ "$(date +%s)" -ge "$limit" ] && return 1
        sleep 0.2
    done
}
in_trace() { grep -qF -- "$1" "$trace"; }
count_in_trace() { grep -cF -- "$1" "$trace"; }
# "end" lines: the refused second instance writes one too.
ends() { grep -c '^[0-9]* end$' "$trace"; }
alive() { kill -0 "$1" 2>/dev/null; }
gone() { ! kill -0 "$1" 2>/dev/null; }

# ---- X server and tray host ---------------------------------------------------
Xvfb -displayfd 3 -screen 0 1024x768x24 -noreset -nolisten tcp 3>"$work/display" \
    >"$work/xvfb.log" 2>&1 &
pids+=($!)
wait_for 20 test -s "$work/display" || fail "Xvfb did not start"
DISPLAY=:$(head -n1 "$work/display")
export DISPLAY
wait_for 20 xdotool getdisplaygeometry >/dev/null ||
    fail "no X server on $DISPLAY: $(cat "$work/xvfb.log")"
start_trayer() {
    trayer --edge top --align right --widthtype pixel --width 120 --height 24 \
        --SetDockType false --transparent false >"$work/trayer.log" 2>&1 &
    pids+=($!)
    wait_for 10 xdotool search --classname trayer >/dev/null
}
start_trayer || start_trayer ||
    fail "trayer did not start on $DISPLAY: $(cat "$work/trayer.log")"
say "X display $DISPLAY with trayer"

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    say "making the Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    WW_WINE_TIMEOUT=180 "$wine_run" wineboot -i >"$work/wineboot.log" 2>&1 ||
        fail "wineboot failed: $(tail -n 5 "$work/wineboot.log")"
    WW_WINE_TIMEOUT=60 "$wine_run" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog \
        /t REG_DWORD /d 0 /f >/dev/null 2>&1
fi

export WAKEWATCH_TRACE="Z:${trace//\//\\}"
export WW_WINE_TIMEOUT=200

# ---- first start: the icon, its live tooltip, docked by Wine ------------------
"$wine_run" "$exe" >"$work/first.log" 2>&1 &
first=$!
pids+=("$first")
wait_for 120 in_trace "notify add ok" || fail "no icon was added"
add=$(grep -F "notify add ok" "$trace" | head -n1)
[[ $add == *' Wakewatch"'* ]] || fail "the first tooltip is not '<name> Wakewatch': $add"
name=$(sed -n 's/.*tip="\(.*\) Wakewatch"$/\1/p' <<<"$add")
say "added: $add"
uptime_tips() { grep -F "notify modify ok tip=\"$name up for " "$trace" | sed 's/^[0-9]* //' | sort -u; }
two_tips() { [ "$(uptime_tips | wc -l)" -ge 2 ]; }
wait_for 10 two_tips || fail "the tooltip did not change with the uptime"
say "live tooltip: $(uptime_tips | tail -n1)"

# Wine docks the icon in trayer: the shell's (explorer.exe's) window for it
# is embedded in trayer's panel.
docked_icon() {
    local panel
    for panel in $(xdotool search --class trayer 2>/dev/null); do
        xwininfo -tree -id "$panel" 2>/dev/null |
            awk '/"explorer.exe"/ { print $1; exit }' | grep . && return 0
    done
    return 1
}
wait_for 20 docked_icon >/dev/null || fail "no icon docked in the tray"
icon=$(docked_icon)
say "docked in the tray as $icon"

# ---- second start: refused with the message box -------------------------------
"$wine_run" "$exe" >"$work/second.log" 2>&1 &
second=$!
pids+=("$second")
wait_for 60 in_trace 'msgbox "Wakewatch" "An instance of Wakewatch is already running.\r\nShut it down before attempting to start another instance."' ||
    fail "the second start showed no refusal"
# Answer it: click its OK button, centred at the foot of the box (Wine's
# controls are not X windows of their own).
answered=no
box_window() { xdotool search --name '^Wakewatch$' 2>/dev/null | tail -n1; }
box_shown() { [ -n "$(box_window)" ]; }
if wait_for 15 box_shown; then
    for _ in 1 2 3; do
        eval "$(xdotool getwindowgeometry --shell "$(box_window)")"
        xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT - 18)) sleep 0.3 click 1
        wait_for 3 in_trace "msgbox-closed 1" && answered=yes && break
    done
fi
if [ "$answered" = no ]; then
    say "the message box could not be answered through X: ending the second instance"
    kill "$second" 2>/dev/null
fi
wait_for 30 gone "$second" || fail "the second instance did not end"
[ "$(count_in_trace "notify add ok")" -eq 1 ] || fail "the second instance added an icon"
alive "$first" || fail "the first instance ended with the second"
# The refused instance leaves the running one's icon alone.
grep -q "notify delete" "$trace" && fail "an icon was deleted by the refused start"
modifies=$(count_in_trace "notify modify ok tip=")
more_modifies() { [ "$(count_in_trace "notify modify ok tip=")" -gt "$modifies" ]; }
wait_for 5 more_modifies || fail "the running instance's icon is gone after the refused start"
say "second start refused (message box answered: $answered)"

# ---- a double click on the icon opens the main window ---------------------------
main_window() {
    xdotool search --name '^Wakewatch$' 2>/dev/null | while read -r w; do
        xwininfo -id "$w" 2>/dev/null | grep -q 'Map State: IsViewable' && echo "$w" && break
    done
}
main_shown() { [ -n "$(main_window)" ]; }
eval "$(xdotool getwindowgeometry --shell "$icon")"
xdotool mousemove --window "$icon" $((WIDTH / 2)) $((HEIGHT / 2)) click --repeat 2 --delay 80 1
wait_for 10 in_trace "click 515" || fail "the double click did not reach the tray form"
wait_for 10 main_shown || fail "the double click did not open the main window"
say "double click: main window $(main_window) shown"

# ---- Exit from the icon's menu -------------------------------------------------
menu_window() {
    # Wine's popup menu: an override-redirect window of the program that
    # is taller than the icon.
    xdotool search --classname 'wakewatch.exe' 2>/dev/null | while read -r w; do
        size=$(xdotool getwindowgeometry "$w" 2>/dev/null | sed -n 's/.*Geometry: [0-9]*x//p')
        info=$(xwininfo -id "$w" 2>/dev/null)
        grep -q 'Map State: IsViewable' <<<"$info" || continue
        grep -q 'Override Redirect State: yes' <<<"$info" || continue
        [ -n "$size" ] && [ "$size" -gt 100 ] && echo "$w" && break
    done
}
menu_shown() { [ -n "$(menu_window)" ]; }
ended_again() { [ "$(ends)" -gt "$ends_before" ]; }
ends_before=$(ends)
exited=no
eval "$(xdotool getwindowgeometry --shell "$icon")"
xdotool mousemove --window "$icon" $((WIDTH / 2)) $((HEIGHT / 2)) click 3
wait_for 10 in_trace "click 516" || fail "the right press did not reach the tray form"
wait_for 10 in_trace "menu shown" || fail "the right press did not open the menu"
if wait_for 10 menu_shown; then
    menu=$(menu_window)
    eval "$(xdotool getwindowgeometry --shell "$menu")"
    # "E&xit Wakewatch" is the last item.
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT - 10)) sleep 0.3 click 1
    wait_for 20 ended_again && in_trace "menu command" && exited=yes
fi
if [ "$exited" = no ]; then
    say "Exit could not be chosen from the menu: closing the tray form instead"
    WW_WINE_TIMEOUT=30 "$wine_run" taskkill /im wakewatch.exe >/dev/null 2>&1
    wait_for 20 ended_again || fail "the program did not end"
fi
wait_for 30 gone "$first" || fail "the program is still running after its end"
main_shown && fail "the main window is still there after the end"
grep -q "notify delete ok" "$trace" || fail "the icon was not deleted"
wait_for 10 eval '! docked_icon >/dev/null' || fail "the icon is still docked in the tray"
say "ended through $([ "$exited" = yes ] && echo "the menu's Exit" || echo "the form's close")"
echo "---- trace (first lines) ----"
head -n 8 "$trace"
say "PASS"
