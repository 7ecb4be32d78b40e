#!/usr/bin/env bash
# More of what a user opens, closes or starts, seen from outside on a display without a
# window manager: context menus closed with Escape, a modal dialog, minimise and restore,
# a recording, compare mode with a thumbnail click, and the print-layout window and the
# layers panel over the Browse and Image pages.  The live picture keeps changing and is
# nowhere black, the tool column keeps its look, each floating window stays at its place.
#   stacking_more_test.sh <source> <build>      (screenshots in <build>/stacking_more_test/)
set -u
. "$1/tests/shell/stacking_look.sh" "$1" "$2" stacking_more_test 190

# The files made here go again: a recording would be the strip's first thumbnail in the
# next run, which plays rather than shows.
folder="$prefix/drive_c/users/root/Desktop/Orvisnap images"
touch "$out/started"
finish_more() { find "$folder" -type f -newer "$out/started" -delete 2>/dev/null; finish; }
trap finish_more EXIT

# Compare mode: the live picture left, the comparison pane right.
live_left=400x400+450+300
pane=400x300+1250+300
thumbnail="335 970"                # the strip's first thumbnail
# Not black and not dark: a still picture shown.
check_shown() {
  crop "$1" "$2" "$3"
  below "$(black_share "$out/$1-$3.png")" 0.02 || bad "$1" "black over the $3"
  below 0.1 "$(mean "$out/$1-$3.png")" || bad "$1" "the $3 is dark"
}
syscommand() { WINEPREFIX=$prefix WINEDEBUG=-all wine "$build/bin/orv_syscommand.exe.so" "$1"; }

start_program
xdotool mousemove 65 90 click 1      # a still, so that the strip has a thumbnail
sleep 2
check start

xdotool mousemove 1000 500 click 3; sleep 1.5; shot preview-menu; xdotool key Escape
check preview-menu-closed
xdotool mousemove $thumbnail click 3; sleep 1.5; shot strip-menu; xdotool key Escape
check strip-menu-closed
check_answers strip-menu-closed

xdotool mousemove 155 11 click 1; sleep 1.5       # Help, then About: a modal dialog
xdotool mousemove 170 99 click 1; sleep 2; shot about; xdotool key Escape
check about-closed
check_answers about-closed

# Minimised, the screen around the little bar left of the frame is black.
xdotool mousemove 1861 13 click 1
minimised=0
for _ in $(seq 20); do
  sleep 0.5; shot minimised
  below "$(convert "$out/minimised.png" -crop 1000x600+400+200 -format '%[fx:mean]' info:)" 0.01 &&
    { minimised=1; break; }
done
[ $minimised = 1 ] || bad minimised "the frame's minimise button did nothing"
syscommand restore || bad restored "no frame to restore"
check restored

xdotool mousemove 1894 695 click 1   # compare mode
sleep 2; shot compare; crop compare $column column
xdotool mousemove $thumbnail click 1
sleep 2.5
check_live compare-thumbnail $live_left picture
check_shown compare-thumbnail $pane pane
check_look compare-thumbnail $column column "$out/compare-column.png"
xdotool mousemove 155 11 click 1; sleep 1.5
xdotool mousemove 170 99 click 1; sleep 2; xdotool key Escape; sleep 2
check_live compare-about $live_left picture
check_shown compare-about $pane pane
check_look compare-about $column column "$out/compare-column.png"
check_answers compare-about
xdotool mousemove 1894 695 click 1   # compare mode off

# The print-layout window over the Browse page, its exit button and the empty space above.
print=200x150+1140+600
xdotool mousemove 111 37 click 1; sleep 2
xdotool mousemove 1894 627 click 1   # the Browse tools' print button
settled_look print-window $print
xdotool mousemove $thumbnail click 1; sleep 2.5; shot print-thumbnail
check_look print-thumbnail $print print "$out/print-window.png"
xdotool mousemove 1209 232 click 1; sleep 2.5; shot print-import; xdotool key Escape
sleep 2; shot print-import-closed
check_look print-import-closed $print print "$out/print-window.png"
xdotool mousemove 600 300 click 1; sleep 1
xdotool mousemove 1894 627 click 1; sleep 2; shot print-again
check_look print-again $print print "$out/print-window.png"
xdotool mousemove 1209 720 click 1   # closed

# The layers panel, opened from the measurement panel on the Image page.
layers=210x70+240+312
xdotool mousemove 183 37 click 1; sleep 2
xdotool mousemove 203 11 click 1; sleep 2
xdotool mousemove 311 115 click 1
settled_look layers-panel $layers
xdotool mousemove $thumbnail click 1; sleep 2.5; shot layers-thumbnail
check_look layers-thumbnail $layers layers "$out/layers-panel.png"
xdotool mousemove 1000 500 click 1; sleep 2; shot layers-picture-click
check_look layers-picture-click $layers layers "$out/layers-panel.png"

xdotool mousemove 39 37 click 1
check capture-tab-again

# A recording last: its file would be the strip's first thumbnail, which plays, not shows.
# The file section's record button; the section is opened first where it is closed.
convert "$out/capture-tab-again.png" -crop 30x20+15+665 +repage "$out/record.png"
[ "$(convert "$out/record.png" -format '%[fx:maxima.r > 0.6 && minima.g < 0.3]' info:)" = 1 ] ||
  { xdotool mousemove 50 405 click 1; sleep 2; }
xdotool mousemove 60 675 click 1; sleep 0.5; shot recording
check recorded

