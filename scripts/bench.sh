#!/usr/bin/env bash
# Builds the launcher and the benchmark programs, then runs the benchmark
# under Wine and prints its table, for the 64-bit and the 32-bit program in
# turn (each against a floor built the same way). --preset windows or
# --preset windows-x86 runs one of them only. Other arguments go to the
# driver (--runs N, --idle-runs N, --idle-seconds S,
# --only start,copy,idle,shutdown,guardian).
#
# Each run has a Wine prefix of its own inside its build folder, set up by the
# same script as the end-to-end tests, so a benchmark never waits for a test
# run or disturbs one. The 32-bit program runs under Wine's WoW64, as on
# 64-bit Windows.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

presets=()
args=()
while [ $# -gt 0 ]; do
  case "$1" in
  --preset) presets+=("$2"); shift 2 ;;
  *) args+=("$1"); shift ;;
  esac
done
[ ${#presets[@]} -gt 0 ] || presets=(windows windows-x86)

cd "$root"
status=0
for preset in "${presets[@]}"; do
  case "$preset" in
  windows) what="64-bit program (preset windows)" ;;
  windows-x86) what="32-bit program (preset windows-x86)" ;;
  *) echo "bench: no preset $preset (windows, windows-x86)" >&2; exit 2 ;;
  esac
  build="$root/build/$preset"
  cmake --preset "$preset" >/dev/null
  log="$build/bench-build.log"
  mkdir -p "$build"
  if ! cmake --build --preset "$preset" --target bench >"$log" 2>&1; then
    cat "$log" >&2
    exit 1
  fi

  echo
  echo "=== $what"
  echo "machine: $(nproc) cores, $(lscpu | sed -n 's/^Model name: *//p' | head -1)," \
    "$(wine --version 2>/dev/null), load average $(cut -d' ' -f1-3 /proc/loadavg)"
  # Wine says once per shortcut that the Z: drive has no volume label; that
  # is not the benchmark's business.
  # A budget missed fails the run, after the other program has had its turn.
  PEXOR_WINE_TIMEOUT=3600 "$root/tests/e2e/run-under-wine.sh" --prefix "$build/wineprefix-bench" \
    "$build/bench/bench_driver.exe" ${args[@]+"${args[@]}"} \
    2> >(grep -v 'FS volume label and serial are not available' >&2) || status=1
done
exit "$status"
