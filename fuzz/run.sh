#!/usr/bin/env bash
# Builds the fuzz harnesses (when needed) and runs each of them in turn for
# SECONDS seconds on a scratch copy of its seed corpus:
#   fuzz/run.sh SECONDS [harness...]
# Harnesses: profile number_read number_format case batch (default: all).
# Exits non-zero when a harness finds a crash, a hang, a leak, a sanitizer
# report or a broken property; the input and the log are kept in the scratch
# folder that the summary names.
#
# Environment: HYD_FUZZ_BUILD (build folder, default build-fuzz),
# HYD_FUZZ_CXX (compiler, default clang++-14), HYD_FUZZ_RUNS (stop a harness
# after this many executions even before SECONDS are over), HYD_FUZZ_KEEP=1
# keeps the scratch folder also after a clean run, HYD_FUZZ_MERGE=1 adds to
# fuzz/corpus/<harness>/ those inputs of a clean run that reach code the seeds
# do not (libFuzzer's -merge=1; nothing is removed from the seeds).
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ $# -lt 1 || ! "$1" =~ ^[0-9]+$ ]]; then
  echo "usage: fuzz/run.sh SECONDS [harness...]" >&2
  exit 2
fi
seconds=$1
shift
all=(profile number_read number_format case batch)
harnesses=("$@")
[[ ${#harnesses[@]} -eq 0 ]] && harnesses=("${all[@]}")

# Longest generated input per harness.
declare -A max_len=([profile]=8192 [number_read]=1024 [number_format]=1024 [case]=4096 [batch]=256)
for h in "${harnesses[@]}"; do
  [[ -n "${max_len[$h]:-}" ]] || { echo "unknown harness: $h (known: ${all[*]})" >&2; exit 2; }
done

build=$(realpath -m "${HYD_FUZZ_BUILD:-build-fuzz}")
if [[ ! -f "$build/CMakeCache.txt" ]]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER="${HYD_FUZZ_CXX:-clang++-14}" -DHYD_WERROR=ON \
    -DHYD_FUZZ=ON -DHYD_QT=OFF -DHYD_TESTS=OFF -DHYD_BENCH=OFF
fi
targets=()
for h in "${harnesses[@]}"; do targets+=("fuzz_$h"); done
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"

scratch=$(mktemp -d "${TMPDIR:-/tmp}/hyd-fuzz.XXXXXX")
# The harnesses' own scratch files (written on every input): in memory when
# possible, and removed however the run ends.
files=$(mktemp -d /dev/shm/hyd-fuzz-files.XXXXXX 2>/dev/null || mktemp -d "$scratch/files.XXXXXX")
trap 'rm -rf "$files"' EXIT
export HYD_FUZZ_SCRATCH=$files
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

# Big seeds are made here rather than kept in the repository; they run once
# each, whole, before the timed run (which cuts inputs at max_len).
make_big_seeds() {
  local h=$1 dir=$2
  mkdir -p "$dir"
  case $h in
    profile|case)
      { printf '[Data]\nStep='; head -c 1048576 /dev/zero | tr '\0' '7'; printf '\nSteps=5\n'; } >"$dir/long-line"
      { printf '[Data]\n'; for i in $(seq 1 20000); do printf 'Key%d=%d\r\n' "$i" "$i"; done; } >"$dir/many-keys"
      { printf '['; head -c 1048576 /dev/zero | tr '\0' 'S'; printf ']\nStep=1\n'; } >"$dir/long-section"
      ;;
    number_read)
      { printf -- '-'; head -c 1048576 /dev/zero | tr '\0' '9'; printf '.5e-99999999999'; } >"$dir/long-number"
      head -c 1048576 /dev/zero | tr '\0' ' ' >"$dir/blanks"
      ;;
    number_format)
      { printf '\x01 '; head -c 1048576 /dev/zero | tr '\0' '5'; } >"$dir/long-text"
      ;;
  esac
}

status=0
for h in "${harnesses[@]}"; do
  bin="$build/fuzz/fuzz_$h"
  work="$scratch/$h"
  mkdir -p "$work/corpus" "$work/findings"
  [[ -d "fuzz/corpus/$h" ]] && cp -r "fuzz/corpus/$h/." "$work/corpus/"
  log="$work/fuzz.log"
  echo "== $h: ${seconds}s, max_len ${max_len[$h]}"
  make_big_seeds "$h" "$work/big"
  rc=0
  if compgen -G "$work/big/*" >/dev/null; then
    (cd "$work" && nice -n 10 "$bin" -timeout=60 -rss_limit_mb=4096 \
      -artifact_prefix="$work/findings/" "$work"/big/* >"$work/big.log" 2>&1) || rc=$?
    if [[ $rc -ne 0 ]]; then
      echo "   big seeds: FAILED (exit $rc), see $work/big.log"
      status=1
      continue
    fi
  fi
  (cd "$work" && nice -n 10 "$bin" -max_total_time="$seconds" -max_len="${max_len[$h]}" \
    -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$work/findings/" \
    ${HYD_FUZZ_RUNS:+-runs="$HYD_FUZZ_RUNS"} \
    "$work/corpus" >"$log" 2>&1) || rc=$?
  grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -1 | sed 's/^/   /' || true
  grep -E '^stat::number_of_executed_units' "$log" | sed 's/^/   /' || true
  if [[ $rc -ne 0 ]] || compgen -G "$work/findings/*" >/dev/null; then
    echo "   FINDING (exit $rc): inputs in $work/findings, log $log"
    grep -E 'ERROR|FUZZ_CHECK|SUMMARY' "$log" | head -5 | sed 's/^/   /' || true
    status=1
  elif [[ -n "${HYD_FUZZ_MERGE:-}" ]]; then
    seeds="$PWD/fuzz/corpus/$h"
    mkdir -p "$seeds"
    before=$(find "$seeds" -type f | wc -l)
    if (cd "$work" && "$bin" -merge=1 -max_len="${max_len[$h]}" -timeout=10 -rss_limit_mb=2048 \
      "$seeds" "$work/corpus" >"$work/merge.log" 2>&1); then
      after=$(find "$seeds" -type f | wc -l)
      echo "   merged into fuzz/corpus/$h: $((after - before)) new inputs ($after in all)"
    else
      echo "   merge: FAILED, see $work/merge.log"
      status=1
    fi
  fi
done

if [[ $status -eq 0 && -z "${HYD_FUZZ_KEEP:-}" ]]; then
  rm -rf "$scratch"
else
  echo "scratch folder kept: $scratch"
fi
exit $status
