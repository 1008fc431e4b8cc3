#!/usr/bin/env bash
# Builds the drawing-file fuzzer with clang (libFuzzer, AddressSanitizer, UBSan) into
# build-fuzz/ and runs it for the given number of seconds (default 600) on a copy of the
# seed corpus in fuzz/corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
missing=()
for package in clang libclang-rt-14-dev; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_FUZZ=ON -DVELMORA_SANITIZE=ON \
  -DBUILD_TESTING=OFF -DVELMORA_WERROR="${VELMORA_WERROR:-OFF}"
cmake --build build-fuzz --target fuzz_drawing_file --parallel "$(nproc)"
mkdir -p build-fuzz/corpus
cp -n fuzz/corpus/* build-fuzz/corpus/
build-fuzz/fuzz_drawing_file -max_total_time="${1:-600}" -max_len=4096 -print_final_stats=1 build-fuzz/corpus
