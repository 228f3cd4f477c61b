#!/usr/bin/env bash
# Without a resource library for the host's language the program shows the
# path it tried in an error box titled "Can not load resource dll" and ends
# with exit code -1.
source "$(dirname "$0")/lib.sh"

install_demo_host --language fr-FR
mkdir -p "$host_unix/ortxa/fr-FR"   # the language folder exists, the DLL does not

out="$build/e2e-missing_resource_library.txt"
windriver start "\"$host_win\\axTarvo.exe\"" wait "Can not load resource dll" 30 texts \
    click OK exit 20 > "$out" || { cat "$out"; fail "windriver"; }
cat "$out"
grep -qF "$host_win\\ortxa\\fr-FR\\axTarvoRes.dll" "$out" || fail "the message does not name the path tried"
grep -qx 'exit: -1' "$out" || fail "exit code is not -1"
echo PASS
