#!/usr/bin/env bash
# Builds and runs the program on Debian 12, installing what is missing first (as root or
# through sudo), so that it works on a fresh machine that has not even a compiler:
#   ./build.sh run [ARGUMENT...]   build the program only and start it with the arguments
#   ./build.sh test                build everything and run every test
#   ./build.sh bench               build everything and print the benchmarks
#   ./build.sh soak                build the tests and run only the long session on a live desktop
#                                  (10,000 commands, drags and monitor changes; left out of test)
#   ./build.sh test-wayland        the window tests through XWayland on headless weston and sway
#   ./build.sh package             build the Debian package (CPack) in build/
#   ./build.sh sanitize            build everything with clang, AddressSanitizer and
#                                  UndefinedBehaviorSanitizer in build-sanitize/ and run every test
# All but sanitize share one build directory and build type: testing after running compiles only
# the rest.
# JOBS sets the number of parallel compile and test jobs (default: the number of processors).
set -euo pipefail

source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build_dir=$source_dir/build
sanitize_dir=$source_dir/build-sanitize
program=$build_dir/src/app/quayrow2
jobs=${JOBS:-$(nproc)}

usage() {
  echo "usage: $0 run [ARGUMENT...] | test | test-wayland | bench | soak | package | sanitize" >&2
  exit 1
}

prepare() {
  bash "$source_dir/scripts/install-deps.sh"
  cmake -S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
}

command=${1-}
[ $# -gt 0 ] && shift
case "$command" in
  run)
    [ "${1-}" = "--" ] && shift
    prepare
    cmake --build "$build_dir" -j "$jobs" --target quayrow2
    echo "build.sh: the program is $program"
    exec "$program" "$@"
    ;;
  test)
    [ $# -eq 0 ] || usage
    prepare
    cmake --build "$build_dir" -j "$jobs"
    cd "$build_dir"
    exec ctest --output-on-failure -j "$jobs" --label-exclude 'wayland|soak'
    ;;
  soak)
    [ $# -eq 0 ] || usage
    prepare
    cmake --build "$build_dir" -j "$jobs" --target tst_soak_x11
    cd "$build_dir"
    QUAYROW_SOAK=1 exec ctest --output-on-failure --verbose --label-regex soak
    ;;
  test-wayland)
    [ $# -eq 0 ] || usage
    bash "$source_dir/scripts/install-deps.sh" --wayland
    prepare
    cmake --build "$build_dir" -j "$jobs" --target tst_xwayland
    cd "$build_dir"
    exec ctest --output-on-failure --verbose --label-regex wayland
    ;;
  bench)
    [ $# -eq 0 ] || usage
    prepare
    cmake --build "$build_dir" -j "$jobs"
    for benchmark in "$build_dir"/bench/bench_*; do
      if [ -f "$benchmark" ] && [ -x "$benchmark" ]; then
        "$benchmark"
      fi
    done
    ;;
  package)
    [ $# -eq 0 ] || usage
    prepare
    cmake --build "$build_dir" -j "$jobs" --target package
    ;;
  sanitize)
    [ $# -eq 0 ] || usage
    bash "$source_dir/scripts/install-deps.sh" --clang
    cmake -S "$source_dir" -B "$sanitize_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_CXX_COMPILER=clang++ -DQUAYROW_SANITIZE=ON >/dev/null
    cmake --build "$sanitize_dir" -j "$jobs"
    cd "$sanitize_dir"
    # The second run of the window tests under fluxbox tests the window manager, not our code.
    exec ctest --output-on-failure -j "$jobs" --label-exclude 'wayland|x11-windows-fluxbox|soak'
    ;;
  *)
    usage
    ;;
esac
