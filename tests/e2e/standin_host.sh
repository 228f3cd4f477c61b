#!/usr/bin/env bash
# The stand-in host in the demo installation, driven the way the wizard's batch
# file drives it: per drawing the script is assembled with copy/echo/type and
# "start /wait ortx.exe /b ... /p ... /nologo" returns when the host quits.
# Also: the demo drawings, and the host window's title while a drawing is open.
# The profile is in its migration state, as the wizard leaves it for a run, and
# no host may meet a breach of the contract.
source "$(dirname "$0")/lib.sh"

install_demo_host --migration-state
title='Kelvane Mechanical'   # string 2094 of the en-US resource library

# The installation: host, extension and the host's resources, but no mkdwg.
for f in ortx.exe 'ortxa\migration\axmigr.orx' 'ortxa\ortxares.dll'; do
    [ -f "$host_unix/${f//\\//}" ] || fail "$f is not installed"
done
[ ! -e "$host_unix/tools/mkdwg.exe" ] || fail "mkdwg.exe was installed as part of the host"

# The demo drawings.
profile=$(win_env USERPROFILE)
demo=$(unix_path "$profile\\Documents\\Drawings")
[ -n "$demo" ] && [ -d "$demo" ] || fail "no demo drawings folder"
[ "$(find "$demo" -name '*.dwg' | wc -l)" -ge 5 ] || fail "too few demo drawings"
[ "$(head -c 6 "$demo/Drive unit.dwg")" = OX1024 ] || fail "Drive unit.dwg is not an OX1024 drawing"
grep -qa 'ref=Gear housing.dwg' "$demo/Drive unit.dwg" || fail "Drive unit.dwg references nothing"
case "$(realpath "$demo")" in "$(realpath "$WINEPREFIX")"/*) ;; *) fail "demo drawings outside the prefix" ;; esac

temp=$(temp_unix)
temp_win=$(win_env TEMP)
# Scripts and batch files in the temporary folder, drawings in a folder whose
# name the command interpreter would trip over without its quotes.
work_win="$temp_win\\standin-e2e"
work=$(unix_path "$work_win")
dwg_win="$work_win\\drawings & co"
dwg="$work/drawings & co"
rm -rf "$work"
mkdir -p "$dwg" "$work/transcripts"
export ORTX_TRANSCRIPT="$work_win\\transcripts"
rm -f "$temp/MIGRATE.TXT" "$temp/MIGRATED.TXT"
trap 'rm -rf "$work"; rm -f "$temp/MIGRATE.TXT" "$temp/MIGRATED.TXT"' EXIT
cp "$demo/Gear housing.dwg" "$demo/Drive shaft.dwg" "$dwg/"
mkdwg() { ( cd "$dwg" && "$wine" "$build/bin/tools/mkdwg.exe" "$@" ) || fail "mkdwg $*"; }
mkdwg "hang.dwg" --hang

crlf() { printf '%s\r\n' "$@"; }
crlf _EXPERT 0 _orx _load "\"$host_win\\ortxa\\migration\\axmigr.orx\"" _axvekloginfo \
    "$(tr 'A-Z\\' 'a-z/' <<<"$work_win\\mig.log")" 15 '(axresetdbmod T)' > "$work/head.scr"
crlf _axvekmigr _.QSAVE _axvekend _logfilemode 0 _orx _unload axmigr.orx '(axresetdbmod T)' \
    _.QUIT > "$work/tail.scr"

batch() {  # batch file name, drawings...
    local name=$1 n=0
    shift
    {
        crlf '@echo off'
        for d in "$@"; do
            n=$((n + 1))
            crlf "echo $n > \"$work_win\\counter.tmp\"" \
                "echo Migrating $d >> \"$work_win\\mig.log\"" \
                "copy \"$work_win\\head.scr\" \"$work_win\\drawing.scr\"" \
                "echo _.OPEN>> \"$work_win\\drawing.scr\"" \
                "echo \"$dwg_win\\$d\">> \"$work_win\\drawing.scr\"" \
                "type \"$work_win\\tail.scr\" >> \"$work_win\\drawing.scr\"" \
                "cd \"$host_win\\\"" \
                "start /wait ortx.exe /b \"$work_win\\drawing.scr\" /p \"<<ORTXAPP>>\" /nologo"
        done
        crlf "echo done >> \"$work_win\\mig.log\""
    } > "$work/$name"
}

# Two drawings, one after the other.
batch update.bat "Gear housing.dwg" "Drive shaft.dwg"
# "cd" alone does not change the drive: the batch runs from drive C as well.
windriver cwd "$work_win" start "cmd /c \"$work_win\\update.bat\"" exit 90 >/dev/null || fail "the batch did not finish"
[ "$(tr -d '\r' < "$temp/MIGRATED.TXT")" = "$dwg_win\\Gear housing.dwg
$dwg_win\\Drive shaft.dwg" ] || { cat "$temp/MIGRATED.TXT"; fail "MIGRATED.TXT"; }
for d in "Gear housing.dwg" "Drive shaft.dwg"; do
    [ "$(head -c 6 "$dwg/$d")" = OX1032 ] || fail "$d was not saved as OX1032"
done
log=$(tr -d '\r' < "$work/mig.log")
echo "$log"
grep -qx "Migrating Gear housing.dwg " <<<"$log" || fail "no progress line of the batch"
grep -qxF "axmigr: migrated \"$dwg_win\\Drive shaft.dwg\" from OX1018 to OX1032 (mode 1)" <<<"$log" ||
    fail "no migration line of the extension"
[ "$(tail -1 <<<"$log")" = "done " ] || fail "the batch did not run to its end"

# A host that hangs shows the drawing in its title; closing it lets start /wait return.
batch hang.bat "hang.dwg"
out=$(windriver cwd "$work_win" start "cmd /c \"$work_win\\hang.bat\"" wait "$title - [hang.dwg]" 60 \
    none "$title" 1 close exit 60) || { echo "$out"; fail "windriver"; }
echo "$out"
screenshot standin_host
grep -qx "window: $title - \[hang.dwg\]" <<<"$out" || fail "title"
grep -qx 'exit: 0' <<<"$out" || fail "the batch did not end"
hostlog=$(unix_path "$(reg_query 'HKCU\Software\Kelvane\Kelvane Mechanical\Desktop\17\ORTXA-7001:409\Migration' LOGFILENAME)")
grep -q '^\[stand-in\] hanging at open' "$hostlog" || fail "the host log does not tell of the hang"
[ "$(find "$work/transcripts" -name 'ortx-*.log' | wc -l)" -eq 3 ] || fail "not every host kept a transcript"
check_host_transcripts
echo PASS
