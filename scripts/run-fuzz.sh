#!/usr/bin/env bash
# Builds the calculation's libFuzzer target with clang, runs it once on a few
# megabyte-sized inputs, then fuzzes it for a bounded time starting from the
# seed corpus in tests/fuzz/corpus. Exits non-zero on any crash, sanitizer
# report, timeout or broken expectation; the failing input is kept in
# BUILD_DIR/fuzz-artifacts/.
#
#   bash scripts/run-fuzz.sh [BUILD_DIR]      (default: build-fuzz/ in the repo)
#   FUZZ_SECONDS=300 bash scripts/run-fuzz.sh  (fuzzing time, default 30 s)
#   FUZZ_SEED=42 bash scripts/run-fuzz.sh       (libFuzzer's seed; default 0, a random one)
#
# Needs clang and libclang-rt-14-dev (libFuzzer and the sanitizer runtimes).
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(realpath -m "${1:-$repo/build-fuzz}")
seconds=${FUZZ_SECONDS:-30}
seeds=$repo/tests/fuzz/corpus
artifacts=$build/fuzz-artifacts/

(cd "$repo" && cmake --preset fuzz -B "$build" >/dev/null)
cmake --build "$build" --target calc_fuzz -j2
fuzzer=$build/tests/fuzz/calc_fuzz

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$artifacts" "$work/big" "$work/corpus"

export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
if command -v llvm-symbolizer >/dev/null; then
  export ASAN_SYMBOLIZER_PATH=${ASAN_SYMBOLIZER_PATH:-$(command -v llvm-symbolizer)}
fi

# Large inputs, in the fuzzer's layout (two kind bytes, then four fields split
# at '|'): a megabyte of digits, of blanks, of NUL bytes, of full-width digits
# and of invalid UTF-8, each reaching both TextToNumber and CalculateRatio.
megabyte=1048576
big() {  # big NAME PERL-EXPRESSION
  perl -e "binmode STDOUT; print $2" >"$work/big/$1"
}
big digits_whole            "'7' x $megabyte"
big digits_input_speed      "'11', '7' x $megabyte, '|x|3|y'"
big digits_fraction         "'11', '0.', '0' x $megabyte, '1|x|3.', '3' x $megabyte"
big blanks_between_digits   "'11', '1', \" \\t\\r\\n\" x ($megabyte / 4), '5|x|2|y'"
big ideographic_spaces      "'33', \"\\xe3\\x80\\x80\" x ($megabyte / 3), '2|1|1|', \"\\xe3\\x80\\x80\" x ($megabyte / 3), '1'"
big fullwidth_digits        "'21', \"\\xef\\xbc\\x91\" x ($megabyte / 3), '|x|4|y'"
big nul_bytes               "'11', '5', \"\\0\" x $megabyte, '|x|2|y'"
big invalid_utf8            "'33', \"\\xef\\xbc\\xc0\\x80\\xed\\xa0\\x80\\xff\\xe3\\x80\" x ($megabyte / 10), '|1|', \"\\x80\" x $megabyte, \"|\\xf0\\x9f\""
big hex_digits              "'12', '&H', 'F' x $megabyte, '|x|&O', '7' x $megabyte, '|y'"
echo "== calc_fuzz on $(ls "$work/big" | wc -l) megabyte inputs"
(cd "$work" && "$fuzzer" -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$artifacts" "$work"/big/*)

# libFuzzer writes new inputs into the first corpus directory only: the
# working copy comes first, the seed directory is only read. Its checksum is
# compared afterwards all the same.
seeds_before=$(cd "$seeds" && find . -type f -print0 | sort -z | xargs -0 sha256sum)
echo "== fuzzing calc_fuzz for ${seconds}s from $seeds"
(cd "$work" && "$fuzzer" "$work/corpus" "$seeds" \
  -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 -seed="${FUZZ_SEED:-0}" \
  -artifact_prefix="$artifacts" -print_final_stats=1)
seeds_after=$(cd "$seeds" && find . -type f -print0 | sort -z | xargs -0 sha256sum)
if [[ "$seeds_before" != "$seeds_after" ]]; then
  echo "run-fuzz: the seed corpus $seeds was changed by the run" >&2
  exit 1
fi
echo "== calc_fuzz: no failure in ${seconds}s ($(ls "$work/corpus" | wc -l) new inputs found)"
