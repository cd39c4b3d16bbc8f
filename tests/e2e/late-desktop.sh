#!/usr/bin/env bash
# The runner's own check of Wine's virtual desktop: a desktop that comes up
# late, past the 10 s a program waits for the desktop it has Wine start,
# still gives the program a whole desktop, and the program runs once. The
# desktop's explorer.exe (the one Wine starts, C:\windows\system32\explorer.exe
# /desktop) is held for 12 s as soon as it appears, as a loaded machine once
# held it; started by the program itself, that left every window of the
# session failing and the run to be run again.
#
#   late-desktop.sh run-under-wine.sh --prefix DIR [...] program.exe [args...]
set -uo pipefail

hold=12
export PEXOR_LATE_DESKTOP_RUN="$$.$RANDOM"
out="$(mktemp)"
trap 'rm -f "$out"' EXIT

# Holds the first desktop explorer.exe whose environment carries this run's
# mark; says whether it found one before the run ended.
hold_desktop() {
  local pid
  while kill -0 "$run" 2>/dev/null; do
    for pid in $(pgrep -f 'system32.explorer\.exe /desktop'); do
      { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null |
        grep -qx "PEXOR_LATE_DESKTOP_RUN=$PEXOR_LATE_DESKTOP_RUN" || continue
      kill -STOP "$pid" && sleep "$hold" && kill -CONT "$pid" 2>/dev/null
      return 0
    done
    sleep 0.05
  done
  return 1
}

"$@" >"$out" 2>&1 &
run=$!
hold_desktop
held=$?
wait "$run"
status=$?
cat "$out"
fail() {
  echo "late-desktop: $1"
  exit 1
}
[ "$held" -eq 0 ] || fail "no desktop explorer.exe of this run was seen"
! grep -q "the run once more" "$out" || fail "the program ran in a session without a desktop"
[ "$status" -eq 0 ] || fail "the run failed ($status)"
echo "late-desktop: the desktop held $hold s; the program ran once, on a whole desktop$(
  grep -q "desktop did not start (session 1" "$out" && echo ", in a second session")"
