#!/bin/sh
# Velmora as a Wayland client: a headless weston is started in a folder of its own, then the
# window test runs on it. Skipped (77) only when weston is missing or does not come up.
set -u
test_binary=$1
command -v weston >/dev/null 2>&1 || { echo "SKIP: weston is not installed"; exit 77; }
runtime=$(mktemp -d)
chmod 700 "$runtime"
export XDG_RUNTIME_DIR="$runtime"
weston --backend=headless-backend.so --socket=velmora-wayland --idle-time=0 >"$runtime/weston.log" 2>&1 &
weston_pid=$!
trap 'kill $weston_pid 2>/dev/null; wait $weston_pid 2>/dev/null; rm -rf "$runtime"' EXIT
i=0
while [ $i -lt 100 ] && [ ! -S "$runtime/velmora-wayland" ] && kill -0 $weston_pid 2>/dev/null; do
  sleep 0.1
  i=$((i + 1))
done
if [ ! -S "$runtime/velmora-wayland" ]; then
  echo "SKIP: weston did not start:"
  cat "$runtime/weston.log"
  exit 77
fi
WAYLAND_DISPLAY=velmora-wayland QT_QPA_PLATFORM=wayland "$test_binary"
