#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/
# and runs every test there.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_SANITIZE=ON -DVELMORA_WERROR="${VELMORA_WERROR:-OFF}"
cmake --build build-asan --parallel "$(nproc)"
cd build-asan
ctest --output-on-failure --timeout 300
