#!/usr/bin/env bash
# Starts the main program Orvisnap under Wine on the default simulated bench.
#   bash tools/run.sh [build-folder] [-- program arguments]
# Installs the missing Debian packages (as the test command does) and builds what is
# missing first.  The program runs in its own Wine prefix under the build folder
# (build/run/), never in the user's.  With a display ($DISPLAY) the
# program runs there until it is closed; without one, a virtual display is started, a
# screenshot is saved once the program is up (the path is printed) and the program is
# closed again.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=$root/build
if [ $# -gt 0 ] && [ "$1" != "--" ]; then build=$1; shift; fi
[ "${1:-}" = "--" ] && shift
mkdir -p "$build"
build=$(cd "$build" && pwd)

# The same set-up as the test command: the Debian packages that are missing.
bash "$here/setup.sh"
. "$here/utf8-locale.sh"

if [ ! -f "$build/build.ninja" ] && [ ! -f "$build/Makefile" ]; then
  cmake -S "$root" -B "$build" -G Ninja
fi
cmake --build "$build" --target Orvisnap -j4

state=$build/run
mkdir -p "$state/home"
# Xlib reads its resource files again for every default it looks up while it has no
# resource database, as on a bare Xvfb: each window Wine makes pays for that many times
# over.  An empty file of our own HOME gives it one, read once.
[ -e "$state/home/.Xdefaults" ] || : >"$state/home/.Xdefaults"
export WINEPREFIX=$state/prefix
export HOME=$state/home
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEARCH=win64
unset ORV_BENCH_FILE

own_display=0
if [ -z "${DISPLAY:-}" ]; then
  n=120
  while [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ]; do n=$((n+1)); done
  setsid Xvfb :$n -screen 0 1920x1080x24 -nolisten tcp </dev/null >"$state/xvfb.log" 2>&1 &
  xvfb=$!
  for _ in $(seq 100); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
  export DISPLAY=:$n
  own_display=1
fi

# Whether a window manager runs on the display: it carries out the frame's maximising.
# Without one, Wine leaves a managed frame at its first size and the screen around it
# black, so the windows are left unmanaged there.
wm=0
if [ $own_display = 0 ] && xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
  wm=1
fi

# The Chinese texts need the dialog fonts mapped to a CJK font; windows are managed
# only where a window manager runs (the flag is written either way, so a prefix used
# on both kinds of display follows the current one).
reg=$state/prefix.reg
if [ $wm = 1 ]; then
  sed 's/^"Managed"="N"/"Managed"="Y"/' "$here/wine-prefix.reg" >"$reg"
else
  cp "$here/wine-prefix.reg" "$reg"
fi
ready="$WINEPREFIX/.orvisnap-run-$(md5sum <"$reg" | cut -c1-12)"
if [ ! -f "$ready" ]; then
  echo "Preparing the Wine prefix in $WINEPREFIX (the first time takes a while)..."
  [ -d "$WINEPREFIX" ] || { wineboot -i >"$state/wineboot.log" 2>&1 || true; wineserver -w; }
  wine regedit /s "$(winepath -w "$reg")" >>"$state/wineboot.log" 2>&1
  wineserver -w
  rm -f "$WINEPREFIX"/.orvisnap-run-*
  touch "$ready"
fi

cd "$build/bin"
if [ $own_display = 0 ]; then
  exec wine "$build/bin/Orvisnap.exe.so" "$@"
fi

# Virtual display: start, wait for the main window, take a picture, close.
# Through a shell of its own, so ending the prefix below is not reported as a crash.
sh -c 'wine "$0" "$@"; true' "$build/bin/Orvisnap.exe.so" "$@" </dev/null >"$state/program.log" 2>&1 &
program=$!
up=0
for _ in $(seq 120); do
  if xwininfo -root -children 2>/dev/null | grep -q '"Orvisnap"'; then up=1; break; fi
  kill -0 $program 2>/dev/null || break
  sleep 0.5
done
shot=$state/orvisnap.png
if [ $up = 1 ]; then
  sleep 6   # the camera's first pictures
  timeout 30 import -window root "$shot" 2>/dev/null ||
    (timeout 30 xwd -root -silent | convert xwd:- "$shot") 2>/dev/null || true
fi
wineserver -k 2>/dev/null || true
wait $program 2>/dev/null || true
kill $xvfb 2>/dev/null || true
if [ $up = 1 ] && [ -s "$shot" ]; then
  echo "Orvisnap started; screenshot saved to $shot"
else
  echo "Orvisnap did not come up; see $state/program.log" >&2
  exit 1
fi
