#!/usr/bin/env bash
# Sets up, builds and runs every test; builds, validates and installs the
# Debian package and drives the installed program on an X display; gives
# every fuzzer a short smoke run;
# then runs every test once more under AddressSanitizer and
# UndefinedBehaviorSanitizer (leaks included).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
bash scripts/check-layers.sh
bash scripts/check-format.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DHYD_WERROR=ON
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

# The Debian package, installed, and the installed program driven on a real
# X display (Xvfb).
bash tests/e2e/desktop.sh build

# A short smoke run of every fuzzer (its own clang build; see fuzz/run.sh).
bash fuzz/run.sh 30

cmake -S . -B build-san -G Ninja -DCMAKE_BUILD_TYPE=Debug -DHYD_WERROR=ON \
  -DHYD_SANITIZE=ON -DHYD_QT=ON -DHYD_BENCH=OFF
cmake --build build-san -j "$jobs"
ctest --test-dir build-san --output-on-failure -j "$jobs"
