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

# clang-tidy 22 where it is installed (setup.sh installs it): the checks
# chosen in .clang-tidy in a third of version 14's time, as it no longer walks
# the system headers (windows.h) for every check; version 14 otherwise.
tidy=clang-tidy-22
command -v "$tidy" >/dev/null || tidy=clang-tidy
for tool in clang-format "$tidy" python3; do
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
echo "=== lint: clang-tidy ($("$tidy" --version | grep -o 'version [0-9.]*'))"

# Each tree configured (which writes compile_commands.json), with the one
# generated source the compile needs. PEXOR_LINT_CONFIGURED=1 says the caller
# did both (test.sh, whose builds run in these trees meanwhile).
if [ "${PEXOR_LINT_CONFIGURED:-0}" != 1 ]; then
  for preset in native windows; do
    ./scripts/configure.sh "$preset" --generated || exit 1
  done
fi

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
# file and its compile command (part of its cache key), tab-separated.
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
        # Without the build's precompiled header: the file is analysed with
        # the headers it includes itself, so one that leans on the header is
        # found. CMake passes GCC's as "-include <dir>/cmake_pch.hxx", Clang's
        # as "-Xclang -include-pch -Xclang <dir>/cmake_pch.hxx.pch -Xclang
        # -include -Xclang <dir>/cmake_pch.hxx", both after -Winvalid-pch.
        plain = []
        for arg in args:
            if arg.endswith(("cmake_pch.hxx", "cmake_pch.hxx.pch")):
                if plain and plain[-1] == "-Xclang":
                    del plain[-3:]
                else:
                    plain.pop()
            elif arg != "-Winvalid-pch":
                plain.append(arg)
        assert not any("cmake_pch" in arg for arg in plain), plain
        args = plain
        if preset == "windows":
            args = args + windows_args
        kept[preset].append({"directory": entry["directory"], "file": path, "arguments": args})
        lines[preset].append("\t".join([os.path.join("build", preset, "lint"), path,
                                       " ".join(shlex.quote(a) for a in args)]))
    json.dump(kept[preset], open(os.path.join(build, "lint", "compile_commands.json"), "w"), indent=1)
print("\n".join(lines["windows"] + lines["native"]))
print(f"clang-tidy: {len(kept['native'])} files as the native tree compiles them, "
      f"{len(kept['windows'])} as only the Windows tree does", file=sys.stderr)
EOF
)" || exit 1

# A file found clean is not analysed again while nothing it is made of
# changes: the key is the file, its compile command, every header of the
# project (the generated ones included), .clang-tidy, clang-tidy's version
# and the versions of the installed packages (the system's and the cross
# compilers' headers). Reading these takes no compiler run; any header of the
# project changed analyses every file again. Files with findings are never
# remembered. The key holds no path of the clone (its folder is written as
# @), so every clone and worktree of the project on this machine shares the
# verdicts, and a fresh clone starts from what another one found clean:
# ~/.cache/pexor-launcher/lint/ (PEXOR_LINT_CACHE_DIR moves it), whose entries
# unused for 30 days go. PEXOR_LINT_CACHE=0 analyses all.
cache="${PEXOR_LINT_CACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/pexor-launcher/lint}"
mkdir -p "$cache"
find "$cache" -type f -mtime +30 -delete 2>/dev/null
export PEXOR_LINT_CACHE_DIR="$cache" PEXOR_LINT_USE_CACHE="${PEXOR_LINT_CACHE:-1}"
export PEXOR_LINT_ROOT="$root"
PEXOR_LINT_SALT="$(
  {
    "$tidy" --version
    cat .clang-tidy
    git ls-files -z '*.h' '*.inc' | xargs -0 cat
    cat build/native/generated/* build/windows/generated/* 2>/dev/null
    dpkg-query -W -f '${Package} ${Version}\n' 2>/dev/null
  } | sha256sum | cut -d' ' -f1
)"
export PEXOR_LINT_SALT tidy
tidy_one() {
  local db file command key out rc
  IFS=$'\t' read -r db file command <<<"$1"
  key="$( (echo "$PEXOR_LINT_SALT $db ${file//"$PEXOR_LINT_ROOT"/@} ${command//"$PEXOR_LINT_ROOT"/@}"
    cat "$file") | sha256sum | cut -d' ' -f1)"
  if [ "$PEXOR_LINT_USE_CACHE" != 0 ] && [ -f "$PEXOR_LINT_CACHE_DIR/$key" ]; then
    touch "$PEXOR_LINT_CACHE_DIR/$key"
    return 0
  fi
  # The syntax tree is made of many small allocations: malloc's memory in
  # transparent huge pages, with a larger top pad, takes a quarter to a third
  # less of the processor (fewer page faults and TLB misses); glibc older
  # than 2.35 ignores the setting.
  out="$(GLIBC_TUNABLES=glibc.malloc.hugetlb=1:glibc.malloc.top_pad=67108864 \
    "$tidy" --quiet -p "$db" "$file" 2>&1)"
  rc=$?
  # Each finding is an error (.clang-tidy); the compiler's "N warnings
  # generated" about system headers and its count of findings hidden in
  # them are noise.
  printf '%s\n' "$out" | grep -v -E '^$|^[0-9]+ warnings?( and [0-9]+ errors?)? generated\.$|^Suppressed [0-9]+ warnings|^Use -header-filter'
  [ "$rc" -eq 0 ] && touch "$PEXOR_LINT_CACHE_DIR/$key"
  return "$rc"
}
export -f tidy_one

status=0
xargs -d '\n' -P "${PEXOR_LINT_JOBS:-2}" -n 1 bash -c 'tidy_one "$1"' _ <<<"$list" || status=1

echo "clang-tidy: $([ "$status" -eq 0 ] && echo clean || echo FAILED) in $(($(date +%s) - started)) s"
if [ "$status" -eq 0 ]; then echo "lint: clean"; else echo "lint: FAILED"; fi
exit "$status"
