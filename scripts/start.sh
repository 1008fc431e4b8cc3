#!/usr/bin/env bash
# Builds Velmora and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Velmora is built (build/velmora) but cannot start: no display is available." >&2
  echo "Start it from a graphical session, or under a virtual display: xvfb-run -a build/velmora" >&2
  exit 1
fi
exec build/velmora
