#!/bin/sh
# Runs a Windows program under Wine in the prefix the test run made. It refuses
# the user's own ~/.wine: tests write the registry and files of the prefix.
if [ -z "$WINEPREFIX" ] || [ "$WINEPREFIX" = "$HOME/.wine" ]; then
    echo "wine-run.sh: WINEPREFIX must name a private test prefix (see scripts/test.sh)" >&2
    exit 125
fi
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
exec /usr/lib/wine/wine64 "$@"
