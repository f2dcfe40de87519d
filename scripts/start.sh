#!/usr/bin/env bash
# Sets up, builds and starts the desktop program in the layout a package
# installs (build/stage/bin, share/...). Without a display (no X11 or Wayland
# server to connect to) it says so and runs the example cases through the
# batch calculator instead.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$(nproc)"
cmake --install build --prefix "$PWD/build/stage" >/dev/null

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec ./build/stage/bin/hyd "$@"
fi
echo "No display found (neither DISPLAY nor WAYLAND_DISPLAY is set): cannot open the window."
echo "On a desktop, start it with: ./build/stage/bin/hyd   (or install the package: see README)"
echo "Meanwhile, the example cases through the batch calculator:"
for c in examples/*.Hyd; do
  echo "=== $c"
  ./build/stage/bin/hyd-calc "$c"
done
