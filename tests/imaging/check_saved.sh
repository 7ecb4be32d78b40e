#!/usr/bin/env bash
# The files the imaging tests saved, read by ImageMagick outside Wine: each must
# decode to the picture the test expects (name.pam beside it); JPEG within 35 dB.
#   check_saved.sh <folder>
set -u
dir=$1
passed=0; failed=0
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
export MAGICK_THREAD_LIMIT=1
for pam in "$dir"/*.pam; do
  [ -e "$pam" ] || continue
  f=${pam%.pam}
  case $f in
    *.gif) convert "$f" -coalesce -background none -layers flatten -depth 8 "$tmp/got.pam" 2>"$tmp/err" ;;
    *) convert "$f[0]" -auto-orient -depth 8 "$tmp/got.pam" 2>"$tmp/err" ;;
  esac
  if [ ! -s "$tmp/got.pam" ]; then
    echo "FAILED $(basename "$f"): ImageMagick cannot read it: $(head -c 200 "$tmp/err")"
    failed=$((failed + 1)); continue
  fi
  if [[ $f == *.jpg ]]; then
    psnr=$(compare -metric PSNR "$pam" "$tmp/got.pam" null: 2>&1 | cut -d' ' -f1)
    if [ "$psnr" = "inf" ] || awk "BEGIN{exit !($psnr >= 35)}"; then passed=$((passed + 1))
    else echo "FAILED $(basename "$f"): PSNR $psnr dB"; failed=$((failed + 1)); fi
  else
    ae=$(compare -metric AE "$pam" "$tmp/got.pam" null: 2>&1 | cut -d' ' -f1)
    if [ "$ae" = "0" ]; then passed=$((passed + 1))
    else echo "FAILED $(basename "$f"): $ae pixels differ"; failed=$((failed + 1)); fi
  fi
  rm -f "$tmp/got.pam"
done
echo "$passed passed, $failed failed"
[ $passed -gt 0 ] && [ $failed -eq 0 ]
