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
        wait 'Open Drawing List' 10 type '#1148' "$demo_list" key '#1148' 13 gone 10
        wait-with "$wizard_title" '#2013' 5 sleep 300 click "$next")
    # ... and on through every page to the Finish page.
    to_finish=("${through_files_page[@]}" "${pass_options[@]}" "${pass_standards[@]}"
        "${pass_search[@]}" "${on_finish[@]}")
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
# A message box's Yes and No by their ids: their labels are translated under
# other locales.
yes='#6' no='#7'
help_title='Drawing Migration Wizard Help'
safety_title='Safety Notice'

# The settings key of the demo installation.
settings_key='HKCU\Software\Kelvane\Kelvane Mechanical\Desktop\17\ORTXA-7001:409\Migration'
profile_key='HKCU\Software\Kelvane\Orthex\R25.1\ORTXA-7001:409\Profiles\<<ORTXAPP>>'

settings_values() {  # the number of values under the settings key
    "$wine" reg query "$settings_key" 2>/dev/null | tr -d '\r' | grep -c 'REG_' || true
}

# The pages between the Begin page (its safety notice accepted) and the
# Finish page, each as the windriver steps that wait for it to show and pass
# it with Next; each page is known by a control of its own. A test that sets
# something on a page uses its own steps for that page instead.
pass_options=(wait-with "$wizard_title" '#2035' 10 click "$next")
pass_standards=(wait-with "$wizard_title" '#2099' 10 click "$next")
pass_search=(wait-with "$wizard_title" '#2016' 10 click "$next")
on_finish=(wait-with "$wizard_title" '#2009' 10)
# A name in the local script of the system code page in force with characters
# its console code page lacks (scripts/test.sh sets AXTEST_LOCALE when it runs
# the flow under other code pages): 932 lacks "–" and "ü", 850 lacks "–" and
# "€", 437 lacks "–", "’" and "€".
case "${AXTEST_LOCALE:-}" in
    ja_JP*) local_name='移行 – Müller' ;;
    de_DE*) local_name='Migration – Müller €' ;;
    *) local_name='Migration – O’Neill €' ;;
esac

# Keeps the migration log under that name in a folder of that name in the
# user's documents; sets log_win, log_unix and log_file (its name).
use_local_log() {
    local folder_win
    folder_win="$(win_env USERPROFILE)\\Documents\\$local_name"
    mkdir -p "$(unix_path "$folder_win")"
    log_file="$local_name.log"
    log_win="$folder_win\\$log_file"
    log_unix=$(unix_path "$log_win")
    "$wine" reg add "$settings_key" /v Logfile /t REG_SZ /d "$log_win" /f >/dev/null 2>&1 ||
        fail "cannot set the log path"
}
