#!/usr/bin/env bash
# The installed desktop program on a real X display, driven as a person would:
# build the Debian package, validate and install it, start `hyd --open` on an
# example case under Xvfb with a fresh HOME, run it, read the legend, open the
# report and search it, close everything answering the questions, and check
# the screenshots and the files the program wrote.
#
#   tests/e2e/desktop.sh [BUILD-DIR]     (default: build; run as root)
#
# Screenshots go to BUILD-DIR/e2e/. Skips (exit 0) with a message only where no
# X server can be started.
set -euo pipefail
src=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$src/build}" && pwd)
out="$build/e2e"
rm -rf "$out"
mkdir -p "$out"

fail() { echo "e2e: FAILED: $*" >&2; exit 1; }
step() { echo "e2e: $*"; }

# -- The package -------------------------------------------------------------
step "package"
(cd "$build" && rm -f hyd_*.deb && cpack -G DEB >"$out/cpack.log" 2>&1) || { cat "$out/cpack.log"; fail "cpack"; }
deb=$(ls "$build"/hyd_*.deb)
step "validators"
desktop-file-validate "$src/packaging/org.hydflow.Hyd.desktop" | tee "$out/desktop-file-validate.txt"
appstreamcli validate --no-net "$src/packaging/org.hydflow.Hyd.metainfo.xml" | tee "$out/appstreamcli.txt"
lintian --allow-root --fail-on error "$deb" | tee "$out/lintian.txt" || fail "lintian found errors"

if [ "$(id -u)" -ne 0 ]; then
  fail "installing the package needs root"
fi
step "install $deb"
DEBIAN_FRONTEND=noninteractive apt-get install -y --reinstall "$deb" >"$out/apt.log" 2>&1 || { cat "$out/apt.log"; fail "apt-get install"; }
for f in /usr/bin/hyd /usr/bin/hyd-calc /usr/share/man/man1/hyd.1.gz /usr/share/man/man1/hyd-calc.1.gz \
         /usr/share/applications/org.hydflow.Hyd.desktop /usr/share/metainfo/org.hydflow.Hyd.metainfo.xml \
         /usr/share/icons/hicolor/scalable/apps/org.hydflow.Hyd.svg /usr/share/mime/packages/org.hydflow.Hyd.xml \
         /usr/share/doc/hyd/copyright; do
  [ -e "$f" ] || fail "not installed: $f"
done
version=$(hyd-calc --version)
[[ "$version" == *"1.2.2.1"* ]] || fail "hyd-calc --version: $version"
man -w hyd-calc >/dev/null || fail "man hyd-calc"
MANWIDTH=80 man hyd-calc 2>/dev/null | grep -q "hyd-calc" || fail "man hyd-calc shows nothing"
desktop-file-validate /usr/share/applications/org.hydflow.Hyd.desktop || fail "installed desktop entry"
if command -v update-mime-database >/dev/null; then
  update-mime-database /usr/share/mime
  grep -q "application/x-hyd-case" /usr/share/mime/globs2 || fail "MIME type not registered"
fi

# -- A real display ------------------------------------------------------------
if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
  echo "e2e: SKIPPED: Xvfb or xdotool is missing"
  exit 0
fi
display=""
for n in 97 98 99 100 101; do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || { echo "e2e: SKIPPED: no free X display number"; exit 0; }
# -noreset: the server does not reset when its last client (the probe below)
# leaves, which would refuse the program connecting at that moment.
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp -noreset >"$out/xvfb.log" 2>&1 &
xvfb=$!
home=$(mktemp -d)
hyd_pid=""
cleanup() {
  [ -n "$hyd_pid" ] && kill "$hyd_pid" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  rm -rf "$home"
}
trap cleanup EXIT
export DISPLAY="$display"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
if ! xdpyinfo >/dev/null 2>&1; then
  echo "e2e: SKIPPED: no X server could be started ($(tail -1 "$out/xvfb.log"))"
  exit 0
fi

# Waits up to 10 s for a window whose name matches $1; prints its id.
wait_window() {
  for _ in $(seq 100); do
    local id
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1 || true)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.1
  done
  return 1
}
shot() { import -window "$1" "$out/$2.png"; }
# Pixels of an exact colour in a picture.
count_colour() { convert "$1" -fill black +opaque "$2" -fill white -opaque "$2" -format "%[fx:int(mean*w*h+0.5)]" info:; }
keys() { xdotool windowfocus --sync "$1" 2>/dev/null || true; shift; xdotool key --clearmodifiers "$@"; }

cp "$src/examples/single-hammer.Hyd" "$home/"
step "start hyd --open single-hammer.Hyd"
(cd "$home" && unset QT_QPA_PLATFORM && HOME="$home" XDG_CONFIG_HOME="$home/.config" exec /usr/bin/hyd --open single-hammer.Hyd) \
  >"$out/hyd.log" 2>&1 &
hyd_pid=$!
main=$(wait_window "^Расчёт \[.*single-hammer.Hyd\]$") || fail "the main window did not appear"
# Room for the chart, as a person would make it.
xdotool windowmove "$main" 10 10
xdotool windowsize "$main" 880 620
sleep 0.5
shot "$main" start

step "run (Alt+Р, Space on the focused «Расчёт»)"
keys "$main" alt+Cyrillic_ER
sleep 0.2
keys "$main" space
ok=""
for _ in $(seq 50); do
  sleep 0.2
  shot "$main" run
  if [ "$(count_colour "$out/run.png" '#0000ff')" -gt 100 ]; then ok=1; break; fi
done
[ -n "$ok" ] || fail "the chart shows no fill curve after the run"
for colour in '#0000ff' '#ff0000' '#c0c000' '#008080'; do
  n=$(count_colour "$out/run.png" "$colour")
  [ "$n" -gt 50 ] || fail "the chart lacks the series colour $colour ($n pixels)"
done

step "legend under the mouse"
read -r width height < <(xdotool getwindowgeometry --shell "$main" | awk -F= '/WIDTH/{w=$2} /HEIGHT/{h=$2} END{print w, h}')
xdotool mousemove --window "$main" $((width * 3 / 4)) $((height / 2))
xdotool click 1
legend=$(wait_window "^Значения на графике$") || fail "the legend did not appear"
xdotool windowmove "$legend" 900 10
xdotool mousemove --window "$main" $((width * 3 / 4 + 20)) $((height / 2))
sleep 0.5
shot "$legend" legend
shot "$main" main-with-legend
import -window root "$out/screen-run.png"
convert "$out/screen-run.png" -crop 1210x630+5+5 +repage "$out/docs-main-window.png"

step "report (Alt+О)"
keys "$main" alt+Cyrillic_O
report=$(wait_window "^(Редактор текста|Отчёт)") || fail "the report window did not appear"
sleep 0.5
xdotool windowmove "$report" 60 120
xdotool windowsize "$report" 900 520
sleep 0.5
shot "$report" report
import -window root "$out/screen-report.png"

step "search the report (Ctrl+F)"
keys "$report" ctrl+f
if find=$(wait_window "^(Поиск|Найти)"); then
  sleep 0.3
  xdotool windowfocus --sync "$find" 2>/dev/null || true
  xdotool type --delay 20 "Re"
  shot "$find" search-window
  keys "$find" Return
  sleep 0.5
  # Not found: the warning is answered.
  if warn=$(xdotool search --onlyvisible --name "^(Внимание!|Проблема)$" 2>/dev/null | head -1) && [ -n "$warn" ]; then
    shot "$warn" search-warning
    keys "$warn" Return
  fi
else
  fail "the search window did not appear"
fi
shot "$report" report-found

step "close the report window (Alt+F4), then the program (Alt+З, «Да»)"
keys "$report" alt+F4
sleep 0.5
if question=$(xdotool search --onlyvisible --name "^Подтвердите$" 2>/dev/null | head -1) && [ -n "$question" ]; then
  fail "closing an untouched report asked a question"
fi
xdotool search --onlyvisible --name "^(Редактор текста|Отчёт)" >/dev/null 2>&1 && fail "the report window stayed open"
keys "$main" alt+Cyrillic_ZE
question=$(wait_window "^Подтвердите$") || fail "no closing question"
import -window root "$out/screen-question.png"
keys "$question" Return
for _ in $(seq 100); do
  kill -0 "$hyd_pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$hyd_pid" 2>/dev/null; then
  import -window root "$out/screen-left-open.png"
  fail "the program did not end after the closing question"
fi
wait "$hyd_pid" || fail "hyd ended with status $?"
hyd_pid=""

step "files written"
ini="$home/.config/Hyd/Hyd.ini"
[ -f "$ini" ] || fail "no settings file at $ini"
for key in '^\[Window\]' '^Width=' '^\[WindowLegend\]' '^Visible=1' '^\[WindowPercent\]' \
           "^FileName=$home/single-hammer.Hyd"; do
  grep -q "$key" "$ini" || fail "settings file lacks $key"
done
case="$home/single-hammer.Hyd"
for key in '^\[Data\]' '^Step= 1.00000000000000E-0003' '^\[BlowData\]' '^MayBlow=1' '^Top=' '^Left='; do
  grep -q "$key" "$case" || fail "parameter file lacks $key"
done
step "passed; screenshots in $out"
