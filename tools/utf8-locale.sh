# Sourced by every script that starts Wine.  Wine turns Windows file names into Unix
# ones in the character set of the caller's locale: without a UTF-8 one (no LANG, as on
# a minimal install or in a container) a Chinese file or folder name cannot be mapped
# and its open fails.  C.UTF-8 is always there on Debian.
if [ "$(locale charmap 2>/dev/null)" != "UTF-8" ]; then
  export LC_ALL=C.UTF-8
fi
