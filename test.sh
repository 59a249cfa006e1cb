#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the suite in the
# normal build, the end-to-end scripts (tests/e2e: a private X server with a
# window manager, an input method and a print queue), the suite again under
# AddressSanitizer and UndefinedBehaviorSanitizer (build-asan), and, when
# clang is there, a one-minute run of each fuzz target (build-fuzz).
set -euo pipefail
cd "$(dirname "$0")"
. scripts/deps.sh
soramemo_install_packages "${SORAMEMO_E2E_PACKAGES[@]}"
soramemo_install_optional
jobs="$(nproc)"
failed=()

soramemo_build
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs") || failed+=("tests")
for script in tests/e2e/*.sh; do
  [ "$(basename "$script")" = lib.sh ] && continue
  timeout 120 "$script" || failed+=("$(basename "$script" .sh)")
done

# Qt keeps some allocations until exit by design: leak reports would be noise.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
soramemo_build_in build-asan -DSORAMEMO_SANITIZE=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON
(cd build-asan && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs") || failed+=("sanitizer tests")

if command -v clang++ >/dev/null 2>&1; then
  cmake -S tests/fuzz -B build-fuzz -DCMAKE_CXX_COMPILER=clang++
  cmake --build build-fuzz -j"$jobs"
  data=tests/data
  smoke() {  # target, seed folders...
    local target=$1 work
    shift
    work="$(mktemp -d)"  # new inputs land here; the seed folders stay as they are
    local seeds=()
    for d in "$@"; do if [ -d "$d" ]; then seeds+=("$(cd "$d" && pwd)"); fi; done
    (cd build-fuzz && QT_QPA_PLATFORM=offscreen "./$target" -max_total_time=60 -rss_limit_mb=2048 \
      -timeout=30 -max_len=16384 -print_final_stats=1 -artifact_prefix="$PWD/$target-" \
      "$work" "${seeds[@]}") || failed+=("$target")
    rm -rf "$work"
  }
  smoke fuzz_rtf_read tests/fuzz/seeds/rtf tests/fuzz/regressions/rtf "$data/rtf-peer"
  smoke fuzz_textdecode tests/fuzz/seeds/text tests/fuzz/regressions/text "$data/text"
  smoke fuzz_rtf_roundtrip tests/fuzz/seeds/roundtrip tests/fuzz/regressions/roundtrip
  smoke fuzz_genkou tests/fuzz/seeds/genkou
else
  echo "clang++ がないため、ファジングを省略します / no clang++: fuzz targets skipped"
fi

if [ ${#failed[@]} -gt 0 ]; then
  echo "失敗 / failed: ${failed[*]}"
  exit 1
fi
