#!/usr/bin/env bash
# Installs the packages that building and running Tavrel needs on Debian 12, if any
# are missing: the MinGW-w64 cross compilers, widl, Wine's IDL files, wine64, CMake and
# GoogleTest's sources. Installing needs root; with everything present it needs
# nothing. Used by scripts/test.sh and scripts/demo.sh. Exits non-zero on failure.
set -uo pipefail

packages=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools libwine-dev wine64 cmake googletest)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}\n' "$package" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "install-deps.sh: installing ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps.sh: packages missing (${missing[*]}); install them as root: apt-get install ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -q || { echo "install-deps.sh: apt-get update failed" >&2; exit 1; }
apt-get install -y -q "${missing[@]}" || { echo "install-deps.sh: apt-get install ${missing[*]} failed" >&2; exit 1; }
