#!/usr/bin/env bash
# The README's run command on a display with no window manager, as a person starting
# Xvfb by hand has it, in a prefix last used under a window manager (managed windows),
# from an environment that names no locale, with a picture of a Chinese name on the
# command line: the program must open it and, maximised, fill the screen, leaving no
# part of it black.  Before that, on a machine made to look as if a package were
# missing, the run command must install it through the shared set-up before building.
#   run_script_test.sh <source> <build>
set -u
src=$1; build=$(cd "$2" && pwd)
out=$build/run_script_test
mkdir -p "$out"

# Set-up first: stand-ins for the package tools say xdotool is missing and record the
# calls; the stand-in cmake records and stops the run there.
fake=$out/fake-tools
rm -rf "$fake"; mkdir -p "$fake"
cat >"$fake/dpkg-query" <<'TOOL'
#!/bin/sh
for a; do p=$a; done
[ "$p" = xdotool ] && exit 1
echo 'install ok installed'
TOOL
printf '#!/bin/sh\necho "apt-get $*" >>"%s/calls"\n' "$fake" >"$fake/apt-get"
printf '#!/bin/sh\n"$@"\n' >"$fake/sudo"
printf '#!/bin/sh\necho cmake >>"%s/calls"\nexit 3\n' "$fake" >"$fake/cmake"
chmod +x "$fake"/*
PATH=$fake:$PATH bash "$src/tools/run.sh" "$build" </dev/null >"$out/setup.log" 2>&1
if ! grep -q 'install.* xdotool$' "$fake/calls" 2>/dev/null ||
   [ "$(grep -n '' "$fake/calls" | grep -m1 -e install -e cmake | cut -d: -f2)" = cmake ]; then
  echo "the run command did not install the missing package before building:"
  cat "$fake/calls" "$out/setup.log" 2>/dev/null
  exit 1
fi
. "$src/tests/shell/own_display.sh"
own_display 150 "$out/xvfb.log"
prefix=$build/run/prefix
. "$src/tools/utf8-locale.sh"
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
picture="$out/圖片 資料/細胞.bmp"
mkdir -p "$(dirname "$picture")"
convert -size 64x48 gradient:gray20-gray80 "BMP3:$picture"
setsid env -u LANG -u LANGUAGE -u LC_ALL -u LC_CTYPE -u LC_MESSAGES \
  bash "$src/tools/run.sh" "$build" -- "$picture" </dev/null >"$out/run.log" 2>&1 &
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
grep -q '^setup: all packages present' "$out/run.log" ||
  { echo "the run command did not go through the set-up"; cat "$out/run.log"; fail=1; }
# Wine maps file names in the character set of the program's locale.
wine_pid=$(ps -o pid=,args= -s "$program" | awk '/Orvisnap\.exe/ {print $1; exit}')
charmap=$(env -i $(tr '\0' '\n' <"/proc/$wine_pid/environ" 2>/dev/null | grep -E '^(LANG|LC_ALL|LC_CTYPE)=') \
  locale charmap 2>/dev/null)
[ "$charmap" = UTF-8 ] || { echo "the program runs under the character set '$charmap', not UTF-8"; fail=1; }
# Without a resource database Xlib reads its files again for every default it looks up.
home=$(tr '\0' '\n' <"/proc/$wine_pid/environ" 2>/dev/null | sed -n 's/^HOME=//p')
[ -n "$home" ] && [ -e "$home/.Xdefaults" ] || { echo "no X resource file in the program's HOME '$home'"; fail=1; }
sleep 6   # the first pictures and the layout settle
# Printing and the internet wait for their first use: the print spooler's library alone
# brings the CUPS client and some twenty others into the start.
if grep -qE '/(winspool|wininet)\.(so|drv|dll)$' "/proc/$wine_pid/maps"; then
  echo "the print spooler or the internet library was loaded at the start"; fail=1
fi

black() {  # share of pure black pixels in a screenshot
  convert "$1" -fill white +opaque black -negate \
    -format '%[fx:mean]' info:
}
import -window root "$out/start.png"
b=$(black "$out/start.png")
echo "black share: $b"
awk "BEGIN {exit !($b < 0.01)}" || { echo "parts of the screen left black"; fail=1; }
