#!/usr/bin/env bash
# The layering the folders promise, checked on the includes:
#   app/store  (the image store) includes nothing of app/ outside itself;
#   framework/, imaging/ and camera/ include nothing of app/.
# Prints each offending include and exits 1 when there is one.
set -u
cd "$(dirname "$0")/.."
bad=0
report() {  # folder, allowed-prefix regex or "", files...
  local what=$1 allowed=$2; shift 2
  local hits
  hits=$(grep -HnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"app/' "$@" 2>/dev/null |
         { if [ -n "$allowed" ]; then grep -vE "#[[:space:]]*include[[:space:]]*\"$allowed"; else cat; fi; })
  if [ -n "$hits" ]; then
    echo "$what must not include these:"
    echo "$hits" | sed 's/^/  /'
    bad=1
  fi
}
sources() { find "$@" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.cc' -o -name '*.rc' \) 2>/dev/null; }

mapfile -t store < <(sources app/store)
[ ${#store[@]} -gt 0 ] && report "app/store (the image store)" "app/store/" "${store[@]}"
mapfile -t lower < <(sources framework imaging camera)
[ ${#lower[@]} -gt 0 ] && report "framework/, imaging/ and camera/" "" "${lower[@]}"

if [ $bad = 0 ]; then
  echo "check_layers: ${#store[@]} store files and ${#lower[@]} framework, imaging and camera files keep their layers"
fi
exit $bad
