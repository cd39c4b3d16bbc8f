#!/usr/bin/env bash
# Makes a shipped folder DoxPexor of a realistic size for the benchmarks:
# about 30 MB in 600 files over 20 sub-folders (many small files, a few large
# ones, as a DOS game and its emulator ship), plus the real configuration
# file, the stand-in emulator as DOSBox.exe and the game as Pexor\Pexor.exe.
# Sizes and names are the same at every run; the bytes are random, so nothing
# on the way can make the copy cheaper by compressing them.
#
# Usage: make_shipped_folder.sh OUT_FOLDER DOSBOX_EXE CONF_FILE [GAME_EXE]
set -euo pipefail

if [ $# -lt 3 ]; then
  echo "usage: $0 OUT_FOLDER DOSBOX_EXE CONF_FILE [GAME_EXE]" >&2
  exit 2
fi
out="$1"
dosbox="$2"
conf="$3"
game="${4:-}"

readonly FILES=600
readonly TOTAL_BYTES=$((30 * 1024 * 1024))
# Shipped files carry the time they were built, not the time of this run.
readonly SHIPPED_TIME="2010-05-01 12:00:00"

folders=(
  "" Pexor Pexor/DATA Pexor/DATA/MAPS Pexor/DATA/SPRITES Pexor/SOUND Pexor/MUSIC Pexor/SAVE
  Pexor/GFX Pexor/GFX/FONTS Pexor/GFX/ANIM Pexor/TEXT Pexor/LEVELS Pexor/LEVELS/EXTRA DOCS
  DOCS/HTML DOCS/HTML/IMAGES ZMBV TRANSLATIONS CAPTURE SHADERS
)
extensions=(DAT BIN PCX VOC MID TXT MAP SPR LVL PAL FNT)

rm -rf "$out"
mkdir -p "$out"
for folder in "${folders[@]}"; do
  [ -n "$folder" ] && mkdir -p "$out/$folder"
done

# One line per file: folder index, extension index, size. A few large files
# (1 to 3 MB), the rest between 256 bytes and 128 KB, evenly spread on a
# logarithmic scale, then scaled so the total is what was asked for.
awk -v files="$FILES" -v total="$TOTAL_BYTES" -v nfolders="${#folders[@]}" \
  -v nexts="${#extensions[@]}" 'BEGIN {
    srand(20100501)
    sum = 0
    for (i = 0; i < files; i++) {
      if (i % 75 == 0) { lo = log(1048576); hi = log(3145728) }
      else { lo = log(256); hi = log(131072) }
      size[i] = exp(lo + rand() * (hi - lo))
      sum += size[i]
    }
    for (i = 0; i < files; i++)
      printf "%d %d %d\n", i % nfolders, int(rand() * nexts), int(size[i] * total / sum)
  }' |
  {
    n=0
    while read -r folder ext size; do
      dir="$out/${folders[$folder]}"
      head -c "$size" /dev/urandom >"$dir/F$(printf '%05d' "$n").${extensions[$ext]}"
      n=$((n + 1))
    done
  }

cp "$conf" "$out/dosbox-0.73.conf"
cp "$dosbox" "$out/DOSBox.exe"
if [ -n "$game" ] && [ -f "$game" ]; then
  cp "$game" "$out/Pexor/Pexor.exe"
else
  head -c 180000 /dev/urandom >"$out/Pexor/Pexor.exe"
fi

find "$out" -exec touch -d "$SHIPPED_TIME" {} +
echo "shipped folder: $(find "$out" -type f | wc -l) files, $(find "$out" -mindepth 1 -type d | wc -l) folders, $(du -sb "$out" | cut -f1) bytes in $out"
