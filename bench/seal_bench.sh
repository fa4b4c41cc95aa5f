#!/usr/bin/env bash
# Fill + normalise + hash + archive of a ~150 MB payment-like file, side by side with what the
# same bytes cost the standard tools (openssl sha1, then zip -1).  Prints both times and their
# ratio; the target is at most 1.3.
#   bash bench/seal_bench.sh [MEGABYTES]
set -euo pipefail
cd "$(dirname "$0")/.."
size=${1:-150}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Built on its own, optimised, from the sources it needs (no Qt, no sanitizers); the build also
# has it as the target seal_bench.
c++ -O2 -DNDEBUG -std=c++20 -Isrc bench/seal_bench.cpp src/output/*.cpp src/core/*.cpp \
  -lcrypto -lzip -lz -pthread -o "$work/seal_bench"

"$work/seal_bench" make "$work/master.txt" "$size"
echo "payment file: $(stat -c %s "$work/master.txt") bytes"

# Wall-clock time, and the processor time (user + system) that does not depend on how busy the
# shared machine is; the best of three rounds of each.
TIMEFORMAT='%R %U %S'
tools_wall=() tools_cpu=() ours_wall=() ours_cpu=()
record() {  # record WALLVAR CPUVAR < "real user sys"
  local r u s
  read -r r u s
  eval "$1+=(\"$r\")"
  eval "$2+=(\"$(awk -v u="$u" -v s="$s" 'BEGIN { print u + s }')\")"
}
for round in 1 2 3; do
  cp "$work/master.txt" "$work/tools.txt"
  rm -f "$work/tools.zip"
  sync
  { time { openssl sha1 "$work/tools.txt" >/dev/null
           zip -1 -q -j "$work/tools.zip" "$work/tools.txt"
           sync "$work/tools.zip"; }; } 2>"$work/t"
  record tools_wall tools_cpu <"$work/t"

  cp "$work/master.txt" "$work/ours.txt"
  rm -f "$work/ours.zip"
  sync
  { time "$work/seal_bench" run "$work/ours.txt" "$work/ours.zip" >/dev/null; } 2>"$work/t"
  record ours_wall ours_cpu <"$work/t"
done
best() { printf '%s\n' "$@" | sort -g | head -1; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
tw=$(best "${tools_wall[@]}") tc=$(best "${tools_cpu[@]}")
ow=$(best "${ours_wall[@]}") oc=$(best "${ours_cpu[@]}")
printf '%-28s %8s %8s\n' "" "wall s" "cpu s"
printf '%-28s %8.3f %8.3f\n' "openssl sha1 + zip -1" "$tw" "$tc"
printf '%-28s %8.3f %8.3f\n' "fill + seal + archive" "$ow" "$oc"
printf '%-28s %7sx %7sx   (target <= 1.30x)\n' "ratio" "$(ratio "$ow" "$tw")" "$(ratio "$oc" "$tc")"
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
