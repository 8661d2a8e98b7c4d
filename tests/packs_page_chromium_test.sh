#!/usr/bin/env bash
# The build sheet of packs as a browser shows it: the demo instrument read by k720ctl, its cells
# placed into three 6S x 2P packs with the page, the label CSV and the JSON written together,
# and the page loaded by headless Chromium, which must load it without a console message and
# show two plots per pack. The page's groups, the CSV and the JSON name the same cells in the
# same order; the Japanese page loads as cleanly and says it is Japanese.
#
#   tests/packs_page_chromium_test.sh K720CTL K720SIM OUTDIR
#
# Leaves all.csv, packs.html, packs-ja.html, packs.png (1000 pixels wide, the page's top 2400),
# labels.csv and Chromium's output in OUTDIR. Exits 77 (skipped) when chromium is not installed.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/support/start_simulator.sh"
source "$(dirname "${BASH_SOURCE[0]}")/support/chromium.sh"
k720ctl=$(realpath "$1")
sim=$(realpath "$2")
begin_page_test "$3"

start_simulator "$sim" "$out/sim.out" || fail "k720-sim did not start"
cd "$out"
rm -f packs.html packs-ja.html packs.png labels.csv
"$k720ctl" --port "$device" read --unit all --out all.csv >read.out 2>&1 ||
    { cat read.out; fail "k720ctl read --unit all"; }
place=(packs all.csv --series 6 --parallel 2 --count 3)
"$k720ctl" --lang en "${place[@]}" --html packs.html --csv labels.csv >sheet.txt 2>packs.err ||
    { cat packs.err; fail "k720ctl packs --html --csv"; }
"$k720ctl" "${place[@]}" --json >sheet.json 2>>packs.err || { cat packs.err; fail "--json"; }
grep -q '^Pack 3 of 3: 6S x 2P$' sheet.txt || fail "the text sheet holds no third pack"

chromium_run "$profile" --screenshot="$out/packs.png" --window-size=1000,2400 \
    "file://$out/packs.html" >screenshot.out 2>screenshot.err ||
    { cat screenshot.err >&2; fail "chromium --screenshot"; }
chromium_run "$profile" --dump-dom "file://$out/packs.html" >dom.html 2>dom.err ||
    { cat dom.err >&2; fail "chromium --dump-dom"; }
for log in screenshot dom; do
    page_loaded_cleanly "$out/$log.err" "the page ($log run)"
done
[ -s packs.png ] || fail "chromium wrote no screenshot"
for plot in group-resistances cells-by-group; do
    count=$(grep -c "<svg class=\"$plot\"" dom.html || true)
    [ "$count" -eq 3 ] || fail "the DOM holds $count $plot plots, expected 3"
done

# One placement: the cells of the groups' tables in order, the CSV's fourth column, the JSON's
# cells of the packs (before its spares).
sed -n '/<table class="groups">/,/<\/table>/p' dom.html |
    grep -o '<span class="cell">[^ <]*' | sed 's/.*>//' >page-cells.txt
tail -n +2 labels.csv | cut -d, -f4 >csv-cells.txt
sed '/"spares"/,$d' sheet.json | grep -o '"cell": "[^"]*"' | cut -d'"' -f4 >json-cells.txt
[ "$(wc -l <csv-cells.txt)" -eq 36 ] || fail "labels.csv holds $(wc -l <csv-cells.txt) cells, not 36"
diff page-cells.txt csv-cells.txt >&2 || fail "the page and the CSV place different cells"
diff json-cells.txt csv-cells.txt >&2 || fail "the JSON and the CSV place different cells"

"$k720ctl" --lang ja "${place[@]}" --html packs-ja.html >/dev/null 2>>packs.err ||
    { cat packs.err; fail "k720ctl --lang ja packs --html"; }
chromium_run "$profile" --dump-dom "file://$out/packs-ja.html" >dom-ja.html 2>dom-ja.err ||
    { cat dom-ja.err >&2; fail "chromium --dump-dom of the Japanese page"; }
page_loaded_cleanly "$out/dom-ja.err" "the Japanese page"
grep -q '<html lang="ja">' dom-ja.html || fail "the Japanese page does not say it is Japanese"
echo "ok: the build sheet of 3 packs loads without a message and renders ($out/packs.png)"
