#!/usr/bin/env bash
# The program started in the demo installation loads its settings (creating an
# empty settings key), names its counter file and deletes it again at exit.
source "$(dirname "$0")/lib.sh"

install_demo_host
temp=$(temp_unix)
mkdir -p "$temp"
echo stale > "$temp/vek1.tmp"   # the counter file's name; exit must delete it

out=$(windriver cwd "$host_win" start "\"$host_win\\axTarvo.exe\"" exit 30)
echo "$out"
grep -qx 'exit: 0' <<<"$out" || fail "exit code"
[ ! -e "$temp/vek1.tmp" ] || fail "the counter file outlived the program"

key='HKCU\Software\Kelvane\Kelvane Mechanical\Desktop\17\ORTXA-7001:409\Migration'
"$wine" reg query "$key" >/dev/null 2>&1 || fail "no settings key"
values=$("$wine" reg query "$key" 2>/dev/null | tr -d '\r' | grep -c 'REG_' || true)
[ "$values" -eq 0 ] || fail "the settings key is not empty on a first start"
echo PASS
