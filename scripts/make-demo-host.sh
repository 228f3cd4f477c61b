#!/usr/bin/env bash
# Makes the Wine prefix $WINEPREFIX look like a machine where the host is
# installed, with the Windows build of this tree in the host folder:
#
#   host folder   C:\Program Files\Kelvane\Orthex R25.1   (the build's bin/)
#   HKCU  SOFTWARE\Kelvane\Orthex\R25.1            CurVer, Language
#   HKLM  SOFTWARE\Kelvane\Orthex\R25.1\<CurVer>   OrtxLocation, ProductId, LocaleId
#   HKCU  ...\<CurVer>\Profiles\<<ORTXAPP>>        the migration profile
#                                                 (with --migration-state: its values
#                                                 as the wizard sets them for a run)
#   C:\users\<user>\Documents\Drawings            a few stand-in drawings, and
#                                                 "Demo drawings.dml", a list of three
#   <host folder>\migration\dwgmigr.txt           the migration help text
#
# With --without-wizard the host folder gets the host's files only, without
# the wizard and its resource libraries: a host for the installer package.
#
# Usage: make-demo-host.sh [build dir] [--language de-DE] [--no-profile | --migration-state]
#                          [--without-wizard]
# Prints the host folder (Windows path) on stdout.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build="$here/../build/windows"
language=en-US
profile=yes
wizard=yes
while [ $# -gt 0 ]; do
    case "$1" in
        --language) language=$2; shift 2 ;;
        --no-profile) profile=no; shift ;;
        --migration-state) profile=migration; shift ;;
        --without-wizard) wizard=no; shift ;;
        *) build=$1; shift ;;
    esac
done

. "$here/wine-env.sh"
wine_require_private_prefix make-demo-host.sh || exit 2
build=$(cd "$build" 2>/dev/null && pwd) || { echo "make-demo-host.sh: no folder $build" >&2; exit 2; }
bin="$build/bin"
[ -f "$bin/axTarvo.exe" ] || { echo "make-demo-host.sh: no Windows build in $build" >&2; exit 2; }

[ -f "$WINEPREFIX/system.reg" ] || "$wine" wineboot -i >/dev/null 2>&1

curver='ORTXA-7001:409'
host_win='C:\Program Files\Kelvane\Orthex R25.1'
host_unix="$WINEPREFIX/drive_c/Program Files/Kelvane/Orthex R25.1"

mkdir -p "$host_unix"
# The build's bin/ is laid out like a host folder already; test tools stay out.
ours=()
if [ "$wizard" = no ]; then
    ours=(! -name axTarvo.exe ! -name axTarvoRes.dll)
    rm -f "$host_unix/axTarvo.exe" "$host_unix"/ortxa/*/axTarvoRes.dll
    for d in "$host_unix"/ortxa/*-*/; do [ -d "$d" ] && rmdir "$d" 2>/dev/null || true; done
fi
( cd "$bin" && find . -type f ! -name '*_tests.exe' ! -name 'bench_*.exe' ! -name 'windriver.exe' ! -path './tools/*' "${ours[@]}" -print0 |
  while IFS= read -r -d '' f; do mkdir -p "$host_unix/$(dirname "$f")"; cp -f "$f" "$host_unix/$f"; done )
# The host's migration help text in the installation's language, as the host
# ships it: the system's ANSI code page (1252 here) with CR LF line ends.
help_text="$here/../stand-ins/host/help/$language/dwgmigr.txt"
[ -f "$help_text" ] || help_text="$here/../stand-ins/host/help/en-US/dwgmigr.txt"
mkdir -p "$host_unix/migration"
iconv -f UTF-8 -t CP1252 "$help_text" | sed 's/$/\r/' > "$host_unix/migration/dwgmigr.txt"

reg=$(mktemp --suffix=.reg)
trap 'rm -f "$reg"' EXIT
esc_host=${host_win//\\/\\\\}
{
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    printf '[-HKEY_CURRENT_USER\\Software\\Kelvane]\r\n\r\n'
    printf '[-HKEY_LOCAL_MACHINE\\Software\\Kelvane]\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Kelvane\\Orthex\\R25.1]\r\n'
    printf '"CurVer"="%s"\r\n"Language"="%s"\r\n\r\n' "$curver" "$language"
    printf '[HKEY_LOCAL_MACHINE\\Software\\Kelvane\\Orthex\\R25.1\\%s]\r\n' "$curver"
    printf '"OrtxLocation"="%s"\r\n"ProductId"="7001"\r\n"LocaleId"="409"\r\n\r\n' "$esc_host"
    printf '[HKEY_CURRENT_USER\\Software\\Kelvane\\Orthex\\R25.1\\%s\\Profiles\\<<ORTXA>>\\General]\r\n\r\n' "$curver"
    if [ "$profile" = yes ]; then
        printf '[HKEY_CURRENT_USER\\Software\\Kelvane\\Orthex\\R25.1\\%s\\Profiles\\<<ORTXAPP>>\\General]\r\n' "$curver"
        printf '"NoStartUpDialog"=dword:00000000\r\n"ShowProxyDialog"=dword:00000001\r\n"LogFileOpen"=dword:00000000\r\n\r\n'
    elif [ "$profile" = migration ]; then
        # What the wizard's profile apply leaves for a run, so that the host
        # shows none of its dialogs when started without the wizard.
        temp=$("$wine" cmd /c 'echo %TEMP%' 2>/dev/null | tr -d '\r')
        esc_temp=${temp//\\/\\\\}
        profile_key="HKEY_CURRENT_USER\\Software\\Kelvane\\Orthex\\R25.1\\$curver\\Profiles\\<<ORTXAPP>>"
        edition_key='HKEY_CURRENT_USER\Software\Kelvane\Kelvane Mechanical\Desktop\17\ORTXA-7001:409'
        printf '[%s\\General]\r\n' "$profile_key"
        printf '"NoStartUpDialog"=dword:00000001\r\n"ShowProxyDialog"=dword:00000000\r\n"LogFileOpen"=dword:00000000\r\n\r\n'
        printf '[%s\\Drawing Window]\r\n' "$profile_key"
        printf '"SDIMode"=dword:00000001\r\n"ShowPlotSetup"=dword:00000000\r\n\r\n'
        printf '[%s\\Editor Configuration]\r\n' "$profile_key"
        printf '"EmergencyFont"="simplex.shx"\r\n"LogFilePath"="%s\\\\"\r\n"XrefLazyLoadMode"=dword:00000001\r\n\r\n' "$esc_temp"
        printf '[HKEY_CURRENT_USER\\Software\\Kelvane\\Orthex\\R25.1\\%s\\FixedProfile\\General Configuration]\r\n' "$curver"
        printf '"FileDialog"=dword:00000000\r\n"CommandDialogs"=dword:00000001\r\n\r\n'
        printf '[%s\\Assembly]\r\n"AXXASSEMBLE_VERIFIED"=dword:00000001\r\n\r\n' "$edition_key"
        printf '[%s\\BOM Migration]\r\n"Show Dialog"=dword:00000000\r\n\r\n' "$edition_key"
    fi
} > "$reg"
"$wine" regedit /S "Z:${reg//\//\\}"

# Demo drawings, made by the stand-in generator (those already there are kept).
# Wine links Documents to the home folder; the demo's stay in the prefix.
mkdwg="$bin/tools/mkdwg.exe"
if [ -f "$mkdwg" ]; then
    user_dir=""
    for d in "$WINEPREFIX/drive_c/users"/*; do
        [ -d "$d" ] && [ "$(basename "$d")" != Public ] && { user_dir=$d; break; }
    done
    if [ -n "$user_dir" ]; then
        [ -L "$user_dir/Documents" ] && rm -f "$user_dir/Documents"
        drawings="$user_dir/Documents/Drawings"
        mkdir -p "$drawings"
        make_drawing() {  # name, mkdwg options
            local name=$1
            shift
            [ -f "$drawings/$name" ] || ( cd "$drawings" && "$wine" "$mkdwg" "$name" "$@" >/dev/null 2>&1 ) ||
                echo "make-demo-host.sh: could not make the drawing $name" >&2
        }
        make_drawing "Gear housing.dwg" --version OX1015 --release 3 --preview bmp8 --seed 1
        make_drawing "Drive shaft.dwg" --version OX1018 --release 40 --preview bmp24 --seed 2
        make_drawing "Cover plate.dwg" --version OX1021 --release 20 --preview bmp8 --seed 3
        make_drawing "Drive unit.dwg" --version OX1024 --release 50 --preview bmp24 --seed 4 \
            --ref "Gear housing.dwg" --ref "Drive shaft.dwg"
        make_drawing "Old bracket.dwg" --version OX1011 --preview none
        make_drawing "Current part.dwg" --version OX1032 --preview bmp8 --seed 5
        # A drawing list of three of them, as the wizard saves one (code page
        # 1252, CR LF, the header of string 2024, lower-case paths), written
        # afresh: a run marks its lines.
        list="$drawings/Demo drawings.dml"
        if true; then
            folder="c:\\users\\$(basename "$user_dir" | tr '[:upper:]' '[:lower:]')\\documents\\drawings\\"
            {
                printf '[Kelvane Mechanical drawing list]\r\n'
                for name in "gear housing" "drive shaft" "cover plate"; do
                    printf '[ ]%s%s.dwg\r\n' "$folder" "$name"
                done
            } > "$list"
        fi
    fi
fi
echo "$host_win"
