#!/usr/bin/env bash
# The AppStream metadata validates with no error or warning, and its newest release is the
# project's version.
#   validate-metainfo.sh FILE VERSION   exits 77 (skipped) without appstreamcli
set -uo pipefail
command -v appstreamcli >/dev/null || { echo "appstreamcli is not installed"; exit 77; }
report=$(appstreamcli validate --no-net --no-color "$1" 2>&1)
status=$?
echo "$report"
[ "$status" -eq 0 ] || exit 1
if grep -Eq '^[EW]: ' <<<"$report"; then echo "errors or warnings above"; exit 1; fi
newest=$(grep -o '<release version="[^"]*"' "$1" | head -n 1 | cut -d'"' -f2)
[ "$newest" = "$2" ] || { echo "newest release is '$newest', the project is at '$2'"; exit 1; }
