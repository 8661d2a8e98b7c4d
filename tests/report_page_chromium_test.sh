#!/usr/bin/env bash
# The report page as a browser shows it: the demo instrument read by k720ctl, its file made a
# page by k720ctl report (named relatively, with a title and an operator, as a batch record), and
# the page loaded by headless Chromium, which must load it without a console message (the page
# has no script, so any message is an error), show its heading and plots in the DOM and render a
# screenshot. Chromium runs with a fresh profile and without its background network traffic.
#
#   tests/report_page_chromium_test.sh K720CTL K720SIM OUTDIR
#
# The same page in Japanese (k720ctl --lang ja) must load as cleanly, say it is Japanese and hold
# its Japanese heading and the same plots.
#
# Leaves all.csv, report.html, report-ja.html, report.png (1000 pixels wide, the page's top
# 2600) and Chromium's output in OUTDIR. Exits 77 (skipped) when chromium is not installed.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/support/start_simulator.sh"
source "$(dirname "${BASH_SOURCE[0]}")/support/chromium.sh"
k720ctl=$(realpath "$1")
sim=$(realpath "$2")
begin_page_test "$3"

# --- The file and its page ------------------------------------------------------------------
start_simulator "$sim" "$out/sim.out" || fail "k720-sim did not start"
cd "$out"
"$k720ctl" --port "$device" read --unit all --out all.csv >read.out 2>&1 ||
    { cat read.out; fail "k720ctl read --unit all"; }
"$k720ctl" report all.csv --html report.html --title "Cell batch 26-12" \
    --operator "A. Tester" >report.out 2>&1 || { cat report.out; fail "k720ctl report --html"; }
[ -s report.html ] || fail "k720ctl report wrote no page"

# --- The page in the browser ----------------------------------------------------------------
rm -f "$out/report.png"
chromium_run "$profile" --screenshot="$out/report.png" --window-size=1000,2600 "file://$out/report.html" \
    >"$out/screenshot.out" 2>"$out/screenshot.err" ||
    { cat "$out/screenshot.err" >&2; fail "chromium --screenshot"; }
chromium_run "$profile" --dump-dom "file://$out/report.html" >"$out/dom.html" 2>"$out/dom.err" ||
    { cat "$out/dom.err" >&2; fail "chromium --dump-dom"; }
for log in screenshot dom; do
    page_loaded_cleanly "$out/$log.err" "the page ($log run)"
done
[ -s "$out/report.png" ] || fail "chromium wrote no screenshot"

# Every unit of the demo instrument holds readings: three plots each.
units=$(grep -c '^UNIT ' "$out/all.csv" || true)
[ "$units" -gt 0 ] || fail "the file holds no unit"
plots=$(grep -o '<svg' "$out/dom.html" | wc -l)
[ "$plots" -eq $((units * 3)) ] || fail "the DOM holds $plots plots, expected $((units * 3))"
for plot in histogram scatter slots; do
    grep -q "<svg class=\"$plot\"" "$out/dom.html" || fail "the DOM holds no $plot plot"
done
grep -q '<h1>Cell batch 26-12</h1>' "$out/dom.html" || fail "the DOM holds no title"
grep -q '<p class="file">all.csv</p>' "$out/dom.html" || fail "the file line is not all.csv"
grep -q '<b>Operator</b> A. Tester' "$out/dom.html" || fail "the DOM holds no operator"

# --- The page in Japanese -------------------------------------------------------------------
"$k720ctl" --lang ja report all.csv --html report-ja.html --operator "A. Tester" \
    >report-ja.out 2>&1 || { cat report-ja.out; fail "k720ctl --lang ja report --html"; }
chromium_run "$profile" --dump-dom "file://$out/report-ja.html" >"$out/dom-ja.html" 2>"$out/dom-ja.err" ||
    { cat "$out/dom-ja.err" >&2; fail "chromium --dump-dom of the Japanese page"; }
page_loaded_cleanly "$out/dom-ja.err" "the Japanese page"
grep -q '<html lang="ja">' "$out/dom-ja.html" || fail "the Japanese page does not say it is Japanese"
grep -q '<b>測定者</b> A. Tester' "$out/dom-ja.html" || fail "the Japanese page holds no operator"
plots=$(grep -o '<svg' "$out/dom-ja.html" | wc -l)
[ "$plots" -eq $((units * 3)) ] || fail "the Japanese DOM holds $plots plots, expected $((units * 3))"
echo "ok: the page of $units units loads without a message and renders ($out/report.png)"
