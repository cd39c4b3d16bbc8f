#!/usr/bin/env bash
# Runs the tests. Installs what is missing first. Exits non-zero when anything
# fails to build or pass.
#
#   ./scripts/test.sh          everything: the lint (scripts/lint.sh), the native
#                              unit and contract tests against the simulated
#                              desktop, and the end-to-end tests under Wine on
#                              the 64-bit and on the 32-bit Windows program (the
#                              32-bit one under Wine's WoW64, as on 64-bit Windows)
#   ./scripts/test.sh --quick  the inner loop: the format check, the native build,
#                              the native unit and contract tests
#
# Everything runs side by side on the machine's cores: the work that only
# needs the processor (builds, clang-tidy, the unit tests) at a lower priority,
# so the end-to-end cases, which run in real time, get the processor first.
# Each step's output goes to build/test-logs/<the run's start>/ (the newest
# run's is build/test-logs/last/); a failing step's log is printed in full at
# the end, with a line per step saying how long it took.
#
# The end-to-end tests move the mouse and change the display mode, so they
# run on an Xvfb display of their own, never on the desktop in DISPLAY;
# PEXOR_TEST_DISPLAY names a display to use instead (then one case at a time).
# PEXOR_E2E_JOBS sets how many end-to-end cases of each program run at once.
set -uo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

quick=""
case "${1:-}" in
"") ;;
--quick) quick=1 ;;
*)
  echo "usage: $0 [--quick]" >&2
  exit 2
  ;;
esac

if ! ./scripts/setup.sh --check; then
  ./scripts/setup.sh --no-build || exit 1
fi

e2e_jobs="${PEXOR_E2E_JOBS:-2}"
if [ -n "${PEXOR_TEST_DISPLAY:-}" ]; then
  export DISPLAY="$PEXOR_TEST_DISPLAY"
  # One display for every case: they would move each other's mouse.
  e2e_jobs=1
else
  unset DISPLAY
fi

# Each run's logs go to a folder of their own, named by the run's start,
# which no later run writes into: build/test-logs/<date>-<time>/, with
# build/test-logs/last leading to the newest. The ten newest runs are kept,
# and the newest failed one however old, so a failure stays to be read.
all_logs="$root/build/test-logs"
mkdir -p "$all_logs"
# The logs of the time when every run wrote into the one folder.
rm -f "$all_logs"/*.log "$all_logs"/*.result "$all_logs"/*.over "$all_logs"/.times.*
prune_logs() {
  local runs keep_failed run
  mapfile -t runs < <(find "$all_logs" -mindepth 1 -maxdepth 1 -type d -name '20*' | sort -r)
  keep_failed="$(for run in "${runs[@]}"; do [ -f "$run/FAILED" ] && echo "$run" && break; done)"
  for run in "${runs[@]:9}"; do
    [ "$run" = "$keep_failed" ] || rm -rf "$run"
  done
}
prune_logs
run_name="$(date +%Y%m%d-%H%M%S)"
[ ! -e "$all_logs/$run_name" ] || run_name="$run_name-$$"
mkdir "$all_logs/$run_name" || exit 1
logs="$all_logs/$run_name"
shown_logs="build/test-logs/$run_name"
ln -sfn "$run_name" "$all_logs/last"
# What the command prints goes there too.
exec > >(tee "$logs/output.log") 2>&1
tee_pid=$!
# The runs in which Wine did not start a program or its desktop, run again
# by the runner.
export PEXOR_WINE_RESTARTS="$logs/wine-restarts.log"
t0=$(date +%s)
since() { echo $(($(date +%s) - t0)); }

# The processor time this shell's ended children took, in milliseconds, into
# the variable named: `times` must run in this shell, as a subshell's would
# count none of them.
children_cpu() {
  local user sys
  times >"$logs/.times.$BASHPID"
  { read -r _ && read -r user sys; } <"$logs/.times.$BASHPID"
  printf -v "$1" '%d' "$(($(to_ms "$user") + $(to_ms "$sys")))"
}
# 1m2.345s as 62345.
to_ms() {
  local minutes="${1%%m*}" seconds="${1#*m}"
  seconds="${seconds%s}"
  echo $((minutes * 60000 + ${seconds%.*} * 1000 + 10#${seconds#*.}))
}

# One step: runs the command with its output in build/test-logs/NAME.log and
# records how it went in NAME.result: exit code, start and end (seconds from
# the start of the run) and the processor seconds it took.
step() {
  local name="$1" started rc before after
  shift
  started=$(since)
  printf '[%4d s] %s: started\n' "$started" "$name"
  children_cpu before
  "$@" >"$logs/$name.log" 2>&1 </dev/null
  rc=$?
  children_cpu after
  echo "$rc $started $(since) $(((after - before) / 1000))" >"$logs/$name.result"
  printf '[%4d s] %s: %s\n' "$(since)" "$name" "$([ "$rc" -eq 0 ] && echo done || echo FAILED)"
  return "$rc"
}

# Waits until the step has ended (its result is written).
wait_for() { while [ ! -f "$logs/$1.result" ]; do sleep 1; done; }

# The work that only needs the processor yields it to the end-to-end cases.
background() (
  renice -n 10 -p "$BASHPID" >/dev/null
  "$@"
)
# The builds that cases wait for, the second program's and the emulator's,
# yield to the cases but not to the lint, which no one waits for: so the
# cases, which take real time more than processor, run beside the lint
# instead of after it (and the emulator's configure scripts, one process at a
# time, do not starve behind the lint's).
before_background() (
  renice -n 5 -p "$BASHPID" >/dev/null
  "$@"
)

build() {
  # Where its cases cannot run, the 32-bit tree builds the program alone.
  if [ "$1" = windows-x86 ] && ! host_runs_32bit; then
    cmake --build --preset "$1" --target PexorLauncher
  else
    cmake --build --preset "$1"
  fi
}

ctest_run() {
  local preset="$1"
  shift
  ctest --preset "$preset" --no-tests=error --output-on-failure "$@"
}

# Real input and a real display under Wine and Xvfb. A run in which Wine
# itself did not start a program is run once more by the runner
# (tests/e2e/run-under-wine.sh); a case that fails fails the run. Each case's
# output carries the launcher's trace (asked for with PEXOR_TRACE=1, on Wine's
# +debugstr channel): a case that fails shows what the launcher saw and did.
e2e_run() {
  local preset="$1" name="$2" rc
  shift 2
  PEXOR_TRACE=1 WINEDEBUG=-all,+debugstr ctest_run "$preset" -j "$e2e_jobs" "$@"
  rc=$?
  # Every case's output, the passing ones' too, beside the step's log: what
  # a failed case's neighbours saw at that moment.
  cp "build/$preset/Testing/Temporary/LastTest.log" "$logs/$name.cases.log" 2>/dev/null
  return "$rc"
}

# Wine's 32-bit loader is a 32-bit Linux program; a kernel without IA-32
# emulation starts none, and then no 32-bit Windows program runs here.
host_runs_32bit() {
  [ ! -x /usr/lib/wine/wine ] || /usr/lib/wine/wine --version >/dev/null 2>&1
}
e2e_skipped() {
  echo "SKIPPED: this machine's kernel runs no 32-bit Linux program (no IA-32 emulation), so"
  echo "Wine runs no 32-bit Windows program here: the 32-bit program is built, not run."
  ctest --preset windows-x86 -N | tail -n 1
}

# A program's end-to-end cases: those against the stand-in as soon as it is
# built, those against the real emulator once that is built too.
e2e_program() {
  local preset="$1"
  if [ "$preset" = windows-x86 ] && ! host_runs_32bit; then
    step "e2e-$preset" e2e_skipped
    step "e2e-$preset-real" e2e_skipped
    return
  fi
  step "e2e-$preset" e2e_run "$preset" "e2e-$preset" -LE real_emulator
  wait_for build-emulator
  step "e2e-$preset-real" e2e_run "$preset" "e2e-$preset-real" -L real_emulator
}

if [ -n "$quick" ]; then
  step format ./scripts/lint.sh --format
  step configure-native ./scripts/configure.sh native &&
    step build-native build native &&
    step tests-native ctest_run native -j 2
else
  # Configure the three trees side by side (mostly the cross compilers'
  # checks), each with the one generated source the lint reads, so that the
  # lint need not touch a tree while it builds. The steps' processes are
  # waited for by their ids: a bare `wait` waits for the tee of the output too.
  steps=()
  for preset in native windows-x86 windows; do
    step "configure-$preset" ./scripts/configure.sh "$preset" --generated &
    steps+=($!)
  done
  wait "${steps[@]}"
  steps=()
  # The program whose cases run here first (the 32-bit one, whose run is the
  # longest, where it runs at all), then the other one.
  first=windows-x86
  second=windows
  if ! host_runs_32bit; then
    first=windows
    second=windows-x86
  fi
  # The real emulator, when this tree builds one: once per tree, long, only
  # the processor, wanted only by the last cases. (The 64-bit tree's target
  # builds the one its road plays against.)
  if [ -x scripts/build-emulator.sh ]; then
    step build-emulator before_background cmake --build --preset windows --target emulator &
    steps+=($!)
  else
    echo "0 0 0" >"$logs/build-emulator.result"
  fi
  {
    step "build-$first" build "$first" && e2e_program "$first"
    touch "$logs/$first.over"
  } &
  steps+=($!)
  {
    wait_for "build-$first"
    step "build-$second" before_background build "$second" || exit
    # One display for both programs: one after the other.
    [ -z "${PEXOR_TEST_DISPLAY:-}" ] || while [ ! -f "$logs/$first.over" ]; do sleep 1; done
    e2e_program "$second"
  } &
  steps+=($!)
  # The lint and the native tree, which no case waits for, side by side: the
  # unit tests leave the processor idle between their cases, and the lint's
  # files fill it, where one after the other the run ended with both.
  PEXOR_LINT_CONFIGURED=1 step lint background ./scripts/lint.sh &
  steps+=($!)
  {
    step build-native background build native &&
      step tests-native background ctest_run native -j 2
  } &
  steps+=($!)
  wait "${steps[@]}"
fi

# --- The report --------------------------------------------------------------

passed=0
failed=0
status=0
summary=()

result() { cat "$logs/$1.result" 2>/dev/null; }
ok() { [ "$(result "$1" | cut -d' ' -f1)" = 0 ]; }
took() {
  local rc started ended
  read -r rc started ended _ < <(result "$1") || return
  echo "$((ended - started)) s"
}

# A CTest layer: its counts into the totals, its line into the summary.
layer() {
  local title="$1" build="$2" tests="$3" log="$logs/$3.log" line total bad
  if [ ! -f "$logs/$build.result" ]; then
    return
  fi
  if ! ok "$build"; then
    echo "=== $title: build failed ($shown_logs/$build.log)"
    tail -n 60 "$logs/$build.log"
    summary+=("$title: build FAILED in $(took "$build")")
    status=1
    return
  fi
  if grep -q '^SKIPPED:' "$log" 2>/dev/null; then
    echo "=== $title: built; $(grep -A1 '^SKIPPED:' "$log" | tr '\n' ' ')"
    summary+=("$title: built, SKIPPED: this machine runs no 32-bit program")
    return
  fi
  line="$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" 2>/dev/null | tail -n 1)"
  if [ -n "$line" ]; then
    bad="$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")"
    total="$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")"
    passed=$((passed + total - bad))
    failed=$((failed + bad))
  elif line="$(grep -E '^Total Tests: [0-9]+' "$log" 2>/dev/null)"; then
    # Not run at all (see the log): every case counts as failed.
    total="${line##* }"
    failed=$((failed + total))
  else
    failed=$((failed + 1))
  fi
  if ok "$tests"; then
    echo "=== $title: $(grep -E 'tests passed' "$log" | tail -n 1)"
    summary+=("$title: passed in $(took "$tests")")
  else
    echo "=== $title: FAILED ($shown_logs/$tests.log)"
    cat "$log"
    summary+=("$title: FAILED in $(took "$tests")")
    status=1
  fi
}

echo
if [ -f "$logs/format.result" ]; then
  if ok format; then
    passed=$((passed + 1))
    summary+=("format: passed in $(took format)")
  else
    cat "$logs/format.log"
    failed=$((failed + 1))
    status=1
    summary+=("format: FAILED")
  fi
fi
if [ -f "$logs/lint.result" ]; then
  # The lint counts as one check.
  if ok lint; then
    passed=$((passed + 1))
    echo "=== lint: $(tail -n 1 "$logs/lint.log")"
    summary+=("lint: passed in $(took lint)")
  else
    echo "=== lint: FAILED ($shown_logs/lint.log)"
    cat "$logs/lint.log"
    failed=$((failed + 1))
    status=1
    summary+=("lint: FAILED in $(took lint)")
  fi
fi
for preset in native windows-x86 windows; do
  if [ -f "$logs/configure-$preset.result" ] && ! ok "configure-$preset"; then
    echo "=== configure $preset: FAILED"
    cat "$logs/configure-$preset.log"
    status=1
  fi
done
layer "unit tests (native)" build-native tests-native
layer "end-to-end tests (64-bit Windows build under Wine)" build-windows e2e-windows
layer "end-to-end tests against the real emulator (64-bit build)" build-windows e2e-windows-real
layer "end-to-end tests (32-bit Windows build under Wine)" build-windows-x86 e2e-windows-x86
layer "end-to-end tests against the real emulator (32-bit build)" build-windows-x86 e2e-windows-x86-real
if [ -f "$logs/build-emulator.result" ] && ! ok build-emulator; then
  echo "=== the real emulator: build FAILED ($shown_logs/build-emulator.log)"
  tail -n 60 "$logs/build-emulator.log"
  summary+=("the real emulator: build FAILED")
  status=1
fi

if [ -f "$PEXOR_WINE_RESTARTS" ]; then
  echo "=== runs in which Wine did not start a program or its desktop, run again (their first output):"
  cat "$PEXOR_WINE_RESTARTS"
  summary+=("Wine did not start a program or its desktop in $(grep -c '^=== run again' "$PEXOR_WINE_RESTARTS") run(s), each run again")
fi

# When each step ran, in seconds from the start: where the time goes.
echo
echo "steps (seconds from the start, load average $(cut -d' ' -f1-3 /proc/loadavg) at the end):"
for file in "$logs"/*.result; do
  read -r rc started ended cpu <"$file"
  printf '  %-22s %4d - %4d  (%d s, processor %d s)%s\n' "$(basename "$file" .result)" "$started" \
    "$ended" "$((ended - started))" "${cpu:-0}" "$([ "$rc" -eq 0 ] || echo ', FAILED')"
done | sort -n -k2
all_cpu=0
children_cpu all_cpu
echo "all: $(since) s, processor $((all_cpu / 1000)) s"
echo
printf '%s\n' "${summary[@]}"
rm -f "$logs"/.times.*
[ "$status" -eq 0 ] || touch "$logs/FAILED"
echo "total: $passed passed, $failed failed; logs in $shown_logs/"
# The last lines into the log before the command ends.
exec >&- 2>&-
wait "$tee_pid"
exit "$status"
