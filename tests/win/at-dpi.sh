#!/bin/sh
# Runs a test command with Wine's screen set to $1 pixels per inch. Wine reads
# LogPixels when a process starts, so the command's process has that size;
# the value the prefix had is put back for the tests after, whatever the
# command's end.
dpi=$1
shift
. "$(dirname "$0")/../../scripts/wine-env.sh"
wine_require_private_prefix at-dpi.sh || exit 125
wineserver -p >/dev/null 2>&1 </dev/null
key='HKCU\Control Panel\Desktop'
before=$("$wine" reg query "$key" /v LogPixels 2>/dev/null | tr -d '\r' | awk '$1 == "LogPixels" { print $3 }')
put_back() {
    if [ -n "$before" ]; then
        "$wine" reg add "$key" /v LogPixels /t REG_DWORD /d "$((before))" /f >/dev/null 2>&1
    else
        "$wine" reg delete "$key" /v LogPixels /f >/dev/null 2>&1
    fi
}
trap put_back EXIT
"$wine" reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 || exit 1
AXTEST_DPI=$dpi "$@"
