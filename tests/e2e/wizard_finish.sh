#!/usr/bin/env bash
# The whole flow from start to exit. On the Files page the user opens the
# demo drawing list; Finish is refused with string 2048 while a host window
# is open and the wizard stays; once it is closed Finish goes on: the
# settings are saved (LogFlags 15 becomes 7), the job is prepared and the run
# monitor migrates the three drawings to the end. OK opens the log in
# notepad; the user's list has the migrated drawings marked "[x]", and the
# program exits cleanly, restoring the host profile and leaving no temporary
# file.
source "$(dirname "$0")/lib.sh"

install_demo_host
temp=$(temp_unix)
rm -f "$temp"/vek*
general="$profile_key\\General"
host_title='Kelvane Mechanical'   # string 2094: a host main window
list_unix=$(unix_path "$demo_list")
[ -f "$list_unix" ] || fail "no demo list at $demo_list"
cp "$list_unix" "$list_unix.before"
trap 'mv -f "$list_unix.before" "$list_unix" 2>/dev/null || true' EXIT

windriver window "$host_title" >/dev/null 2>&1 &
host_window=$!
trap 'kill "$host_window" 2>/dev/null || true; mv -f "$list_unix.before" "$list_unix" 2>/dev/null || true' EXIT

ended='The migration has ended. Choose OK to read the migration log.'   # string 2073
out="$build/e2e-wizard_finish.txt"
windriver cwd "$host_win" start "\"$host_win\\axTarvo.exe\"" wait-with "$wizard_title" "$next" 30 \
    click "$next" wait "$safety_title" 10 click OK "${through_files_page[@]}" \
    wait-with "$wizard_title" '#2010' 10 \
    click "$finish" wait-with "$wizard_title" OK 10 texts click OK gone 5 \
    sleep 500 wait-with "$wizard_title" '#2010' 5 state "$finish" \
    wait "$host_title" 5 close gone 10 \
    wait-with "$wizard_title" '#2010' 5 click "$finish" \
    wait-with "$wizard_title" '#2028' 20 wait-with "$wizard_title" "$ended" 300 \
    state '#2026' state '#2028' state '#1' \
    click OK wait-prefix 'OrtxAMigr.log' 20 close exit 30 > "$out" 2>&1 || { cat "$out"; fail "windriver"; }
cat "$out"

grep -qF 'Kelvane Mechanical is still open.' "$out" || fail "Finish was not refused while the host ran"
grep -qx "state $finish: checked=0 enabled=1 visible=1" "$out" || fail "the wizard did not stay on its page"
grep -qx "state #2026: checked=0 enabled=1 visible=1" "$out" || fail "update mark"
grep -qx "state #2028: checked=0 enabled=0 visible=1" "$out" || fail "Stop after the run"
grep -qx "state #1: checked=0 enabled=1 visible=1" "$out" || fail "OK after the run"
grep -qx 'exit: 0' "$out" || fail "exit code"

# The user's list: the three drawings, each marked as migrated.
tr -d '\r' < "$list_unix" > "$build/e2e-wizard_finish-list.txt"
cat "$build/e2e-wizard_finish-list.txt"
[ "$(grep -c '^\[x\]' "$build/e2e-wizard_finish-list.txt")" -eq 3 ] || fail "the list was not marked"
[ "$(reg_query "$settings_key" LogFlags)" = 0x7 ] || fail "LogFlags saved as $(reg_query "$settings_key" LogFlags)"
[ "$(reg_query "$general" NoStartUpDialog)" = 0x0 ] || fail "the host profile was not restored"
leftovers=$(ls "$temp" | grep -i '^vek' || true)
[ -z "$leftovers" ] || fail "temporary files left: $leftovers"
echo PASS
