#!/usr/bin/env bash
# The C++ sources are laid out as .clang-format says. Lists the files that are
# not; `clang-format -i FILE` lays one out.
set -euo pipefail
cd "$(dirname "$0")/.."
bad=$(git ls-files '*.h' '*.cpp' | grep -v '^fuzz/corpus/' |
  while read -r f; do clang-format --dry-run -Werror "$f" >/dev/null 2>&1 || echo "$f"; done)
if [ -n "$bad" ]; then
  echo "Not laid out as .clang-format says (run clang-format -i on them):"
  echo "$bad"
  exit 1
fi
echo "Format: ok"
