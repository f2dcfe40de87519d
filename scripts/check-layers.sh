#!/usr/bin/env bash
# The layers of the tree: the standard-C++ folders include no Qt header and no
# header of a Qt folder, and every include of our own names its folder from
# the repository root. Exits non-zero and lists the offending lines otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."

std_folders=(text engine results case batch)
qt_folders=(controls dialogs app)
status=0

# Qt headers are <Q...>/<Qt...> (and <qobject.h>-style lower-case ones).
qt_pattern='^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](Q[A-Za-z]|qt?[a-z]*\.h|Qt[A-Za-z]*/)'
layer_pattern="^[[:space:]]*#[[:space:]]*include[[:space:]]*[<\"]($(IFS='|'; echo "${qt_folders[*]}"))/"
for folder in "${std_folders[@]}"; do
  hits=$(grep -rnE -e "$qt_pattern" -e "$layer_pattern" --include='*.h' --include='*.cpp' "$folder" || true)
  if [ -n "$hits" ]; then
    echo "A standard-C++ folder includes Qt or a Qt folder's header:"
    echo "$hits"
    status=1
  fi
  if grep -qE 'Qt6::|AUTOMOC' "$folder/CMakeLists.txt"; then
    echo "$folder/CMakeLists.txt links Qt"
    status=1
  fi
done

# Our own headers are named from the repository root.
all=("${std_folders[@]}" "${qt_folders[@]}" tests bench fuzz)
bare=$(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^/"]+"' --include='*.h' --include='*.cpp' "${all[@]}" || true)
if [ -n "$bare" ]; then
  echo "An include without its folder:"
  echo "$bare"
  status=1
fi

[ "$status" -eq 0 ] && echo "Layers: ok"
exit "$status"
