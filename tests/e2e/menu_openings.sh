#!/usr/bin/env bash
# Opens and closes the tray's right-button menu of a running flicko.exe N
# times (default 1000), after ten openings to warm up, and prints what the resident process holds before and
# after: the system's handle, GDI and USER object counts (GetProcessHandleCount,
# GetGuiResources, as flickotool reads them) and, from the Linux side, the
# process's resident and data memory. Wine 8 answers 0 for the three counts;
# the memory figures are what shows a leak there.
#
#   tests/e2e/menu_openings.sh RELEASE-DIR TOOLS-DIR [N]
#
# Needs DISPLAY (a private Xvfb: . scripts/xvfb.sh; flicko_start_xvfb). The
# release folder is copied, so its settings stay as shipped.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
release=$1 tools=$2 n=${3:-1000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$release" "$work/rel"

"$here/scripts/wine-run.sh" "$work/rel/flicko.exe" >/dev/null 2>&1 &
pid=$!
tool() { "$here/scripts/wine-run.sh" "$tools/flickotool.exe" "$@"; }
for _ in $(seq 1 300); do
  if tool block >/dev/null 2>&1; then break; fi
  sleep 0.1
done
sleep 2

memory() {  # "VmRSS VmData" of the process, in KiB
  awk '/^VmRSS:/ {r=$2} /^VmData:/ {d=$2} END {print r, d}' "/proc/$pid/status"
}
before=$(memory)
# Ten openings first: the first ones load what every later one reuses.
tool menus 10 >/dev/null
warm=$(memory)
counts=$(tool menus "$n")
after=$(memory)
tool close Flicko 20000 >/dev/null || true
wait "$pid" 2>/dev/null || true

echo "$counts"
echo "linux-rss-KiB before, after 10 openings, after $n more: ${before% *} ${warm% *} ${after% *}"
echo "linux-data-KiB before, after 10 openings, after $n more: ${before#* } ${warm#* } ${after#* }"
