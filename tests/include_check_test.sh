#!/usr/bin/env bash
# scripts/check-includes over a scratch folder with the repository's table and planted includes:
# it must fail and name exactly the breaches (upward, into a sibling, into a folder above a
# subfolder's row, without a folder, Qt in a core), and none of the allowed includes beside them.
#   include_check_test.sh CHECK REPOSITORY
set -u
check=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp "$2/HACKING.md" "$scratch/"
mkdir -p "$scratch/measure" "$scratch/sim/program" "$scratch/tests/support"
printf '%s\n' '#include "measure/units.h"' '#include "link/comm.h"' '#include "pages/page_requests.h"' \
  '#include "comp/comp_table.h"' '#include "units.h"' '#include <QString>' '#include <queue>' \
  >"$scratch/measure/planted.cpp"
printf '%s\n' '#include "comp/comp_table.h"' '#include "sim/instrument.h"' >"$scratch/sim/planted.cpp"
printf '%s\n' '#include "comp/comp_table.h"' '#include "app/main_window.h"' \
  >"$scratch/sim/program/planted.cpp"
printf '%s\n' '#include "recording_setup_system.h"' '#include "app/main_window.h"' '#include <QWidget>' \
  >"$scratch/tests/support/planted.h"

found=$(bash "$check" "$scratch")
status=$?
expected='measure/planted.cpp:3
measure/planted.cpp:4
measure/planted.cpp:5
measure/planted.cpp:6
sim/planted.cpp:1
sim/program/planted.cpp:2'
if [[ $status -ne 1 || $(cut -d: -f1,2 <<<"$found" | LC_ALL=C sort) != "$expected" ]]; then
  printf 'check-includes ended with %d and found:\n%s\nexpected breaches at:\n%s\n' "$status" "$found" \
    "$expected"
  exit 1
fi
