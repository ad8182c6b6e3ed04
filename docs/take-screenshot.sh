#!/usr/bin/env bash
# Takes docs/screenshot.png (the README's and the AppStream metadata's picture): build/bin/quillet
# in a scratch home whose library holds docs/screenshot-note.md and two folders, the note open
# beside its preview, on a virtual display. Build first: cmake --build build --target quillet
set -euo pipefail
cd "$(dirname "$0")/.."
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
library=$scratch/home/Documents/Quillet
mkdir -p "$library/Recipes" "$library/Travel" "$scratch/run"
chmod 700 "$scratch/run"
cp docs/screenshot-note.md "$library/Release notes.md"
printf '# Sourdough bread\n\n- 500 g flour\n- 350 g water\n' >"$library/Recipes/Bread.md"
printf '# Kyoto in spring\n\n1. Fushimi Inari at dawn\n' >"$library/Travel/Kyoto.md"
# A runtime folder of its own, so that a Quillet already running elsewhere is not handed the job.
env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_CACHE_HOME -u XDG_STATE_HOME \
    HOME="$scratch/home" XDG_RUNTIME_DIR="$scratch/run" \
    xvfb-run -a -s "-screen 0 1280x800x24" build/bin/quillet --preview \
    --open "$library/Release notes.md" --screenshot "$PWD/docs/screenshot.png" --quit
