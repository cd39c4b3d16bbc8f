#!/usr/bin/env bash
# Runs the launcher under Wine beside a demo shipped folder: the real DOS
# emulator (built from Debian's source packages by scripts/build-emulator.sh,
# once: the first run takes some minutes more), a sample configuration and a
# small DOS program as the game (tests/dos/pexor.asm), so the whole road can
# be played: START and the reminder's OK start the emulator full-screen, Esc
# in the game ends it.
#
# With a display (DISPLAY set), the launcher opens there in Wine's virtual
# desktop and the script returns when it is closed. Without one, it runs on a
# virtual display for a few seconds and a screenshot is saved.
#
# The demo runs the 32-bit program, the one players get. It has a Wine prefix
# of its own (build/windows-x86/demo-prefix), and the launcher installs into
# that prefix's Documents folder, inside the build tree.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

if ! ./scripts/setup.sh --check; then
  ./scripts/setup.sh --no-build
fi
cmake --preset windows-x86 >/dev/null
./scripts/build-emulator.sh
cmake --build --preset windows-x86 --target demo

demo="$root/build/windows-x86/demo"
prefix="$root/build/windows-x86/demo-prefix"
run=("$root/tests/e2e/run-under-wine.sh" --prefix "$prefix")

if [ -n "${DISPLAY:-}" ]; then
  echo "run-demo: the launcher opens in Wine's virtual desktop; close it to end the demo"
  "${run[@]}" --timeout 0 "$demo/PexorLauncher.exe"
else
  shot="$demo/screenshot.png"
  "${run[@]}" --screenshot "$shot" --after "${PEXOR_DEMO_SECONDS:-6}" "$demo/PexorLauncher.exe"
  echo "run-demo: no display; the launcher ran on a virtual one, seen in $shot"
fi
echo "run-demo: installed copy in $(ls -d "$prefix"/drive_c/users/*/Documents/DoxPexor 2>/dev/null |
  grep -v /Public/ | head -n 1)"
