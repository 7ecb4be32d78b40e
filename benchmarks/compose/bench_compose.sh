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
echo "== load average at start: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) processors"
run() { "$winetest" run "$build" "$@"; }

echo "== stitching (tiles 1024 x 768, lamp fall-off; noise: the bench's, or a camera's in grey levels at mid-grey)"
# rows columns overlap stage-error empty-share [camera-noise smooth-share gain-spread]
for grid in "3 3 0.2 12 0" "5 5 0.1 12 0.6" "5 5 0.1 10 0.3 6 0.33 0.08"; do
  set -- $grid
  name=grid_${1}x${2}_$(echo "$grid" | tr ' .' '_p')
  run "$build/bin/make_compose_data.exe" "$data/$name" grid 1024 768 $1 $2 $3 $4 $5 .bmp ${6:+$6 $7 $8} >/dev/null
  count=$(($1 * $2))
  ours=$(run "$build/bin/bench_compose.exe" stitch "$(win "$data/$name")" .bmp $count "$(win "$data/$name/ours.bmp")")
  ours_s=$(echo "$ours" | field seconds)
  ours_cpu=$(echo "$ours" | field cpu)
  echo "$1 x $2, overlap $3, empty share $5${6:+, camera noise $6, smooth share $7, gain spread $8}: ours $ours"
  if [ -n "$reference" ]; then
    tiles=$(ls "$data/$name"/tile_*.bmp)
    for confidence in 0.5 default; do
      ref=$("$reference" stitch $confidence "$data/$name/opencv_$confidence.bmp" $tiles)
      echo "   OpenCV scan stitcher, confidence $confidence: $ref; ours / OpenCV time $(ratio "$ours_s" "$(echo "$ref" | field seconds)"), CPU $(ratio "$ours_cpu" "$(echo "$ref" | field cpu)")"
    done
  else
    echo "   OpenCV scan stitcher: reference missing"
  fi
done

echo "== extended depth of field (10 planes of 2048 x 1536; rms and detail against the truth)"
# name kind [noise] extension: the bench's noise, a camera's noise of N grey levels at
# mid-grey, and a scene of smoothly varying depth
for stack in "focus - .tif" "focus - .jpg" "focus 3 .tif" "focus 6 .tif" "focus 12 .tif" \
             "depth 6 .tif" "depth 6 .jpg"; do
  set -- $stack
  kind=$1 noise=$2 ext=$3
  dir=$data/${kind}_${noise}$ext
  if [ "$kind" = depth ]; then
    run "$build/bin/make_compose_data.exe" "$dir" depth 2048 1536 10 $noise $ext >/dev/null
  else
    run "$build/bin/make_compose_data.exe" "$dir" focus 2048 1536 10 $ext ${noise#-} >/dev/null
  fi
  ours=$(run "$build/bin/bench_compose.exe" edof "$(win "$dir")" $ext 10 "$(win "$dir/ours$ext")")
  ours_s=$(echo "$ours" | field seconds)
  label="$kind stack, noise $([ "$noise" = - ] && echo "of the bench" || echo "$noise"), $ext"
  if [ -z "$reference" ]; then
    echo "$label: ours $ours"
    continue
  fi
  quality=$("$reference" measure "$dir/ours$ext" "$dir/truth$ext")
  echo "$label: ours $ours, $quality"
  echo "   best single plane: $("$reference" bestplane "$dir/truth$ext" "$dir"/plane_*$ext)"
  if command -v enfuse >/dev/null; then
    t0=$(date +%s.%N)
    enfuse --exposure-weight=0 --saturation-weight=0 --contrast-weight=1 --hard-mask \
      -o "$dir/enfuse.tif" "$dir"/plane_*$ext >"$data/enfuse.log" 2>&1
    t1=$(date +%s.%N)
    enfuse_s=$(seconds "$t0" "$t1")
    theirs=$("$reference" measure "$dir/enfuse.tif" "$dir/truth$ext")
    echo "   enfuse ${enfuse_s} s, $theirs; ours / enfuse time $(ratio "$ours_s" "$enfuse_s"), rms $(ratio "$(echo "$quality" | field rms)" "$(echo "$theirs" | field rms)")"
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
