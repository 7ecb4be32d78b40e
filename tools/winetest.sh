#!/usr/bin/env bash
# The test run's Wine environment, all of it under the build folder:
#   winetest.sh start <build>       prefix (created once), Xvfb when no DISPLAY, wineserver -p
#   winetest.sh run <build> cmd...  runs cmd in that environment
#   winetest.sh stop <build>        ends the wineserver of that prefix and our Xvfb
set -u
mode=$1; build=$(cd "$2" && pwd); shift 2
state=$build/winetest
mkdir -p "$state/home"
# Xlib reads its resource files again for every default it looks up while it has no
# resource database, as on a bare Xvfb: each window Wine makes pays for that many times
# over.  An empty file of our own HOME gives it one, read once.
[ -e "$state/home/.Xdefaults" ] || : >"$state/home/.Xdefaults"
export WINEPREFIX=$state/prefix
export HOME=$state/home
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono/Gecko installers, no desktop menu entries.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEARCH=win64
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY
here=$(cd "$(dirname "$0")" && pwd)
. "$here/utf8-locale.sh"

use_display() {
  if [ -z "${DISPLAY:-}" ] && [ -f "$state/display" ]; then
    export DISPLAY=$(cat "$state/display")
  fi
}

case $mode in
start)
  if [ -z "${DISPLAY:-}" ]; then
    n=90
    while [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ]; do n=$((n+1)); done
    setsid Xvfb :$n -screen 0 1920x1080x24 -nolisten tcp </dev/null >"$state/xvfb.log" 2>&1 &
    echo $! >"$state/xvfb.pid"
    for _ in $(seq 100); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
    [ -e /tmp/.X11-unix/X$n ] || { echo "Xvfb did not start" >&2; cat "$state/xvfb.log" >&2; exit 1; }
    echo ":$n" >"$state/display"
  else
    rm -f "$state/display"
  fi
  use_display
  # Fonts mapped to a CJK font; unmanaged windows, since Xvfb runs no window
  # manager and Wine would wait two seconds for each managed window to unmap.
  ready="$WINEPREFIX/.orvisnap-ready-$(md5sum <"$here/wine-prefix.reg" | cut -c1-12)"
  if [ ! -f "$ready" ]; then
    # A server left from an earlier run would keep "wineserver -w" waiting for ever.
    wineserver -k 2>/dev/null
    [ -d "$WINEPREFIX" ] || { wineboot -i >"$state/wineboot.log" 2>&1; wineserver -w; }
    wine regedit /s "$(winepath -w "$here/wine-prefix.reg")" >>"$state/wineboot.log" 2>&1
    wineserver -w
    touch "$ready"
  fi
  # Detached from our output so ctest does not wait on the server.
  wineserver -p </dev/null >/dev/null 2>&1
  # The first Wine process starts the prefix's services, which live as long as the
  # server; start them here, detached, or they would hold a test's output pipe open.
  wine cmd /c exit </dev/null >/dev/null 2>&1
  ;;
run)
  use_display
  # Output goes through a file: anything the program starts may outlive it and
  # would otherwise keep ctest's pipe open.
  out=$(mktemp "$state/run.XXXXXX")
  "$@" </dev/null >"$out" 2>&1
  rc=$?
  # Wine can lose a test program's exit code (a thread of the program still running
  # at exit leaves its own code as the process's), so judge GoogleTest runs by what
  # they printed as well: a failed test, or a run that never reached its summary.
  if [ $rc -eq 0 ] && grep -q '^\[==========\] Running' "$out"; then
    if grep -q '^\[  FAILED  \]' "$out" || ! grep -q '^\[==========\] .* ran\.' "$out"; then
      echo "winetest.sh: the test program exited 0 after a failed or unfinished run" >>"$out"
      rc=1
    fi
  fi
  cat "$out"; rm -f "$out"
  exit $rc
  ;;
stop)
  wineserver -k 2>/dev/null
  if [ -f "$state/xvfb.pid" ]; then
    kill "$(cat "$state/xvfb.pid")" 2>/dev/null
    rm -f "$state/xvfb.pid" "$state/display"
  fi
  exit 0
  ;;
*)
  echo "usage: $0 start|run|stop <build> [cmd...]" >&2; exit 2 ;;
esac
