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
have clang++ || need+=(clang)
have clang-format || need+=(clang-format)
ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1 || need+=(libclang-rt-14-dev)
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)

[ ${#need[@]} -eq 0 ] && exit 0
echo "install-deps: installing ${need[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
