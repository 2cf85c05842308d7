#!/usr/bin/env bash
# Remakes the pictures of the user guide (docs/screenshot.png of the main window, which the
# README shows too, and docs/images/*.png) from the real program. It runs on a virtual display (Xvfb) with a small
# window manager (openbox), so windows have frames and focus, and a private sound server;
# xdotool chooses menus and types values as a user does. Run it after any change to a window.
# Usage: bash scripts/screenshots.sh   (builds zembrel and zembrel-cli in build/ first)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash scripts/install-deps.sh openbox xdotool x11-utils
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target zembrel zembrel-cli
zembrel=$root/build/zembrel
cli=$root/build/zembrel-cli
images=$root/docs/images
mkdir -p "$images"

# The demo files lie in a folder of a fixed name, as the caption of the main window shows it.
demo=/tmp/zembrel-demo
work=$(mktemp -d /tmp/zembrel-shots.XXXXXX)
rm -rf "$demo"
mkdir -p "$demo"

# shellcheck source=scripts/sound-server.sh
source scripts/sound-server.sh
zembrel_start_sound_server
pids=()
cleanup() {
    # The programs first, the display last.
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null || true
        wait "${pids[i]}" 2>/dev/null || true
    done
    zembrel_stop_sound_server
    rm -rf "$work" "$demo"
}
trap cleanup EXIT

# A display of its own, the first free number from 90 on.
number=90
while [ -e "/tmp/.X$number-lock" ]; do number=$((number + 1)); done
export DISPLAY=:$number
Xvfb "$DISPLAY" -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 1

# The program's temporary files and settings stay in this run's folder; the look is Qt's own.
export TEMP=$work XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORM=xcb QT_QPA_PLATFORMTHEME=

# A stereo file whose channels differ, and a long one for a calculation that takes a while.
sox -n -r 44100 -b 16 -c 2 "$demo/demo-stereo.wav" synth 2 sine 3 sine 2:20 \
    fade q 0 2 1.5 gain -1.5
"$cli" sine --sine 1000 --level -6 --rate 48000 --length 180 --channels 2 -o "$demo/long.wav"

# Waits for a window of exactly this title and prints its id.
window() {
    local id
    for _ in $(seq 200); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | tail -1) && [ -n "$id" ] &&
            { echo "$id"; return 0; }
        sleep 0.05
    done
    echo "screenshots: no window \"$1\"" >&2
    return 1
}

# Saves the window of this title, frame included, as the picture FILE.
shoot() {
    local id
    id=$(window "$1")
    sleep 0.7 # drawn and focused
    import -frame -window "$id" "$2"
    echo "screenshots: ${2#"$root"/}"
}

keys() {
    xdotool key --delay 120 "$@"
}

# Types each value over the text of the focused field and moves on with Tab; "" leaves a
# field as it is.
fill() {
    for value in "$@"; do
        if [ -n "$value" ]; then
            xdotool key ctrl+a
            xdotool type --delay 30 -- "$value"
        fi
        xdotool key Tab
    done
}

# Opens a dialog by the menu keys, fills it, saves its picture and leaves it with the key
# leave (Escape cancels, Return runs the generator).
dialog() {
    local title=$1 name=$2 menu=$3 leave=$4
    shift 4
    # shellcheck disable=SC2086 # menu is a list of keys
    keys $menu
    window "$title" >/dev/null
    sleep 0.3
    fill "$@"
    shoot "$title" "$images/$name.png"
    xdotool key "$leave"
    sleep 0.5
}

"$zembrel" "$demo/demo-stereo.wav" &
pids+=($!)
main=$(window "Zembrel V1.74")
xdotool windowactivate --sync "$main"
shoot "Zembrel V1.74" "$root/docs/screenshot.png"

dialog "Sine Generator" sine "alt+g s" Escape 1000 0.5 0 90 -6
dialog "Amplitude Modulation Generator" amplitude-modulation "alt+g f a" Escape 1000 100 0 0.5 0 -3
dialog "Frequency Modulation Generator" frequency-modulation "alt+g f m" Escape 1000 50 3 -3
dialog "Frequency Sweep Generator" frequency-sweep "alt+g f w" Escape 20 20000 "" -3
dialog "Sine with pn_phase Generator" sine-pn-phase "alt+g n s" Escape 1000 1 0 -3
dialog "White Noise Generator" white-noise "alt+g n w" Escape 20 20000 1 1 0 -3
dialog "Pink Noise Generator" pink-noise "alt+g n p" Escape 20 20000 1 0 -3
# A square wave is made, so the analysers have harmonics to show.
dialog "Function Generator" function "alt+g f s" Return 440 -3 0 "" 0
dialog "Frequency Analyser" frequency-analyser "alt+a f" Escape
dialog "Statistics" statistics "alt+a s" Escape
dialog "Signal Parameters" signal-parameters "alt+p s" Escape
kill "${pids[-1]}"
wait "${pids[-1]}" || true

# The progress window, while pink noise of 3 minutes is made (a few seconds' work).
"$zembrel" "$demo/long.wav" &
pids+=($!)
xdotool windowactivate --sync "$(window "Zembrel V1.74")"
keys alt+g n p
window "Pink Noise Generator" >/dev/null
sleep 0.3
fill 1 24000 0.01 0 -3
xdotool key Return
shoot "Calculation in progress..." "$images/progress.png"
xdotool key Escape
window "Zembrel V1.74" >/dev/null
