# Sourced by the tests that watch the program from outside: starts an Xvfb of their own
# (no window manager) on the first free display from $1 on, its log in $2; sets DISPLAY
# and xvfb (the server's process id).
own_display() {
  local n=$1
  while [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ]; do n=$((n+1)); done
  setsid Xvfb :$n -screen 0 1920x1080x24 -nolisten tcp </dev/null >"$2" 2>&1 &
  xvfb=$!
  for _ in $(seq 100); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
  export DISPLAY=:$n
}
