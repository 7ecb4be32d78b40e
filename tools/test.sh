#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
. tools/utf8-locale.sh
cmake -S . -B build -G Ninja
cmake --build build
ctest --test-dir build --output-on-failure --timeout 900
