#!/usr/bin/env bash
# Builds the libFuzzer targets (the `fuzz` preset: clang, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each in turn for SECONDS (default 60):
#
#   scripts/fuzz.sh [SECONDS] [TARGET]...
#
# Each target starts from a scratch copy of its seeds (build-fuzz/corpus/<target>; the seeds in
# fuzz/corpus/ never grow; FUZZ_KEEP_CORPUS=1 goes on from the last run's corpus instead). A
# crash, leak, time-out or failed property leaves its input in build-fuzz/findings/<target>/
# and the whole run exits 1; the log of each run is build-fuzz/logs/<target>.log.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$root/build-fuzz
seconds=${1:-60}
[[ "$seconds" =~ ^[0-9]+$ ]] || { echo "usage: scripts/fuzz.sh [SECONDS] [TARGET]..." >&2; exit 2; }
shift $(($# > 0 ? 1 : 0))

# The longest input worth trying: a little more than the largest real input of each kind.
declare -A max_len=(
  [receiver]=2048 [integer_text]=64 [ipv4_text]=64 [cp1251]=1024 [record]=512
  [settings_file]=4096 [cli_sheet]=4096 [cli_backup]=4096 [cli_worklist]=4096 [cli_options]=512
  [sim_instrument]=2048
)
all_targets=(receiver integer_text ipv4_text cp1251 record settings_file cli_sheet cli_backup
             cli_worklist cli_options sim_instrument)
if (($#)); then targets=("$@"); else targets=("${all_targets[@]}"); fi
for t in "${targets[@]}"; do
  [[ -n "${max_len[$t]:-}" ]] || { echo "fuzz: no target $t (the targets: ${all_targets[*]})" >&2; exit 2; }
done

# The base packages, clang and libFuzzer; apt only when something is missing.
"$root/scripts/setup.sh" fuzz

cd "$root"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
mkdir -p "$build/logs"
failed=()
start=$SECONDS
printf '%-15s %12s %9s %6s %7s %16s  %s\n' target executions exec/s cov ft corpus findings
for t in "${targets[@]}"; do
  corpus=$build/corpus/$t findings=$build/findings/$t log=$build/logs/$t.log
  [[ "${FUZZ_KEEP_CORPUS:-0}" == 1 ]] || rm -rf "$corpus"
  mkdir -p "$corpus" "$findings"
  cp -n "$root/fuzz/corpus/$t/"* "$corpus/" 2>/dev/null || true
  before=$(find "$findings" -type f | wc -l)

  set +e
  "$build/fuzz/$t" "$corpus" -max_total_time="$seconds" -max_len="${max_len[$t]}" -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/" >"$log" 2>&1
  status=$?
  set -e

  # libFuzzer's last status line (DONE, or the last before it stopped) and its final stats.
  last=$(grep -E '^#[0-9]+.*cov: ' "$log" | tail -n 1 || true)
  cov=$(sed -nE 's/.* cov: ([0-9]+).*/\1/p' <<<"$last")
  ft=$(sed -nE 's/.* ft: ([0-9]+).*/\1/p' <<<"$last")
  runs=$(sed -nE 's/^stat::number_of_executed_units: ([0-9]+)/\1/p' "$log" | tail -n 1)
  speed=$(sed -nE 's/^stat::average_exec_per_sec: +([0-9]+)/\1/p' "$log" | tail -n 1)
  units=$(find "$corpus" -type f | wc -l)
  bytes=$(du -sb "$corpus" | cut -f1)
  found=$(($(find "$findings" -type f | wc -l) - before))
  verdict=none
  if ((status != 0 || found > 0)); then
    verdict="$found new in build-fuzz/findings/$t (exit $status; see build-fuzz/logs/$t.log)"
    failed+=("$t")
  fi
  printf '%-15s %12s %9s %6s %7s %16s  %s\n' "$t" "${runs:-?}" "${speed:-?}" "${cov:-?}" "${ft:-?}" \
    "$units/${bytes}b" "$verdict"
done
echo "fuzz: ${#targets[@]} targets, ${seconds}s each, $((SECONDS - start))s in all"
if ((${#failed[@]})); then
  echo "fuzz: findings in ${failed[*]}" >&2
  exit 1
fi
