#!/usr/bin/env bash
# Plays one end-to-end case many times on a loaded processor, as a player's
# busy machine is, and keeps the program's trace of every run that misses.
# Not part of the test command: a soak takes many minutes.
#
#   ./scripts/soak.sh [--preset windows|windows-x86] [--runs N] [--load N] CASE
#
# CASE is a GoogleTest name of the end-to-end driver, for example
# RealEmulator.PicksReachItAwayAndBackAndTheGameEndsFromInside or
# Road.PlayAwayBackAndEndWithTheGame. --runs (50) runs one after the other,
# beside --load (2) processes that keep a core busy each. Each run's output,
# with the launcher's trace (Wine's +debugstr channel), goes to
# build/<preset>/soak/<CASE>/run-<K>.log; the logs of the runs that passed are
# removed. It ends with "N runs, M misses" and exits non-zero on any miss.
# PEXOR_SOAK_CHANNELS adds Wine debug channels to the trace (say +dinput).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

preset=""
runs=50
load=2
while [ $# -gt 1 ]; do
  case "$1" in
  --preset) preset="$2"; shift 2 ;;
  --runs) runs="$2"; shift 2 ;;
  --load) load="$2"; shift 2 ;;
  *) break ;;
  esac
done
if [ $# -ne 1 ]; then
  echo "usage: $0 [--preset windows|windows-x86] [--runs N] [--load N] CASE" >&2
  exit 2
fi
case_name="$1"
if [ -z "$preset" ]; then
  preset=windows-x86
  if [ -x /usr/lib/wine/wine ] && ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    preset=windows # no 32-bit program runs here
  fi
fi

build="$root/build/$preset"
cmake --preset "$preset" >/dev/null
targets=(PexorLauncher pexor_e2e)
[[ "$case_name" != RealEmulator* ]] || targets+=(e2e_ship_real)
cmake --build --preset "$preset" --target "${targets[@]}" >/dev/null

# The case's environment as CTest sets it (the locale of the ...System
# suites, a scaled display, a small disk: cmake/e2e.cmake), so the soak plays
# the case the test command plays.
while IFS= read -r setting; do
  [ -z "$setting" ] || export "${setting?}"
done < <(ctest --test-dir "$build" --show-only=json-v1 -R "^e2e\.${case_name//./\\.}\$" |
  python3 -c '
import json, sys
for test in json.load(sys.stdin)["tests"]:
    for prop in test.get("properties", []):
        if prop["name"] == "ENVIRONMENT":
            print("\n".join(prop["value"]))')

logs="$build/soak/$case_name"
rm -rf "$logs"
mkdir -p "$logs"

hogs=()
stop_hogs() {
  [ ${#hogs[@]} -eq 0 ] || kill "${hogs[@]}" 2>/dev/null || true
}
trap stop_hogs EXIT
for _ in $(seq 1 "$load"); do
  (while :; do :; done) &
  hogs+=($!)
done

misses=0
for run in $(seq 1 "$runs"); do
  log="$logs/run-$run.log"
  started=$(date +%s)
  if PEXOR_TRACE=1 WINEDEBUG="-all,+debugstr${PEXOR_SOAK_CHANNELS:+,$PEXOR_SOAK_CHANNELS}" "$root/tests/e2e/run-under-wine.sh" --prefix "$build/wineprefix" \
    --pool "$build/e2e/pexor_e2e.exe" --gtest_filter="$case_name" >"$log" 2>&1 &&
    grep -q '^\[  PASSED  \] 1 test' "$log"; then
    rm -f "$log"
    printf 'run %d: passed in %d s\n' "$run" "$(($(date +%s) - started))"
  else
    misses=$((misses + 1))
    printf 'run %d: MISSED in %d s, its trace: %s\n' "$run" "$(($(date +%s) - started))" "$log"
    grep -E 'Failure|^ +(Expected|Value of|Actual)|never|did not' "$log" | head -n 6 | sed 's/^/    /' || true
  fi
done
echo "$case_name on $preset, load $load: $runs runs, $misses misses"
[ "$misses" -eq 0 ]
