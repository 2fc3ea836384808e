#!/bin/sh
# Creates or retires one Wine prefix for the end-to-end tests.
#
#   prefix.sh create DIR win32|wow64
#   prefix.sh destroy DIR
#
# create makes DIR anew (32-bit Windows for win32, 64-bit Windows with
# WOW64 for wow64) and leaves one persistent wineserver with Wine's
# services running for it, so that the tests that follow do not each start
# and stop them. A creation that fails is reported with what the machine
# had (free disk, Wine's version, Wine's own message) and made once more
# from nothing: a half-made prefix is never used.
# destroy ends that server, waits until it is gone (a second prefix's
# server must not run beside it) and removes DIR, whose space the next
# prefix needs.
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

# Makes the prefix from nothing; Wine's messages go to $log. Fails when any
# step fails or the prefix has no registry afterwards.
boot() {
  stop_server
  rm -rf "$dir"
  mkdir -p "$(dirname "$dir")"
  wineboot -i </dev/null >"$log" 2>&1 || return 1
  wineserver -w || return 1
  wineserver -p </dev/null >/dev/null 2>&1 || return 1
  # The first program of a session starts Wine's services, which then
  # live as long as the server. Started here, with no terminal or pipe of
  # a test attached, they hold no test's output open.
  wine cmd.exe /c exit </dev/null >>"$log" 2>&1 || return 1
  test -f "$dir/system.reg"
}

report() {
  echo "$0: making the $arch prefix $dir failed (attempt $1):" >&2
  sed 's/^/  /' "$log" >&2
  echo "  $(wine --version 2>&1)" >&2
  df -h "$(dirname "$dir")" /tmp 2>&1 | sed 's/^/  /' >&2
}

case "$action" in
  create)
    arch=${3:-}
    case "$arch" in
      win32) WINEARCH=win32; export WINEARCH ;;
      wow64) ;;
      *) echo "$0: unknown prefix kind '$arch'" >&2; exit 2 ;;
    esac
    log=$(mktemp)
    trap 'rm -f "$log"' EXIT
    if ! boot; then
      report 1
      if ! boot; then
        report 2
        stop_server
        exit 1
      fi
    fi
    cat "$log"
    ;;
  destroy)
    stop_server
    rm -rf "$dir"
    ;;
  *)
    echo "$0: unknown action '$action'" >&2
    exit 2
    ;;
esac
