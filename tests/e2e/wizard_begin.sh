#!/usr/bin/env bash
# The Begin page's Next is the gate of the program: without the migration
# profile the missing-profile notice ends it; declining the safety notice ends
# it; Next, Back, Next shows the notice twice but saves the host profile once
# (what exit puts back is what the first Next found).
source "$(dirname "$0")/lib.sh"

temp=$(temp_unix)

# No migration profile: CRunVekDlg, whatever closes it ends the program.
install_demo_host --no-profile
out="$build/e2e-wizard_begin-1.txt"
windriver cwd "$host_win" start "\"$host_win\\axTarvo.exe\"" wait-with "$wizard_title" "$next" 30 \
    click "$next" wait 'Migration Not Possible' 10 close exit 30 > "$out" 2>&1 || { cat "$out"; fail "windriver"; }
cat "$out"
grep -qx 'exit: 0' "$out" || fail "exit code without a profile"
"$wine" reg query "$profile_key" >/dev/null 2>&1 && fail "the check created the migration profile"

# Declining the safety notice.
install_demo_host
out="$build/e2e-wizard_begin-2.txt"
windriver cwd "$host_win" start "\"$host_win\\axTarvo.exe\"" wait-with "$wizard_title" "$next" 30 \
    click "$next" wait "$safety_title" 10 click Cancel exit 30 > "$out" 2>&1 || { cat "$out"; fail "windriver"; }
cat "$out"
grep -qx 'exit: 0' "$out" || fail "exit code after declining"
[ "$(settings_values)" -eq 0 ] || fail "settings were saved after declining"

# Next, Back, Next: between the two the profile changes; the second Next must
# not save it again, so exit restores the value the first one found.
install_demo_host
general="$profile_key\\General"
out="$build/e2e-wizard_begin-3.txt"
windriver cwd "$host_win" start "\"$host_win\\axTarvo.exe\"" wait-with "$wizard_title" "$next" 30 \
    click "$next" wait "$safety_title" 10 click OK wait-with "$wizard_title" '#2013' 10 \
    sleep 5000 click "$back" sleep 500 wait-with "$wizard_title" '#2042' 5 \
    click "$next" wait "$safety_title" 10 click OK wait-with "$wizard_title" '#2013' 10 \
    click "$cancel" wait-with "$wizard_title" "$yes" 10 click "$yes" exit 30 > "$out" 2>&1 &
driver=$!
# While the driver waits on the Files page, the profile changes.
for _ in $(seq 300); do [ "$(grep -c '^window: ' "$out")" -ge 3 ] && break; sleep 0.1; done
"$wine" reg add "$general" /v NoStartUpDialog /t REG_DWORD /d 7 /f >/dev/null 2>&1
wait "$driver" || { cat "$out"; fail "windriver"; }
cat "$out"
[ "$(grep -cx "window: $safety_title" "$out")" -eq 2 ] || fail "the safety notice was not shown twice"
grep -qx 'exit: 0' "$out" || fail "exit code after Next, Back, Next"
[ "$(reg_query "$general" NoStartUpDialog)" = 0x0 ] || fail "the profile was saved again: $(reg_query "$general" NoStartUpDialog)"
echo PASS
