#!/bin/sh
# Gives one Wine prefix a display for the tests of what a person sees.
#
#   display.sh start PREFIX DISPLAY XVFB STATE_DIR
#   display.sh stop PREFIX STATE_DIR
#
# start runs Xvfb on DISPLAY (its process id kept in STATE_DIR) and
# restarts the prefix's persistent wineserver, with Wine's services and
# desktop, on that display. stop ends the server and then Xvfb. Only one
# server lives at a time: the prefix's earlier one is ended first.
set -eu

action=${1:-}
dir=${2:-}
if [ -z "$action" ] || [ -z "$dir" ]; then
  echo "usage: $0 start PREFIX DISPLAY XVFB STATE_DIR | stop PREFIX STATE_DIR" >&2
  exit 2
fi

WINEPREFIX=$dir
WINEDEBUG=-all
WINEDLLOVERRIDES=mscoree,mshtml=
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
unset WINEARCH WAYLAND_DISPLAY

stop_server() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
}

stop_xvfb() {
  pidfile=$1/xvfb.pid
  if [ -f "$pidfile" ]; then
    pid=$(cat "$pidfile")
    kill "$pid" 2>/dev/null || true
    tries=0
    while kill -0 "$pid" 2>/dev/null && [ "$tries" -lt 50 ]; do
      sleep 0.1
      tries=$((tries + 1))
    done
    rm -f "$pidfile"
  fi
}

case "$action" in
  start)
    display=${3:?display}
    xvfb=${4:?Xvfb program}
    state=${5:?state folder}
    mkdir -p "$state"
    stop_server
    stop_xvfb "$state"
    number=${display#:}
    "$xvfb" "$display" -screen 0 1024x768x24 -nolisten tcp </dev/null >"$state/xvfb.log" 2>&1 &
    echo $! >"$state/xvfb.pid"
    tries=0
    while [ ! -S "/tmp/.X11-unix/X$number" ]; do
      if ! kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null || [ "$tries" -ge 100 ]; then
        echo "$0: Xvfb did not come up on $display" >&2
        cat "$state/xvfb.log" >&2
        exit 1
      fi
      sleep 0.1
      tries=$((tries + 1))
    done
    DISPLAY=$display
    export DISPLAY
    wineserver -p </dev/null >/dev/null 2>&1
    wine cmd.exe /c exit </dev/null >/dev/null 2>&1
    ;;
  stop)
    state=${3:?state folder}
    stop_server
    stop_xvfb "$state"
    ;;
  *)
    echo "$0: unknown action '$action'" >&2
    exit 2
    ;;
esac
