#!/usr/bin/env bash
# Starts the channel editor. When the receiver simulator is built and nothing listens on
# 127.0.0.1 port 19998 yet, it first starts build/bin/stb-sim there, serving samples/demo.kdat,
# so that "Download Channel DataBase From Stb" with the address 127.0.0.1 works at once; the
# simulator is stopped again when the editor closes.
#
# usage: tools/run-editor.sh [BUILD_DIR]      (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."

build="${1:-build}"
editor="$build/bin/TovuChanEditor"
sim="$build/bin/stb-sim"
demo="samples/demo.kdat"
port_hex="4E1E"  # 19998

if [[ ! -x "$editor" ]]; then
    echo "run-editor: $editor is not built (cmake -S . -B $build -G Ninja && cmake --build $build)" >&2
    exit 1
fi

# True when some socket listens on 127.0.0.1:19998 (or on every address at that port).
listening() {
    local table
    for table in /proc/net/tcp /proc/net/tcp6; do
        [[ -r "$table" ]] || continue
        # local_address is field 2, the state field 4; 0A is LISTEN.
        if awk -v port="$port_hex" 'NR > 1 && $4 == "0A" {
                split($2, a, ":");
                if (a[2] == port && (a[1] == "0100007F" || a[1] ~ /^0+$/)) found = 1
            } END { exit !found }' "$table"; then
            return 0
        fi
    done
    return 1
}

sim_pid=""
stop_sim() {
    if [[ -n "$sim_pid" ]] && kill -0 "$sim_pid" 2>/dev/null; then
        kill -TERM "$sim_pid" 2>/dev/null || true
        wait "$sim_pid" 2>/dev/null || true
    fi
}
trap stop_sim EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

if [[ ! -x "$sim" ]]; then
    echo "run-editor: $sim is not built; starting the editor without the receiver simulator" >&2
elif listening; then
    echo "run-editor: something already listens on 127.0.0.1:19998; using it as the receiver" >&2
elif [[ ! -r "$demo" ]]; then
    echo "run-editor: $demo is missing; starting the editor without the receiver simulator" >&2
else
    "$sim" --listen 127.0.0.1 --db "$demo" &
    sim_pid=$!
    for _ in $(seq 1 50); do
        listening && break
        kill -0 "$sim_pid" 2>/dev/null || break
        sleep 0.1
    done
    if listening; then
        echo "run-editor: receiver simulator on 127.0.0.1:19998 serving $demo" >&2
    else
        echo "run-editor: the receiver simulator did not start" >&2
        stop_sim
        sim_pid=""
    fi
fi

status=0
"$editor" || status=$?
exit "$status"
