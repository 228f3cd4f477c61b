#!/bin/sh
# Runs a test command with AXTEST_LOCKED_FOLDER naming a folder that takes no
# new file, holding an empty list.dml that can be written, and under a
# file-size limit of $1 blocks. The Wine server creates the files, with the
# rights it was started with, so the folder is made immutable (which binds
# root as well), or for other users read-only.
limit=$1
shift
. "$(dirname "$0")/../../scripts/wine-env.sh"
wineserver -p >/dev/null 2>&1 </dev/null
dir=$(mktemp -d) && : >"$dir/list.dml" || exit 1
chattr +i "$dir" 2>/dev/null || chmod 555 "$dir"
(trap '' XFSZ; ulimit -f "$limit" && AXTEST_LOCKED_FOLDER="$dir" exec "$@")
rc=$?
chattr -i "$dir" 2>/dev/null
chmod 755 "$dir"
rm -rf "$dir"
exit $rc
