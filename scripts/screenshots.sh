#!/usr/bin/env bash
# Retakes the screenshots in docs/ from the running programs under Wine, on a
# private Xvfb: the tray menu, the About dialog in English and in Japanese,
# and fprobe while the right button is held over a window. Each picture is
# cut to the window it shows.
#
#   scripts/screenshots.sh [RELEASE_DIR]    default build/win64/release
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
release=${1:-$root/build/win64/release}
docs=$root/docs
work=$root/build/screenshots
rm -rf "$work"
mkdir -p "$work"
. "$here/xvfb.sh"
flicko_start_xvfb
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  "$here/wine-run.sh" --server -k 2>/dev/null || true
  flicko_stop_xvfb
}
trap cleanup EXIT

# The programs run from C:\Flicko of the prefix, so the About dialog's file
# list shows the place a user would have, not this tree's.
FLICKO_WINE_BITS=64 "$here/wine-run.sh" cmd /c exit 0 >/dev/null 2>&1 || true
rel=$(FLICKO_WINE_BITS=64 "$here/wine-run.sh" --prefix)/drive_c/Flicko
rm -rf "$rel"
cp -r "$release" "$rel"

run() {  # a Windows program in the background; its pid in $last
  "$here/wine-run.sh" "$@" >/dev/null 2>&1 &
  last=$!
  pids+=("$last")
}
window() {  # window [--name|--classname] PATTERN: the first visible match, waiting up to 60 s
  local how=--name id i
  case $1 in --*) how=$1; shift ;; esac
  for i in $(seq 1 300); do
    id=$(xdotool search --onlyvisible "$how" "$1" 2>/dev/null | head -n 1 || true)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.2
  done
  echo "screenshots.sh: no window named $1" >&2
  return 1
}
geometry() {  # WIDTHxHEIGHT+X+Y of a window, with a few pixels around it
  local X Y WIDTH HEIGHT WINDOW SCREEN
  eval "$(xdotool getwindowgeometry --shell "$1")"
  echo "$((WIDTH + 8))x$((HEIGHT + 8))+$((X > 4 ? X - 4 : 0))+$((Y > 4 ? Y - 4 : 0))"
}
shoot() {  # shoot NAME GEOMETRY: the screen cut to GEOMETRY into docs/NAME.png
  import -window root "$work/$1-full.png"
  convert "$work/$1-full.png" -crop "$2" +repage -strip "$docs/$1.png"
  echo "docs/$1.png $2"
}
changed() {  # the box where two screenshots differ, with a margin
  convert "$1" "$2" -compose difference -composite -trim -format "%w %h %X %Y" info: |
    { read -r w h x y; echo "$((w + 8))x$((h + 8))+$((${x#+} - 4))+$((${y#+} - 4))"; }
}
start_flicko() {  # flicko with the shipped settings and [Etc] Ja=$1
  sed -i '/^\[Etc\]/,$d' "$rel/default/flicko.ini"
  printf '[Etc]\r\nJa=%s\r\n' "$1" >>"$rel/default/flicko.ini"
  run "$rel/flicko.exe"
  flicko=$last
  # Without a desktop's notification area Wine shows its own tray window,
  # icons from the left in squares as high as the window.
  tray=$(window '^Wine System Tray$')
}
open_menu() {
  local X Y WIDTH HEIGHT WINDOW SCREEN
  eval "$(xdotool getwindowgeometry --shell "$tray")"
  xdotool mousemove $((X + HEIGHT / 2)) $((Y + HEIGHT / 2))
  sleep 0.3
  xdotool click 3
  sleep 1
}
about() {  # NAME: About from the tray menu (the item above Exit)
  open_menu
  xdotool key --delay 100 Up Up Return
  # The resident's only visible window; found by its program, whatever
  # the language of its title.
  local id
  id=$(window --classname flicko.exe)
  sleep 1
  shoot "$1" "$(geometry "$id")"
  # A click gives the dialog the keyboard; Enter closes it.
  local X Y WIDTH HEIGHT WINDOW SCREEN
  eval "$(xdotool getwindowgeometry --shell "$id")"
  xdotool mousemove $((X + WIDTH / 2)) $((Y + 10)) click 1
  sleep 0.3
  xdotool key Return
  sleep 0.5
}
stop_flicko() {  # with Wine's tray too, so the next icon takes the first place
  "$here/wine-run.sh" --server -k 2>/dev/null || true
  wait "$flicko" 2>/dev/null || true
  sleep 1
}

# The tray menu and the About dialog in English.
start_flicko 0
sleep 2
import -window root "$work/before-menu.png"
open_menu
import -window root "$work/menu.png"
shoot tray-menu "$(changed "$work/before-menu.png" "$work/menu.png")"
xdotool key Escape
sleep 0.5
about about-en
stop_flicko

# The About dialog in Japanese.
start_flicko 1
about about-ja
stop_flicko

# fprobe while the right button is held over Notepad's text.
printf 'line %s of a text to scroll\r\n' $(seq 1 200) >"$work/sample.txt"
FLICKO_WINE_BITS=64 run notepad "$(FLICKO_WINE_BITS=64 "$here/wine-run.sh" winepath -w "$work/sample.txt" 2>/dev/null)"
pad=$(window "sample.txt")
xdotool windowmove "$pad" 20 40 windowsize "$pad" 420 400
printf '[Files]\r\nFlickoIni=<appdir>\\default\\flicko.ini\r\n[Forms]\r\nLeft=460\r\nTop=40\r\nWidth=640\r\nHeight=560\r\n' \
  >"$rel/default/fprobe.ini"
run "$rel/fprobe.exe"
probe=$(window '^FProbe$')
sleep 2
xdotool mousemove 200 200
sleep 0.5
xdotool mousedown 3
sleep 2
shoot fprobe-probe "$(geometry "$probe")"
xdotool mouseup 3
sleep 0.3
xdotool key Escape
