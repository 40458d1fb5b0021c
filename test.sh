#!/usr/bin/env bash
# Sets up what is missing and runs every test: the unit tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, the threaded tests under
# ThreadSanitizer, and the protocol fuzzer for a bounded time.
set -euo pipefail
source "$(dirname "$0")/scripts/prepare.sh"
cd "$QEV_ROOT"

qev_install_packages
qev_build_program

qev_build build/asan qev_tests -DCMAKE_BUILD_TYPE=Debug -DQEV_TESTS=ON -DQEV_SANITIZER=address
ctest --test-dir build/asan --output-on-failure -j2

qev_build build/tsan qev_tests -DCMAKE_BUILD_TYPE=Debug -DQEV_TESTS=ON -DQEV_SANITIZER=thread
ctest --test-dir build/tsan --output-on-failure

qev_build build/fuzz qev_fuzz -DCMAKE_BUILD_TYPE=Debug -DQEV_FUZZ=ON \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
ctest --test-dir build/fuzz --output-on-failure
