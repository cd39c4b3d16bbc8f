#!/usr/bin/env bash
# Runs one Windows program under Wine, as the end-to-end tests and the demo
# need it:
#   - in a Wine prefix of the build's own (created once), whose Documents,
#     Desktop and other user folders are real folders inside the prefix rather
#     than Wine's links to $HOME, so a run never writes outside the build tree;
#   - inside Wine's virtual desktop (1280x1024), where display-mode changes
#     are real: the prefix's default desktop is set in its registry, so the
#     program's exit code comes back, unlike with `explorer /desktop=`; the
#     desktop is brought up first and the program started once it shows
#     (exit code 5 when three sessions in a row had none);
#   - on the X display in DISPLAY, or on an Xvfb of its own when there is none.
# After the program ends, every Wine process of the prefix is ended, so no
# stray window or emulator carries over into the next run.
# PEXOR_DPI (say 144, a display at 150 %) runs it on a scaled display: in a
# prefix of its own, beside the given one, whose registry holds that DPI.
#
# Usage: run-under-wine.sh --prefix DIR [--pool] [--timeout SECONDS] program.exe [arguments...]
# Runs on one prefix wait for each other. With --pool, DIR is only the model:
# each run takes a copy of its own that no other run is using (DIR.1, DIR.2,
# ..., made on first use and made anew when the model changes), so runs side
# by side each have their own registry, Documents folder and Wine server.
# With PEXOR_SMALL_DISK=SIZE (for example 4m) the folder C:\small-disk is a
# file system of that size (tmpfs) for this run only, in a mount namespace of
# the run's own, so a test can fill a disk.
set -euo pipefail

if [ -n "${PEXOR_SMALL_DISK:-}" ] && [ -z "${PEXOR_MOUNT_NAMESPACE:-}" ]; then
  namespace=(unshare --mount --propagation private)
  [ "$(id -u)" = 0 ] || namespace=(unshare --map-root-user --mount --propagation private)
  PEXOR_MOUNT_NAMESPACE=1 exec "${namespace[@]}" "$0" "$@"
fi

prefix=""
pool=""
limit="${PEXOR_WINE_TIMEOUT:-200}"
while [ $# -gt 0 ]; do
  case "$1" in
  --prefix) prefix="$2"; shift 2 ;;
  --pool) pool=1; shift ;;
  --timeout) limit="$2"; shift 2 ;;
  --) shift; break ;;
  *) break ;;
  esac
done
if [ -z "$prefix" ] || [ $# -eq 0 ]; then
  echo "usage: $0 --prefix DIR [--pool] [--timeout SECONDS] program.exe [args...]" >&2
  exit 2
fi
prefix="$(realpath -m "$prefix")" # Wine takes no relative prefix
base="$prefix"
dpi="${PEXOR_DPI:-96}"
if [ "$dpi" != 96 ]; then
  prefix="$prefix-dpi$dpi"
fi

export WINEPREFIX="$prefix"
# Wine's own diagnostics of a session without a display driver (below) are
# always shown.
export WINEDEBUG="${WINEDEBUG:--all},err+winediag"
# No prompts to install Mono or Gecko, nothing here needs them; and no menu
# entries or file associations written into the home folder.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEARCH=win64
export LANG="${LANG:-C.UTF-8}"

# Debian's `wine` starts Wine's 32-bit loader whenever wine32 is installed, and
# that loader is a 32-bit Linux program: a kernel without IA-32 emulation
# cannot start it ("Exec format error"). There only the 64-bit loader runs, and
# only 64-bit Windows programs with it.
host_runs_32bit() {
  [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1
}
wine=(wine)
if [ -x /usr/lib/wine/wine64 ] && [ -x /usr/lib/wine/wine ] && ! host_runs_32bit; then
  wine=(env WINELOADER=/usr/lib/wine/wine64 /usr/lib/wine/wine64)
  # The emulator is then a 64-bit build, whose SDL hangs in its DirectX output
  # under Wine; its GDI output works.
  export SDL_VIDEODRIVER="${SDL_VIDEODRIVER:-windib}"
fi

# Bump when the prefix set-up below changes, so old prefixes are made anew.
readonly PREFIX_VERSION=3
readonly DESKTOP_NAME=Default DESKTOP_SIZE=1280x1024
# How long Wine's virtual desktop may take to show (see start_desktop).
readonly DESKTOP_WAIT=60

# Wine and the programs it starts must not hold the locks below: Wine's server
# outlives the run by a few seconds.
in_wine() {
  "${wine[@]}" "$@" 7>&- 8>&- 9>&-
}
copy=""

xvfb_pid=""
watchdog_pid=""
# The server lives on a moment after -k returns: the prefix's lock is let go
# only once it is gone (or after 30 s), else the next run's programs may reach
# the dying server and fail to start (seen once under load: "ShellExecuteEx
# failed: Internal error").
end_wine() {
  wineserver -k >/dev/null 2>&1 || true
  timeout 30 wineserver -w >/dev/null 2>&1 || true
}
cleanup() {
  end_wine
  if [ -n "$watchdog_pid" ]; then
    kill "$watchdog_pid" 2>/dev/null || true
  fi
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
}
trap cleanup EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

# Ends the display and Wine if this script is killed outright (a test
# runner's time limit), when no trap can run. It keeps the prefix's lock until
# Wine is gone.
start_watchdog() {
  local parent=$$
  (
    while kill -0 "$parent" 2>/dev/null; do sleep 2 8>&- 9>&-; done
    end_wine
    [ -z "$xvfb_pid" ] || kill "$xvfb_pid"
  ) </dev/null >/dev/null 2>&1 &
  watchdog_pid=$!
}

start_xvfb() {
  local fifo
  fifo="$(mktemp -u)"
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "${DESKTOP_SIZE}x24" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  xvfb_pid=$!
  local number=""
  read -r -t 20 number <"$fifo" || true
  rm -f "$fifo"
  if [ -z "$number" ]; then
    echo "run-under-wine: Xvfb did not start" >&2
    exit 3
  fi
  export DISPLAY=":$number"
}

# Marks a finished prefix: the set-up's version and a mark of this making, by
# which its copies tell that they are still copies of it.
stamp_prefix() {
  echo "$PREFIX_VERSION $(date +%s%N) $$" >"$WINEPREFIX/.pexor-prefix"
}

# The prefix at 96 DPI, made from nothing.
make_prefix() {
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  in_wine wineboot -i >/dev/null 2>&1
  wineserver -w
  # Wine links these to the user's home folder; give them folders of their own.
  local user_dir link
  for user_dir in "$WINEPREFIX"/drive_c/users/*; do
    [ "$(basename "$user_dir")" = "Public" ] && continue
    for link in "$user_dir"/*; do
      if [ -L "$link" ]; then
        rm "$link"
        mkdir "$link"
      fi
    done
  done
  in_wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d "$DESKTOP_NAME" /f >/dev/null 2>&1
  in_wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v "$DESKTOP_NAME" /d "$DESKTOP_SIZE" /f \
    >/dev/null 2>&1
  wineserver -w
  stamp_prefix
}

# The scaled prefix: a copy of the one at 96 DPI with the DPI in its registry.
make_scaled_prefix() {
  rm -rf "$WINEPREFIX"
  cp -a "$base" "$WINEPREFIX"
  in_wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
    >/dev/null 2>&1
  in_wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
    /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  wineserver -w
  stamp_prefix
}

# Wine's 32-bit part on this machine: a prefix made without it cannot run
# 32-bit programs even after it is installed ("could not load kernel32.dll").
host_has_wine32() {
  local dll
  host_runs_32bit || return 1
  for dll in /usr/lib/i386-linux-gnu/wine/i386-windows/kernel32.dll \
    /usr/lib/wine/i386-windows/kernel32.dll /usr/lib32/wine/i386-windows/kernel32.dll; do
    [ -f "$dll" ] && return 0
  done
  return 1
}

# A 32-bit (i386) Windows program, from its PE header's machine field.
is_32bit_program() {
  local pe machine
  pe=$(od -An -t u4 -j 60 -N 4 "$1" 2>/dev/null | tr -d ' ') || return 1
  [ -n "$pe" ] || return 1
  machine=$(od -An -t x2 -j $((pe + 4)) -N 2 "$1" 2>/dev/null | tr -d ' ')
  [ "$machine" = "014c" ]
}

# Refuses to go on if any user folder of the prefix still leads out of it.
check_prefix() {
  local link
  for link in "$WINEPREFIX"/drive_c/users/*/*; do
    if [ -L "$link" ]; then
      echo "run-under-wine: $link still links outside the prefix" >&2
      return 1
    fi
  done
  if host_has_wine32 && [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]; then
    echo "run-under-wine: $WINEPREFIX was made without Wine's 32-bit part" >&2
    return 1
  fi
}

# The prefix in WINEPREFIX made (or made anew) unless it is of this version
# and sound. Called with its lock held.
prefix_up_to_date() {
  local version
  read -r version _ <"$WINEPREFIX/.pexor-prefix" 2>/dev/null || return 1
  [ "$version" = "$PREFIX_VERSION" ] && check_prefix
}
ensure_prefix() {
  prefix_up_to_date && return 0
  echo "run-under-wine: making the Wine prefix $WINEPREFIX" >&2
  "$@"
  check_prefix
}

# Takes the first copy of the model that no other run holds, its lock on
# descriptor 8; when every copy is busy (more runs than copies), waits for the
# first. Sets copy.
take_copy() {
  local number
  for number in $(seq 1 32); do
    exec 8>"$prefix.$number.lock"
    if flock -n 8; then
      copy="$prefix.$number"
      return 0
    fi
  done
  exec 8>"$prefix.1.lock"
  flock -w 600 8
  copy="$prefix.1"
}

program="$1"
shift
if is_32bit_program "$program" && [ -x /usr/lib/wine/wine ] && ! host_runs_32bit; then
  echo "run-under-wine: $program is a 32-bit program, and this machine's kernel runs no" \
    "32-bit Linux programs (no IA-32 emulation), so neither does Wine here" >&2
  exit 4
fi
if is_32bit_program "$program" && ! host_has_wine32; then
  echo "run-under-wine: $program is a 32-bit program and Wine's 32-bit part is missing" \
    "(wine32:i386); run scripts/setup.sh" >&2
  exit 4
fi
if ! command -v xwininfo >/dev/null; then
  echo "run-under-wine: xwininfo (x11-utils), which sees Wine's desktop show, is missing;" \
    "run scripts/setup.sh" >&2
  exit 4
fi
if [ -z "${DISPLAY:-}" ]; then
  start_xvfb
fi

mkdir -p "$(dirname "$prefix")"
# Each prefix is made under its lock, by one run while the others wait. The
# prefix in use keeps its lock on descriptor 9: for the whole run without
# --pool, so runs on it take turns; shared while a copy is made with --pool,
# so nobody makes it anew meanwhile.
exec 9>"$base.lock"
flock -w 600 9
WINEPREFIX="$base" ensure_prefix make_prefix
if [ "$dpi" != 96 ]; then
  exec 7>"$prefix.lock"
  flock -w 600 7
  ensure_prefix make_scaled_prefix
  exec 9>&7 7>&-
fi
if [ -n "$pool" ]; then
  flock -s 9
  take_copy
  if ! cmp -s "$prefix/.pexor-prefix" "$copy/.pexor-prefix"; then
    rm -rf "$copy" "$copy.new"
    cp -a "$prefix" "$copy.new"
    mv "$copy.new" "$copy"
  fi
  exec 9>&-
  export WINEPREFIX="$copy"
fi
start_watchdog

if [ -n "${PEXOR_SMALL_DISK:-}" ]; then
  small_disk="$WINEPREFIX/drive_c/small-disk"
  mkdir -p "$small_disk"
  mount -t tmpfs -o "size=$PEXOR_SMALL_DISK" pexor-small-disk "$small_disk"
fi

# Wine itself may fail to start a program (seen on a loaded machine: its
# server still dying, a program that never began): a run whose output shows
# only that, no line of the driver at all or every failed case failed with the
# harness's "Wine did not start", is run once more, and says so. A case's own
# failure is never run again. The output goes through a file, as Wine's own
# processes may keep a pipe open.
output="$WINEPREFIX.output"
print_output() {
  [ ! -f "$output" ] || cat "$output"
  rm -f "$output"
}
trap 'print_output; cleanup' EXIT
# Wine's virtual desktop. A session's first program that makes a window has
# Wine start the desktop's explorer.exe and waits 10 s at most for it; a
# desktop later than that, as on a machine loaded by a cold lint beside both
# programs' cases, leaves the whole session without a display driver: every
# window of every program fails ("The explorer process failed to start") and
# the screen reads 0 by 0. So each session begins with the desktop alone (an
# explorer.exe of the runner's asks for it as a program would), and the
# program starts once the desktop's window shows on the X display; a session
# whose desktop failed is ended and a new one begun.
desktop_shown() {
  xwininfo -name "$DESKTOP_NAME - Wine desktop" 2>/dev/null | grep -q 'Map State: IsViewable'
}
desktop_failed() {
  grep -q 'The explorer process failed to start' "$output"
}
start_desktop() {
  local tenths=0
  in_wine explorer.exe /desktop >>"$output" 2>&1 &
  until desktop_shown; do
    if desktop_failed || [ "$tenths" -ge $((DESKTOP_WAIT * 5)) ]; then
      return 1
    fi
    sleep 0.2
    tenths=$((tenths + 1))
  done
}
# A session with its desktop up, in three tries at most. Each failed one is
# told, and kept in PEXOR_WINE_RESTARTS as a run Wine did not start.
open_session() {
  local session
  for session in 1 2 3; do
    : >"$output"
    start_desktop && return 0
    [ -z "${PEXOR_WINE_RESTARTS:-}" ] ||
      { echo "=== run again: $program $* (Wine's virtual desktop did not start)" &&
        cat "$output"; } >>"$PEXOR_WINE_RESTARTS"
    print_output
    echo "run-under-wine: Wine's virtual desktop did not start (session $session of 3)"
    end_wine
  done
  return 1
}
no_desktop=""
run_program() {
  set +e
  if open_session "$@"; then
    timeout --kill-after=10 "$limit" "${wine[@]}" "$program" "$@" >>"$output" 2>&1 7>&- 8>&- 9>&-
    status=$?
  else
    no_desktop=1
    status=5
  fi
  set -e
}
wine_did_not_start() {
  local failed
  # The session lost its display driver after all.
  ! desktop_failed || return 0
  [[ "$program" == *pexor_e2e.exe || "$program" == *pexor_contract.exe ]] || return 1
  grep -q '^\[==========\] Running' "$output" || return 0
  failed=$(grep -c -E '^\[  FAILED  \] [A-Za-z0-9_]+\.[A-Za-z0-9_]+ \(' "$output")
  [ "$failed" -gt 0 ] && [ "$failed" -eq "$(grep -c '^Wine did not start' "$output")" ]
}
run_program "$@"
if [ -n "$no_desktop" ]; then
  echo "run-under-wine: Wine's virtual desktop did not start in three sessions"
elif [ "$status" -ne 0 ] && wine_did_not_start; then
  # PEXOR_WINE_RESTARTS names a file that keeps each such first run's output.
  [ -z "${PEXOR_WINE_RESTARTS:-}" ] ||
    { echo "=== run again: $program $*" && cat "$output"; } >>"$PEXOR_WINE_RESTARTS"
  print_output
  echo "run-under-wine: Wine did not start a program; the run once more"
  end_wine
  run_program "$@"
fi
exit "$status"
