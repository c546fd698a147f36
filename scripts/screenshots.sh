#!/usr/bin/env bash
# Makes the README's screenshots (docs/*.png) from the 32-bit product under wine32 on Xvfb: the first
# screen, the main screen after a draw and an award, and the saved-winners message box.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup-machine
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target screenshots Quorvin -j "$(nproc)" >/dev/null
export DISPLAY=$(scripts/xvfb-ensure)
export QUORVIN_WINE_PREFIXES="$root/build/wine-shots"
scripts/wine-prefix 32
out=$(mktemp -d)
scripts/wine-run 32 build/win32/tests/windows/screenshots.exe "Z:${root//\//\\}\\build\\win32\\Quorvin.exe" \
  "Z:${out//\//\\}"
mkdir -p docs
for shot in first-screen after-award message-box; do
  convert "$out/$shot.bmp" "docs/$shot.png"
  echo "docs/$shot.png"
done
rm -rf "$out"
scripts/wine-run 32 wineserver -k || true
