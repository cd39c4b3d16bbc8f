#!/usr/bin/env bash
# Runs every test: the lint (scripts/lint.sh), the native unit tests against
# the simulated desktop, then the end-to-end tests under Wine, on the 64-bit and on the 32-bit Windows
# program (the 32-bit one under Wine's WoW64, as on 64-bit Windows). Installs
# what is missing first. Exits non-zero when anything fails to build or pass.
#
# The end-to-end tests move the mouse and change the display mode, so they
# run on an Xvfb display of their own, never on the desktop in DISPLAY;
# PEXOR_TEST_DISPLAY names a display to use instead.
set -uo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

if ! ./scripts/setup.sh --check; then
  ./scripts/setup.sh --no-build || exit 1
fi

if [ -n "${PEXOR_TEST_DISPLAY:-}" ]; then
  export DISPLAY="$PEXOR_TEST_DISPLAY"
else
  unset DISPLAY
fi

status=0
passed=0
failed=0
summary=()

# One layer: configure, build, ctest (with any extra ctest arguments); adds
# its counts to the totals.
run_layer() {
  local name="$1" preset="$2" started log rc
  shift 2
  started=$(date +%s)
  log="$(mktemp)"
  echo "=== $name: build (preset $preset)"
  if cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset"; then
    echo "=== $name: tests"
    ctest --preset "$preset" --no-tests=error --output-on-failure "$@" 2>&1 | tee "$log"
    rc=${PIPESTATUS[0]}
  else
    echo "=== $name: build failed"
    rc=1
  fi
  local line total bad
  line="$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)"
  if [ -n "$line" ]; then
    bad="$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")"
    total="$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")"
    passed=$((passed + total - bad))
    failed=$((failed + bad))
  fi
  local retried
  retried="$(grep -c -E '\*\*\*(Failed|Timeout|Exception)' "$log")"
  rm -f "$log"
  [ "$rc" -eq 0 ] || status=1
  summary+=("$name: $([ "$rc" -eq 0 ] && echo passed || echo FAILED) in $(($(date +%s) - started)) s$(
    [ "$rc" -eq 0 ] && [ "$retried" -gt 0 ] && echo ", $retried failed attempt(s) passed when run again")")
}

# Lint first: clang-format and clang-tidy over both trees; one check in the
# totals, failed on any finding.
started=$(date +%s)
echo "=== lint (scripts/lint.sh)"
if ./scripts/lint.sh; then
  passed=$((passed + 1))
  summary+=("lint: passed in $(($(date +%s) - started)) s")
else
  failed=$((failed + 1))
  status=1
  summary+=("lint: FAILED in $(($(date +%s) - started)) s")
fi

run_layer "unit tests (native)" native
# Real input and a real display under Wine and Xvfb: a case that fails is run
# once more (its first output stays in the log above); one that fails twice
# fails the run.
run_layer "end-to-end tests (64-bit Windows build under Wine)" windows --repeat until-pass:2
run_layer "end-to-end tests (32-bit Windows build under Wine)" windows-x86 --repeat until-pass:2

echo
printf '%s\n' "${summary[@]}"
echo "total: $passed passed, $failed failed"
exit "$status"
