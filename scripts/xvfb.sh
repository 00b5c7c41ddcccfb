#!/usr/bin/env bash
# Source this file: starts a private Xvfb on a free display, exports DISPLAY
# and stops the server when the calling shell exits.
#
# The server picks the display itself (-displayfd): it takes the first
# number whose lock it gets and writes it once it listens, so two runs
# started together never share a display, and the display named is the
# server this shell started, never one that merely answers.
flicko_start_xvfb() {
  local answer n
  answer=$(mktemp)
  # -noreset: the server does not reset when its last client leaves, so a
  # program connecting in that moment (between two Wine sessions) is not
  # refused.
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$answer" </dev/null >/dev/null 2>&1 &
  FLICKO_XVFB_PID=$!
  for _ in $(seq 1 300); do
    n=$(head -n 1 "$answer")
    if [[ $n =~ ^[0-9]+$ ]] && [ "$(wc -l <"$answer")" -ge 1 ]; then break; fi
    n=
    kill -0 "$FLICKO_XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  rm -f "$answer"
  if [ -z "$n" ]; then
    echo "Xvfb did not start" >&2
    flicko_stop_xvfb
    return 1
  fi
  # The display's socket is one of our server's own files.
  local inode fd owned=0
  inode=$(awk -v path="/tmp/.X11-unix/X$n" '$8 == path { print $7; exit }' /proc/net/unix)
  for fd in "/proc/$FLICKO_XVFB_PID/fd/"*; do
    if [ -n "$inode" ] && [ "$(readlink "$fd" 2>/dev/null)" = "socket:[$inode]" ]; then owned=1; fi
  done
  if [ "$owned" != 1 ]; then
    echo "Xvfb: display :$n is not held by the server started here (pid $FLICKO_XVFB_PID)" >&2
    flicko_stop_xvfb
    return 1
  fi
  # The end-to-end cases drive the pointer only on a display marked so.
  export DISPLAY=":$n" FLICKO_TEST_DISPLAY=":$n"
}
flicko_stop_xvfb() {
  if [ -n "${FLICKO_XVFB_PID:-}" ]; then
    kill "$FLICKO_XVFB_PID" 2>/dev/null || true
    wait "$FLICKO_XVFB_PID" 2>/dev/null || true
    FLICKO_XVFB_PID=
  fi
}
