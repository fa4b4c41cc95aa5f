#!/usr/bin/env bash
# The reports of a large sealed batch: `seal` alone against `seal --report-pdf` (wall time and
# peak resident memory, and that every page of the PDF says "Page N of M"), then the preview in
# one process (report_preview_bench, off-screen): seal, Report, first and last page drawn.
#
#   bash bench/report_bench.sh [--credits 100000] [--screenshots DIR]
#
# Builds a Release program folder in build-bench/ (no sanitizers); work files go to a fresh
# folder below ${TMPDIR:-/tmp} and are removed at the end.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
credits=100000
screenshots=""
while [ $# -gt 0 ]; do
  case "$1" in
    --credits) credits=$2; shift 2 ;;
    --screenshots) screenshots=$(realpath -m "$2"); shift 2 ;;
    *) echo "usage: bench/report_bench.sh [--credits N] [--screenshots DIR]" >&2; exit 2 ;;
  esac
done

build=$here/build-bench
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBATCHSEAL_SANITIZE=OFF >/dev/null
cmake --build "$build" -j2 --target batchseal-cli make_payment_file report_preview_bench \
  program_folder >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/batchseal-reports.XXXXXX")
trap 'rm -rf "$work"' EXIT
home=$work/home
mkdir -p "$home"
cp -r "$build/Data" "$build/Report" "$home/"
"$build/make_payment_file" "$work/payroll.txt" --credits "$credits" >/dev/null

# measure NAME CMD...: wall seconds and peak MiB of CMD on a fresh copy of the payment file and
# fresh tables.
measure() {
  local name=$1
  shift
  rm -rf "$home/Data" && cp -r "$build/Data" "$home/"
  cp "$work/payroll.txt" "$work/in.txt"
  rm -f "$work/out.zip"
  sync
  /usr/bin/time -v -o "$work/time.log" "$@" >"$work/$name.out" 2>"$work/$name.err" || {
    echo "$name failed:"; tail -5 "$work/$name.err"; exit 1; }
  local wall kib
  wall=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$work/time.log")
  kib=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/time.log")
  awk -v n="$name" -v t="$wall" -v k="$kib" 'BEGIN { c = split(t, p, ":"); s = 0;
    for (i = 1; i <= c; ++i) s = s * 60 + p[i];
    printf "%-22s %8.2f s %8d MiB\n", n, s, k / 1024 }'
}

cli=$build/batchseal-cli
echo "$credits credits, $(nproc) cores, $(date -u +%Y-%m-%d)"
measure "seal" "$cli" --home "$home" seal "$work/in.txt" --zip "$work/out.zip"
measure "seal --report-pdf" "$cli" --home "$home" seal "$work/in.txt" --zip "$work/out.zip" \
  --report-pdf "$work/report.pdf"
pages=$(pdfinfo "$work/report.pdf" | sed -n 's/^Pages: *//p')
numbered=$(pdftotext "$work/report.pdf" - | grep -c "Page [0-9]* of $pages\$" || true)
echo "PDF: $pages pages, $numbered with \"Page N of $pages\", title: $(pdfinfo "$work/report.pdf" | sed -n 's/^Title: *//p')"
[ "$pages" = "$numbered" ] || { echo "pages without their number" >&2; exit 1; }

[ -n "$screenshots" ] && mkdir -p "$screenshots"
measure "preview (seal+Report)" env QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" \
  "$build/report_preview_bench" --home "$home" --input "$work/in.txt" --zip "$work/out.zip" \
  ${screenshots:+--screenshots "$screenshots"}
sed 's/^/  /' "$work/preview (seal+Report).out"
