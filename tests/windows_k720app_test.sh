#!/usr/bin/env bash
# k720app.exe under Wine and the Linux k720app, each driven by keyboard alone on a virtual X
# display against a fresh demo instrument of its own: the files they write and the commands the
# instrument receives must be the same, byte for byte.
#   windows_k720app_test.sh K720APP.EXE WINE
# Run by CTest in the Windows build, with the environment scripts/test-windows sets (WINEPREFIX
# and its running wineserver) and
#   K720_TEST_SIM             the Linux k720-sim
#   K720_TEST_LINUX_K720APP   the Linux k720app
# Exits 77 (skipped) without them, or without Xvfb and xdotool. With K720_TEST_SCREENSHOT=FILE,
# the screen with the top menu of k720app.exe is left in FILE (XWD format).
# Wine's desktop process (explorer.exe) must have an X display of its own (scripts/test-windows
# exports DISPLAY before wineboot); without one no window of k720app.exe ever appears.
set -uo pipefail
exe=${1:?usage: windows_k720app_test.sh K720APP.EXE WINE}
wine=${2:?usage: windows_k720app_test.sh K720APP.EXE WINE}
for variable in WINEPREFIX K720_TEST_SIM K720_TEST_LINUX_K720APP; do
  if [ -z "${!variable:-}" ]; then
    echo "SKIPPED: $variable is not set: run scripts/test-windows"
    exit 77
  fi
done
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "SKIPPED: no $tool to drive the window"; exit 77; }
done

# Each program runs from a copy in a folder of its own (C:\k720app\win for the Windows one), so
# that K720.ini and the files it writes land beside it and not in the build tree.
scratch=$WINEPREFIX/drive_c/k720app
rm -rf "$scratch"
mkdir -p "$scratch/win" "$scratch/linux" "$scratch/screen"
bin=$(dirname "$exe")
cp "$exe" "$bin"/*.dll "$scratch/win/" || exit 1
for plugins in "$bin"/*/; do cp -r "$plugins" "$scratch/win/"; done
cp "$K720_TEST_LINUX_K720APP" "$scratch/linux/k720app" || exit 1
com=21 # COM20 to COM29 belong to this test

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
# check WHAT COMMAND...: ok when COMMAND succeeds.
check() {
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else fail "$what"; fi
}
pids=()
finish() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  rm -f "$WINEPREFIX/dosdevices/com$com"
  wait 2>/dev/null
}
trap finish EXIT

# A display of its own, the first free one from :91; the screen is kept as a file for the picture.
display=
for ((number = 91; number < 111 && ${#display} == 0; ++number)); do
  [ -e "/tmp/.X$number-lock" ] && continue
  Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp -fbdir "$scratch/screen" >/dev/null 2>&1 &
  pids+=("$!")
  for ((i = 0; i < 50; ++i)); do
    DISPLAY=:$number xdotool getdisplaygeometry >/dev/null 2>&1 && display=:$number && break
    kill -0 "$!" 2>/dev/null || break
    sleep 0.1
  done
done
[ -n "$display" ] || { echo "FAIL: no Xvfb display could be started"; exit 1; }

x() { DISPLAY=$display timeout 10 xdotool "$@"; }
# Keys go to the window that has the X focus. There is no window manager: after a window closes
# the focus is nobody's, so every step first gives it to the window it is meant for.
keys() { x key --delay 100 "$@" && sleep 0.2; }
typed() { x type --delay 40 "$1"; }
# The visible window whose whole title matches the regular expression; empty when none.
window() { x search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1; }
shown() { top=$(window "$1") && [ -n "$top" ]; }
gone() { [ -z "$(window "$1")" ]; }
closed() { ! x search --onlyvisible --name . 2>/dev/null | grep -qx "$1"; }
# count COMMAND: how often a command beginning with COMMAND has reached the instrument.
count() { grep -c "^command $1" "$log"; }
sent() { [ "$(count "$1")" -ge "$2" ]; }
ended() { ! kill -0 "$app" 2>/dev/null; }
# wait_for SECONDS WHAT CHECK...: until CHECK succeeds, or fails naming WHAT.
wait_for() {
  local seconds=$1 what=$2 i
  shift 2
  for ((i = 0; i < seconds * 20; ++i)); do
    "$@" && return 0
    sleep 0.05
  done
  fail "$name: no $what within $seconds s"
  return 1
}
focus() { wait_for 10 "window '$1'" shown "$1" && x windowfocus --sync "$top"; }
# answer KEY: presses KEY in the message box that comes next, which then closes.
box='K720 Application'
answer() {
  focus "$box" || return 1
  local answered=$top
  keys "$1" && wait_for 5 "closing of the message box" closed "$answered"
}
# A unit selection page asks the instrument which units hold data; its buttons follow the answer.
checks=0
checked() {
  checks=$((checks + 1))
  wait_for 10 "memory check number $checks" sent ':MEM:CHECK?' "$checks" && sleep 0.3
}
# The file dialog starts in the program's folder: the name alone puts the file there. It proposes
# a name; End and Shift+Home select it in Qt's dialog and in the system's one alike.
save_as() {
  focus 'Save As' && keys End shift+Home && typed "$1" && keys Return &&
    wait_for 10 "closing of the file dialog" gone 'Save As'
}
editor() { printf 'Edit Comparator Table - \\[%s\\]' "$1"; }
# Keeps what the instrument received since the last call as $dir/FLOW.commands.
taken=0
took() {
  grep -E '^(command|entry) ' "$log" >"$dir/all.commands"
  tail -n +$((taken + 1)) "$dir/all.commands" >"$dir/$1.commands"
  taken=$(wc -l <"$dir/all.commands")
}

main='K720 Application   Ver1\.03'
flows() {
  # Start-up: the port named with --port is scanned and found, and no message box comes.
  wait_for 60 "main window" shown "$main" || return 1
  wait_for 10 "start-up scan" sent QPID 2 || return 1
  # The check's own window has no title and is named after the program.
  wait_for 10 "end of the start-up check" gone k720app || return 1
  sleep 0.3
  gone "$box" || { fail "$name: the start-up check showed a message box"; return 1; }
  echo "ok: $name: the start-up check found the instrument without a message"
  if [ "$name" = win ] && [ -n "${K720_TEST_SCREENSHOT:-}" ]; then
    cp "$scratch/screen/Xvfb_screen0" "$K720_TEST_SCREENSHOT"
  fi
  took startup

  # Read unit C (the demo holds A C d P) into the proposed file, DataK720.csv.
  focus "$main" && keys Return && keys Tab Return || return 1 # Read/Delete Data, Read Data
  checked && keys Tab Tab Return && keys Tab Return || return 1 # unit C, OK
  answer Return || return 1 # "Data received.  "
  took read

  # Delete unit A; the page checks the memory again afterwards.
  focus "$main" && keys Return && keys Tab Return || return 1 # Cancel, Delete Data
  checked && keys Tab Return && keys Tab Return || return 1 # unit A, OK
  wait_for 10 ":MEM:CLEAR sent" sent ':MEM:CLEAR' 1 && checked || return 1
  keys Return && keys shift+Tab shift+Tab Return || return 1 # Cancel, Back
  took delete

  # Set the clock to typed values: 2031-02-03 04:05. Tab selects a field's text.
  keys Tab Return && keys Tab Tab Return || return 1 # Set COMP/Clock, Set Clock
  keys Tab Tab && typed 2031 && keys Tab && typed 2 && keys Tab && typed 3 && keys Tab &&
    typed 4 && keys Tab && typed 5 && keys Tab Tab Return || return 1 # Back, Set
  wait_for 10 ":TIME sent" sent ':TIME' 1 && answer Return || return 1 # "Clock set.  "
  took clock

  # A new table with entry 200 set, saved, sent; the instrument's table read back and saved.
  focus "$main" && keys shift+Tab Return && keys shift+Tab Return || return 1 # Back, COMP Table
  keys Tab Return && focus "$(editor NewFile)" || return 1 # New File
  keys Return Tab Tab Tab && typed 'Pack 200' || return 1 # Previous table No.: 200; Name
  keys Tab Down Tab && typed 12.5 && keys Tab && typed 31 && keys Tab Down Tab && typed 48.5 &&
    keys Tab Return || return 1 # R-Range, R-Lim1, R-Lim2, V-Range, V-Lim, Set
  wait_for 5 "edited table" shown "$(editor 'NewFile \*')" || return 1
  keys Tab Return && save_as table.csv && focus "$(editor table.csv)" || return 1 # Save
  keys Return && answer Return || return 1 # Transfer, "Transfer COMP table to K720?  "
  wait_for 20 ":COMP:TABLE sent" sent ':COMP:TABLE$' 1 && answer Return || return 1
  focus "$(editor table.csv)" && keys shift+Tab Return || return 1 # Cancel
  wait_for 5 "closing of the editor" gone "$(editor table.csv)" || return 1
  focus "$main" && keys Tab Tab Return && answer Return || return 1 # Edit K720 data, Yes
  wait_for 20 ":COMP:TABLE:END sent" sent ':COMP:TABLE:END' 1 && answer Return || return 1
  focus "$(editor 'K720data \*')" && keys shift+Tab shift+Tab shift+Tab Return || return 1 # Save
  save_as got.csv && focus "$(editor got.csv)" && keys Tab Return || return 1 # Cancel
  wait_for 5 "closing of the editor" gone "$(editor got.csv)" || return 1
  focus "$main" && keys shift+Tab shift+Tab shift+Tab Return && keys shift+Tab Return ||
    return 1 # Cancel, Back
  took table

  # Exit, answered Yes: the program ends and writes K720.ini.
  keys Tab Return && answer y || return 1
  wait_for 10 "end of the program" ended || return 1
  wait "$app"
  status=$?
  check "$name: Exit and Yes end the program (status $status)" [ "$status" -eq 0 ]
}

# run NAME: starts a demo instrument, then the program in $scratch/NAME, and drives it.
run() {
  name=$1
  dir=$scratch/$name
  log=$dir/sim.log
  taken=0
  checks=0
  local out device sim
  exec {out}< <(exec "$K720_TEST_SIM" --log "$log")
  sim=$!
  pids+=("$sim")
  read -r -t 10 -u "$out" device || { fail "$name: the simulator did not start"; return; }
  if [ "$name" = win ]; then
    ln -sfn "$device" "$WINEPREFIX/dosdevices/com$com"
    # As a user runs it: without the font folder that the offscreen tests give Qt.
    env -u WINEQT_QPA_FONTDIR DISPLAY="$display" timeout 300 "$wine" "$dir/k720app.exe" \
      --port "COM$com" </dev/null >"$dir/out" 2>&1 &
  else
    DISPLAY=$display QT_QPA_PLATFORM=xcb timeout 300 "$dir/k720app" --port "$device" \
      </dev/null >"$dir/out" 2>&1 &
  fi
  app=$!
  pids+=("$app")
  flows || { tail -n 5 "$dir/out" | sed "s/^/$name: /"; kill "$app" 2>/dev/null; }
  kill "$sim"
  wait "$sim" 2>/dev/null
}
run win
run linux

# The files carry the PC's date (the "Date," line of a reading, the "UpDate," line of a table),
# which differs between the runs only when they straddle midnight: that line alone is masked.
masked() { sed 's/^\(Up\)\{0,1\}Date,.*/(date)/' "$1"; }
# same WHAT FILE: the file of both programs is the same.
same() {
  local w=$scratch/win/$2 l=$scratch/linux/$2
  if [ ! -f "$w" ] || [ ! -f "$l" ]; then
    fail "$1: $2 missing"
  elif cmp -s <(masked "$w") <(masked "$l"); then
    echo "ok: $1"
  else
    fail "$1: win/$2 and linux/$2 differ"
  fi
}
for flow in startup read delete clock table; do
  same "the instrument received the same commands from both programs ($flow)" "$flow.commands"
done
same "reading unit C writes the same DataK720.csv" DataK720.csv
same "a new table saved writes the same table.csv" table.csv
same "the table read back writes the same got.csv" got.csv
cd "$scratch/win" || exit 1
check "DataK720.csv holds unit C" grep -qs '^UNIT C' DataK720.csv
check "the deletion sent :MEM:CLEAR A" grep -qsx 'command :MEM:CLEAR A' delete.commands
check "the clock typed went out as :TIME 2031,2,3,4,5" \
  grep -qsx 'command :TIME 2031,2,3,4,5' clock.commands
check "table.csv holds entry 200 as typed" \
  grep -qs '^200,Pack 200,30m,12.50,31.00,60V,48.50' table.csv
check "got.csv holds it as the instrument keeps it, without its name" \
  grep -qs '^200,No Name,30m,12.50,31.00,60V,48.50' got.csv

# K720.ini: the marker, the window's rectangle, then the port (int32 little-endian at 24):
# COM21 for the Windows program, the first number given to a device named with --port (161) for
# the Linux one.
settings() {
  local file=$scratch/$1/K720.ini marker port
  marker=$(head -c 8 "$file" 2>/dev/null | od -An -c | tr -d ' ')
  port=$(od -An -td4 --endian=little -j 24 -N 4 "$file" 2>/dev/null | tr -d ' ')
  if [ "$marker" = '\aVer1.03' ] && [ "$port" = "$2" ]; then
    echo "ok: $1: K720.ini beside the program holds port $2"
  else
    fail "$1: K720.ini: marker '$marker', port '$port', expected port $2"
  fi
}
settings win "$com"
settings linux 161

[ "$failures" -eq 0 ] || { echo "$failures checks failed"; exit 1; }
