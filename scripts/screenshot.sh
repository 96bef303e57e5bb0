#!/usr/bin/env bash
# Screenshots of the program under a virtual X server:
#   scripts/screenshot.sh [OUT.png] [--run] [--refused] [--fields] [--choice] [--dialogs]
#                         [--game NAME] [--tall] [--range-help] [--board2 TEXT] [--progress]
#                         [--breakdown]
# Without options it shows the window as it starts. --run first types a flop and six players with
# the keyboard, presses "Start" and waits until the calculation has ended (its line in the log).
# --refused (instead of --run) types fields that cannot be used (a range the known cards leave no hand of, a card
# list too long for the game, text in B3), presses "Start" and also saves the message that
# refuses them (OUT-message.png).
# --fields (instead of --run) types fields with counts and with problems, and cards, and waits for
# the lines under the fields. --choice also opens the game choice beside "Start" and saves the
# screen with it open (OUT-choice.png).
# --dialogs also saves the game-type dialog and the parameters dialog beside OUT.png
# (OUT-game.png, OUT-parameters.png). --game starts the program with that game. --tall makes the
# window 300 pixels taller (on a taller screen) before anything is typed. --range-help also saves
# Help > Range language (OUT-range-help.png). --board2 TEXT types TEXT into B2 as well during
# --run (two boards). --progress makes --run a long Monte Carlo run (a pause after each progress
# step) and takes the screenshot while it runs. Every start is a fresh session: no field texts
# are restored.
# --breakdown (instead of --run) types a flop and two ranges, runs them, opens the breakdown of
# P 1 (Alt+B, the "Breakdown..." button), waits until it has computed and also saves it
# (OUT-breakdown.png) with the mouse on a card of the next-card grid.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

out="$ROOT/build/screenshot.png"
calculate=0
refused=0
fields=0
choice=0
dialogs=0
breakdown=0
game=""
tall=0
rangeHelp=0
board2=""
progress=0
while [ $# -gt 0 ]; do
    case "$1" in
        --run) calculate=1 ;;
        --refused) refused=1 ;;
        --fields) fields=1 ;;
        --choice) choice=1 ;;
        --dialogs) dialogs=1 ;;
        --breakdown) breakdown=1 ;;
        --game) game="$2"; shift ;;
        --tall) tall=1 ;;
        --range-help) rangeHelp=1 ;;
        --board2) board2="$2"; shift ;;
        --progress) progress=1 ;;
        *) out="$(realpath -m "$1")" ;;
    esac
    shift
done

ensure_packages
ensure_table
ensure_run_dir

display=":$((90 + RANDOM % 100))"
screen=1280x1024x24
[ "$tall" = 1 ] && screen=1280x1280x24  # room for the taller window
Xvfb "$display" -screen 0 "$screen" -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
app=""
cleanup() {
    [ -n "$app" ] && kill "$app" 2>/dev/null
    kill "$xvfb" 2>/dev/null
    wait 2>/dev/null || true
    # The long-run settings are for this screenshot only.
    [ "$progress" = 1 ] && rm -f "$RUN_DIR/varnel.cfg"
    return 0
}
trap cleanup EXIT
export DISPLAY="$display"
sleep 1

cd "$RUN_DIR"
rm -f varnel.cfg
if [ -n "$game" ] || [ "$progress" = 1 ]; then
    {
        printf '[GAME]\n'
        [ -n "$game" ] && printf 'GameType=%s\n' "$game"
        [ "$progress" = 1 ] && printf 'Mode=monte-carlo\nRounds=2000000\nSeconds=60\nPause=150\n'
        true
    } >varnel.cfg
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
# Every field row holds four focusable controls in tab order (random, select, text, clear), three
# in the rows of B3 and D (their dice are disabled), rows in the order B1, B2, B3, D, P 1 ... P10;
# "Start" follows the last row, then the game choice ("Stop" is disabled).
at=0  # the row whose text has the focus
tabs_to() {  # tabs_to ROW: the Tab presses from the text of row $at to the text of row ROW
    local tabs=0 r
    for ((r = at + 1; r <= $1; r++)); do
        if [ "$r" = 2 ] || [ "$r" = 3 ]; then tabs=$((tabs + 3)); else tabs=$((tabs + 4)); fi
    done
    echo "$tabs"
}
field() {  # field ROW TEXT: types TEXT into the field of row ROW (0 = B1, 4 = P 1)
    local tabs
    tabs=$(tabs_to "$1")
    [ "$tabs" -gt 0 ] && xdotool key --delay 20 --repeat "$tabs" Tab
    xdotool type --delay 20 "$2"
    at=$1
}
to_start() {
    xdotool key --delay 20 --repeat $(($(tabs_to 13) + 2)) Tab
    at=14
}
start() {
    to_start
    xdotool key space
}
if [ "$tall" = 1 ]; then
    read -r width height < <(xdotool getwindowgeometry "$window" |
        sed -n 's/.*Geometry: \([0-9]*\)x\([0-9]*\).*/\1 \2/p')
    xdotool windowmove "$window" 0 0
    xdotool windowsize "$window" "$width" $((height + 300))
    sleep 1
fi
# Presses "Start" and waits until the calculation has ended (its line in the log); with
# --progress it waits four seconds only.
start_and_wait() {
    local runs
    runs=$(grep -c 'Calculation: ' varnel.log || true)
    start
    [ "$progress" = 1 ] && sleep 4
    for _ in $(seq $([ "$progress" = 1 ] && echo 0 || echo 600)); do
        [ "$(grep -c 'Calculation: ' varnel.log || true)" -gt "$runs" ] && break
        sleep 0.2
    done
    sleep 0.5
}
if [ "$calculate" = 1 ] || [ "$refused" = 1 ] || [ "$fields" = 1 ] || [ "$choice" = 1 ] ||
    [ "$breakdown" = 1 ]; then
    xdotool mousemove --window "$window" 150 68 click 1
    # Away from the fields, whose tooltips would otherwise cover the view.
    xdotool mousemove --window "$window" 700 820
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
if [ "$fields" = 1 ]; then
    field 0 'AsKd'
    field 4 'AsKsXxXx'
    field 5 'AA:KK'
    field 6 'random'
    field 7 'AsKs((QQ'
    field 8 'QhJhTh9h'
    field 9 '10%'
    sleep 2
fi
if [ "$calculate" = 1 ]; then
    field 0 'Qh7c2d'
    [ -n "$board2" ] && field 1 "$board2"
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

if [ "$choice" = 1 ]; then
    # The choice right of "Start" and "Stop" (a disabled "Start" is out of the tab order).
    xdotool mousemove --window "$window" 285 468 click 1
    sleep 1
    import -window root "${out%.png}-choice.png"
    log "screenshot written to ${out%.png}-choice.png"
    xdotool key Escape
    sleep 0.5
fi
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
    # The menus by keyboard: F10 opens "File", Right moves to "Settings" (no item selected yet),
    # whose items are "Game type", then "Parameters"; $1 is the item's number, from 1.
    menu() {
        xdotool mousemove --window "$window" 300 300
        xdotool key F10
        sleep 0.7
        xdotool key Right
        sleep 0.5
        xdotool key --repeat "$1" --delay 100 Down
        xdotool key Return
    }
    menu 1
    shoot "${out%.png}-game.png" 'Select game type'
    xdotool key Escape
    sleep 0.5
    menu 2
    shoot "${out%.png}-parameters.png" 'Parameters for Evaluation'
    xdotool key Escape
fi

if [ "$rangeHelp" = 1 ]; then
    # "Help" is the last menu (Left from the first wraps round to it); "Range language" is its
    # first item.
    xdotool mousemove --window "$window" 300 300
    xdotool key F10
    sleep 0.7
    xdotool key Left
    sleep 0.5
    xdotool key Down Return
    sleep 5  # the page comes when its counts are done
    shoot "${out%.png}-range-help.png" 'Range language'
    xdotool key Escape
fi
