#!/usr/bin/env bash
# Composition benchmark: our libraries and workers against references run natively on
# the same bench-rendered files in the same run (enfuse for depth of field, OpenCV's
# scan stitcher, OpenCV's exposure fusion), printed as ratios. A missing reference is
# said, not skipped silently.
#   bash benchmarks/compose/bench_compose.sh [build folder]
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
data=$build/compose_bench
winetest=$root/tools/winetest.sh
mkdir -p "$data"

win() { echo "Z:$(echo "$1" | tr / '\\')"; }
seconds() { python3 -c "import sys; print('%.3f' % (float(sys.argv[2]) - float(sys.argv[1])))" "$@"; }
ratio() { python3 -c "import sys; a, b = float(sys.argv[1]), float(sys.argv[2]); print('%.2f' % (a / b) if b > 0 else 'n/a')" "$@"; }
field() { sed -n "s/.*$1 \([-0-9.]*\).*/\1/p"; }

reference=$build/compose_reference
if ! g++ -O2 -o "$reference" "$here/compose_reference.cpp" $(pkg-config --cflags --libs opencv4) 2>"$data/reference-build.log"; then
  echo "reference: OpenCV reference program could not be built (see $data/reference-build.log)"
  reference=""
fi

"$winetest" start "$build" >/dev/null
run() { "$winetest" run "$build" "$@"; }

echo "== stitching (tiles 1024 x 768, noise, lamp fall-off)"
for grid in "3 3 0.2 12 0" "5 5 0.1 12 0.6"; do
  set -- $grid
  name=grid_${1}x${2}
  run "$build/bin/make_compose_data.exe" "$data/$name" grid 1024 768 $1 $2 $3 $4 $5 .bmp >/dev/null
  count=$(($1 * $2))
  ours=$(run "$build/bin/bench_compose.exe" stitch "$(win "$data/$name")" .bmp $count "$(win "$data/$name/ours.bmp")")
  ours_s=$(echo "$ours" | field seconds)
  echo "$1 x $2, overlap $3, empty share $5: ours $ours"
  if [ -n "$reference" ]; then
    tiles=$(ls "$data/$name"/tile_*.bmp)
    for confidence in 0.5 default; do
      ref=$("$reference" stitch $confidence "$data/$name/opencv_$confidence.bmp" $tiles)
      ref_s=$(echo "$ref" | field seconds)
      echo "   OpenCV scan stitcher, confidence $confidence: $ref; ours / OpenCV $(ratio "$ours_s" "$ref_s")"
    done
  else
    echo "   OpenCV scan stitcher: reference missing"
  fi
done

echo "== extended depth of field (10 planes of 2048 x 1536)"
for ext in .tif .jpg; do
  dir=$data/focus$ext
  run "$build/bin/make_compose_data.exe" "$dir" focus 2048 1536 10 $ext >/dev/null
  ours=$(run "$build/bin/bench_compose.exe" edof "$(win "$dir")" $ext 10 "$(win "$dir/ours$ext")")
  ours_s=$(echo "$ours" | field seconds)
  quality=""
  [ -n "$reference" ] && quality=$("$reference" measure "$dir/ours$ext" "$dir/truth$ext")
  echo "$ext: ours $ours, $quality"
  if command -v enfuse >/dev/null; then
    t0=$(date +%s.%N)
    enfuse --exposure-weight=0 --saturation-weight=0 --contrast-weight=1 --hard-mask \
      -o "$dir/enfuse.tif" "$dir"/plane_*$ext >"$data/enfuse.log" 2>&1
    t1=$(date +%s.%N)
    enfuse_s=$(seconds "$t0" "$t1")
    quality=""
    [ -n "$reference" ] && quality=$("$reference" measure "$dir/enfuse.tif" "$dir/truth$ext")
    echo "   enfuse ${enfuse_s} s, $quality; ours / enfuse $(ratio "$ours_s" "$enfuse_s")"
  else
    echo "   enfuse: reference missing (install it with tools/setup.sh)"
  fi
done

echo "== HDR (three exposures of 2048 x 1536)"
run "$build/bin/make_compose_data.exe" "$data/bracket" bracket 2048 1536 3 .jpg >/dev/null
ours=$(run "$build/bin/bench_compose.exe" hdr "$(win "$data/bracket")" .jpg "$(win "$data/bracket/ours.jpg")")
ours_s=$(echo "$ours" | field seconds)
echo "ours $ours"
if [ -n "$reference" ]; then
  ref=$("$reference" mertens "$data/bracket/mertens.jpg" "$data/bracket"/exposure_*.jpg)
  echo "   OpenCV exposure fusion with decode and encode: $ref; ours / OpenCV $(ratio "$ours_s" "$(echo "$ref" | field seconds)")"
else
  echo "   OpenCV exposure fusion: reference missing"
fi

echo "== channel merge (four 4096 x 3072 channels)"
echo "$(run "$build/bin/bench_compose.exe" channels) (against four plain copies of a channel)"
"$winetest" stop "$build" >/dev/null
