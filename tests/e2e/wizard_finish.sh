#!/usr/bin/env bash
# The whole flow from start to exit. Finish is refused with string 2048 while
# a host window is open and the wizard stays; once it is closed Finish goes
# on: the settings are saved (LogFlags 15 becomes 7), the job is prepared and
# the run monitor comes up. No drawing is chosen yet, so it says so and comes
# up idle with both marks; OK opens the log in notepad and the program exits
# cleanly, restoring the host profile and leaving no temporary file. The log
# lives in a folder and under a name the console code page cannot spell (in
# the local script under the other system code pages).
source "$(dirname "$0")/lib.sh"

install_demo_host
use_local_log
temp=$(temp_unix)
rm -f "$temp"/vek*
general="$profile_key\\General"
host_title='Kelvane Mechanical'   # string 2094: a host main window

windriver window "$host_title" >/dev/null 2>&1 &
host_window=$!
trap 'kill "$host_window" 2>/dev/null || true' EXIT

out="$build/e2e-wizard_finish.txt"
windriver cwd "$host_win" start "\"$host_win\\axTarvo.exe\"" wait-with "$wizard_title" "$next" 30 \
    click "$next" wait "$safety_title" 10 click OK wait-with "$wizard_title" '#2010' 10 \
    click "$finish" wait-with "$wizard_title" OK 10 texts click OK gone 5 \
    sleep 500 wait-with "$wizard_title" '#2010' 5 state "$finish" \
    wait "$host_title" 5 close gone 10 \
    wait-with "$wizard_title" '#2010' 5 click "$finish" \
    wait-with "$wizard_title" OK 20 texts click OK \
    wait-with "$wizard_title" '#2028' 20 state '#2025' state '#2026' state '#2028' state '#2022' \
    click OK wait-prefix "$log_file" 20 close exit 30 > "$out" 2>&1 || { cat "$out"; fail "windriver"; }
cat "$out"

grep -qF 'Kelvane Mechanical is still open.' "$out" || fail "Finish was not refused while the host ran"
grep -qx "state $finish: checked=0 enabled=1 visible=1" "$out" || fail "the wizard did not stay on its page"
grep -qF 'There is no drawing to migrate.' "$out" || fail "the monitor did not say that nothing was chosen"
grep -qx "state #2025: checked=0 enabled=1 visible=1" "$out" || fail "scan mark"
grep -qx "state #2026: checked=0 enabled=1 visible=1" "$out" || fail "update mark"
grep -qx "state #2028: checked=0 enabled=0 visible=1" "$out" || fail "Stop while idle"
grep -qx "state #2022: checked=0 enabled=0 visible=1" "$out" || fail "Resume while idle"
grep -qx 'exit: 0' "$out" || fail "exit code"

[ "$(reg_query "$settings_key" LogFlags)" = 0x7 ] || fail "LogFlags saved as $(reg_query "$settings_key" LogFlags)"
[ "$(reg_query "$general" NoStartUpDialog)" = 0x0 ] || fail "the host profile was not restored"
grep -qF 'Drawing Migration' "$log_unix" || fail "no log header in $log_unix"
leftovers=$(ls "$temp" | grep -i '^vek' || true)
[ -z "$leftovers" ] || fail "temporary files left: $leftovers"
echo PASS
