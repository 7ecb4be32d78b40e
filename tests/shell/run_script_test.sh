#!/usr/bin/env bash
# The README's run command on a display with no window manager, as a person starting
# Xvfb by hand has it, in a prefix last used under a window manager (managed windows):
# the maximised program must fill the screen, leaving no part of it black.
#   run_script_test.sh <source> <build>
set -u
src=$1; build=$(cd "$2" && pwd)
out=$build/run_script_test
mkdir -p "$out"
. "$src/tests/shell/own_display.sh"
own_display 150 "$out/xvfb.log"
prefix=$build/run/prefix
fail=0
finish() {
  exec 2>/dev/null   # the program ended by force is no finding
  WINEPREFIX=$prefix wineserver -k 2>/dev/null
  { wait "$program"; } 2>/dev/null
  kill "$xvfb" 2>/dev/null
  exit $fail
}

if [ -d "$prefix" ]; then
  WINEPREFIX=$prefix WINEDEBUG=-all wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d Y /f \
    >/dev/null 2>&1
  WINEPREFIX=$prefix wineserver -w
  rm -f "$prefix"/.orvisnap-run-*   # as a run under a window manager leaves it
fi
setsid bash "$src/tools/run.sh" "$build" </dev/null >"$out/run.log" 2>&1 &
program=$!
trap finish EXIT

# Up once the caption bar's logo is drawn in the top-left corner.
up=0
for _ in $(seq 240); do
  if import -window root "$out/start.png" 2>/dev/null &&
     [ "$(convert "$out/start.png" -crop 200x30+0+0 -colorspace gray -format '%[fx:mean<0.95 && mean>0.05]' info:)" = 1 ] &&
     xwininfo -root -tree | grep -q '"Orvisnap"'; then
    up=1; break
  fi
  kill -0 $program 2>/dev/null || break
  sleep 0.5
done
[ $up = 1 ] || { echo "the program did not come up"; cat "$out/run.log"; fail=1; exit; }
sleep 6   # the first pictures and the layout settle

black() {  # share of pure black pixels in a screenshot
  convert "$1" -fill white +opaque black -negate \
    -format '%[fx:mean]' info:
}
import -window root "$out/start.png"
b=$(black "$out/start.png")
echo "black share: $b"
awk "BEGIN {exit !($b < 0.01)}" || { echo "parts of the screen left black"; fail=1; }
