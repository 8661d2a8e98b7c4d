#!/usr/bin/env bash
# The report page over the history, with its trend by day, as a browser shows it: the page made by
# history_report_test from files recorded into a SQLite store, loaded by headless Chromium, which
# must load it without a console message (the page has no script, so any message is an error),
# show the trend's two plots and the units' plots in the DOM and render a screenshot.
#
#   tests/history_page_chromium_test.sh HISTORY_REPORT_TEST OUTDIR
#
# Leaves history.html, history.png (1000 pixels wide, the page's top 2600) and Chromium's output
# in OUTDIR. Exits 77 (skipped) when chromium is not installed.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/support/chromium.sh"
test_program=$(realpath "$1")
begin_page_test "$2"

rm -f "$out/history.html" "$out/history.png"
K720_HISTORY_PAGE="$out/history.html" "$test_program" \
    --gtest_filter='HistoryReportTest.PageShowsTheTrendByDay' >"$out/page.out" 2>&1 ||
    { cat "$out/page.out"; fail "history_report_test did not make the page"; }
[ -s "$out/history.html" ] || fail "history_report_test wrote no page"

chromium_run "$profile" --screenshot="$out/history.png" --window-size=1000,2600 \
    "file://$out/history.html" >"$out/screenshot.out" 2>"$out/screenshot.err" ||
    { cat "$out/screenshot.err" >&2; fail "chromium --screenshot"; }
chromium_run "$profile" --dump-dom "file://$out/history.html" >"$out/dom.html" 2>"$out/dom.err" ||
    { cat "$out/dom.err" >&2; fail "chromium --dump-dom"; }
for log in screenshot dom; do
    page_loaded_cleanly "$out/$log.err" "the page ($log run)"
done
[ -s "$out/history.png" ] || fail "chromium wrote no screenshot"

# The trend's two plots, then three plots for each of the units A, B and C.
for plot in trend-resistance trend-voltage; do
    grep -q "<svg class=\"$plot\"" "$out/dom.html" || fail "the DOM holds no $plot plot"
done
grep -q '<polyline class="median"' "$out/dom.html" || fail "the DOM holds no median line"
plots=$(grep -o '<svg' "$out/dom.html" | wc -l)
[ "$plots" -eq 11 ] || fail "the DOM holds $plots plots, expected 11"
echo "ok: the page over the history loads without a message and renders ($out/history.png)"
