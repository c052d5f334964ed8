#!/usr/bin/env bash
# Installs the Debian packages that one purpose needs, only those that are missing.
# Usage: scripts/deps.sh [--missing] build|test|windows [extra-package ...]
#   --missing  install nothing: print the purpose's missing packages, one a line
#   build    CMake, Ninja, g++ and the header-only CLI11 and nlohmann-json (the main job); apt
#            is not touched when the three programs are on the PATH and the headers are
#            installed, so a user without root who has them can build
#   test     build and windows, plus make, GoogleTest, Google Benchmark's headers, pkg-config
#            and the Debian packaging tools (the suite builds its PE test modules with
#            MinGW-w64 and checks them with Wine)
#   windows  the MinGW-w64 cross compilers, Wine, the GoogleTest sources and locales
set -euo pipefail

list_only=false
if [[ ${1:-} == --missing ]]; then
    list_only=true
    shift
fi
purpose=${1:-}
shift || true
windows=(g++-mingw-w64-x86-64 gcc-mingw-w64-i686-win32 binutils-mingw-w64-i686 wine64 googletest
    locales)
case $purpose in
build)
    if (($# == 0)) && ! $list_only && command -v cmake >/dev/null && command -v ninja >/dev/null &&
        command -v g++ >/dev/null && [[ -f /usr/include/CLI/CLI.hpp ]] &&
        [[ -f /usr/include/nlohmann/json.hpp ]]; then
        exit 0
    fi
    packages=(cmake ninja-build g++ libcli11-dev nlohmann-json3-dev)
    ;;
test)
    packages=(cmake ninja-build g++ libcli11-dev nlohmann-json3-dev make libgtest-dev googletest libbenchmark-dev pkgconf
        dpkg-dev file "${windows[@]}")
    ;;
windows)
    packages=("${windows[@]}")
    ;;
*)
    echo "usage: scripts/deps.sh [--missing] build|test|windows [extra-package ...]" >&2
    exit 2
    ;;
esac
packages+=("$@")

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        missing+=("$package")
done
if $list_only; then
    for package in "${missing[@]}"; do echo "$package"; done
elif ((${#missing[@]} > 0)); then
    if [[ $(id -u) -ne 0 ]]; then
        echo "missing packages: ${missing[*]} (install them with apt-get as root)" >&2
        exit 1
    fi
    echo "installing: ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi
