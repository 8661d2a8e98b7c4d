#!/usr/bin/env bash
# scripts/check-includes over a scratch folder with the repository's table and planted includes:
# it must fail and name exactly the breaches (upward, into a sibling, from a subfolder with a row
# of its own, without a folder, Qt in a core), and none of the allowed includes beside them.
#   include_check_test.sh CHECK REPOSITORY
set -u
check=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp "$2/HACKING.md" "$scratch/"
# plant FILE LINE...: writes the lines as the file in the scratch folder.
plant() {
  mkdir -p "$(dirname "$scratch/$1")"
  printf '%s\n' "${@:2}" >"$scratch/$1"
}
plant measure/planted.cpp '#include "measure/units.h"' '#include "link/comm.h"' \
  '#include "pages/page_requests.h"' '#include "comp/comp_table.h"' '#include "units.h"' \
  '#include <QString>' '#include <queue>'
plant sim/planted.cpp '#include "comp/comp_table.h"' '#include "sim/instrument.h"'
plant sim/program/planted.cpp '#include "comp/comp_table.h"' '#include "app/main_window.h"'
plant tests/support/planted.h '#include "recording_setup_system.h"' '#include "app/main_window.h"' \
  '#include <QWidget>'

found=$(bash "$check" "$scratch")
status=$?
expected='measure/planted.cpp:3
measure/planted.cpp:4
measure/planted.cpp:5
measure/planted.cpp:6
sim/planted.cpp:1
sim/program/planted.cpp:2'
if [[ $status -ne 1 || $(cut -d: -f1,2 <<<"$found" | LC_ALL=C sort) != "$expected" ]]; then
  printf 'check-includes ended with %d and found:\n%s\nexpected breaches at:\n%s\n' "$status" \
    "$found" "$expected"
  exit 1
fi
