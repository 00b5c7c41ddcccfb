#!/usr/bin/env bash
# Builds the release packages of the Windows programs, two per build:
#   flicko-VERSION-win64.zip         the 64-bit release folder as it is
#   flicko-VERSION-win64-setup.exe   its per-user installer (a 64-bit program)
#   flicko-VERSION-win32.zip         the same for the 32-bit programs
#   flicko-VERSION-win32-setup.exe
#
#   scripts/package.sh                  configure and build a fresh Release
#                                       tree per build in build/package-win64
#                                       and build/package-win32, then package both
#   scripts/package.sh --release DIR    package a release folder built before
#                                       (repeatable); its bitness is read from
#                                       its flicko.exe
#   --out DIR                           where the packages go (default dist/)
#
# VERSION is the one version number of the build: project(flicko VERSION ...)
# in the top CMakeLists.txt.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
releases=()
out="$root/dist"
while [ $# -gt 0 ]; do
  case "$1" in
    --release) releases+=("$2"); shift 2 ;;
    --out) out=$2; shift 2 ;;
    *) echo "usage: $0 [--release DIR]... [--out DIR]" >&2; exit 2 ;;
  esac
done

version=$(sed -nE 's/^[[:space:]]*project\([[:space:]]*flicko[[:space:]]+VERSION[[:space:]]+([0-9]+\.[0-9]+\.[0-9]+).*/\1/p' \
  "$root/CMakeLists.txt" | head -n 1)
if [ -z "$version" ]; then
  echo "package: no 'project(flicko VERSION x.y.z' line in CMakeLists.txt" >&2
  exit 2
fi

if [ ${#releases[@]} -eq 0 ]; then
  "$root/scripts/bootstrap.sh"
  for pair in win64:mingw-x86_64.cmake win32:mingw-i686.cmake; do
    build="$root/build/package-${pair%%:*}"
    rm -rf "$build"
    cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/${pair#*:}" \
      -DCMAKE_BUILD_TYPE=Release -DFLICKO_BENCHMARKS=OFF >/dev/null
    cmake --build "$build" -j "${FLICKO_JOBS:-$(nproc)}" --target flicko claspm fprobe fcheck release_defaults
    releases+=("$build/release")
  done
fi
command -v makensis >/dev/null || { echo "package: makensis not found (Debian package nsis)" >&2; exit 2; }
mkdir -p "$out"
out=$(cd "$out" && pwd)
name="flicko-$version"
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

programs=(flicko.exe claspm.dll fprobe.exe fcheck.exe)
defaults=(default/flicko.ini default/scroll.dat default/fprobe.ini)

for release in "${releases[@]}"; do
  release=$(cd "$release" && pwd)
  for f in "${programs[@]}" "${defaults[@]}"; do
    [ -f "$release/$f" ] || { echo "package: $release/$f is missing" >&2; exit 2; }
  done
  bits=$("$root/scripts/wine-run.sh" --bits "$release/flicko.exe")
  case $bits in
    64) strip=x86_64-w64-mingw32-strip ;;
    32) strip=i686-w64-mingw32-strip ;;
  esac
  for f in "${programs[@]}"; do
    b=$("$root/scripts/wine-run.sh" --bits "$release/$f")
    [ "$b" = "$bits" ] || { echo "package: $release/$f is $b-bit, flicko.exe $bits-bit" >&2; exit 2; }
  done

  # The zip holds one folder named after the release, with the files only:
  # nothing that a build or a test left in the release folder.
  dir="$stage/win$bits/$name"
  mkdir -p "$dir/default"
  cp "${programs[@]/#/$release/}" "$dir/"
  cp "${defaults[@]/#/$release/}" "$dir/default/"
  # What a user downloads carries no debugging information.
  command -v "$strip" >/dev/null || { echo "package: $strip not found (MinGW-w64 binutils)" >&2; exit 2; }
  "$strip" --strip-debug "${programs[@]/#/$dir/}"
  zip="$out/$name-win$bits.zip"
  rm -f "$zip"
  (cd "$stage/win$bits" && TZ=UTC zip -qrX "$zip" "$name")

  setup="$out/$name-win$bits-setup.exe"
  makensis -V2 -DVERSION="$version" -DBITS="$bits" -DRELEASE="$dir" -DOUTFILE="$setup" "$root/packaging/flicko.nsi"
  echo "package: $zip"
  echo "package: $setup"
done
