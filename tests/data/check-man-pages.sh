#!/usr/bin/env bash
# The manual pages format without a warning and name every option the programs take: those
# quillet-md2html prints in its help, and those app/LaunchOptions.cpp declares.
#   check-man-pages.sh MAN_FOLDER LAUNCH_OPTIONS_CPP QUILLET_MD2HTML   exits 77 without man
set -uo pipefail
command -v man >/dev/null || { echo "man is not installed"; exit 77; }
pages=$1 failed=0

# The page formats without warnings, and its text (hyphens as typed) names every OPTION.
check() { # PAGE OPTION...
    local page=$1 text warnings
    shift
    warnings=$(MANWIDTH=200 LC_ALL=C.UTF-8 man --warnings -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || { echo "$page: $warnings"; failed=1; }
    text=$(MANWIDTH=200 LC_ALL=C.UTF-8 man -l "$page" 2>/dev/null | sed 's/‐/-/g')
    for option in "$@"; do
        grep -q -- "$option\b" <<<"$text" || { echo "$page does not name $option"; failed=1; }
    done
}

app_options=$(grep -Eo 'QCommandLineOption [A-Za-z]+\(\s*QStringLiteral\("[a-z-]+"\)' -z "$2" |
              tr '\0' '\n' | grep -Eo '"[a-z-]+"' | tr -d '"' | sed 's/^/--/')
[ -n "$app_options" ] || { echo "no options found in $2"; exit 1; }
check "$pages/quillet.1" $app_options

converter_options=$("$3" --help | grep -Eo -- '--[a-z-]+' | sort -u)
[ -n "$converter_options" ] || { echo "no options in the help of $3"; exit 1; }
check "$pages/quillet-md2html.1" $converter_options
exit "$failed"
