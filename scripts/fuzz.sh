#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UBSan) into build-fuzz/ and
# runs each for the given number of seconds (default 600), one after the other, on a copy of
# its seed corpus in fuzz/corpus/NAME. A second argument runs only that target
# (drawing_file, translate_table, options_file or render_drawing).
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
seconds="${1:-600}"
targets=(drawing_file translate_table options_file render_drawing)
[ $# -ge 2 ] && targets=("$2")
CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_FUZZ=ON -DVELMORA_SANITIZE=ON \
  -DBUILD_TESTING=OFF -DVELMORA_WERROR="${VELMORA_WERROR:-OFF}"
for name in "${targets[@]}"; do
  cmake --build build-fuzz --target "fuzz_$name" --parallel "$(nproc)"
done
declare -A max_len=([drawing_file]=4096 [translate_table]=16384 [options_file]=64 [render_drawing]=4096)
for name in "${targets[@]}"; do
  mkdir -p "build-fuzz/corpus/$name"
  cp -n "fuzz/corpus/$name"/* "build-fuzz/corpus/$name/"
  echo "== fuzz_$name for $seconds s"
  LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp" \
    "build-fuzz/fuzz_$name" -max_total_time="$seconds" -max_len="${max_len[$name]}" -timeout=10 \
    -print_final_stats=1 -artifact_prefix="build-fuzz/$name-" "build-fuzz/corpus/$name"
done
