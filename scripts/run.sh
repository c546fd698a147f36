#!/usr/bin/env bash
# Builds Quorvin and starts it: the 32-bit product under wine32 (natively where the kernel runs 32-bit
# programs, through ../shared/tools/wine32-qemu where it does not), otherwise the 64-bit build under
# wine64; always in code page 936 and in a Wine prefix of its own (build/wine-run), so that
# C:\Quorvin.ini lies in that prefix's drive_c. Without a display it starts Xvfb, lets the window come
# up, writes a screenshot, prints its path and ends the program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup-machine

mkdir -p build
probe=build/probe-i386
if [ ! -x "$probe" ]; then
  printf 'int main(void){return 0;}\n' > build/probe-i386.c
  gcc -m32 -static -O1 build/probe-i386.c -o "$probe"
fi
if { "$probe" 2>/dev/null && ! [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ]; } ||
   [ -f "$root/../shared/tools/wine32-qemu/wine32" ]; then
  preset=win32 bits=32
else
  preset=win64 bits=64
fi
echo "run: building the $preset program"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target Quorvin -j "$(nproc)" >/dev/null
program="$root/build/$preset/Quorvin.exe"

export QUORVIN_WINE_PREFIXES="$root/build/wine-run"
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  scripts/wine-prefix "$bits"
  exec scripts/wine-run "$bits" "$program"
fi

export DISPLAY=$(scripts/xvfb-ensure)
scripts/wine-prefix "$bits"
scripts/wine-run "$bits" "$program" &
for _ in $(seq 1 240); do
  window=$(xwininfo -root -tree 2>/dev/null | grep -m1 'Quorvin - ' | awk '{print $1}') || true
  [ -n "$window" ] && break
  sleep 0.5
done
if [ -z "${window:-}" ]; then
  echo "run: the window did not come up" >&2
  scripts/wine-run "$bits" wineserver -k || true
  exit 1
fi
sleep 3  # let it finish painting
shot="$root/build/quorvin-screenshot.png"
import -window "$window" "$shot"
echo "run: screenshot of the running program: $shot"
scripts/wine-run "$bits" wineserver -k || true
