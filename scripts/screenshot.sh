#!/usr/bin/env bash
# Screenshot of the program under a virtual X server: scripts/screenshot.sh [OUT.png] [--run]
# Without --run it shows the window as it starts; with --run it first types two players and a
# flop with the keyboard, presses "Start" and waits for the calculation to finish.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

out="$ROOT/build/screenshot.png"
calculate=0
for arg in "$@"; do
    case "$arg" in
        --run) calculate=1 ;;
        *) out="$(realpath -m "$arg")" ;;
    esac
done

ensure_packages
ensure_table
if declare -F ensure_orderings >/dev/null; then ensure_orderings; fi
ensure_run_dir

display=":$((90 + RANDOM % 100))"
Xvfb "$display" -screen 0 800x900x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
app=""
cleanup() {
    [ -n "$app" ] && kill "$app" 2>/dev/null
    kill "$xvfb" 2>/dev/null
    wait 2>/dev/null || true
}
trap cleanup EXIT
export DISPLAY="$display"
sleep 1

cd "$RUN_DIR"
./varnel >/dev/null 2>&1 &
app=$!
window=""
for _ in $(seq 50); do
    window=$(xdotool search --name '^Varnel - ' 2>/dev/null | head -1) && [ -n "$window" ] && break
    sleep 0.2
done
[ -n "$window" ] || { log "the window did not appear"; exit 1; }
sleep 1

if [ "$calculate" = 1 ]; then
    # A click into the text of B1 (near the window's top-left corner) gives the window the
    # keyboard; every field row holds four focusable controls in tab order (random, select,
    # text, clear), and "Start" follows the ten player rows.
    xdotool mousemove --window "$window" 130 65 click 1
    sleep 0.5
    tab() { xdotool key --delay 30 --repeat "$1" Tab; }
    xdotool type --delay 30 'Qh7c2d'              # B1 text
    tab 16; xdotool type --delay 30 'AhAdKsQs'    # P 1 text
    tab 4;  xdotool type --delay 30 'JcTc9h8h'    # P 2 text
    tab 2;  xdotool key space                     # P 3 random button
    tab 32; xdotool key space                     # Start
    # The run is bounded by the "Seconds" setting (10 unless changed).
    sleep "${VARNEL_SCREENSHOT_WAIT:-14}"
fi

import -window root "$out"
log "screenshot written to $out"
