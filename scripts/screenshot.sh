#!/usr/bin/env bash
# Screenshots of the program under a virtual X server:
#   scripts/screenshot.sh [OUT.png] [--run] [--refused] [--dialogs] [--game NAME]
# Without options it shows the window as it starts. --run first types a flop and six players with
# the keyboard, presses "Start" and waits until the calculation has ended (its line in the log).
# --refused (instead of --run) types fields that cannot be used (a range the known cards leave no hand of, a card
# list too long for the game, text in B3), presses "Start" and also saves the message that
# refuses them (OUT-message.png).
# --dialogs also saves the game-type dialog and the parameters dialog beside OUT.png
# (OUT-game.png, OUT-parameters.png). --game starts the program with that game.
# --breakdown (instead of --run) types a flop and two ranges, runs them, opens the breakdown of
# P 1 (Alt+B, the "Breakdown..." button), waits until it has computed and also saves it
# (OUT-breakdown.png) with the mouse on a card of the next-card grid.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

out="$ROOT/build/screenshot.png"
calculate=0
refused=0
dialogs=0
breakdown=0
game=""
while [ $# -gt 0 ]; do
    case "$1" in
        --run) calculate=1 ;;
        --refused) refused=1 ;;
        --dialogs) dialogs=1 ;;
        --breakdown) breakdown=1 ;;
        --game) game="$2"; shift ;;
        *) out="$(realpath -m "$1")" ;;
    esac
    shift
done

ensure_packages
ensure_table
ensure_run_dir

display=":$((90 + RANDOM % 100))"
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
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
if [ -n "$game" ]; then
    printf '[GAME]\nGameType=%s\n' "$game" >varnel.cfg
fi
touch varnel.log
./varnel >/dev/null 2>&1 &
app=$!
# Prints the id of the first window whose name matches the pattern $1, waiting up to ten
# seconds for it to appear; fails when none does.
find_window() {
    local id=""
    for _ in $(seq 50); do
        id=$(xdotool search --name "$1" 2>/dev/null | head -1) && [ -n "$id" ] && break
        sleep 0.2
    done
    [ -n "$id" ] && echo "$id"
}

window=$(find_window '^Varnel - ') || { log "the window did not appear"; exit 1; }
sleep 1

# Saves the window named $2 as $1.
shoot() {
    local id
    id=$(find_window "^$2\$") || { log "no window named $2"; return 1; }
    sleep 0.5
    import -window "$id" "$1"
    log "screenshot written to $1"
}

# A click into the text of B1 (near the window's top-left corner) gives the window the keyboard.
# Every field row holds four focusable controls in tab order (random, select, text, clear), rows
# in the order B1, B2, B3, D, P 1 ... P10, and "Start" follows the last row.
at=0  # the row whose text has the focus
field() {  # field ROW TEXT: types TEXT into the field of row ROW (0 = B1, 4 = P 1)
    local tabs=$((4 * ($1 - at)))
    [ "$tabs" -gt 0 ] && xdotool key --delay 20 --repeat "$tabs" Tab
    xdotool type --delay 20 "$2"
    at=$1
}
start() {
    xdotool key --delay 20 --repeat $((4 * (13 - at) + 2)) Tab
    xdotool key space
}
# Presses "Start" and waits until the calculation has ended (its line in the log).
start_and_wait() {
    local runs
    runs=$(grep -c 'Calculation: ' varnel.log || true)
    start
    for _ in $(seq 600); do
        [ "$(grep -c 'Calculation: ' varnel.log || true)" -gt "$runs" ] && break
        sleep 0.2
    done
    sleep 0.5
}
if [ "$calculate" = 1 ] || [ "$refused" = 1 ] || [ "$breakdown" = 1 ]; then
    xdotool mousemove --window "$window" 150 68 click 1
    sleep 0.5
fi
if [ "$refused" = 1 ]; then
    field 0 'Kh9h2d'
    field 2 'AsKd7h'
    field 4 'KsKdQhJh'
    field 5 'KK'
    field 6 'AsAhKhQs2c3c'
    start
    # The message box has no name of its own without a window manager: the whole screen.
    sleep 2
    import -window root "${out%.png}-message.png"
    log "screenshot written to ${out%.png}-message.png"
    sleep 0.5
    xdotool key Return
    sleep 0.5
fi
if [ "$calculate" = 1 ]; then
    field 0 'Qh7c2d'
    field 4 'AhAdKsQs'
    field 5 'JcTc9h8h'
    field 6 'random'
    field 7 'KK'
    field 8 'QQ:xxyy'
    field 9 'random'
    start_and_wait
fi

if [ "$breakdown" = 1 ]; then
    field 0 'Kh9h4c'
    field 4 'AA:xxyy'
    field 5 'KK:xxyy,QJT9'
    start_and_wait
fi

import -window "$window" "$out"
log "screenshot written to $out"

if [ "$breakdown" = 1 ]; then
    xdotool key alt+b
    shown=$(find_window '^Breakdown - ') || { log "the breakdown window did not appear"; exit 1; }
    # The title says "(computing)" until the figures are shown.
    for _ in $(seq 3000); do
        xdotool getwindowname "$shown" | grep -q computing || break
        sleep 0.2
    done
    # Points at the ace of hearts of the next-card grid (its cell sits 487 and 160 pixels from
    # the window's right and bottom edges) so that its figures show.
    eval "$(xdotool getwindowgeometry --shell "$shown")"
    xdotool mousemove $((X + WIDTH - 490)) $((Y + HEIGHT - 163))
    sleep 0.3
    xdotool mousemove_relative 3 3
    # Taken before the tooltip opens: without a compositor it shows as a black box.
    sleep 0.1
    import -window "$shown" "${out%.png}-breakdown.png"
    log "screenshot written to ${out%.png}-breakdown.png"
fi

if [ "$dialogs" = 1 ]; then
    # The "Settings" menu at the window's top-left corner: "Game type", then "Parameters".
    menu() {
        xdotool mousemove --window "$window" 30 12 click 1
        sleep 0.7
        xdotool mousemove --window "$window" 60 "$1" click 1
    }
    menu 42
    shoot "${out%.png}-game.png" 'Select game type'
    xdotool key Escape
    sleep 0.5
    menu 70
    shoot "${out%.png}-parameters.png" 'Parameters for Evaluation'
    xdotool key Escape
fi
