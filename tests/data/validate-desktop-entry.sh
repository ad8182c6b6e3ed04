#!/usr/bin/env bash
# The desktop entry passes desktop-file-validate without a single remark, hints included.
#   validate-desktop-entry.sh FILE      exits 77 (skipped) without desktop-file-validate
set -uo pipefail
command -v desktop-file-validate >/dev/null || { echo "desktop-file-validate is not installed"; exit 77; }
remarks=$(desktop-file-validate "$1" 2>&1)
status=$?
[ -n "$remarks" ] && echo "$remarks"
[ "$status" -eq 0 ] && [ -z "$remarks" ]
