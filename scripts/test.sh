#!/usr/bin/env bash
# Builds Velmora from scratch and runs every test (unit tests headless, the smoke test under Xvfb).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
cd build
ctest --output-on-failure --timeout 300
