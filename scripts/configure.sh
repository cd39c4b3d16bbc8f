#!/usr/bin/env bash
# Configures the build tree of a preset (cmake --preset), quietly.
#
#   scripts/configure.sh PRESET              the tree
#   scripts/configure.sh PRESET --generated  and the one generated source (the
#                                            windows' texts), which clang-tidy
#                                            needs before anything is built
set -uo pipefail

cd "$(dirname "$0")/.." || exit 1
preset="${1:?usage: $0 PRESET [--generated]}"

out="$(cmake --preset "$preset" 2>&1)" || {
  printf '%s\n' "$out" >&2
  exit 1
}
# A tree made with another compiler loses its whole cache, the preset's
# settings (the build type) with it; the preset's second pass sets them again.
if grep -q 'require your cache to be deleted' <<<"$out"; then
  cmake --preset "$preset" >/dev/null || exit 1
fi
[ "${2:-}" != --generated ] ||
  make -s -C "build/$preset" -f CMakeFiles/pexor_core.dir/build.make generated/texts_cp1251.inc
