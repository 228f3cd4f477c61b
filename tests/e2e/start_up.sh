#!/usr/bin/env bash
# The program started in the demo installation loads its settings (creating an
# empty settings key), names its counter file, and when the wizard is
# cancelled exits, deleting that file and the host log a run left behind.
source "$(dirname "$0")/lib.sh"

install_demo_host
temp=$(temp_unix)
mkdir -p "$temp"
echo stale > "$temp/vek1.tmp"   # the counter file's name; exit must delete it
key='HKCU\Software\Kelvane\Kelvane Mechanical\Desktop\17\ORTXA-7001:409\Migration'
# A host log left by an earlier run: exit removes the file and the value.
echo "host line" > "$temp/old-host.log"
"$wine" reg add "$key" /v LOGFILENAME /d "$(win_env TEMP)\old-host.log" /f >/dev/null 2>&1

# The wizard comes up; cancelling it ends the program without a job.
out=$(windriver cwd "$host_win" start "\"$host_win\\axTarvo.exe\"" \
    wait-with "$wizard_title" "$next" 30 click "$cancel" wait-with "$wizard_title" "$yes" 10 \
    click "$yes" exit 30)
echo "$out"
grep -qx 'exit: 0' <<<"$out" || fail "exit code"
[ ! -e "$temp/vek1.tmp" ] || fail "the counter file outlived the program"
[ ! -e "$temp/old-host.log" ] || fail "the host log outlived the program"
"$wine" reg query "$key" >/dev/null 2>&1 || fail "no settings key"
values=$("$wine" reg query "$key" 2>/dev/null | tr -d '\r' | grep -c 'REG_' || true)
[ "$values" -eq 0 ] || fail "the settings key holds values after a start without a job"
echo PASS
