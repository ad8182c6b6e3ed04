#!/usr/bin/env bash
# `cmake --install` lays out every file a desktop expects, under a scratch prefix.
#   check-install.sh BUILD_FOLDER
set -uo pipefail
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$1" --prefix "$prefix" >/dev/null || exit 1

expected=(bin/quillet bin/quillet-md2html
    share/applications/org.quillet.Quillet.desktop share/metainfo/org.quillet.Quillet.metainfo.xml
    share/icons/hicolor/scalable/apps/org.quillet.Quillet.svg
    share/quillet/css/markdown.css share/man/man1/quillet.1.gz share/man/man1/quillet-md2html.1.gz
    "share/quillet/guide/Quillet Guide.md" "share/quillet/guide/ja/Quillet Guide.md")
for size in 16 22 24 32 48 64 128 256 512; do
    expected+=("share/icons/hicolor/${size}x${size}/apps/org.quillet.Quillet.png")
done
failed=0
for file in "${expected[@]}"; do
    [ -s "$prefix/$file" ] || { echo "missing: $file"; failed=1; }
done
# Each picture has the size its folder names.
for png in "$prefix"/share/icons/hicolor/*x*/apps/*.png; do
    size=$(basename "$(dirname "$(dirname "$png")")")
    actual=$(file -b "$png" | grep -Eo '[0-9]+ x [0-9]+' | tr -d ' ')
    [ "$actual" = "$size" ] || { echo "$png is $actual"; failed=1; }
done
"$prefix/bin/quillet-md2html" --help >/dev/null || { echo "the installed converter does not run"; failed=1; }
exit "$failed"
