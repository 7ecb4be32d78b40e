#!/usr/bin/env bash
# The program's floating windows stay above its frame on a display without a window
# manager, seen from outside: after the File menu closed with Escape, a still, a click
# into the picture with the measurement panel open, a thumbnail click answered in its
# message box and a tab switch, the live picture keeps changing and is nowhere black, the
# capture tool column keeps its look and the measurement panel stays where it was shown.
#   stacking_test.sh <source> <build>      (screenshots in <build>/stacking_test/)
set -u
src=$1; build=$(cd "$2" && pwd)
out=$build/stacking_test
rm -rf "$out"; mkdir -p "$out"
. "$src/tests/shell/own_display.sh"
own_display 170 "$out/xvfb.log"
prefix=$build/run/prefix
fail=0
program=
finish() {
  exec 2>/dev/null   # the program ended by force is no finding
  WINEPREFIX=$prefix wineserver -k 2>/dev/null
  [ -n "$program" ] && { wait "$program"; } 2>/dev/null
  kill "$xvfb" 2>/dev/null
  echo "$([ $fail = 0 ] && echo passed || echo FAILED); screenshots in $out"
  exit $fail
}
trap finish EXIT

setsid bash "$src/tools/run.sh" "$build" </dev/null >"$out/run.log" 2>&1 &
program=$!

# Screen places at 1920 x 1080 (the frame maximised).
picture=500x400+800+250        # the middle of the live picture
column=38x520+1880+200         # the capture tool column's buttons
measure=110x320+229+36         # the measurement panel where the caption bar's button puts it
shot() { import -window root "$out/$1.png" 2>/dev/null; }
crop() { convert "$out/$1.png" -crop "$2" +repage "$out/$1-$3.png"; }
mean() { convert "$1" -colorspace gray -format '%[fx:mean]' info:; }
black_share() { convert "$1" -fill white +opaque black -negate -format '%[fx:mean]' info:; }
# Share of pixels of two same-sized pictures (of $3 pixels) that differ by more than $4.
unlike() { compare -metric AE -fuzz "$4" "$1" "$2" null: 2>&1 | awk -v a="$3" '{print $1 / a}'; }
below() { awk "BEGIN {exit !($1 < $2)}"; }
bad() { echo "$1: $2"; fail=1; }

# Up once the caption bar's logo is drawn in the top-left corner and the picture runs.
up=0
for _ in $(seq 120); do
  if shot start && [ "$(convert "$out/start.png" -crop 200x30+0+0 -colorspace gray \
       -format '%[fx:mean<0.95 && mean>0.05]' info:)" = 1 ]; then up=1; break; fi
  kill -0 $program 2>/dev/null || break
  sleep 0.5
done
[ $up = 1 ] || { echo "the program did not come up"; cat "$out/run.log"; fail=1; exit; }
sleep 6   # the first pictures and the layout settle
shot start
crop start $column column

# The live picture changes between two looks a second apart and is nowhere black; the tool
# column looks as at the start.
check() {
  sleep 1.5
  import -window root -crop $picture +repage "$out/$1-a-picture.png" 2>/dev/null; sleep 1; shot "$1"
  crop "$1" $picture picture; crop "$1" $column column
  local a=$out/$1-a-picture.png b=$out/$1-picture.png
  below "$(black_share "$b")" 0.02 || bad "$1" "black over the live picture"
  below 0.1 "$(mean "$b")" || bad "$1" "the live picture is dark"
  below 0.01 "$(unlike "$a" "$b" 200000 1%)" || bad "$1" "the live picture stands still"
  below "$(unlike "$out/start-column.png" "$out/$1-column.png" 19760 10%)" 0.05 ||
    bad "$1" "the tool column lost its look"
}
check start

xdotool mousemove 111 11 click 1; sleep 1.5; shot file-menu; xdotool key Escape
check file-menu-closed

xdotool mousemove 65 90 click 1      # the capture button
sleep 1.5
check still

xdotool mousemove 203 11 click 1     # the measurement panel
# Its look once painted: the same twice running (a busy machine paints slowly).
for _ in $(seq 20); do
  sleep 0.5; shot measure; crop measure $measure panel
  [ -f "$out/panel-before.png" ] &&
    below "$(unlike "$out/panel-before.png" "$out/measure-panel.png" 35200 2%)" 0.001 && break
  cp "$out/measure-panel.png" "$out/panel-before.png"
done
xdotool mousemove 1000 500 click 1   # into the picture
check picture-click
crop picture-click $measure panel
below "$(unlike "$out/measure-panel.png" "$out/picture-click-panel.png" 35200 10%)" 0.05 ||
  bad picture-click "the measurement panel is covered"
xdotool mousemove 203 11 click 1     # hidden again

xdotool mousemove 335 1000 click 1   # the still's thumbnail: a question, answered no
sleep 2; shot thumbnail-question; xdotool key n
check thumbnail-answered

xdotool mousemove 111 37 click 1; sleep 2; shot browse-tab
xdotool mousemove 39 37 click 1
check capture-tab-again
