#!/usr/bin/env bash
# Wall time and peak memory of hyd-calc, each against its baseline in the same
# run (GNU time's %e and %M around the whole program; the runs alternate, and
# the median of the repetitions is shown):
#
#   outputs  a constant-pressure run of a million steps with the report, the
#            records CSV and the SVG chart, against the calculation alone (the
#            same run with only the stage CSV, to /dev/null);
#   reading  a case file padded to 60 MiB with short unknown keys in [Data],
#            against the same case without them.
#
#   bench/outputs.sh [HYD-CALC] [REPETITIONS]    # default build/batch/hyd-calc, 5
set -euo pipefail
cd "$(dirname "$0")/.."

Tool=$(realpath "${1:-build/batch/hyd-calc}")
Repetitions=${2:-5}
Work=$(mktemp -d)
trap 'rm -rf "$Work"' EXIT

sed 's/^Steps=.*/Steps=1000000/' examples/constant-pressure.Hyd >"$Work/million.Hyd"
sed 's/^Steps=.*/Steps=100/' examples/constant-pressure.Hyd >"$Work/small.Hyd"
python3 - "$Work/small.Hyd" "$Work/large.Hyd" <<'EOF'
import sys
Case = open(sys.argv[1]).read()
Size = 60 << 20
Keys = "".join("K%d=%d\n" % (I % 1000, I % 10) for I in range(100000))
Padding = (Keys * (Size // len(Keys) + 1))[: Size - len(Case)]
open(sys.argv[2], "w").write(Case.replace("[BlowData]", Padding + "[BlowData]"))
EOF

# Runs the tool on its arguments in the work folder; prints "seconds KiB".
Measure() {
  (cd "$Work" && /usr/bin/time -f "%e %M" -o time.txt "$Tool" "$@" >/dev/null 2>&1) || {
    echo "hyd-calc $* failed" >&2
    exit 1
  }
  cat "$Work/time.txt"
}

declare -A Seconds Memory
Names=(calculation outputs small large)
for ((I = 0; I < Repetitions; I++)); do
  for Name in "${Names[@]}"; do
    case $Name in
      calculation) Result=$(Measure million.Hyd --stages-csv /dev/null) ;;
      outputs) Result=$(Measure million.Hyd --report r.txt --csv s.csv --svg c.svg) ;;
      small) Result=$(Measure small.Hyd --stages-csv /dev/null) ;;
      large) Result=$(Measure large.Hyd --stages-csv /dev/null) ;;
    esac
    Seconds[$Name]+="${Result% *} "
    Memory[$Name]+="${Result#* } "
  done
done

Median() { tr ' ' '\n' | grep -v '^$' | sort -g | awk '{ V[NR] = $1 } END { print V[int((NR + 1) / 2)] }'; }
printf '%-40s %10s %12s   %s\n' "run ($Repetitions repetitions, median)" "wall s" "peak MiB" "all wall times"
for Name in "${Names[@]}"; do
  Wall=$(echo "${Seconds[$Name]}" | Median)
  Peak=$(echo "${Memory[$Name]}" | Median)
  case $Name in
    calculation) Label="1e6 steps, calculation alone" ;;
    outputs) Label="1e6 steps, report + CSV + SVG" ;;
    small) Label="case file of 1 KiB" ;;
    large) Label="case file of 60 MiB" ;;
  esac
  printf '%-40s %10s %12.1f   %s\n' "$Label" "$Wall" "$(echo "$Peak / 1024" | bc -l)" "${Seconds[$Name]}"
done
Calculation=$(echo "${Seconds[calculation]}" | Median)
Outputs=$(echo "${Seconds[outputs]}" | Median)
printf 'outputs / calculation alone: %.1f x\n' "$(echo "$Outputs / $Calculation" | bc -l)"
