#!/usr/bin/env bash
# Runs every test from a fresh checkout: installs what is missing, builds the
# native tree (sanitizers), the fuzzers (a short run each) and the Windows
# tree, then runs the native tests and, under Wine with Xvfb, the Windows and
# end-to-end tests in a fresh Wine prefix of their own.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=$(nproc 2>/dev/null || echo 2)

scripts/install-deps.sh

echo "== source format"
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror

echo "== layers (no include points up)"
cmake -P cmake/CheckLayers.cmake

echo "== native build and tests"
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"
ctest --preset native -j "$jobs"

echo "== fuzzers (short runs)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"
for fuzzer in build/fuzz/tests/fuzz/fuzz_*; do
    [ -x "$fuzzer" ] && [ -f "$fuzzer" ] || continue
    name=$(basename "$fuzzer")
    corpus=$(mktemp -d)
    [ -d "tests/fuzz/corpus/$name" ] && cp -r "tests/fuzz/corpus/$name/." "$corpus/"
    if ! "$fuzzer" -max_total_time="${FUZZ_SECONDS:-15}" "$corpus" >"$corpus.log" 2>&1; then
        tail -40 "$corpus.log"
        echo "fuzzer $name failed"
        exit 1
    fi
    echo "$name: $(grep -c . "$corpus.log" >/dev/null; tail -1 "$corpus.log")"
    rm -rf "$corpus" "$corpus.log"
done

echo "== Windows build"
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"

echo "== Windows and end-to-end tests under Wine"
scratch=$(mktemp -d /tmp/axtarvo-test.XXXXXX)
. scripts/wine-env.sh
idle_pid=""
wine_private_xvfb 90 "$scratch/xvfb.log"
stop_wine() {
    [ -z "$idle_pid" ] || kill "$idle_pid" >/dev/null 2>&1 || true
    idle_pid=""
    [ -z "${WINEPREFIX:-}" ] || wineserver -k >/dev/null 2>&1 || true
}
cleanup() {
    stop_wine
    kill "$xvfb_pid" >/dev/null 2>&1 || true
    rm -rf "$scratch"
}
trap cleanup EXIT
# A fresh prefix, one server and one desktop process for the tests that
# follow. Wine takes the system code pages from LANG when a prefix's
# processes start.
start_wine() {  # prefix folder
    wine_boot_prefix "$1" build/windows/bin/windriver.exe
}
# The Windows tests in two halves at once, each with a prefix and an Xvfb of
# its own: they share no registry, no TEMP, no desktop and no screen, and
# much of their time goes on waiting for timers and other processes.
run_half() {  # 1 or 2: every second test from that one on
    (
        wine_private_xvfb $((90 + 10 * $1)) "$scratch/xvfb-$1.log"
        start_wine "$scratch/prefix-$1"
        status=0
        ctest --preset windows -I "$1,,2" >"$scratch/ctest-$1.log" 2>&1 || status=$?
        stop_wine
        kill "$xvfb_pid" >/dev/null 2>&1 || true
        exit "$status"
    )
}
# The test programs' lists of tests are made once, before the halves: two
# ctests making them at once would read each other's half-written lists.
start_wine "$scratch/prefix-list"
ctest --preset windows -N >/dev/null
stop_wine
# The demo walk and the flow under other code pages, beside the halves: a
# third lane, on the first Xvfb, in prefixes of its own.
run_rest() {
    (
        status=0
        # The demo walk on a screen of 144 pixels per inch: its pictures are
        # for looking at (build/demo/144/), the text-fit tests are what judges
        # the layout.
        echo "== the demo walk at 144 pixels per inch"
        scripts/demo.sh --walk --no-build --dpi 144 --prefix "$scratch/demo-prefix" || status=1
        # The whole flow again under other system code pages (Japanese: 932
        # and console 932; German: 1252 and console 850), with names in the
        # local script and characters the console code page lacks. Only the
        # flow tests repeat.
        for lang in ja_JP.UTF-8 de_DE.UTF-8; do
            if ! locale -a 2>/dev/null | grep -qix "${lang%.UTF-8}.utf8"; then
                echo "== whole flow under LANG=$lang SKIPPED: the locale is not generated (install-deps.sh)"
                continue
            fi
            echo "== whole flow under LANG=$lang"
            unset LC_ALL LC_CTYPE LC_MESSAGES
            export LANG=$lang AXTEST_LOCALE=$lang
            start_wine "$scratch/prefix-$lang"
            ctest --preset windows -L flow || status=1
            stop_wine
        done
        exit "$status"
    ) >"$scratch/rest.log" 2>&1
}
run_half 1 &
half1=$!
run_half 2 &
half2=$!
run_rest &
rest=$!
status=0
wait "$half1" || status=1
wait "$half2" || status=1
rest_status=0
wait "$rest" || rest_status=1
cat "$scratch/ctest-1.log" "$scratch/ctest-2.log"
[ "$status" = 0 ] || { echo "== Windows tests FAILED (see above)"; exit 1; }
cat "$scratch/rest.log"
[ "$rest_status" = 0 ] || { echo "== demo walk or flow under other code pages FAILED (see above)"; exit 1; }
