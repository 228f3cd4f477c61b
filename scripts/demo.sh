#!/usr/bin/env bash
# Runs the wizard under Wine in a demo host installation. Installs what is
# missing, builds the Windows tree, makes (or refreshes) the demo prefix
# build/demo-prefix and starts axTarvo.exe from the host folder. Without a
# display (or with --walk) it walks through the program the way a user
# would, on a private Xvfb when there is no display, once for each screen
# size given with --dpi (Wine's LogPixels; 96 and 144 unless told), leaving
# a picture of each window in build/demo/ (named after the language, e.g.
# build/demo/en-US-05-files.png; those at another size than 96 in
# build/demo/<dpi>/).
#
# Usage: scripts/demo.sh [--language de-DE] [--dpi N]... [--walk] [--no-build]
#                        [--prefix DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

language=en-US
dpis=()
walk=no
build=yes
prefix="$root/build/demo-prefix"
while [ $# -gt 0 ]; do
    case "$1" in
        --language) language=$2; shift 2 ;;
        --dpi) dpis+=("$2"); shift 2 ;;
        --walk) walk=yes; shift ;;
        --no-build) build=no; shift ;;
        --prefix) prefix=$2; shift 2 ;;
        *) echo "demo.sh: unknown option $1" >&2; exit 2 ;;
    esac
done
[ ${#dpis[@]} -gt 0 ] || dpis=(96 144)

if [ "$build" = yes ]; then
    scripts/install-deps.sh
    cmake --preset windows >/dev/null
    cmake --build --preset windows -j "$(nproc 2>/dev/null || echo 2)"
fi

. scripts/wine-env.sh
wine_use_prefix "$prefix"
xvfb_pid=""
if [ -z "${DISPLAY:-}" ]; then
    walk=yes
    wine_private_xvfb 90
fi
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    [ -z "$xvfb_pid" ] || kill "$xvfb_pid" >/dev/null 2>&1 || true
}
trap cleanup EXIT

# The run migrates the demo drawings in place: each demo starts from the old
# ones, which the demo installation makes afresh when they are missing.
for name in 'Gear housing' 'Drive shaft' 'Cover plate' 'Drive unit' 'Old bracket' 'Current part'; do
    rm -f "$WINEPREFIX"/drive_c/users/*/Documents/Drawings/"$name.dwg"
done
host=$(scripts/make-demo-host.sh build/windows --language "$language")
echo "demo: host installation in $WINEPREFIX, host folder $host"
set_dpi() {  # the screen's pixels per inch for the processes started from here on
    wine64 reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
}
if [ "$walk" = no ]; then
    set_dpi "${dpis[0]}"
    cd "$(wine64 winepath -u "$host" 2>/dev/null)"
    wine64 axTarvo.exe || echo "demo: axTarvo.exe ended with exit code $?"
    exit 0
fi

# The walk: the window titles of the language's resource library.
case "$language" in
    de-DE) title='Zeichnungsmigrations-Assistent' safety='Sicherheitshinweis'
           help='Hilfe zum Zeichnungsmigrations-Assistenten' open_list='Zeichnungsliste öffnen'
           ended="$(sed -n 's/^ *IDS_RUN_MIGRATED "\(.*\)"$/\1/p' resources/de-DE/monitor.rc)" ;;
    *) title='Drawing Migration Wizard' safety='Safety Notice' help='Drawing Migration Wizard Help'
       open_list='Open Drawing List'
       ended="$(sed -n 's/^ *IDS_RUN_MIGRATED "\(.*\)"$/\1/p' resources/en-US/monitor.rc)" ;;
esac
next='#12324' finish='#12325' cancel='#2'
driver() { wine64 "$root/build/windows/bin/windriver.exe" "$@" </dev/null; }
support="$host\\migration"   # a folder the host searches as well
shot() {  # name, then the steps that find the window to show
    local name=$1 rect
    shift
    rect=$(driver "$@" rect | sed -n 's/^rect: //p' | tail -1)
    [ -n "$rect" ] || { echo "demo: no window for $name" >&2; return 1; }
    sleep 0.5
    set -- $rect
    import -window root -crop "${3}x${4}+${1}+${2}" "$shots/$language-$name.png"
    echo "demo: ${shots#"$root/"}/$language-$name.png"
}

walk() {  # dpi
    local dpi=$1
    shots="$root/build/demo"
    [ "$dpi" = 96 ] || shots="$shots/$dpi"
    mkdir -p "$shots"
    rm -f "$shots/$language"-*.png "$shots/$language-migration.log"
    # The run migrates the demo drawings: each walk starts from the old ones.
    for name in 'Gear housing' 'Drive shaft' 'Cover plate' 'Drive unit' 'Old bracket' 'Current part'; do
        rm -f "$WINEPREFIX"/drive_c/users/*/Documents/Drawings/"$name.dwg"
    done
    scripts/make-demo-host.sh build/windows --language "$language" >/dev/null
    set_dpi "$dpi"
    echo "demo: the walk at $dpi pixels per inch"
    out=$(mktemp)
    driver cwd "$host" start "\"$host\\axTarvo.exe\"" exit 600 >"$out" 2>&1 &
    program=$!
    shot 01-begin wait-with "$title" "$next" 60
    driver wait-with "$title" "$next" 5 key "$next" 112 >/dev/null      # F1
    shot 02-help wait "$help" 10
    driver wait "$help" 5 key '#2' 27 gone 5 >/dev/null                 # Esc
    driver wait-with "$title" "$next" 5 click "$next" >/dev/null
    shot 03-safety wait "$safety" 10
    driver wait "$safety" 5 click OK >/dev/null
    # The Files page: Open List, the demo list typed into the Open dialog, the
    # first drawing selected for its preview.
    list="$(wine64 cmd /c 'echo %USERPROFILE%' 2>/dev/null | tr -d '\r')\\Documents\\Drawings\\Demo drawings.dml"
    driver wait-with "$title" '#2013' 10 click '#2013' >/dev/null
    shot 04-open-list wait-with "$open_list" '#1148' 10
    driver wait-with "$open_list" '#1148' 5 type '#1148' "$list" key '#1148' 13 gone 10 >/dev/null
    driver wait-with "$title" '#2000' 5 key '#2000' 40 sleep 500 >/dev/null
    shot 05-files wait-with "$title" '#2000' 5
    driver wait-with "$title" '#2000' 5 click "$next" >/dev/null
    # Options: purge unused items, dimension styles besides the layers.
    driver wait-with "$title" '#2035' 10 click '#2321' click '#2324' >/dev/null
    shot 06-options wait-with "$title" '#2035' 5
    driver wait-with "$title" '#2035' 5 click "$next" >/dev/null
    # Standards: the second one, and title blocks migrated.
    driver wait-with "$title" '#2099' 10 key '#2099' 0x28 click '#2096' >/dev/null
    shot 07-standards wait-with "$title" '#2099' 5
    driver wait-with "$title" '#2099' 5 click "$next" >/dev/null
    # Search: the drawings' folder is there already; New adds one more.
    driver wait-with "$title" '#2016' 10 click '#2011' edit-label '#2016' "$support" sleep 500 >/dev/null
    shot 08-search wait-with "$title" '#2016' 5
    driver wait-with "$title" '#2016' 5 click "$next" >/dev/null
    shot 09-finish wait-with "$title" '#2009' 10
    driver wait-with "$title" '#2009' 5 click "$cancel" >/dev/null
    # The message box's No by its id: Wine translates its label.
    shot 10-cancel wait-with "$title" '#7' 10
    driver wait-with "$title" '#7' 5 click '#7' >/dev/null
    # Finish: the run monitor migrates the three drawings of the list.
    driver wait-with "$title" '#2009' 5 click "$finish" >/dev/null
    shot 11-monitor wait-with "$title" '#2028' 20
    shot 12-monitor-ended wait-with "$title" "$ended" 300
    driver wait-with "$title" '#2028' 5 click OK >/dev/null
    shot 13-log wait-prefix OrtxAMigr.log 20
    driver wait-prefix OrtxAMigr.log 5 close >/dev/null
    wait "$program" || true
    sed -n 's/^exit: /demo: axTarvo.exe ended with exit code /p' "$out"
    rm -f "$out"
    # The migration log of the run. Its default is a bare name, resolved against
    # the current folder, which the file dialogs move: the newest one is the run's.
    log=$(find "$WINEPREFIX/drive_c" -iname ortxamigr.log -newer "$shots/$language-01-begin.png" 2>/dev/null | head -1)
    if [ -n "$log" ]; then
        cp "$log" "$shots/$language-migration.log"
        echo "demo: ${shots#"$root/"}/$language-migration.log"
    fi
}
for dpi in "${dpis[@]}"; do walk "$dpi"; done
set_dpi 96
