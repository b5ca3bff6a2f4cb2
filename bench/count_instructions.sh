#!/bin/sh
# Counts instructions per call of each account operation under callgrind, for
# the library and for raw SQLite running the same translated statement texts,
# at 1,000 and 100,000 accounts, and prints the ratio library / raw.
#
#   bench/count_instructions.sh [BUILD_DIR] [ACCOUNTS...]
#
# BUILD_DIR is a build configured with -DVORNEXA_BUILD_BENCHMARKS=ON (default
# build); the program is built if needed. Set VORNEXA_STATEMENT_CACHE=0 to
# count the library without its statement cache.
set -eu
# Callgrind counts each byte that a `rep stosb` or `rep movsb` moves as one
# instruction, and glibc uses them for blocks over a few KiB: a 4 KiB page
# zeroed by SQLite would count as much as compiling a statement. With these
# thresholds glibc moves blocks with vector instructions, counted as such.
export GLIBC_TUNABLES="${GLIBC_TUNABLES:+$GLIBC_TUNABLES:}glibc.cpu.x86_rep_stosb_threshold=1000000000:glibc.cpu.x86_rep_movsb_threshold=1000000000"
build=${1:-build}
[ $# -gt 0 ] && shift
sizes=${*:-1000 100000}
command -v valgrind >/dev/null ||
  { echo "count_instructions: valgrind is not installed (scripts/install-deps --tests installs it)" >&2; exit 1; }
cmake --build "$build" --target instruction_count >/dev/null
program=$build/bench/instruction_count
work=$(mktemp -d "${TMPDIR:-/tmp}/vornexa-count-XXXXXX")
trap 'rm -rf "$work"' EXIT

for accounts in $sizes; do
  "$program" prepare "$work" "$accounts" >/dev/null
  rm -f "$work"/callgrind.out*
  calls=$(valgrind --tool=callgrind --collect-atstart=no --dump-line=no \
    --callgrind-out-file="$work/callgrind.out" "$program" measure "$work" "$accounts" \
    2>"$work/valgrind.log") || { cat "$work/valgrind.log" >&2; exit 1; }
  for dump in $(ls "$work"/callgrind.out.* | sort -t. -k3 -n); do
    awk '/^desc: Trigger: Client Request: /{label=$5} /^(summary|totals):/{print label, $2; exit}' \
      "$dump"
  done >"$work/counts.$accounts"
  awk -v calls="$calls" -v accounts="$accounts" '
    { split($1, part, ":"); side = part[1]; op = part[2]; count[side, op] = $2 / calls
      if (!(op in seen)) { seen[op] = 1; order[++n] = op } }
    END {
      printf "%d accounts (instructions per call)\n", accounts
      printf "%-24s %12s %12s %7s\n", "operation", "library", "raw SQLite", "ratio"
      for (i = 1; i <= n; i++) {
        op = order[i]
        printf "%-24s %12.0f %12.0f %7.2f\n", op, count["library", op], count["raw", op],
               count["library", op] / count["raw", op]
      }
      print ""
    }' "$work/counts.$accounts"
done
