#!/usr/bin/env bash
# Source this file: starts a private Xvfb on a free display, exports DISPLAY
# and stops the server when the calling shell exits.
flicko_start_xvfb() {
  local n=90
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  FLICKO_XVFB_PID=$!
  export DISPLAY=":$n"
  local i
  for i in $(seq 1 100); do
    if xdpyinfo >/dev/null 2>&1; then return 0; fi
    sleep 0.1
  done
  echo "Xvfb did not start on $DISPLAY" >&2
  return 1
}
flicko_stop_xvfb() {
  if [ -n "${FLICKO_XVFB_PID:-}" ]; then kill "$FLICKO_XVFB_PID" 2>/dev/null || true; fi
}
