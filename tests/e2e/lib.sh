# Shared by the end-to-end tests: each sources this with the Windows build
# folder as $1. The test prefix comes from the test command (scripts/test.sh).
set -euo pipefail

build=$(cd "$1" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
source "$root/scripts/wine-env.sh"
wine_require_private_prefix e2e || exit 125

fail() { echo "FAIL: $*" >&2; exit 1; }

# Windows path -> Unix path in the prefix, and back.
unix_path() { "$wine" winepath -u "$1" 2>/dev/null | tr -d '\r'; }
win_path() { "$wine" winepath -w "$1" 2>/dev/null | tr -d '\r'; }
win_env() { "$wine" cmd /c "echo %$1%" 2>/dev/null | tr -d '\r'; }

windriver() { "$wine" "$build/bin/windriver.exe" "$@"; }

# The demo host installation; sets host_win, host_unix, the demo drawing list
# demo_list (Windows path) and through_files_page.
install_demo_host() {
    host_win=$("$root/scripts/make-demo-host.sh" "$build" "$@")
    host_unix=$(unix_path "$host_win")
    demo_list="$(win_env USERPROFILE)\\Documents\\Drawings\\Demo drawings.dml"
    # windriver steps from the Files page on to the next page, as a user goes:
    # Open List, the demo list's path typed into the Open dialog, Open, Next.
    through_files_page=(wait-with "$wizard_title" '#2013' 10 click '#2013'
        wait 'Open Drawing List' 10 type '#1148' "$demo_list" click Open gone 10
        wait-with "$wizard_title" '#2013' 5 sleep 300 click "$next")
}

reg_query() {  # key value -> data, or nothing
    "$wine" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v v="$2" '$1 == v { $1 = ""; $2 = ""; sub(/^  */, ""); print }'
}

screenshot() {  # name: keeps a picture of the screen next to the test's output
    [ -n "${DISPLAY:-}" ] && command -v import >/dev/null && import -window root "$build/e2e-$1.png" 2>/dev/null || true
}

temp_unix() { unix_path "$(win_env TEMP)"; }

# Fails when a stand-in host that kept its transcript in $ORTX_TRANSCRIPT met
# a breach of the contract: the same check the Windows tests make.
check_host_transcripts() {
    local out
    out=$("$wine" "$build/bin/axwin_tests.exe" --gtest_also_run_disabled_tests \
        --gtest_filter=HostTranscripts.DISABLED_InTheEnvironmentsFolderAreClean 2>&1) ||
        { echo "$out"; fail "the stand-in host met a breach of the contract"; }
}

# The wizard in the en-US resource library: its title (string 2001), which
# message boxes share, so the wizard is found by its Next button.
wizard_title='Drawing Migration Wizard'
next='#12324' back='#12323' finish='#12325' cancel='#2'
help_title='Drawing Migration Wizard Help'
safety_title='Safety Notice'

# The settings key of the demo installation.
settings_key='HKCU\Software\Kelvane\Kelvane Mechanical\Desktop\17\ORTXA-7001:409\Migration'
profile_key='HKCU\Software\Kelvane\Orthex\R25.1\ORTXA-7001:409\Profiles\<<ORTXAPP>>'

settings_values() {  # the number of values under the settings key
    "$wine" reg query "$settings_key" 2>/dev/null | tr -d '\r' | grep -c 'REG_' || true
}
