#!/usr/bin/env bash
# The installer package under Wine. Into a demo host without the wizard it
# puts the program beside the host and a resource library in each language
# folder, and no registry value of the host's; the program starts from there
# and shows its Begin page. Over an older package it replaces that one's
# files and registration. Uninstalling leaves no file of ours and the host's
# files as they were. Without a host (no keys, or keys naming a folder that
# is not there) it refuses with its message and puts nothing down.
source "$(dirname "$0")/lib.sh"

msi_unix=$(ls "$build"/axTarvo-*.msi 2>/dev/null | head -1)
[ -n "$msi_unix" ] || fail "no installer package in $build (is wixl installed?)"
msi=$(win_path "$msi_unix")
ours=(axTarvo.exe ortxa/en-US/axTarvoRes.dll ortxa/de-DE/axTarvoRes.dll)
product='Kelvane Mechanical Drawing Migration Wizard'
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

msiexec() {  # msiexec's arguments as one line -> its exit code
    windriver start "msiexec $1" exit 120 | sed -n 's/^exit: //p'
}
export_key() {  # key, file: the key's values as text, empty when it is missing
    "$wine" reg export "$1" "$(win_path "$scratch")\\key.reg" /y >/dev/null 2>&1 &&
        iconv -f UTF-16 -t UTF-8 "$scratch/key.reg" | tr -d '\r' > "$2" || : > "$2"
}
registered() {  # how many of our packages the system lists
    export_key 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' "$scratch/uninstall.txt"
    grep -c "^\"DisplayName\"=\"$product\"" "$scratch/uninstall.txt" || true
}
host_keys() {  # file: the host's keys of both hives
    export_key 'HKCU\Software\Kelvane' "$1.hkcu"
    export_key 'HKLM\Software\Kelvane' "$1.hklm"
    cat "$1.hkcu" "$1.hklm" > "$1"
}
host_files() {  # the files under the host folder with their checksums
    (cd "$host_unix" && find . -type f -print0 | sort -z | xargs -0 md5sum)
}

# A clean start: nothing of ours installed from an earlier run.
[ "$(registered)" -eq 0 ] || msiexec "/x \"$msi\" /qn" >/dev/null

install_demo_host --without-wizard
for f in "${ours[@]}"; do [ ! -e "$host_unix/$f" ] || fail "the demo host has $f already"; done
host_files > "$scratch/host-before.txt"

# An older package first, with files of its own.
old="$scratch/old"
mkdir -p "$old/ortxa/en-US" "$old/ortxa/de-DE"
for f in "${ours[@]}"; do echo "older build: $f" > "$old/$f"; done
(cd "$old" && wixl --arch x64 -D Version=0.9.0.0 -D UpgradeBelow=0.9.1 -D BinDir=. \
    -o "$scratch/old.msi" "$root/installer/axTarvo.wxs") || fail "the older package"
host_keys "$scratch/keys-before.txt"
[ "$(msiexec "/i \"$(win_path "$scratch/old.msi")\" /qn")" = 0 ] || fail "installing the older package"
for f in "${ours[@]}"; do grep -q 'older build' "$host_unix/$f" || fail "the older package left out $f"; done

# This package over it.
[ "$(msiexec "/i \"$msi\" /qn")" = 0 ] || fail "installing over the older package"
for f in "${ours[@]}"; do
    cmp -s "$build/bin/$f" "$host_unix/$f" || fail "$f is not the build's after the upgrade"
done
[ "$(registered)" -eq 1 ] || fail "the older package is still registered: $(registered) packages"
host_keys "$scratch/keys-installed.txt"
cmp -s "$scratch/keys-before.txt" "$scratch/keys-installed.txt" ||
    fail "installing changed the host's keys: $(diff "$scratch/keys-before.txt" "$scratch/keys-installed.txt")"

# The program where it was installed, up to its Begin page.
out=$(windriver cwd "$host_win" start "\"$host_win\\axTarvo.exe\"" \
    wait-with "$wizard_title" "$next" 30 click "$cancel" wait-with "$wizard_title" "$yes" 10 \
    click "$yes" exit 30) || { echo "$out"; fail "the installed program"; }
echo "$out"
grep -qx 'exit: 0' <<<"$out" || fail "exit code of the installed program"

# Uninstalled: the host folder as before, the registration gone.
[ "$(msiexec "/x \"$msi\" /qn")" = 0 ] || fail "uninstalling"
host_files > "$scratch/host-after.txt"
diff "$scratch/host-before.txt" "$scratch/host-after.txt" || fail "uninstalling left the host folder changed"
for f in ortxa/en-US ortxa/de-DE; do [ ! -e "$host_unix/$f" ] || fail "uninstalling left $f"; done
[ "$(registered)" -eq 0 ] || fail "still registered after uninstalling"

# No host: no keys at all, then keys that name a folder that is not there.
# The basic interface shows the message; the package ends with 1603.
for case in 'no keys' 'no folder'; do
    install_demo_host --without-wizard
    if [ "$case" = 'no keys' ]; then
        "$wine" reg delete 'HKCU\Software\Kelvane' /f >/dev/null 2>&1
        "$wine" reg delete 'HKLM\Software\Kelvane' /f >/dev/null 2>&1
    else
        mv "$host_unix" "$host_unix.away"
    fi
    out=$(windriver start "msiexec /i \"$msi\" /qb" wait 'Install Failed' 60 texts click '#1' exit 60) ||
        { echo "$out"; fail "$case: no refusal"; }
    echo "$out"
    grep -q 'Kelvane Mechanical R25.1 is not installed' <<<"$out" || fail "$case: not the message"
    grep -qx 'exit: 1603' <<<"$out" || fail "$case: exit code"
    [ "$(registered)" -eq 0 ] || fail "$case: registered"
    [ "$case" = 'no keys' ] || mv "$host_unix.away" "$host_unix"
    for f in "${ours[@]}"; do [ ! -e "$host_unix/$f" ] || fail "$case: $f was put down"; done
done
echo PASS
