#!/usr/bin/env bash
# The chaos run: a long migration past random host faults, on demand (not
# part of scripts/test.sh).
#
#   scripts/chaos-run.sh [--build DIR] [--stop-at K | --no-stop] [--keep DIR] [N] [seed]
#
# Builds a demo host installation in a fresh Wine prefix on its own Xvfb, with
# N stand-in drawings (200) of which about a tenth carry a random fault of the
# stand-in host (hang, crash, a fatal dialog, a dialog the watcher answers, an
# error marker in the host log, a failed save, a drawing slow near its
# budget), chosen from the seed (random when absent, printed). It lists them
# all in a drawing list file, drives the wizard with windriver (the list
# opened on the Files page, Timeout 1 on the Options page), stops the run at
# drawing K (N/2) with the monitor's Stop button and resumes it, lets it run
# to its end and opens the log. Then it checks and reports: every drawing
# migrated or its fault's reason in the log, none twice, none skipped; the
# summary; the list file's bytes; no counter, job, temporary or host log file
# left; the host profile restored; no host or cmd process left; the run's
# wall time against the hosts' own and the watcher's reaction times.
# Exit status 1 when a check fails.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/windows"
stop_at=""
keep=""
n=200
seed=""
positional=()
while [ $# -gt 0 ]; do
    case "$1" in
        --build) build=$2; shift 2 ;;
        --stop-at) stop_at=$2; shift 2 ;;
        --no-stop) stop_at=0; shift ;;
        --keep) keep=$2; shift 2 ;;
        -h|--help) sed -n '2,20p' "$0"; exit 0 ;;
        *) positional+=("$1"); shift ;;
    esac
done
[ ${#positional[@]} -ge 1 ] && n=${positional[0]}
[ ${#positional[@]} -ge 2 ] && seed=${positional[1]}
case "$n" in ''|*[!0-9]*) echo "chaos-run.sh: N must be a number" >&2; exit 3 ;; esac
[ "$n" -ge 2 ] || { echo "chaos-run.sh: N must be at least 2" >&2; exit 3; }
[ -n "$seed" ] || seed=$(( (RANDOM << 15) | RANDOM ))
[ -n "$stop_at" ] || stop_at=$(( n / 2 ))
build=$(cd "$build" && pwd)
"$root/scripts/install-deps.sh" >/dev/null || { echo "chaos-run.sh: could not install what it needs" >&2; exit 3; }
[ -f "$build/bin/axTarvo.exe" ] && [ -f "$build/bin/tools/mkdwg.exe" ] ||
    { echo "chaos-run.sh: no Windows build in $build (cmake --build --preset windows)" >&2; exit 3; }
echo "chaos run: N=$n seed=$seed stop at drawing ${stop_at/#0/- (none)}"
echo "  to repeat: scripts/chaos-run.sh $( [ "$stop_at" = 0 ] && echo --no-stop || echo --stop-at "$stop_at") $n $seed"

scratch=$(mktemp -d /tmp/axtarvo-chaos.XXXXXX)
run="$scratch/run"
mkdir -p "$run/transcripts"
source "$root/scripts/wine-env.sh"
wine_use_prefix "$scratch/prefix"
xvfb_pid="" idle_pid="" tail_pid=""
cleanup() {
    [ -z "$tail_pid" ] || kill "$tail_pid" >/dev/null 2>&1 || true
    [ -z "$idle_pid" ] || kill "$idle_pid" >/dev/null 2>&1 || true
    wineserver -k >/dev/null 2>&1 || true
    kill "$xvfb_pid" >/dev/null 2>&1 || true
    if [ -n "$keep" ]; then
        mkdir -p "$keep" && cp -a "$run/." "$keep/" && echo "chaos run: its files are in $keep"
    fi
    rm -rf "$scratch"
}
trap cleanup EXIT
wine_private_xvfb $((100 + RANDOM % 400)) "$scratch/xvfb.log"
wine_boot_prefix "$scratch/prefix" "$build/bin/windriver.exe"

source "$root/tests/e2e/lib.sh" "$build"
set +e +o pipefail
set -eu
host_win=$("$root/scripts/make-demo-host.sh" "$build")
profile_root='HKCU\Software\Kelvane'
"$wine" reg export "$profile_root" "$(win_path "$run/registry-before.reg")" >/dev/null 2>&1 ||
    fail "cannot export the registry"

# The drawings, their list and the log, all in the user's documents.
docs="$(win_env USERPROFILE)\\Documents"
folder_win="$docs\\Chaos run"
folder_unix=$(unix_path "$folder_win")
mkdir -p "$folder_unix" "$(unix_path "$docs")/Chaos log"
python3 "$root/scripts/chaos-run.py" plan "$n" "$seed" "$run" "$folder_win"
list_win="$folder_win\\Chaos drawings.dml"
cp "$run/Chaos drawings.dml" "$folder_unix/" && cp "$run/Chaos drawings.dml" "$run/list-before.dml"
cp "$run/make-drawings.bat" "$folder_unix/"
echo "== making $n drawings"
( cd "$folder_unix" && MKDWG=$(win_path "$build/bin/tools/mkdwg.exe") "$wine" cmd /c make-drawings.bat \
    >"$run/mkdwg.out" 2>&1 ) || { cat "$run/mkdwg.out"; fail "mkdwg"; }
rm -f "$folder_unix/make-drawings.bat"
made=$(ls "$folder_unix" | grep -c '\.dwg$' || true)
[ "$made" -eq "$n" ] || { cat "$run/mkdwg.out"; fail "only $made of $n drawings made"; }
log_file='Chaos migration.log'
log_win="$docs\\Chaos log\\$log_file"
log_unix=$(unix_path "$log_win")
"$wine" reg add "$settings_key" /v Logfile /t REG_SZ /d "$log_win" /f >/dev/null 2>&1 || fail "cannot set the log path"
temp=$(temp_unix)
rm -f "$temp"/vek* "$temp"/ortx-*.log

# Every line of the migration log with the time it appeared.
mkfifo "$scratch/log.fifo"
tail -n +1 -F -s 0.2 "$log_unix" >"$scratch/log.fifo" 2>/dev/null </dev/null &
tail_pid=$!
while IFS= read -r line; do printf '%s\t%s\n' "$EPOCHREALTIME" "$line"; done \
    <"$scratch/log.fifo" >"$run/migration.stamped" 2>/dev/null &
export ORTX_TRANSCRIPT; ORTX_TRANSCRIPT=$(win_path "$run/transcripts")

begin=(wait-with "$wizard_title" "$next" 30 click "$next" wait "$safety_title" 10 click OK)
files=(wait-with "$wizard_title" '#2013' 10 click '#2013'
    wait 'Open Drawing List' 10 type '#1148' "$list_win" key '#1148' 13 gone 10
    wait-with "$wizard_title" '#2013' 5 sleep 2000 click "$next")
options=(wait-with "$wizard_title" '#2035' 60 type '#2035' 1 sleep 300 click "$next")
ended='The migration has ended. Choose OK to read the migration log.'   # string 2073
run_steps=(wait-with "$wizard_title" "$finish" 10 click "$finish" wait-with "$wizard_title" '#2028' 60)
if [ "$stop_at" != 0 ]; then
    # Stop when the monitor shows drawing K, answer Yes, resume a little later.
    run_steps+=(wait-number '#2024' "$stop_at" $((stop_at * 30 + 600)) click '#2028'
        wait-with "$wizard_title" "$yes" 20 click "$yes" gone 10 sleep 4000
        wait-with "$wizard_title" '#2022' 10 state '#2028' state '#2022' click '#2022' sleep 1000
        wait-with "$wizard_title" '#2028' 10 state '#2028')
fi
run_steps+=(wait-with "$wizard_title" "$ended" $((n * 40 + 1200))
    state '#2026' state '#2028' state '#1' click OK wait-prefix "$log_file" 30 close gone 20)

echo "== the run ($(date -u +%H:%M:%S) UTC)"
started=$(date +%s)
windriver cwd "$host_win" start "\"$host_win\\axTarvo.exe\"" "${begin[@]}" "${files[@]}" \
    "${options[@]}" "${pass_standards[@]}" "${pass_search[@]}" "${run_steps[@]}" exit 60 \
    >"$run/windriver.out" 2>&1 || { cat "$run/windriver.out"; screenshot chaos-failed; fail "windriver"; }
echo "== the run ended after $(( $(date +%s) - started )) s"
sleep 1
kill "$tail_pid" >/dev/null 2>&1 || true
tail_pid=""
grep -qx 'exit: 0' "$run/windriver.out" || { cat "$run/windriver.out"; fail "the program's exit code"; }

# What the run left behind.
cp "$log_unix" "$run/migration.log"
cp "$folder_unix/Chaos drawings.dml" "$run/list-after.dml"
cp "$temp/MIGRATED.TXT" "$run/MIGRATED.TXT" 2>/dev/null || : >"$run/MIGRATED.TXT"
( cd "$folder_unix" && for f in *.dwg; do printf '%s\t%s\n' "$f" "$(head -c 6 "$f")"; done ) >"$run/versions.txt"
{
    [ "$stop_at" = 0 ] || grep -q "^state #2022: checked=0 enabled=1" "$run/windriver.out" ||
        echo "Resume was not enabled after the stop"
    grep -qx "state #2026: checked=0 enabled=1 visible=1" "$run/windriver.out" || echo "no update mark at the end"
    grep -qx "state #2028: checked=0 enabled=0 visible=1" "$run/windriver.out" || echo "Stop enabled after the run"
    left=$(ls -a "$temp" | grep -i -E '^vek|^migrat.*\.bat$' | tr '\n' ' ' || true)
    [ -z "$left" ] || echo "temporary files left in %TEMP%: $left"
    hostlogs=$(ls -a "$temp" | grep -c -i -E '^ortx-.*\.log$' || true)
    [ "$hostlogs" = 0 ] || echo "$hostlogs host logs (ortx-<pid>.log) left in %TEMP%"
    [ -z "$(reg_query "$settings_key" LOGFILENAME)" ] || echo "LOGFILENAME left in the settings"
    [ "$(reg_query "$settings_key" Timeout)" = 0x1 ] || echo "Timeout saved as $(reg_query "$settings_key" Timeout)"
    # The host profile as it was, but for the support folders the run added
    # to a profile that had none (they stay, as the whole-flow test shows).
    "$wine" reg export "$profile_root" "$(win_path "$run/registry-after.reg")" >/dev/null 2>&1
    # The settings and the standard's choice are the wizard's to change.
    norm() { iconv -f UTF-16LE -t UTF-8 "$1" | tr -d '\r' |
        awk '/^\[/ { k = $0 } k !~ /\\(BOM )?Migration\]$/ && $0 !~ /^"ORTX"=/ && $0 != ""'; }
    # Every value the profile had is back; values it lacked may stay.
    diff <(norm "$run/registry-before.reg") <(norm "$run/registry-after.reg") | grep '^<' |
        sed 's/^/host profile not restored: /' | head -20
    # No host, start or cmd process of the run left in this prefix.
    # (winedbg itself runs under a start.exe of its own: that one is ours.)
    for _ in $(seq 20); do
        procs=$("$wine" winedbg --command "info proc" 2>/dev/null | tr -d '\r')
        left=$(echo "$procs" | awk "/'start.exe'/ { s = \$0; next } /winedbg.exe'/ { s = \"\"; next }
            s != \"\" { print s; s = \"\" } { print }" |
            grep -i -E "'(ortx|cmd|start|axtarvo|notepad)\.exe'" || true)
        [ -n "$left" ] || break
        sleep 1
    done
    echo "$procs" >"$run/processes.txt"
    [ -z "$left" ] || echo "$left" | sed 's/^/process left: /'
} >"$run/leftovers.txt" 2>&1
{
    echo "N=$n"
    echo "SEED=$seed"
    echo "STOP_AT=$stop_at"
    echo "FOLDER=$folder_win"
} >"$run/run.env"
echo "== report (N=$n, seed $seed)"
python3 "$root/scripts/chaos-run.py" check "$run"
