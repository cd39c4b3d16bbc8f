#!/usr/bin/env bash
# Checks the sources without building them: clang-format over every tracked
# C++ file (the style in .clang-format), then clang-tidy (the checks in
# .clang-tidy) over the project's own sources, each file once: as the native
# tree compiles it, or, for the files only the Windows cross build compiles
# (the adapter, the program's entry, the end-to-end driver and the
# benchmarks), as that build does. Exits non-zero on any finding.
#
#   ./scripts/lint.sh             both
#   ./scripts/lint.sh --format    clang-format only
#
# PEXOR_LINT_JOBS sets how many files clang-tidy takes at once (2).
set -uo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

format_only=""
case "${1:-}" in
"") ;;
--format) format_only=1 ;;
*)
  echo "usage: $0 [--format]" >&2
  exit 2
  ;;
esac

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
  exit 1
fi
[ -z "$format_only" ] || exit 0

started=$(date +%s)
echo "=== lint: clang-tidy"

# Each tree configured (which writes compile_commands.json), with the one
# generated source the compile needs.
for preset in native windows; do
  cmake --preset "$preset" >/dev/null &&
    make -s -C "build/$preset" -f CMakeFiles/pexor_core.dir/build.make generated/texts_cp1251.inc ||
    exit 1
done

# The Windows tree is parsed by clang for the MinGW target: its headers from
# the MinGW sysroot, the C++ library from the very cross compiler that builds it.
windows_args=(--target=x86_64-w64-mingw32 --sysroot=/usr/x86_64-w64-mingw32)
while read -r dir; do
  windows_args+=("-isystem$dir")
done < <(x86_64-w64-mingw32-g++-posix -xc++ -E -v /dev/null 2>&1 |
  sed -n '/search starts here:/,/End of search list/p' | grep '/include/c++')

# One entry per own source (no GoogleTest, nothing generated under build/),
# each in the first tree that compiles it; the Windows tree's entries carry
# the arguments above. Prints one line per file, the Windows files first (they
# take longest: windows.h), so the workers end together: the database, the
# file, and the compiler's command that preprocesses it, tab-separated.
mkdir -p build/native/lint build/windows/lint
list="$(python3 - "$root" "${windows_args[@]}" <<'EOF'
import json, os, shlex, sys
root, windows_args = sys.argv[1], sys.argv[2:]
seen = set()
kept = {}
lines = {}
for preset in ("native", "windows"):
    build = os.path.join(root, "build", preset)
    kept[preset], lines[preset] = [], []
    for entry in json.load(open(os.path.join(build, "compile_commands.json"))):
        path = os.path.normpath(os.path.join(entry["directory"], entry["file"]))
        rel = os.path.relpath(path, root)
        if rel.startswith("..") or rel.startswith("build" + os.sep) or path in seen:
            continue
        seen.add(path)
        args = entry["arguments"] if "arguments" in entry else shlex.split(entry["command"])
        # The same compile, stopped after the preprocessor.
        pre, skip = [], False
        for arg in args:
            if skip:
                skip = False
            elif arg in ("-o", "-MF", "-MT", "-MQ"):
                skip = True
            elif arg not in ("-c", "-MD", "-MMD"):
                pre.append(arg)
        pre.append("-E")
        if preset == "windows":
            args = args + windows_args
        kept[preset].append({"directory": entry["directory"], "file": path, "arguments": args})
        lines[preset].append("\t".join([os.path.join("build", preset, "lint"), path,
                                       "cd " + shlex.quote(entry["directory"]) + " && " +
                                       " ".join(shlex.quote(a) for a in pre)]))
    json.dump(kept[preset], open(os.path.join(build, "lint", "compile_commands.json"), "w"), indent=1)
print("\n".join(lines["windows"] + lines["native"]))
print(f"clang-tidy: {len(kept['native'])} files as the native tree compiles them, "
      f"{len(kept['windows'])} as only the Windows tree does", file=sys.stderr)
EOF
)" || exit 1

# A file found clean is not analysed again while nothing it is made of
# changes: the key is its preprocessed text (every header it includes, with
# their paths), its compile command, .clang-tidy and clang-tidy's version.
# Files with findings are never remembered. PEXOR_LINT_CACHE=0 analyses all.
cache="$root/build/lint-cache"
mkdir -p "$cache"
export PEXOR_LINT_CACHE_DIR="$cache" PEXOR_LINT_USE_CACHE="${PEXOR_LINT_CACHE:-1}"
PEXOR_LINT_SALT="$( (clang-tidy --version; cat .clang-tidy) | sha256sum | cut -d' ' -f1)"
export PEXOR_LINT_SALT
tidy_one() {
  local db file pre key out rc
  IFS=$'\t' read -r db file pre <<<"$1"
  key="$( (echo "$PEXOR_LINT_SALT $db $file"; bash -c "$pre" 2>&1) | sha256sum | cut -d' ' -f1)"
  if [ "$PEXOR_LINT_USE_CACHE" != 0 ] && [ -f "$PEXOR_LINT_CACHE_DIR/$key" ]; then
    return 0
  fi
  out="$(clang-tidy --quiet -p "$db" "$file" 2>&1)"
  rc=$?
  # Each finding is an error (.clang-tidy); the compiler's "N warnings
  # generated" about system headers is noise.
  printf '%s\n' "$out" | grep -v -E '^$|^[0-9]+ warnings?( and [0-9]+ errors?)? generated\.$'
  [ "$rc" -eq 0 ] && touch "$PEXOR_LINT_CACHE_DIR/$key"
  return "$rc"
}
export -f tidy_one

status=0
xargs -d '\n' -P "${PEXOR_LINT_JOBS:-2}" -n 1 bash -c 'tidy_one "$1"' _ <<<"$list" || status=1

echo "clang-tidy: $([ "$status" -eq 0 ] && echo clean || echo FAILED) in $(($(date +%s) - started)) s"
if [ "$status" -eq 0 ]; then echo "lint: clean"; else echo "lint: FAILED"; fi
exit "$status"
