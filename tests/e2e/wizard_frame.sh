#!/usr/bin/env bash
# The wizard as the user meets it: titled with string 2001 on every page;
# Cancel answered No keeps the page and its entries; F1 anywhere opens one
# help window (Escape in it closes it, the next F1 makes a fresh one) with
# the host's help text; Cancel answered Yes ends the program without a run.
source "$(dirname "$0")/lib.sh"
# The demo host writes its help text in code page 1252, as a Western
# installation has it: the checks below read it on a Western system.
export LANG=C.UTF-8 LC_ALL=

install_demo_host
temp=$(temp_unix)
rm -f "$temp/MIGRATE.TXT"
out="$build/e2e-wizard_frame.txt"
windriver cwd "$host_win" start "\"$host_win\\axTarvo.exe\"" \
    wait-with "$wizard_title" "$next" 30 state "$back" state "$next" \
    click "$next" wait "$safety_title" 10 click OK "${to_finish[@]}" click '#2007' sleep 300 \
    click "$cancel" wait-with "$wizard_title" "$no" 10 texts click "$no" \
    sleep 500 wait-with "$wizard_title" '#2009' 5 \
    state '#2008' state '#2007' state '#2006' state '#2011' state "$finish" \
    key '#2008' 112 wait "$help_title" 10 hwnd texts \
    wait-with "$wizard_title" '#2009' 5 key "$back" 112 sleep 800 count "$help_title" \
    wait "$help_title" 5 key '#2' 27 gone 5 count "$help_title" \
    wait-with "$wizard_title" '#2009' 5 key "$finish" 112 wait "$help_title" 10 hwnd \
    wait-with "$wizard_title" '#2009' 5 click "$cancel" wait-with "$wizard_title" "$yes" 10 \
    click "$yes" exit 30 > "$out" 2>&1 || { cat "$out"; fail "windriver"; }
cat "$out"

# The Begin page offers Next only.
grep -qx "state $back: checked=0 enabled=0 visible=1" "$out" || fail "Back on the Begin page"
grep -qx "state $next: checked=0 enabled=1 visible=1" "$out" || fail "Next on the Begin page"
# The confirmation, and after No the Finish page as it was: the box the
# user cleared stays clear, the others ticked, the hidden one hidden.
grep -qF 'Do you want to end the Drawing Migration Wizard?' "$out" || fail "no cancel confirmation"
grep -qx "state #2008: checked=1 enabled=1 visible=1" "$out" || fail "2008 after No"
grep -qx "state #2007: checked=0 enabled=1 visible=1" "$out" || fail "2007 after No"
grep -qx "state #2006: checked=1 enabled=1 visible=1" "$out" || fail "2006 after No"
grep -qx "state #2011: checked=0 enabled=1 visible=0" "$out" || fail "2011 after No"
grep -qx "state $finish: checked=0 enabled=1 visible=1" "$out" || fail "Finish after No"
# Help: the host's text decoded through the system code page, one window
# for two presses, none after Escape, then a new one.
grep -qF 'child 2036 Edit: Drawing Migration Wizard – Help' "$out" || fail "help text"
grep -qF 'dimensions such as Ø 12 ± 0.1' "$out" || fail "help text beyond ASCII"
[ "$(grep -c '^count: ' "$out")" -eq 2 ] || fail "counts"
grep '^count: ' "$out" | head -1 | grep -qx 'count: 1' || fail "a second help window"
grep '^count: ' "$out" | tail -1 | grep -qx 'count: 0' || fail "Escape left the help window open"
[ "$(grep '^hwnd: ' "$out" | sort -u | wc -l)" -eq 2 ] || fail "the help window after closing is not a fresh one"
# Yes ended the program: no job, no settings written.
grep -qx 'exit: 0' "$out" || fail "exit code"
[ ! -e "$temp/MIGRATE.TXT" ] || fail "a job was prepared"
[ "$(settings_values)" -eq 0 ] || fail "settings were saved"
echo PASS
