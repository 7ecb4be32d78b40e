#!/usr/bin/env bash
# The program's floating windows stay above its frame on a display without a window
# manager, seen from outside: after the File menu closed with Escape, a still, a click
# into the picture with the measurement panel open, a thumbnail click answered in its
# message box and a tab switch, the live picture keeps changing and is nowhere black, the
# capture tool column keeps its look and the measurement panel stays where it was shown.
#   stacking_test.sh <source> <build>      (screenshots in <build>/stacking_test/)
set -u
. "$1/tests/shell/stacking_look.sh" "$1" "$2" stacking_test 170

start_program
check start

xdotool mousemove 111 11 click 1; sleep 1.5; shot file-menu; xdotool key Escape
check file-menu-closed
check_answers file-menu-closed

xdotool mousemove 65 90 click 1      # the capture button
sleep 1.5
check still

xdotool mousemove 203 11 click 1     # the measurement panel
settled_look measure-panel $measure
xdotool mousemove 1000 500 click 1   # into the picture
check picture-click
check_look picture-click $measure panel "$out/measure-panel.png"
xdotool mousemove 203 11 click 1     # hidden again

xdotool mousemove 335 1000 click 1   # the still's thumbnail: a question, answered no
sleep 2; shot thumbnail-question; xdotool key n
check thumbnail-answered

xdotool mousemove 111 37 click 1; sleep 2; shot browse-tab
xdotool mousemove 39 37 click 1
check capture-tab-again
