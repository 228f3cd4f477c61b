#!/usr/bin/env bash
# Installs from Debian's packages what the build and the tests need and this
# machine lacks. Does nothing when everything is there.
set -euo pipefail

need=()
have() { command -v "$1" >/dev/null 2>&1 || [ -x "$1" ]; }
have /usr/lib/wine/wine64 || need+=(wine64)
have x86_64-w64-mingw32-g++-posix || need+=(g++-mingw-w64-x86-64)
have Xvfb || need+=(xvfb)
have xauth || need+=(xauth)
have import || need+=(imagemagick)
have xdpyinfo || need+=(x11-utils)
have cmake || need+=(cmake)
have ninja || need+=(ninja-build)
have python3 || need+=(python3)   # the chaos run's checks
have wixl || need+=(wixl)         # the installer package
have msiinfo || need+=(msitools)  # to look into it
have clang++ || need+=(clang)
have clang-format || need+=(clang-format)
ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1 || need+=(libclang-rt-14-dev)
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
have locale-gen || have /usr/sbin/locale-gen || need+=(locales)

sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
if [ ${#need[@]} -gt 0 ]; then
    echo "install-deps: installing ${need[*]}"
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

# Wine takes its code pages from LANG, and without the Unix locale it cannot
# make a file named beyond ASCII: the locale tests need these two generated.
# A machine where that fails still runs everything else (test.sh says so).
has_locale() { locale -a 2>/dev/null | grep -qix "$(echo "$1" | sed 's/UTF-8/utf8/')"; }
missing=()
for name in de_DE.UTF-8 ja_JP.UTF-8; do has_locale "$name" || missing+=("$name"); done
if [ ${#missing[@]} -gt 0 ]; then
    echo "install-deps: generating the locales ${missing[*]}"
    for name in "${missing[@]}"; do
        grep -qx "$name UTF-8" /etc/locale.gen 2>/dev/null ||
            echo "$name UTF-8" | $sudo tee -a /etc/locale.gen >/dev/null || true
    done
    gen=$(command -v locale-gen || echo /usr/sbin/locale-gen)
    $sudo "$gen" >/dev/null 2>&1 || true
    for name in "${missing[@]}"; do
        has_locale "$name" || echo "install-deps: could not generate the locale $name" >&2
    done
fi
exit 0
