#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer into build/fuzz and runs each for a
# bounded time, one after the other.
#
#   bash scripts/fuzz.sh [seconds per target] [target...]
#
# Targets: tune_file_fuzz layout_settings_fuzz info_text_fuzz (all when none is named).
# Seed corpora are generated into build/fuzz/seeds; what the fuzzer finds accumulates in
# build/fuzz/corpus; crashes land in build/fuzz/findings. Exit status 1 when any target failed.
set -u
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(tune_file_fuzz layout_settings_fuzz info_text_fuzz)

# clang and its libFuzzer runtime, for fuzzing only.
runtime=$(ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a 2>/dev/null | head -n1)
if ! command -v clang++ >/dev/null || [ -z "$runtime" ]; then
  sudo=""
  [ "$(id -u)" = 0 ] || sudo=sudo
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends clang libclang-rt-dev </dev/null || exit 1
fi

build=build/fuzz
flags="-g -O1 -fno-omit-frame-pointer -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined"
cmake -S . -B "$build" -G "Unix Makefiles" \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=Debug -DT6_SANITIZE=OFF \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
  -DCMAKE_PROJECT_INCLUDE="$PWD/fuzz/hook.cmake" >/dev/null || exit 1
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" --target make_seeds "${targets[@]}" || exit 1

"$build/fuzz_targets/make_seeds" "$build/seeds" || exit 1
mkdir -p "$build/findings"

status=0
for target in "${targets[@]}"; do
  name=${target%_fuzz}
  corpus="$build/corpus/$name"
  mkdir -p "$corpus"
  echo "== $target: $seconds s"
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$build/fuzz_targets/$target" "$corpus" "$build/seeds/$name" \
      -dict=fuzz/tune.dict -max_len=4500 -max_total_time="$seconds" -rss_limit_mb=2048 \
      -artifact_prefix="$build/findings/$name-" -print_final_stats=1 2>"$build/$name.log"
  result=$?
  grep -E '^stat::number_of_executed_units|^Done|SUMMARY|ERROR' "$build/$name.log"
  if [ $result -ne 0 ]; then
    echo "$target FAILED (see $build/$name.log)"
    status=1
  fi
done
exit $status
