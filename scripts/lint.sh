#!/usr/bin/env bash
# Checks the sources without building them: clang-format over every tracked
# C++ file (the style in .clang-format), then clang-tidy (the checks in
# .clang-tidy) over the project's own sources as both trees compile them, the
# native one and the Windows cross build. Exits non-zero on any finding.
#
#   ./scripts/lint.sh
set -uo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

status=0
for tool in clang-format clang-tidy python3; do
  command -v "$tool" >/dev/null || {
    echo "lint: $tool is missing; run ./scripts/setup.sh" >&2
    exit 1
  }
done

echo "=== lint: clang-format"
mapfile -t sources < <(git ls-files '*.cpp' '*.h')
if clang-format --dry-run -Werror "${sources[@]}"; then
  echo "clang-format: ${#sources[@]} files formatted"
else
  echo "clang-format: FAILED (clang-format -i on the files above)"
  status=1
fi

# The Windows tree is parsed by clang for the MinGW target: its headers from
# the MinGW sysroot, the C++ library from the very cross compiler that builds it.
windows_args=(--target=x86_64-w64-mingw32 --sysroot=/usr/x86_64-w64-mingw32)
while read -r dir; do
  windows_args+=("-isystem$dir")
done < <(x86_64-w64-mingw32-g++-posix -xc++ -E -v /dev/null 2>&1 |
  sed -n '/search starts here:/,/End of search list/p' | grep '/include/c++')

# One tree: configure it (which writes compile_commands.json), make the one
# generated source the compile needs, keep one entry per own source (no
# GoogleTest, nothing generated under build/), run clang-tidy on each.
tidy_tree() {
  local preset="$1" build="build/$1" db
  shift
  db="$build/lint"
  echo "=== lint: clang-tidy (preset $preset)"
  cmake --preset "$preset" >/dev/null &&
    make -s -C "$build" -f CMakeFiles/pexor_core.dir/build.make generated/texts_cp1251.inc ||
    return 1
  mkdir -p "$db"
  python3 - "$root" "$build/compile_commands.json" "$db/compile_commands.json" <<'EOF' || return 1
import json, os, sys
root, source, target = sys.argv[1:]
kept = {}
for entry in json.load(open(source)):
    path = os.path.normpath(os.path.join(entry["directory"], entry["file"]))
    rel = os.path.relpath(path, root)
    if rel.startswith("..") or rel.startswith("build" + os.sep) or path in kept:
        continue
    kept[path] = dict(entry, file=path)
json.dump(list(kept.values()), open(target, "w"), indent=1)
print(f"clang-tidy: {len(kept)} files")
EOF
  local extra=() arg
  for arg in "$@"; do extra+=("-extra-arg=$arg"); done
  # Each finding is an error (.clang-tidy); the compiler's "N warnings
  # generated" about system headers, the tool's own command lines and its
  # colours are noise.
  if command -v run-clang-tidy >/dev/null; then
    run-clang-tidy -quiet -j 2 -p "$db" "${extra[@]}" 2>&1 | sed 's/\x1b\[[0-9;]*m//g' |
      grep -v -E '^[0-9]+ warnings?( and [0-9]+ errors?)? generated\.$|^[^ ]*clang-tidy(-[0-9]+)? .* -p='
    return "${PIPESTATUS[0]}"
  fi
  python3 -c 'import json, sys; [print(e["file"]) for e in json.load(open(sys.argv[1]))]' \
    "$db/compile_commands.json" |
    xargs -P 2 -n 1 sh -c 'out="$(clang-tidy --quiet -p "$@" 2>&1)"; rc=$?
      printf "%s\n" "$out" | grep -v -E "^[0-9]+ warnings?( and [0-9]+ errors?)? generated\.$"
      exit $rc' sh "$db" "${extra[@]/#-extra-arg=/--extra-arg=}"
}

# Runs one tree's check and tells how it went and how long it took.
timed() {
  local started rc
  started=$(date +%s)
  tidy_tree "$@"
  rc=$?
  echo "clang-tidy ($1): $([ "$rc" -eq 0 ] && echo clean || echo FAILED) in $(($(date +%s) - started)) s"
  return "$rc"
}

timed native || status=1
timed windows "${windows_args[@]}" || status=1

if [ "$status" -eq 0 ]; then echo "lint: clean"; else echo "lint: FAILED"; fi
exit "$status"
