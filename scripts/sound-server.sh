#!/usr/bin/env bash
# Source this file to get a private PulseAudio server with a null sink "zembrel_test" for the
# current shell; it is stopped when the shell exits. Clients reach it via XDG_RUNTIME_DIR.
zembrel_start_sound_server() {
    export XDG_RUNTIME_DIR
    XDG_RUNTIME_DIR=$(mktemp -d /tmp/zembrel-xdg.XXXXXX)
    chmod 700 "$XDG_RUNTIME_DIR"
    export PULSE_RUNTIME_PATH="$XDG_RUNTIME_DIR/pulse"
    pulseaudio --daemonize=yes -n --exit-idle-time=-1 --system=false \
        --load=module-native-protocol-unix \
        --load="module-null-sink sink_name=zembrel_test" --load=module-always-sink \
        >/dev/null 2>&1 || { echo "pulseaudio did not start" >&2; return 1; }
    for _ in $(seq 100); do
        pactl info >/dev/null 2>&1 && break
        sleep 0.1
    done
    pactl info >/dev/null 2>&1 || { echo "pulseaudio does not answer" >&2; return 1; }
    pactl set-default-sink zembrel_test
    pactl set-default-source zembrel_test.monitor
    trap zembrel_stop_sound_server EXIT
}

zembrel_stop_sound_server() {
    pulseaudio --kill >/dev/null 2>&1 || true
    [ -n "${XDG_RUNTIME_DIR:-}" ] && rm -rf "$XDG_RUNTIME_DIR"
}
