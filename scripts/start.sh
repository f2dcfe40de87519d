#!/usr/bin/env bash
# Sets up, builds and starts the program. Until the desktop program is part
# of the build, this runs the batch calculator on the example cases.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$(nproc)"

if [ -x build/app/hyd ]; then
  exec ./build/app/hyd "$@"
fi
for c in examples/*.Hyd; do
  echo "=== $c"
  ./build/batch/hyd-calc "$c"
done
