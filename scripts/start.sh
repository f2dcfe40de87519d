#!/usr/bin/env bash
# Sets up, builds and starts the desktop program. Without a display (no X11
# or Wayland server to connect to) it says so and runs the example cases
# through the batch calculator instead.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$(nproc)"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec ./build/app/hyd "$@"
fi
echo "No display found (neither DISPLAY nor WAYLAND_DISPLAY is set): cannot open the window."
echo "Start it on a desktop with: ./build/app/hyd"
echo "Meanwhile, the example cases through the batch calculator:"
for c in examples/*.Hyd; do
  echo "=== $c"
  ./build/batch/hyd-calc "$c"
done
