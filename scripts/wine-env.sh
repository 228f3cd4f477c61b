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
