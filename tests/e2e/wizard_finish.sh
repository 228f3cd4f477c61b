#!/usr/bin/env bash
# The whole flow from start to exit, through every page. On the Files page
# the user opens the demo drawing list; on the Options page sets 45 minutes a
# drawing and purging (dimension styles besides the default's layers); on the
# Standards page picks the second standard and title block migration; on the
# Search page adds a support folder with New. Finish is refused with string
# 2048 while a host window is open and the wizard stays; once it is closed
# Finish goes on: the settings are saved (LogFlags 15 becomes 7), the job is
# prepared, its host scripts carry the choices, the host profile the
# folders, and the run monitor migrates the three drawings to the end, the
# hosts running the options. OK opens the log in notepad; the user's list
# has the migrated drawings marked "[x]", and the program exits cleanly,
# restoring the host profile and leaving no temporary file. The log
# lives in a folder and under a name the console code page cannot spell (in
# the local script under the other system code pages).
source "$(dirname "$0")/lib.sh"

install_demo_host
use_local_log
temp=$(temp_unix)
rm -f "$temp"/vek*
general="$profile_key\\General"
bom_key="${settings_key%\\Migration}\\BOM Migration"
host_title='Kelvane Mechanical'   # string 2094: a host main window
support_folder="$host_win\\migration"
job="$build/e2e-wizard_finish-job"   # the job's scripts, kept before exit deletes them
transcripts="$build/e2e-wizard_finish-transcripts"
rm -rf "$job" "$transcripts" && mkdir -p "$job" "$transcripts"
job_win=$(win_path "$job")
export ORTX_TRANSCRIPT; ORTX_TRANSCRIPT=$(win_path "$transcripts")
list_unix=$(unix_path "$demo_list")
[ -f "$list_unix" ] || fail "no demo list at $demo_list"
# The run migrates the demo drawings and marks the list: both go back as they
# were, for the tests after this one.
drawings_unix=$(dirname "$list_unix")
rm -rf "$drawings_unix.before" && cp -a "$drawings_unix" "$drawings_unix.before"
put_back() {
    [ -d "$drawings_unix.before" ] && rm -rf "$drawings_unix" && mv "$drawings_unix.before" "$drawings_unix"
    true
}
trap put_back EXIT

# Started directly, not through the shell function: its process is the one
# the trap ends, even when the test fails.
"$wine" "$build/bin/windriver.exe" window "$host_title" >/dev/null 2>&1 &
host_window=$!
trap 'kill "$host_window" 2>/dev/null || true; put_back' EXIT

# The pages, one step list each.
begin=(wait-with "$wizard_title" "$next" 30 click "$next" wait "$safety_title" 10 click OK)
options=(wait-with "$wizard_title" '#2035' 10 type '#2035' 45 click '#2321' click '#2324'
    sleep 300 click "$next")
standards=(wait-with "$wizard_title" '#2099' 10 key '#2099' 0x28 click '#2096' sleep 300
    click "$next")
search=(wait-with "$wizard_title" '#2016' 10 click '#2011' edit-label '#2016' "$support_folder"
    sleep 500 click "$next")
# Finish refused while the host runs, then accepted once it is closed.
finish_page=("${on_finish[@]}" click "$finish" wait-with "$wizard_title" OK 10 texts click OK gone 5
    sleep 500 wait-with "$wizard_title" '#2009' 5 state "$finish"
    wait "$host_title" 5 close gone 10
    wait-with "$wizard_title" '#2009' 5 click "$finish")
ended='The migration has ended. Choose OK to read the migration log.'   # string 2073
run=(wait-with "$wizard_title" '#2028' 20 wait-with "$wizard_title" "$ended" 300
    run "cmd /c copy /y \"%TEMP%\\vek*.scr\" \"$job_win\""
    state '#2026' state '#2028' state '#1'
    click OK wait-prefix "$log_file" 20 close)

out="$build/e2e-wizard_finish.txt"
windriver cwd "$host_win" start "\"$host_win\\axTarvo.exe\"" "${begin[@]}" "${through_files_page[@]}" \
    "${options[@]}" "${standards[@]}" "${search[@]}" "${finish_page[@]}" "${run[@]}" exit 30 \
    > "$out" 2>&1 || { cat "$out"; fail "windriver"; }
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

# The settings as the pages left them.
expect_setting() {  # value data
    [ "$(reg_query "$settings_key" "$1")" = "$2" ] || fail "$1 saved as $(reg_query "$settings_key" "$1"), not $2"
}
expect_setting LogFlags 0x7
expect_setting Timeout 0x2d
expect_setting OrtxaFlags 0x1a   # purge, layers, dimension styles
expect_setting UpdateFlags 0x0   # cleared by the Options page
expect_setting OptionFlags 0x0
expect_setting SymbolStd 0x1
expect_setting SablonFlags 0x1
# The standard's name, for the host's extension, written on leaving its page.
for value in 'Last Recently Used Standard' 'Original name'; do
    data=$("$wine" reg query "$bom_key" /v "$value" 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ *//p')
    [ "$data" = DIN ] || fail "\"$value\" is \"$data\", not DIN"
done

# The host profile: the support folders joined with ";", the default ones,
# the drawings' folder the Search page added, the one added with New. The
# profile had no search path of its own, so the applied one stays after the
# restore.
ortx=$(reg_query "$general" ORTX)
drawings_folder="$(win_env USERPROFILE | tr '[:upper:]' '[:lower:]')\\documents\\drawings\\"
case "$ortx" in
    "$host_win\\desktop;"*";$drawings_folder;$support_folder") ;;
    *) fail "the host's support folders are $ortx" ;;
esac
[ "$(reg_query "$general" NoStartUpDialog)" = 0x0 ] || fail "the host profile was not restored"

# The host scripts: the head passes the log flags, the tail for the chosen
# drawings carries the options, the other tail none; every host ran them.
script_with() {  # line -> the first head or tail script that has it (not a drawing's script)
    local f
    for f in "$job"/*.scr; do
        tr -d '\r' < "$f" | grep -qx -- _.OPEN && continue
        tr -d '\r' < "$f" | grep -qx -- "$1" && { echo "$f"; return; }
    done
    true
}
lines() { tr -d '\r' < "$1" | paste -sd '|'; }
closing='_axvekend|_logfilemode|0|_orx|_unload|axmigr.orx|(axresetdbmod T)|_.QUIT'
head_script=$(script_with _axvekloginfo)
[ -n "$head_script" ] || fail "no head script among $(ls "$job")"
[ "$(tr -d '\r' < "$head_script" | sed -n 8p)" = 7 ] || fail "log flags in the head script: $(lines "$head_script")"
tail_script=$(script_with _axmigratebb)
[ -n "$tail_script" ] || fail "no tail script with the options among $(ls "$job")"
[ "$(lines "$tail_script")" = "_axvekmigr|_.QSAVE|_axmigratebb|_-purge _LA * _N|_-purge _D * _N|_axvekmode|1|_.QSAVE|$closing" ] ||
    fail "tail script for the chosen drawings: $(lines "$tail_script")"
others=0
for f in "$job"/*.scr; do
    [ "$(lines "$f")" = "_axvekmigr|_.QSAVE|$closing" ] && others=$((others + 1))
done
[ "$others" -eq 1 ] || fail "no plain tail script for the other drawings"
for line in 'Purged _LA \* _N\.' 'Purged _D \* _N\.' 'Command: _axmigratebb'; do
    [ "$(cat "$transcripts"/ortx-*.log 2>/dev/null | tr -d '\r' | grep -c "$line")" -eq 3 ] ||
        fail "not every host ran \"$line\""
done
check_host_transcripts

grep -qF 'Drawing Migration' "$log_unix" || fail "no log header in $log_unix"
leftovers=$(ls "$temp" | grep -i '^vek' || true)
[ -z "$leftovers" ] || fail "temporary files left: $leftovers"
echo PASS
