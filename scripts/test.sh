#!/usr/bin/env bash
# Builds every preset and runs every test tier: host tests (ASan, UBSan), the fuzz targets for a bounded
# time, the i386 tests under qemu-i386-static, the 64-bit Windows tests under wine64 and the end-to-end
# tests of the 32-bit product under wine32, all on an Xvfb display in scratch Wine prefixes.
# Exits non-zero on any failure; ends with ctest's summary of all tiers together.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup-machine

jobs=${QUORVIN_JOBS:-$(nproc)}
presets=(host fuzz linux-i386 win64 win32)
for preset in "${presets[@]}"; do
  echo "== build $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs" >"build/$preset.build.log" 2>&1 || {
    tail -n 60 "build/$preset.build.log"; echo "build of $preset failed"; exit 1; }
done

# One display for the whole run, and the scratch prefixes made before the tests start. No Wine server
# is kept alive between tests: the services it starts would inherit ctest's output pipe and hold the
# test open after it has ended.
export DISPLAY=$(scripts/xvfb-ensure)
scripts/wine-prefix 64
scripts/wine-prefix 32

# One ctest over all builds, so that its summary covers every tier.
mkdir -p build/all
{
  echo "# Every preset's tests in one run."
  for preset in "${presets[@]}"; do echo "subdirs(\"$root/build/$preset\")"; done
} > build/all/CTestTestfile.cmake
status=0
(cd build/all && ctest --output-on-failure --timeout 1200) || status=$?
scripts/wine-run 64 wineserver -k || true
scripts/wine-run 32 wineserver -k || true
exit $status
