#!/usr/bin/env bash
# Builds and runs every test twice: a normal build with g++, and a build with
# clang under AddressSanitizer + UndefinedBehaviorSanitizer (leaks included).
# Both builds treat warnings as errors. The normal build's suite also runs
# under valgrind. Then the fuzz targets replay their corpora and fuzz briefly
# (scripts/fuzz.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DROSTRIX_WERROR=ON \
  -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DROSTRIX_WERROR=ON -DROSTRIX_SANITIZE=ON \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs"

# The normal build's suite once more under valgrind's memcheck (a few seconds).
valgrind --quiet --error-exitcode=1 --leak-check=full build/tests/rostrix_tests --gtest_brief=1

# The fuzz targets: each replays its corpus, then fuzzes for 30 seconds.
scripts/fuzz.sh 30
