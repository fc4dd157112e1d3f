#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks to build and test TRIVU.
# Safe to run again: it only asks apt for packages that are missing.
# Packages named on the command line are wanted as well (scripts/fuzz.sh).
set -euo pipefail

packages=(cmake make g++ nlohmann-json3-dev libgtest-dev libgmock-dev libbenchmark-dev "$@")

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if ((${#missing[@]} > 0)); then
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  echo "setup: installing ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
