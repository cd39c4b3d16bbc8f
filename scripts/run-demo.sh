#!/usr/bin/env bash
# Runs the launcher under Wine beside a demo shipped folder: the real DOS
# emulator (built from Debian's source packages, once: the first run takes
# some minutes more), a sample configuration and a small DOS program as the
# game (tests/dos/pexor.asm), so the whole road can be played: START and the
# reminder's OK start the emulator full-screen, Esc in the game ends it.
#
# With a display (DISPLAY set), the launcher opens there in Wine's virtual
# desktop and the script returns when it is closed. Without one, the
# end-to-end driver plays the road on a virtual display with real input and
# keeps a picture of each step in build/<preset>/demo/road/, with a contact
# sheet of them, build/<preset>/demo/road.png.
#
# The demo runs the 32-bit program, the one players get. Where this machine
# runs no 32-bit program, it runs the 64-bit one against a 64-bit build of the
# emulator, as the tests do there. It has a Wine prefix of its own
# (build/<preset>/demo-prefix), and everything it writes stays in build/.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

if ! ./scripts/setup.sh --check; then
  ./scripts/setup.sh --no-build
fi

# Wine's 32-bit loader is a 32-bit Linux program, which some kernels refuse.
preset=windows-x86
if [ -x /usr/lib/wine/wine ] && ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  preset=windows
  echo "run-demo: this machine runs no 32-bit program: the demo plays the 64-bit launcher" \
    "against a 64-bit build of the emulator"
fi

build="$root/build/$preset"
demo="$build/demo"
prefix="$build/demo-prefix"
run=("$root/tests/e2e/run-under-wine.sh" --prefix "$prefix")
cmake --preset "$preset" >/dev/null

if [ -n "${DISPLAY:-}" ]; then
  cmake --build --preset "$preset" --target demo
  echo "run-demo: the launcher opens in Wine's virtual desktop; close it to end the demo"
  "${run[@]}" --timeout 0 "$demo/PexorLauncher.exe"
  echo "run-demo: installed copy in $(ls -d "$prefix"/drive_c/users/*/Documents/DoxPexor 2>/dev/null |
    grep -v /Public/ | head -n 1)"
  exit 0
fi

# No display: the road as the end-to-end case plays it, a picture per step.
cmake --build --preset "$preset" --target demo pexor_e2e
pictures="$demo/road"
rm -rf "$pictures" "$demo/road.png"
mkdir -p "$pictures"
log="$demo/road.log"
road=RealEmulator.PicksReachItAwayAndBackAndTheGameEndsFromInside
echo "run-demo: no display; playing the road on a virtual one ($road)"
if ! PEXOR_ROAD_PICTURES="Z:$pictures" "${run[@]}" "$build/e2e/pexor_e2e.exe" \
  --gtest_filter="$road" >"$log" 2>&1; then
  cat "$log"
  echo "run-demo: the road failed (its log: $log)" >&2
  exit 1
fi

steps=(
  "1-launcher|the launcher as it opens"
  "2-hotkey-window|START: the hotkey window"
  "3-game|OK: the game full-screen in the emulator"
  "4-desktop-away|the Windows key: back on the desktop"
  "5-mandatory-action|START again: the mandatory-action window"
  "6-game-again|Alt+Enter: the game again"
  "7-desktop-after|Esc in the game: the desktop as it was"
)
sheet=()
for step in "${steps[@]}"; do
  picture="$pictures/${step%%|*}.png"
  if [ ! -f "$picture" ]; then
    echo "run-demo: the road kept no picture ${picture##*/}" >&2
    exit 1
  fi
  sheet+=(-label "${step#*|}" "$picture")
done
montage -font DejaVu-Sans -pointsize 20 "${sheet[@]}" -tile 4x2 -geometry 480x384+12+12 \
  -background '#202020' -fill white "$demo/road.png"
echo "run-demo: the road in pictures: $demo/road.png (each step in $pictures/)"
