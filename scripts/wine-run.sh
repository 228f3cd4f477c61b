#!/bin/sh
# Runs a Windows program under Wine in the prefix the test run made. It refuses
# the user's own ~/.wine: tests write the registry and files of the prefix.
. "$(dirname "$0")/wine-env.sh"
wine_require_private_prefix wine-run.sh || exit 125
exec "$wine" "$@"
