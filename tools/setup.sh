#!/usr/bin/env bash
# Installs every Debian package that the build, the programs and the tests need.
# Idempotent: installs only what is missing; nothing is fetched from anywhere else.
set -u
PKGS=(
  cmake ninja-build g++ make python3
  wine wine64 wine64-tools libwine-dev
  xvfb xauth x11-apps x11-utils imagemagick fonts-wqy-microhei
  xdotool
  googletest libgtest-dev
  libjpeg62-turbo-dev libtiff-dev libpng-dev zlib1g-dev libopenjp2-7-dev libmng-dev
  libraw-dev libopencv-dev libavcodec-dev libavutil-dev libgif-dev
  netpbm enfuse
)
missing=()
for p in "${PKGS[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all packages present"
  exit 0
fi
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
if ! $SUDO apt-get update -q >/tmp/orvisnap-apt-update.log 2>&1; then
  echo "setup: apt-get update failed; see /tmp/orvisnap-apt-update.log" >&2
  tail -n 5 /tmp/orvisnap-apt-update.log >&2
  exit 1
fi
if ! $SUDO apt-get install -y -q "${missing[@]}" >/tmp/orvisnap-apt-install.log 2>&1; then
  echo "setup: apt-get install failed for: ${missing[*]}; see /tmp/orvisnap-apt-install.log" >&2
  tail -n 15 /tmp/orvisnap-apt-install.log >&2
  exit 1
fi
echo "setup: done"
