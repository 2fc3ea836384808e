#!/bin/sh
# Creates or retires one Wine prefix for the end-to-end tests.
#
#   wine_prefix.sh create DIR win32|wow64
#   wine_prefix.sh destroy DIR
#
# create makes DIR anew (32-bit Windows for win32, 64-bit Windows with
# WOW64 for wow64) and leaves one persistent wineserver with Wine's
# services running for it, so that the tests that follow do not each start
# and stop them.
# destroy ends that server and waits until it is gone: a second prefix's
# server must not run beside it.
set -eu

action=${1:-}
dir=${2:-}
if [ -z "$action" ] || [ -z "$dir" ]; then
  echo "usage: $0 create DIR win32|wow64 | destroy DIR" >&2
  exit 2
fi

WINEPREFIX=$dir
WINEDEBUG=-all
WINEDLLOVERRIDES=mscoree,mshtml=
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
unset WINEARCH
# Wine's services and desktop start without a display: a message box then
# fails at once rather than waiting for someone to dismiss it.
unset DISPLAY WAYLAND_DISPLAY

stop_server() {
  if [ -d "$dir" ]; then
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
  fi
}

case "$action" in
  create)
    arch=${3:-}
    case "$arch" in
      win32) WINEARCH=win32; export WINEARCH ;;
      wow64) ;;
      *) echo "$0: unknown prefix kind '$arch'" >&2; exit 2 ;;
    esac
    # A server left behind by an earlier, interrupted run goes first.
    stop_server
    rm -rf "$dir"
    mkdir -p "$(dirname "$dir")"
    wineboot -i </dev/null
    wineserver -w
    wineserver -p </dev/null >/dev/null 2>&1
    # The first program of a session starts Wine's services, which then
    # live as long as the server. Started here, with no terminal or pipe of
    # a test attached, they hold no test's output open.
    wine cmd.exe /c exit </dev/null >/dev/null 2>&1
    test -f "$dir/system.reg"
    ;;
  destroy)
    stop_server
    ;;
  *)
    echo "$0: unknown action '$action'" >&2
    exit 2
    ;;
esac
