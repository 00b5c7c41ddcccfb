#!/usr/bin/env bash
# Builds the two release packages of the Windows programs:
#   flicko-VERSION-win32.zip   the release folder as it is (runs from anywhere)
#   flicko-VERSION-setup.exe   the per-user installer (NSIS)
#
#   scripts/package.sh                  configure and build a fresh Release
#                                       tree in build/package, then package it
#   scripts/package.sh --release DIR    package a release folder built before
#   --out DIR                           where the packages go (default dist/)
#
# VERSION is the one version number of the build: project(flicko VERSION ...)
# in the top CMakeLists.txt.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
release=""
out="$root/dist"
while [ $# -gt 0 ]; do
  case "$1" in
    --release) release=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    *) echo "usage: $0 [--release DIR] [--out DIR]" >&2; exit 2 ;;
  esac
done

version=$(sed -nE 's/^[[:space:]]*project\([[:space:]]*flicko[[:space:]]+VERSION[[:space:]]+([0-9]+\.[0-9]+\.[0-9]+).*/\1/p' \
  "$root/CMakeLists.txt" | head -n 1)
if [ -z "$version" ]; then
  echo "package: no 'project(flicko VERSION x.y.z' line in CMakeLists.txt" >&2
  exit 2
fi

if [ -z "$release" ]; then
  "$root/scripts/bootstrap.sh"
  build="$root/build/package"
  rm -rf "$build"
  cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DFLICKO_BENCHMARKS=OFF >/dev/null
  cmake --build "$build" -j "${FLICKO_JOBS:-$(nproc)}"
  release="$build/release"
fi
release=$(cd "$release" && pwd)
for f in flicko.exe claspm.dll fprobe.exe fcheck.exe default/flicko.ini default/scroll.dat; do
  [ -f "$release/$f" ] || { echo "package: $release/$f is missing" >&2; exit 2; }
done
command -v makensis >/dev/null || { echo "package: makensis not found (Debian package nsis)" >&2; exit 2; }

mkdir -p "$out"
out=$(cd "$out" && pwd)
name="flicko-$version"

# The zip holds one folder named after the release, with the files only:
# nothing that a build or a test left in the release folder.
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir -p "$stage/$name/default"
cp "$release"/{flicko.exe,claspm.dll,fprobe.exe,fcheck.exe} "$stage/$name/"
cp "$release"/default/{flicko.ini,scroll.dat} "$stage/$name/default/"
# What a user downloads carries no debugging information.
strip=$(command -v i686-w64-mingw32-strip || true)
if [ -n "$strip" ]; then
  "$strip" --strip-debug "$stage/$name"/{flicko.exe,claspm.dll,fprobe.exe,fcheck.exe}
fi
rm -f "$out/$name-win32.zip"
(cd "$stage" && TZ=UTC zip -qrX "$out/$name-win32.zip" "$name")

makensis -V2 -DVERSION="$version" -DRELEASE="$stage/$name" -DOUTFILE="$out/$name-setup.exe" \
  "$root/packaging/flicko.nsi"

echo "package: $out/$name-win32.zip"
echo "package: $out/$name-setup.exe"
