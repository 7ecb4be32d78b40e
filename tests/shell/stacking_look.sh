# Sourced by the tests that look at the program's stacking from outside, with the source
# and build folders, the name of the folder for the screenshots under the build folder
# and the first display to try: starts a display of its own (no window manager), starts
# the program on the run prefix, takes and compares screenshots; ends everything on exit.
src=$1; build=$(cd "$2" && pwd)
out=$build/$3
rm -rf "$out"; mkdir -p "$out"
. "$src/tests/shell/own_display.sh"
own_display "$4" "$out/xvfb.log"
prefix=$build/run/prefix
fail=0
program=
# A window manager named in ORV_TEST_WM (openbox, say) runs on the display, where one is
# installed: the same look is asked of managed windows.
wm=
if [ -n "${ORV_TEST_WM:-}" ]; then
  setsid "$ORV_TEST_WM" </dev/null >"$out/wm.log" 2>&1 &
  wm=$!
  for _ in $(seq 50); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break; sleep 0.1; done
fi
finish() {
  exec 2>/dev/null   # the program ended by force is no finding
  WINEPREFIX=$prefix wineserver -k 2>/dev/null
  [ -n "$program" ] && { wait "$program"; } 2>/dev/null
  [ -n "$wm" ] && kill "$wm"
  kill "$xvfb" 2>/dev/null
  echo "$([ $fail = 0 ] && echo passed || echo FAILED); screenshots in $out"
  exit $fail
}
trap finish EXIT

# Screen places at 1920 x 1080 (the frame maximised).
picture=500x400+800+250        # the middle of the live picture
column=38x520+1880+200         # the capture tool column's buttons
measure=110x320+229+36         # the measurement panel where the caption bar's button puts it
shot() { import -window root "$out/$1.png" 2>/dev/null; }
crop() { convert "$out/$1.png" -crop "$2" +repage "$out/$1-$3.png"; }
mean() { convert "$1" -colorspace gray -format '%[fx:mean]' info:; }
black_share() { convert "$1" -fill white +opaque black -negate -format '%[fx:mean]' info:; }
# Share of the pixels of two same-sized pictures that differ by more than $3.
unlike() {
  local n; n=$(identify -format '%[fx:w*h]' "$1")
  compare -metric AE -fuzz "$3" "$1" "$2" null: 2>&1 | awk -v a="$n" '{print $1 / a}'
}
below() { awk "BEGIN {exit !($1 < $2)}"; }
bad() { echo "$1: $2"; fail=1; }

# Starts the program and waits until the caption bar's logo is drawn in the top-left
# corner and the first pictures and the layout have settled.
start_program() {
  setsid bash "$src/tools/run.sh" "$build" </dev/null >"$out/run.log" 2>&1 &
  program=$!
  local up=0
  for _ in $(seq 120); do
    if shot start && [ "$(convert "$out/start.png" -crop 200x30+0+0 -colorspace gray \
         -format '%[fx:mean<0.95 && mean>0.05]' info:)" = 1 ]; then up=1; break; fi
    kill -0 $program 2>/dev/null || break
    sleep 0.5
  done
  [ $up = 1 ] || { echo "the program did not come up"; cat "$out/run.log"; fail=1; exit; }
  sleep 6
  shot start
  crop start $column column
}

# A picture at place $2 changes between two looks a second apart and is nowhere black.
# Takes the screenshot $1 (the second look); $3 names the crop.
check_live() {
  local a=$out/$1-a-$3.png b=$out/$1-$3.png
  import -window root -crop "$2" +repage "$a" 2>/dev/null; sleep 1; shot "$1"; crop "$1" "$2" "$3"
  below "$(black_share "$b")" 0.02 || bad "$1" "black over the $3"
  below 0.1 "$(mean "$b")" || bad "$1" "the $3 is dark"
  below 0.01 "$(unlike "$a" "$b" 1%)" || bad "$1" "the $3 stands still"
}

# The crop $3 of screenshot $1 at place $2 looks like the reference picture $4: a floating
# window still shown there, a tool column with its look.
check_look() {
  crop "$1" "$2" "$3"
  below "$(unlike "$4" "$out/$1-$3.png" 10%)" 0.05 || bad "$1" "the $3 is covered or lost its look"
}

# The live picture keeps changing and is nowhere black, the tool column looks as at start.
check() {
  sleep 1.5
  check_live "$1" $picture picture
  check_look "$1" $column column "$out/start-column.png"
}

# The frame still answers a click after $1: the File menu opens over its place.
file_menu=100x100+100+30
check_answers() {
  import -window root -crop $file_menu +repage "$out/$1-menu-closed.png" 2>/dev/null
  xdotool mousemove 111 11 click 1; sleep 1.5
  import -window root -crop $file_menu +repage "$out/$1-menu.png" 2>/dev/null
  xdotool key Escape; sleep 0.5
  below 0.2 "$(unlike "$out/$1-menu-closed.png" "$out/$1-menu.png" 3%)" || bad "$1" "the frame no longer answers clicks"
}

# Waits until the window at place $2 has painted (the same twice running: a busy machine
# paints slowly) and keeps that look as the reference $out/$1.png.
settled_look() {
  rm -f "$out/$1-before.png"
  for _ in $(seq 20); do
    sleep 0.5; import -window root -crop "$2" +repage "$out/$1.png" 2>/dev/null
    [ -f "$out/$1-before.png" ] && below "$(unlike "$out/$1-before.png" "$out/$1.png" 2%)" 0.001 && return
    cp "$out/$1.png" "$out/$1-before.png"
  done
}
