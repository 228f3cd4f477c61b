#!/usr/bin/env bash
# The program dies during a run of 12 drawings (killed while the monitor
# shows drawing 5) and its batch goes on. Started again, it finishes the run:
# first after the batch has ended (the recovery's message answered with OK),
# then with the batch still running, twice: Yes watches it in the monitor,
# where the program is killed again at drawing 9; the third start watches
# it to its end (OK there, then the message). Each time the wizard is
# cancelled after. Every
# drawing is migrated and marked "[x]", the list's other bytes are as they
# were, the host profile is as before the run, nothing of the run is left in
# %TEMP% and no host or cmd is left.
source "$(dirname "$0")/lib.sh"

install_demo_host
use_local_log
temp=$(temp_unix)
n=12
folder_win="$(win_env USERPROFILE)\\Documents\\Interrupted run"
folder_unix=$(unix_path "$folder_win")
list_win="$folder_win\\Interrupted.dml"
list_unix=$(unix_path "$list_win")
out="$build/e2e-interrupted_run"
rm -rf "$folder_unix" "$out" && mkdir -p "$folder_unix" "$out"
profile_root='HKCU\Software\Kelvane'
ended='The migration has ended. Choose OK to read the migration log.'   # string 2073

procs_left() {  # the host, cmd and program processes of the prefix
    "$wine" winedbg --command "info proc" 2>/dev/null | tr -d '\r' |
        grep -i -E "'(ortx|cmd|axtarvo|notepad)\.exe'" || true
}
wait_for_no_run() {
    for _ in $(seq 120); do
        [ -z "$(procs_left)" ] && return
        sleep 1
    done
    fail "the run never ended: $(procs_left)"
}
norm() { iconv -f UTF-16LE -t UTF-8 "$1" | tr -d '\r' |
    awk '/^\[/ { k = $0 } k !~ /\\(BOM )?Migration\]$/ && $0 !~ /^"ORTX"=/ && $0 != ""'; }

# Twelve drawings of an old release, each a second in the host, and their list.
( cd "$folder_unix" && for i in $(seq -w 1 $n); do
    "$wine" "$build/bin/tools/mkdwg.exe" "Part $i.dwg" --version OX1018 --delay 1 --at migr >/dev/null 2>&1 ||
        fail "mkdwg"
done )
{
    printf '[Kelvane Mechanical drawing list]\r\n'
    for i in $(seq -w 1 $n); do printf '[ ]%s\\part %s.dwg\r\n' "${folder_win,,}" "$i"; done
} >"$list_unix"

files=(wait-with "$wizard_title" '#2013' 10 click '#2013'
    wait 'Open Drawing List' 10 type '#1148' "$list_win" key '#1148' 13 gone 10
    wait-with "$wizard_title" '#2013' 5 sleep 500 click "$next")
to_run=(wait-with "$wizard_title" "$next" 30 click "$next" wait "$safety_title" 10 click OK
    "${files[@]}" "${pass_options[@]}" "${pass_standards[@]}" "${pass_search[@]}"
    "${on_finish[@]}" click "$finish" wait-with "$wizard_title" '#2028' 60
    wait-number '#2024' 5 120 kill)
cancel_wizard=(wait-with "$wizard_title" "$next" 20 click "$cancel" wait-with "$wizard_title" "$yes" 10
    click "$yes" exit 30)

scenario() {  # name, then the steps of the start after the kill
    local name=$1
    shift
    rm -f "$temp"/vek* "$temp"/MIGRATE*.TXT "$temp"/ortx-*.log
    cp "$list_unix" "$out/$name-list-before.dml"
    "$wine" reg export "$profile_root" "$(win_path "$out/$name-registry-before.reg")" >/dev/null 2>&1
    windriver cwd "$host_win" start "\"$host_win\\axTarvo.exe\"" "${to_run[@]}" \
        >"$out/$name-first.txt" 2>&1 || { cat "$out/$name-first.txt"; fail "$name: the first start"; }
    [ "$name" = ended ] && wait_for_no_run
    if [ ${#middle[@]} -gt 0 ]; then
        windriver cwd "$host_win" start "\"$host_win\\axTarvo.exe\"" "${middle[@]}" \
            >"$out/$name-middle.txt" 2>&1 || { cat "$out/$name-middle.txt"; fail "$name: the start between"; }
    fi
    windriver cwd "$host_win" start "\"$host_win\\axTarvo.exe\"" "$@" "${cancel_wizard[@]}" \
        >"$out/$name-second.txt" 2>&1 || { cat "$out/$name-second.txt"; screenshot "interrupted-$name"; fail "$name: the start after"; }
    cat "$out/$name-second.txt"
    grep -qx 'exit: 0' "$out/$name-second.txt" || fail "$name: exit code"
    wait_for_no_run

    # Every drawing migrated and marked; nothing else in the list changed.
    for i in $(seq -w 1 $n); do
        [ "$(head -c 6 "$folder_unix/Part $i.dwg")" = OX1032 ] || fail "$name: part $i not migrated"
    done
    sed 's/^\[ \]/[x]/' "$out/$name-list-before.dml" | cmp -s - "$list_unix" ||
        fail "$name: the list is not the old one marked: $(tr -d '\r' <"$list_unix")"
    grep -qF 'The migration was interrupted when the wizard ended' "$log_unix" || fail "$name: no line in the log"
    grep -qF "    Drawings migrated:     $n" "$log_unix" || fail "$name: no summary: $(tr -d '\r' <"$log_unix" | tail)"
    "$wine" reg export "$profile_root" "$(win_path "$out/$name-registry-after.reg")" >/dev/null 2>&1
    restored=$(diff <(norm "$out/$name-registry-before.reg") <(norm "$out/$name-registry-after.reg") | grep '^<' || true)
    [ -z "$restored" ] || fail "$name: host profile not restored: $restored"
    left=$(ls -a "$temp" | grep -i -E '^vek|^migrate.*\.txt$|^ortx-.*\.log$' | tr '\n' ' ' || true)
    [ -z "$left" ] || fail "$name: left in %TEMP%: $left"
    # The next run starts from the unmigrated list.
    cp "$out/$name-list-before.dml" "$list_unix"
    ( cd "$folder_unix" && for i in $(seq -w 1 $n); do
        "$wine" "$build/bin/tools/mkdwg.exe" "Part $i.dwg" --version OX1018 --delay 1 --at migr >/dev/null 2>&1
    done )
}

# Started again once the batch has ended: one message, OK.
middle=()
scenario ended wait-with "$wizard_title" OK 30 texts click OK
grep -qF 'The wizard last ended during a migration' "$out/ended-second.txt" || fail "no recovery message"
grep -qF "$n of $n drawings were migrated" "$out/ended-second.txt" || fail "the message's counts"

# Started again at once, twice: the batch still runs; Yes watches it.
middle=(wait-with "$wizard_title" "$yes" 30 click "$yes" wait-with "$wizard_title" '#2028' 30
    wait-number '#2024' 9 120 kill)
scenario running wait-with "$wizard_title" "$yes" 30 texts click "$yes" \
    wait-with "$wizard_title" "$ended" 120 click OK wait-prefix "$log_file" 20 close gone 10 \
    wait-with "$wizard_title" OK 30 texts click OK
grep -qF 'is still running' "$out/running-second.txt" || fail "no question about the running batch"
grep -qF 'The migration was stopped' "$log_unix" && fail "the run was stopped, not watched"
echo PASS
