#!/usr/bin/env bash
# Runs the wizard under Wine in a demo host installation. Installs what is
# missing, builds the Windows tree, makes (or refreshes) the demo prefix
# build/demo-prefix and starts axTarvo.exe from the host folder. Without a
# display it runs on a private Xvfb and saves a screenshot as build/demo.png.
#
# Usage: scripts/demo.sh [--language de-DE]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc 2>/dev/null || echo 2)"

. scripts/wine-env.sh
wine_use_prefix "$root/build/demo-prefix"
xvfb_pid=""
if [ -z "${DISPLAY:-}" ]; then
    display=90
    while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
    Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$display"
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
fi
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    [ -z "$xvfb_pid" ] || kill "$xvfb_pid" >/dev/null 2>&1 || true
}
trap cleanup EXIT

host=$(scripts/make-demo-host.sh build/windows "$@")
echo "demo: host installation in $WINEPREFIX, host folder $host"
cd "$(wine64 winepath -u "$host" 2>/dev/null)"
if [ -n "$xvfb_pid" ]; then
    wine64 axTarvo.exe &
    program=$!
    for _ in $(seq 80); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$program" 2>/dev/null; then
        import -window root "$root/build/demo.png" && echo "demo: screenshot in build/demo.png"
    fi
    code=0
    wait "$program" || code=$?
    echo "demo: axTarvo.exe ended with exit code $code"
else
    wine64 axTarvo.exe || echo "demo: axTarvo.exe ended with exit code $?"
fi
