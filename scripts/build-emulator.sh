#!/usr/bin/env bash
# Builds the DOS emulator the launcher starts (DOSBox) as one 32-bit Windows
# program, build/emulator/DOSBox.exe, from Debian's source packages: `dosbox`
# (its upstream tarball; Debian's packaging of it is not needed) and
# `libsdl1.2` (with Debian's patches, in the order of debian/patches/series),
# cross-built with MinGW-w64 and linked statically, so it needs system DLLs
# only. Never a downloaded binary.
#
# The sources come through apt with a configuration of the script's own (one
# deb-src line of the same mirror and suite as the system's Debian entry, its
# own lists and cache under build/emulator/downloads), so the machine's apt
# sources and lists stay as they are. The downloads are kept.
#
# Made once; remade only when its inputs change: the stamp beside the program
# holds the source package versions and a hash of this script. With nothing
# changed a call returns in about a second. From nothing it takes about 5
# minutes of processor time: a few minutes on two quiet cores, far longer
# beside other builds.
#
#   scripts/build-emulator.sh           build when needed
#   scripts/build-emulator.sh --force   build again
#   scripts/build-emulator.sh --print   print where the program is
#
# PEXOR_EMULATOR_DIR puts it elsewhere than build/emulator.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
script="$root/scripts/build-emulator.sh"
out="${PEXOR_EMULATOR_DIR:-$root/build/emulator}"
exe="$out/DOSBox.exe"
stamp="$out/stamp"
downloads="$out/downloads"
work="$out/work"
log="$out/build.log"
# The players' emulator is 32-bit. PEXOR_EMULATOR_HOST=x86_64-w64-mingw32
# makes a 64-bit one, for a machine whose Wine runs no 32-bit program (a
# kernel without 32-bit support): these sources were never meant for 64-bit
# Windows, so it builds only with a lenient compiler (MIDI code casts handles
# to 32 bits), and SDL's DirectX output hangs there under Wine: run it with
# SDL_VIDEODRIVER=windib.
host="${PEXOR_EMULATOR_HOST:-i686-w64-mingw32}"
# The configure scripts' default flags without -g: the same code, and the
# program is stripped anyway; the debugging information only cost time.
sdl_flags=(CFLAGS="-O2")
dosbox_flags=(CFLAGS="-O2" CXXFLAGS="-O2")
[ "$host" = i686-w64-mingw32 ] || dosbox_flags=(CFLAGS="-O2" CXXFLAGS="-O2 -fpermissive")

say() { echo "build-emulator: $*"; }
fail() {
  echo "build-emulator: $*" >&2
  exit 1
}

force=""
case "${1:-}" in
"") ;;
--force) force=1 ;;
--print)
  echo "$exe"
  exit 0
  ;;
*)
  echo "usage: $0 [--force | --print]" >&2
  exit 2
  ;;
esac

# A make above this one (CMake's) must not hand its job server down: the
# builds below choose their own job count.
unset MAKEFLAGS MFLAGS MAKELEVEL

mkdir -p "$out"
# Both Windows trees call this; one builds, the other waits and finds it made.
exec 8>"$out/.lock"
flock -w 1800 8 || fail "another build of the emulator holds $out/.lock"

# The first of the given files that exists (a glob's matches), if any; a
# tarball's signature is not one.
first_file() {
  local file
  for file in "$@"; do
    case "$file" in *.asc) continue ;; esac
    if [ -e "$file" ]; then
      echo "$file"
      return
    fi
  done
}

# The version a source package's .dsc in the downloads names, empty when none.
dsc_version() {
  local dsc
  dsc="$(first_file "$downloads/$1"_*.dsc)"
  [ -z "$dsc" ] || sed -n 's/^Version: *//p' "$dsc" | head -n 1
}

# The upstream and the Debian tarball of a source package in the downloads.
orig_tarball() { first_file "$downloads/$1"_*.orig.tar.*; }
debian_tarball() { first_file "$downloads/$1"_*.debian.tar.*; }

sources_present() {
  [ -n "$(dsc_version dosbox)" ] && [ -n "$(orig_tarball dosbox)" ] &&
    [ -n "$(dsc_version libsdl1.2)" ] && [ -n "$(orig_tarball libsdl1.2)" ] &&
    [ -n "$(debian_tarball libsdl1.2)" ]
}

inputs() {
  echo "dosbox $(dsc_version dosbox)"
  echo "libsdl1.2 $(dsc_version libsdl1.2)"
  echo "host $host"
  echo "script $(sha256sum "$script" | cut -d' ' -f1)"
}

up_to_date() {
  [ -z "$force" ] && [ -f "$exe" ] && sources_present && [ "$(inputs)" = "$(cat "$stamp" 2>/dev/null)" ]
}

# The machine's clones share what one of them built: the program with its
# stamp and the source packages it was built from, under
# ~/.cache/pexor-launcher/ (PEXOR_EMULATOR_CACHE_DIR moves it). A copy whose
# stamp does not match these inputs is built again, as here.
cache="${PEXOR_EMULATOR_CACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/pexor-launcher/emulator}/$host"
take_from_cache() {
  [ -z "$force" ] && [ ! -f "$exe" ] && [ -f "$cache/DOSBox.exe" ] && [ -f "$cache/stamp" ] &&
    [ -d "$cache/downloads" ] || return 0
  rm -rf "$downloads"
  cp -r "$cache/downloads" "$downloads" && cp "$cache/stamp" "$stamp" &&
    cp "$cache/DOSBox.exe" "$exe.new" && mv "$exe.new" "$exe" || rm -f "$exe" "$stamp"
}
# Written beside and moved in whole: a clone reading it meanwhile sees the
# old copy or the new one.
put_in_cache() {
  local new="$cache.new.$$"
  rm -rf "$new"
  mkdir -p "$new" && cp -r "$downloads" "$new/downloads" && cp "$exe" "$new/DOSBox.exe" &&
    cp "$stamp" "$new/stamp" && rm -rf "$cache" && mv "$new" "$cache" ||
    say "could not keep a copy in $cache (the build itself is done)"
  rm -rf "$new"
}

up_to_date && exit 0
take_from_cache
if up_to_date; then
  say "$exe: the copy this machine built before ($cache)"
  exit 0
fi

for tool in apt-get "$host-gcc" "$host-g++" "$host-strip" "$host-objdump" make patch tar xz; do
  command -v "$tool" >/dev/null ||
    fail "$tool is missing; scripts/setup.sh installs what the emulator's build needs"
done

# The system's Debian entry: the first deb (or deb-src) entry of a Debian
# archive and a main suite (no '-updates', '-security'), in the one-line or
# the deb822 form.
debian_entry() {
  local file
  for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$file" ] || continue
    awk '$1 == "deb" || $1 == "deb-src" {
           i = 2; signed = ""
           if ($2 ~ /^\[/) {
             for (; i <= NF; i++) {
               if ($i ~ /^\[?signed-by=/) { signed = $i; sub(/^\[?signed-by=/, "", signed); sub(/\]$/, "", signed) }
               if ($i ~ /\]$/) { i++; break }
             }
           }
           if ($i ~ /debian/ && $i !~ /security/ && $(i + 1) !~ /-/) { print $i, $(i + 1), signed; exit }
         }' "$file"
  done
  for file in /etc/apt/sources.list.d/*.sources; do
    [ -f "$file" ] || continue
    awk 'function flush() {
           split(uris, u, " ")
           if (types ~ /(^| )deb(-src)?( |$)/ && enabled != "no" && u[1] ~ /debian/ && u[1] !~ /security/) {
             n = split(suites, s, " ")
             for (k = 1; k <= n; k++) if (s[k] !~ /-/) { print u[1], s[k], signed; found = 1; exit }
           }
           types = uris = suites = signed = enabled = ""
         }
         /^#/ { next }
         /^[ \t]*$/ { flush(); next }
         { key = tolower($1); sub(/:$/, "", key); $1 = ""; sub(/^ +/, "")
           if (key == "types") types = $0
           else if (key == "uris") uris = $0
           else if (key == "suites") suites = $0
           else if (key == "signed-by") signed = $0
           else if (key == "enabled") enabled = tolower($0) }
         END { if (!found) flush() }' "$file"
  done
}

fetch_sources() {
  local entry uri suite signed
  entry="$(debian_entry | head -n 1)"
  [ -n "$entry" ] || fail "no Debian entry in /etc/apt/sources.list or /etc/apt/sources.list.d/ to take the sources from"
  read -r uri suite signed <<<"$entry"
  say "fetching the source packages dosbox and libsdl1.2 from $uri $suite"

  rm -rf "$downloads"
  local apt="$downloads/apt"
  mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial"
  # A signed-by that is not a file (an inline key) is left to apt's own keys.
  if [ -n "$signed" ] && [ -f "$signed" ]; then
    echo "deb-src [signed-by=$signed] $uri $suite main" >"$apt/sources.list"
  else
    echo "deb-src $uri $suite main" >"$apt/sources.list"
  fi
  local opts=(-q -o "Dir::Etc::sourcelist=$apt/sources.list" -o Dir::Etc::sourceparts=-
    -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache")
  # As root apt hands downloads to its own user, who cannot write here.
  [ "$(id -u)" != 0 ] || opts+=(-o APT::Sandbox::User=root)

  apt-get "${opts[@]}" update >>"$log" 2>&1 ||
    fail "apt-get update of $uri $suite (deb-src) failed; see $log"
  # dosbox: only the upstream tarball is needed; Debian's own tarball of it
  # may be missing from the archive, so a failed download is judged by what
  # arrived.
  (cd "$downloads" && apt-get "${opts[@]}" source --download-only dosbox >>"$log" 2>&1) || true
  if [ -z "$(orig_tarball dosbox)" ] || [ -z "$(dsc_version dosbox)" ]; then
    fail "could not download the source package dosbox from $uri $suite; see $log"
  fi
  (cd "$downloads" && apt-get "${opts[@]}" source --download-only libsdl1.2 >>"$log" 2>&1) ||
    fail "could not download the source package libsdl1.2 from $uri $suite; see $log"
  sources_present || fail "the source packages in $downloads are incomplete; see $log"
  # The index served its purpose: only the source packages are kept.
  rm -rf "$apt"
}

# Runs a build step with its output in the log; on failure shows its end.
step() {
  local what="$1"
  shift
  local began=$SECONDS
  echo "=== $what: $*" >>"$log"
  if ! "$@" >>"$log" 2>&1; then
    echo "build-emulator: $what failed; the end of $log:" >&2
    tail -n 25 "$log" >&2
    exit 1
  fi
  echo "=== $what: $((SECONDS - began)) s" >>"$log"
}

# The one top folder a tarball unpacks to.
unpack() {
  local tarball="$1" into="$2" top
  top="$(tar -tf "$tarball" | head -n 1 | cut -d/ -f1)"
  tar -xf "$tarball" -C "$into"
  echo "$into/$top"
}

apply_series() {
  local dir="$1" name options
  while read -r name options; do
    case "$name" in "" | "#"*) continue ;; esac
    # The series may give a patch options of its own (-p0), as words.
    # shellcheck disable=SC2086
    step "patch $name" patch -d "$dir" --batch --forward ${options:--p1} -i "$dir/debian/patches/$name"
  done <"$dir/debian/patches/series"
}

started=$(date +%s)
: >"$log"
sources_present || fetch_sources
say "building DOSBox $(dsc_version dosbox) with SDL $(dsc_version libsdl1.2) for $host" \
  "(a few minutes; output in $log)"

rm -rf "$work"
mkdir -p "$work"
sdl_prefix="$work/sdl"

sdl_src="$(unpack "$(orig_tarball libsdl1.2)" "$work")"
tar -xf "$(debian_tarball libsdl1.2)" -C "$sdl_src"
apply_series "$sdl_src"
# SDL's configure writes the makefile's rules with a shell script that follows
# every source's headers, one process each: a third of its time, for
# dependencies only a rebuild reads. This build is made once from nothing.
sed -i 's/^    if test x"$ext" != x"rc"; then$/    if false; then/' "$sdl_src/build-scripts/makedep.sh"
grep -q '^    if false; then$' "$sdl_src/build-scripts/makedep.sh" ||
  fail "SDL's build-scripts/makedep.sh is not as expected"
# One patch changes configure.in (how pkg-config is found), for Debian's own
# regenerated configure; the shipped configure serves a MinGW build as it is,
# so SDL's make only warns that configure.in is newer.
say "SDL: configure, make"
(
  cd "$sdl_src"
  step "SDL configure" ./configure --host="$host" --prefix="$sdl_prefix" --disable-shared \
    --enable-static --disable-nasm --disable-stdio-redirect "${sdl_flags[@]}"
  step "SDL make" make -j2
  step "SDL install" make install
)

dosbox_src="$(unpack "$(orig_tarball dosbox)" "$work")"
say "DOSBox: configure, make"
(
  cd "$dosbox_src"
  step "DOSBox configure" ./configure --host="$host" --with-sdl-prefix="$sdl_prefix" \
    --disable-alsa-midi LDFLAGS=-static "${dosbox_flags[@]}"
  step "DOSBox make" make -j2
)

built="$dosbox_src/src/dosbox.exe"
[ -f "$built" ] || fail "the build made no $built; see $log"
step "strip" "$host-strip" -o "$out/DOSBox.exe.new" "$built"
# Linked statically: only DLLs every Windows has.
imports="$("$host-objdump" -p "$out/DOSBox.exe.new" | sed -n 's/^\s*DLL Name: //p' | sort -f | tr '\n' ' ')"
echo "=== imports: $imports" >>"$log"
for dll in $imports; do
  case "${dll,,}" in
  kernel32.dll | user32.dll | gdi32.dll | advapi32.dll | shell32.dll | ole32.dll | oleaut32.dll | \
    winmm.dll | ws2_32.dll | msvcrt.dll | imm32.dll | version.dll | opengl32.dll | comdlg32.dll) ;;
  *) fail "the built emulator needs $dll, which is not a system DLL" ;;
  esac
done
mv "$out/DOSBox.exe.new" "$exe"
inputs >"$stamp"
rm -rf "$work"
put_in_cache
say "made $exe ($(stat -c %s "$exe") bytes, imports $imports) in $(($(date +%s) - started)) s"
