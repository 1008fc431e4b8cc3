#!/usr/bin/env bash
# Configures and builds everything into build/ (the program is build/velmora).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVELMORA_WERROR="${VELMORA_WERROR:-OFF}"
cmake --build build --parallel "$(nproc)"
