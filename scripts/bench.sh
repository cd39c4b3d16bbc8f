#!/usr/bin/env bash
# Builds the launcher and the benchmark programs, then runs the benchmark
# under Wine and prints its table. Extra arguments go to the driver
# (--runs N, --idle-runs N, --idle-seconds S, --only start,copy,idle,shutdown).
#
# The run has a Wine prefix of its own inside the build folder, set up by the
# same script as the end-to-end tests, so a benchmark never waits for a test
# run or disturbs one.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build/windows"

cd "$root"
cmake --preset windows >/dev/null
log="$build/bench-build.log"
mkdir -p "$build"
if ! cmake --build --preset windows --target bench >"$log" 2>&1; then
  cat "$log" >&2
  exit 1
fi

echo
echo "machine: $(nproc) cores, $(lscpu | sed -n 's/^Model name: *//p' | head -1)," \
  "$(wine --version 2>/dev/null), load average $(cut -d' ' -f1-3 /proc/loadavg)"
# Wine says once per shortcut that the Z: drive has no volume label; that is
# not the benchmark's business.
PEXOR_WINE_TIMEOUT=3600 "$root/tests/e2e/run-under-wine.sh" --prefix "$build/wineprefix-bench" \
  "$build/bench/bench_driver.exe" "$@" 2> >(grep -v 'FS volume label and serial are not available' >&2)
