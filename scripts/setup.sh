#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks to build and test TRIVU.
# Safe to run again: it only asks apt for packages that are missing.
#
#   bash scripts/setup.sh          the Linux build
#   bash scripts/setup.sh win32    also the Windows build, Wine to test it, and
#                                  the help file's tools (the package's)
#   bash scripts/setup.sh win64    also the 64-bit Windows test build and Wine's
#                                  64-bit loader (machines that cannot run 32-bit programs)
#   bash scripts/setup.sh tests    also the tests' own tools (scripts/test.sh)
#   bash scripts/setup.sh fuzz     also clang and libFuzzer (scripts/fuzz.sh)
set -euo pipefail

packages=(cmake make g++ nlohmann-json3-dev libgtest-dev libgmock-dev libbenchmark-dev libboost-regex1.81-dev)
# The tests' own tools: headless Chromium, which plays the pages of
# `trivu-host run --html`, and the Unicode database, which a test compares the
# engine's character table with (scripts/test.sh asks for them).
test_packages=(chromium unicode-data)
# The 32-bit Windows library is cross-built with mingw-w64 and tested under
# Wine (32-bit, hence the i386 architecture), on a virtual display.
win32_packages=(g++-mingw-w64-i686 wine wine32:i386 xvfb xauth)
# The package's help file is rendered by pandoc and compiled (and read back
# by the tests) with Free Pascal's chmcmd and chmls.
win32_packages+=(pandoc fp-utils-3.2.2)
# Where 32-bit programs cannot run, the same sources are also built for 64-bit
# Windows and tested under Wine's 64-bit loader.
win64_packages=(g++-mingw-w64-x86-64 wine64 xvfb xauth)
fuzz_packages=(clang-14 libclang-rt-14-dev libfuzzer-14-dev)

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi

missing_of() {
  local package
  for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
      echo "$package"
    fi
  done
}

# Another install may hold the package manager's lock (a machine's own
# updates at start-up): apt waits for it rather than fail.
apt_get() { DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=600 "$@"; }

# A mirror in the middle of a sync may serve one architecture's index of a
# suite that disagrees with its release file: the update fails for that index
# alone, and the install goes on from the others. A library wanted for both
# architectures (wine32's) may then have its newest version in that suite for
# one architecture only; the install is tried once more preferring the
# release's own suite, which every architecture's index has.
install() {
  local missing release
  mapfile -t missing < <(missing_of "$@")
  if ((${#missing[@]} > 0)); then
    echo "setup: installing ${missing[*]}"
    apt_get update -qq || echo "setup: an index failed to update; installing from the others" >&2
    if ! apt_get install -y -qq "${missing[@]}"; then
      release=$(. /etc/os-release && echo "$VERSION_CODENAME")
      echo "setup: trying again with the packages of $release itself" >&2
      apt_get install -y -qq -t "$release" "${missing[@]}"
    fi
  fi
}

install "${packages[@]}"
if [ "${1:-}" = win32 ]; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "setup: adding the i386 architecture (for wine32)"
    $sudo dpkg --add-architecture i386
  fi
  install "${win32_packages[@]}"
fi
if [ "${1:-}" = win64 ]; then
  install "${win64_packages[@]}"
fi
if [ "${1:-}" = tests ]; then
  install "${test_packages[@]}"
fi
if [ "${1:-}" = fuzz ]; then
  install "${fuzz_packages[@]}"
fi
