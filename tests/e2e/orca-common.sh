# Hearing the panel as an Orca user does, without audio. Source it after
# e2e-common.sh, on a display of its own:
#
#   orca_session "$0" "$@"     # first: re-runs the script in a private D-Bus
#                              # session (returns at once when already in one)
#   orca_bus                   # the accessibility bus; exports the Qt switches
#   "$app" >"$log" 2>&1 & app_pid=$!   # start the application
#   orca_start                 # speech-dispatcher writing to $spoken, and Orca
#   mark="$(spoken_mark)"; xdotool key ...
#   spoken_wait "$mark" "Save, Command S" || fail "not heard"
#   spoken_since "$mark"       # what was said after the mark
#   said="$(orca_key Tab)"     # a key, and what Orca says to it
#
# Every utterance lands in $spoken as one "language|text" line, after
# speech-dispatcher's punctuation and symbol rules at Orca's default settings,
# so it is what a listener hears. Orca's own log of events is $orca_debug.
# Returns 77 from orca_available when Orca or its helpers are missing.

orca_available() {
    command -v orca >/dev/null && command -v speech-dispatcher >/dev/null &&
        [ -x /usr/libexec/at-spi-bus-launcher ] && command -v dbus-run-session >/dev/null &&
        /usr/bin/python3 -c 'import pyatspi, speechd' 2>/dev/null
}

orca_session() {
    if [ -z "${CORVANTA_ORCA_SESSION:-}" ]; then
        exec env CORVANTA_ORCA_SESSION=1 dbus-run-session -- "$@"
    fi
}

orca_bus() {
    /usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/atspi.log" 2>&1 &
    pids+=($!)
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 NO_AT_BRIDGE=0
    export GTK_MODULES=gail:atk-bridge
}

spoken="$work/spoken.txt"
orca_debug="$work/orca-debug.txt"
orca_tools="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/orca-tools"

# Starts speech-dispatcher with the logging module and then Orca with default
# settings; returns once Orca has said its greeting (it speaks on start-up).
orca_start() {
    local speechd="$XDG_CONFIG_HOME/speech-dispatcher"
    mkdir -p "$speechd/modules" "$work/orca-prefs"
    cp "$orca_tools/speechd.conf" "$speechd/speechd.conf"
    sed "s|SPOKEN_FILE|$spoken|" "$orca_tools/logger.conf" >"$speechd/modules/logger.conf"
    : >"$spoken"
    # In the foreground, as a child of this script, so that it goes with it.
    speech-dispatcher --run-single --timeout 0 >"$work/speechd.log" 2>&1 &
    speechd_pid=$!
    wait_for test -S "$XDG_RUNTIME_DIR/speech-dispatcher/speechd.sock" || return 1
    # Orca refuses to start while another of the user's Orcas runs anywhere
    # (it asks pgrep); this one lives in a D-Bus session of its own, so it is
    # told of none, and never replaces one.
    mkdir -p "$work/orca-bin"
    printf '#!/bin/sh\nexit 1\n' >"$work/orca-bin/pgrep"
    chmod +x "$work/orca-bin/pgrep"
    PATH="$work/orca-bin:$PATH" orca -u "$work/orca-prefs" --debug-file "$orca_debug" \
        >"$work/orca.log" 2>&1 &
    orca_pid=$!
    patience="${orca_patience:-200}" wait_for test -s "$spoken"
}

# Orca does not always leave on SIGTERM once the bus is gone.
orca_stop() {
    [ -n "${orca_pid:-}" ] && kill -KILL "$orca_pid" 2>/dev/null
    [ -n "${speechd_pid:-}" ] && kill -TERM "$speechd_pid" 2>/dev/null
    orca_pid="" speechd_pid=""
}
# A script with a stop_extra of its own calls orca_stop from it.
declare -F stop_extra >/dev/null || stop_extra() { orca_stop; }

# A position in the spoken file; spoken_since prints the lines after it.
spoken_mark() { wc -l <"$spoken"; }
spoken_since() { tail -n +"$(($1 + 1))" "$spoken"; }
# Waits (up to ~5 s, or $patience tenths of a second) for a spoken line after
# the mark that holds the text.
spoken_has() { spoken_since "$1" | grep -F -- "$2" >/dev/null; }
spoken_wait() { patience="${patience:-50}" wait_for spoken_has "$1" "$2"; }
# Waits until Orca has been silent for a few tenths of a second.
spoken_settle() {
    local last now
    last="$(spoken_mark)"
    for _ in $(seq 30); do
        sleep 0.3
        now="$(spoken_mark)"
        [ "$now" = "$last" ] && return 0
        last="$now"
    done
}

# Presses a key (xdotool names) and prints what Orca says to it: the lines
# that come within ~2 s, once Orca has said more than the key's echo (a key
# echo ends in a space) and then been quiet for a quarter of a second.
orca_key() {
    local mark
    mark="$(spoken_mark)"
    xdotool key "$@"
    patience=20 wait_for spoken_more_than_echo "$mark"
    spoken_settle_quick
    spoken_since "$mark" | cut -d'|' -f2-
}
spoken_more_than_echo() { spoken_since "$1" | grep -v ' $' >/dev/null; }
spoken_settle_quick() {
    local last now
    last="$(spoken_mark)"
    for _ in $(seq 20); do
        sleep 0.25
        now="$(spoken_mark)"
        [ "$now" = "$last" ] && return 0
        last="$now"
    done
}
