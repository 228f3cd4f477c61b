# The one Wine environment of the build's scripts, sourced by each of them
# (POSIX sh, so wine-run.sh can source it too):
#   wine              the Wine binary (Debian keeps it off PATH)
#   PATH              with /usr/lib/wine, for wine64 and wineserver
#   WINEDEBUG         -all unless already set
#   WINEDLLOVERRIDES  no offer to install Mono or Gecko
# The prefix is the caller's: wine_use_prefix names one, and
# wine_require_private_prefix refuses to go on without one. Never ~/.wine:
# the tests write the registry and files of the prefix.

wine=/usr/lib/wine/wine64
case ":$PATH:" in
    *:/usr/lib/wine:*) ;;
    *) PATH="/usr/lib/wine:$PATH" ;;
esac
export PATH
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

# wine_use_prefix DIR: the prefix for everything that follows.
wine_use_prefix() {
    WINEPREFIX=$1
    export WINEPREFIX
}

# wine_require_private_prefix WHO: false, with a message, when WINEPREFIX is
# unset or the user's own prefix.
wine_require_private_prefix() {
    if [ -z "${WINEPREFIX:-}" ] || [ "$WINEPREFIX" = "$HOME/.wine" ] ||
        [ "$WINEPREFIX" = "$HOME/.wine/" ]; then
        echo "$1: WINEPREFIX must name a private prefix (see scripts/test.sh)" >&2
        return 1
    fi
}

# wine_private_xvfb FIRST [LOG]: an Xvfb of our own on the first free display
# from FIRST on, as DISPLAY once it answers; its process id in xvfb_pid.
wine_private_xvfb() {
    wine_display=$1
    while [ -e "/tmp/.X11-unix/X$wine_display" ] || [ -e "/tmp/.X$wine_display-lock" ]; do
        wine_display=$((wine_display + 1))
    done
    Xvfb ":$wine_display" -screen 0 1280x1024x24 -nolisten tcp >"${2:-/dev/null}" 2>&1 &
    xvfb_pid=$!
    DISPLAY=":$wine_display"
    export DISPLAY
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
}

# wine_boot_prefix DIR [WINDRIVER]: DIR as the prefix, made when new, with its
# server running; with the window driver given, one idle desktop process of
# it too (its id in idle_pid), so that the programs that follow do not each
# wait for the desktop. Their output goes nowhere: ctest waits for every
# process that holds its pipes.
wine_boot_prefix() {
    wine_use_prefix "$1"
    mkdir -p "$WINEPREFIX"
    wineserver -p >/dev/null 2>&1 </dev/null
    "$wine" wineboot -i >/dev/null 2>&1 </dev/null
    idle_pid=""
    if [ -n "${2:-}" ]; then
        "$wine" "$2" idle >/dev/null 2>&1 </dev/null &
        idle_pid=$!
    fi
}
