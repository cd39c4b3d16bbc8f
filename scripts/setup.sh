#!/usr/bin/env bash
# Sets up a Debian 12 machine to build and test the launcher, then builds it.
#
#   ./scripts/setup.sh           Debian packages (with the i386 architecture for
#                                Wine's 32-bit part), the Bulgarian locale, the builds
#   ./scripts/setup.sh --check   exits 0 when nothing needs installing
#   ./scripts/setup.sh --no-build  installs only
#
# Installing needs root: run as root (a bare Debian container, CI), it installs
# straight away; run as another user, it asks sudo for the installing part
# only, and only when something is missing. Run through sudo, the builds run as
# the calling user, so build/ stays theirs.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"

packages=(
  cmake make clang-22 libclang-rt-22-dev googletest     # native build and unit tests
  libgtest-dev clang-format clang-tidy-22 python3        # and scripts/lint.sh
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev        # the Windows cross builds, 64-bit
  g++-mingw-w64-i686-posix mingw-w64-i686-dev            # and 32-bit
  wine wine64 wine32:i386 xvfb xauth                     # the real programs under Wine
  x11-utils                                              # and their desktop, seen on the display
  imagemagick fonts-dejavu-core                          # the demo's pictures and their captions
  zip                                                    # the release
  nasm patch tar xz-utils                                # the DOS emulator and its game
  locales                                                # the Bulgarian system locale
)

missing_packages() {
  local p
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' ||
      echo "$p"
  done
}

# The end-to-end tests run one case on a Bulgarian system (code page 1251).
locale_missing() {
  ! locale -a 2>/dev/null | grep -qix 'bg_BG.utf8'
}

# Wine's 32-bit part comes from the i386 architecture.
i386_missing() {
  ! dpkg --print-foreign-architectures 2>/dev/null | grep -qx i386
}

needs_install() {
  i386_missing || [ -n "$(missing_packages)" ] || locale_missing
}

# A mirror caught mid-sync refuses a list now and then (the security
# updates' i386 one, say). The install then takes the release's own
# versions, which every architecture's lists agree on, where the newest
# cannot be matched across architectures.
lists_incomplete=""
update_lists() {
  if ! apt-get update -q; then
    lists_incomplete=1
    echo "setup: some package lists could not be read (above); installing from the others"
  fi
}

install_packages() {
  local codename
  apt-get install -y -q "$@" && return 0
  [ -n "$lists_incomplete" ] || return 1
  codename="$(. /etc/os-release && echo "${VERSION_CODENAME:-}")"
  [ -n "$codename" ] || return 1
  echo "setup: installing the $codename release's own versions instead"
  apt-get install -y -q -o APT::Default-Release="$codename" "$@"
}

install() {
  local missing updated=""
  export DEBIAN_FRONTEND=noninteractive
  if i386_missing; then
    echo "setup: adding the i386 architecture (Wine's 32-bit part)"
    dpkg --add-architecture i386
    update_lists
    updated=1
  fi
  missing="$(missing_packages)"
  if [ -n "$missing" ]; then
    echo "setup: installing $(echo $missing)"
    [ -n "$updated" ] || update_lists
    # shellcheck disable=SC2086
    install_packages $missing
  fi
  if locale_missing; then
    echo "setup: generating the bg_BG.UTF-8 locale"
    if grep -q '^# *bg_BG.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
      sed -i 's/^# *bg_BG.UTF-8 UTF-8/bg_BG.UTF-8 UTF-8/' /etc/locale.gen
    elif ! grep -q '^bg_BG.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
      echo 'bg_BG.UTF-8 UTF-8' >>/etc/locale.gen
    fi
    locale-gen >/dev/null
  fi
}

build() {
  cd "$root"
  ./scripts/build-emulator.sh
  ./scripts/configure.sh native
  cmake --build --preset native
  cmake --preset windows
  cmake --build --preset windows
  cmake --preset windows-x86
  cmake --build --preset windows-x86
}

mode="${1:-}"
case "$mode" in
--check)
  needs_install && exit 1
  exit 0
  ;;
--no-build | --build-only | "") ;;
*)
  echo "usage: $0 [--check | --no-build | --build-only]" >&2
  exit 2
  ;;
esac

if [ "$mode" != "--build-only" ] && needs_install; then
  if [ "$(id -u)" -eq 0 ]; then
    install
  elif command -v sudo >/dev/null; then
    sudo "$0" --no-build
  else
    echo "setup: packages are missing and there is no sudo; install as root first (su -c './scripts/setup.sh --no-build'), then run this again" >&2
    exit 1
  fi
fi

[ "$mode" = "--no-build" ] && exit 0

if [ "$(id -u)" -eq 0 ] && [ -n "${SUDO_USER:-}" ] && [ "$SUDO_USER" != root ]; then
  sudo -u "$SUDO_USER" "$0" --build-only
else
  build
fi
