#!/usr/bin/env bash
# The folder a Windows user is handed (scripts/package-windows) under Wine, as a user meets it:
# the install launcher driven by keys, the silent setups of both languages and their uninstallers,
# the installed programs against the Linux simulated instrument, and each setup's edition: the
# Japanese setup's programs speak Japanese on an English system, the English setup's English under
# a Japanese locale (seen in the main window's picture and in k720ctl.exe's messages).
#   windows_package_test.sh DIST WINE      (DIST: build-win/dist; WINE: the wine64 loader)
# with K720_TEST_SIM (the Linux k720-sim) and K720_TEST_LINUX_K720CTL (the Linux k720ctl, whose
# file k720ctl.exe's must equal); exits 77 (skipped) without them, or without Xvfb and xdotool.
# Everything is installed into a scratch Wine prefix of this test, with its own wineserver, its
# own X display (the first free one from :111) and its own simulators on COM30 to COM39.
set -uo pipefail
usage='usage: windows_package_test.sh DIST WINE'
dist=$(realpath "${1:?$usage}") || exit 1
wine=${2:?$usage}
[ -f "$dist/install.exe" ] || { echo "FAIL: no install.exe in $dist"; exit 1; }
for variable in K720_TEST_SIM K720_TEST_LINUX_K720CTL; do
  [ -n "${!variable:-}" ] || { echo "SKIPPED: no $variable: run scripts/test-windows"; exit 77; }
done
sim=$(realpath "$K720_TEST_SIM") && linux_k720ctl=$(realpath "$K720_TEST_LINUX_K720CTL") || exit 1
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "SKIPPED: no $tool to drive the windows"; exit 77; }
done
wineserver=$(dirname "$wine")/wineserver
[ -x "$wineserver" ] || wineserver=$(command -v wineserver) ||
  { echo "FAIL: no wineserver beside $wine"; exit 1; }

scratch=$(mktemp -d) || exit 1
export WINEPREFIX=$scratch/prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# As a user runs the programs: without the font folder that the offscreen tests give Qt.
unset WINEQT_QPA_FONTDIR
mkdir -p "$WINEPREFIX" "$scratch/elsewhere" "$WINEPREFIX/drive_c/k720pkg" "$scratch/linux"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# check WHAT COMMAND...: ok when COMMAND succeeds.
check() { if "${@:2}"; then echo "ok: $1"; else fail "$1"; return 1; fi; }
# wait_for SECONDS WHAT CHECK...: until CHECK succeeds, or fails naming WHAT.
wait_for() {
  local seconds=$1 what=$2 end=$((SECONDS + $1))
  shift 2
  until "$@"; do
    [ "$SECONDS" -lt "$end" ] || { fail "no $what within $seconds s"; return 1; }
    sleep 0.05
  done
}
pids=() wine_server='' display_server=''
finish() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  # What Wine still runs in this prefix (a wizard left open, its services), then its server.
  [ -z "$wine_server" ] ||
    { timeout 20 "$wineserver" -k 2>/dev/null; kill "$wine_server" 2>/dev/null; }
  [ -z "$display_server" ] || kill "$display_server" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$scratch"
}
trap finish EXIT

display=
for ((number = 111; number < 131 && ${#display} == 0; ++number)); do
  [ -e "/tmp/.X$number-lock" ] && continue
  Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  display_server=$!
  for ((i = 0; i < 50; ++i)); do
    DISPLAY=:$number xdotool getdisplaygeometry >/dev/null 2>&1 && display=:$number && break
    kill -0 "$display_server" 2>/dev/null || break
    sleep 0.1
  done
  [ -n "$display" ] || kill "$display_server" 2>/dev/null
done
[ -n "$display" ] || { echo "FAIL: no Xvfb display could be started"; exit 1; }
export DISPLAY=$display

# A Japanese font, as every Japanese Windows has one: the Japanese edition's window draws its
# texts with it (without one, Wine draws empty boxes). Linked before the prefix's wineboot, as
# Wine's own fonts are.
fonts=$WINEPREFIX/drive_c/windows/Fonts && mkdir -p "$fonts"
japanese_font=/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf
[ -f "$japanese_font" ] && ln -sf "$japanese_font" "$fonts/ipag.ttf" ||
  echo "note: no $japanese_font (fonts-ipafont-gothic): Japanese texts are drawn as boxes"
# A Japanese locale of this test's own (the system may have none generated): Wine takes the
# user's language from LC_MESSAGES, which glibc only accepts for a locale it can load.
japanese_locale=no
command -v localedef >/dev/null && mkdir -p "$scratch/locale" &&
  localedef -i ja_JP -f UTF-8 "$scratch/locale/ja_JP.UTF-8" >/dev/null 2>&1 && japanese_locale=yes
# in_japanese COMMAND...: COMMAND (a function too) under that locale.
in_japanese() {
  # For the commands only: this shell cannot load the locale (it read LOCPATH at its start).
  { local -x LOCPATH=$scratch/locale LC_ALL=ja_JP.UTF-8; } 2>/dev/null
  "$@"
}

# The prefix and its own wineserver, as scripts/test-windows prepares its own.
. "$(dirname "$0")/support/wine_prefix.sh"
prepare_wine_prefix "$wine" "$wineserver" ||
  { echo "FAIL: the Wine prefix could not be prepared"; exit 1; }

x() { timeout 10 xdotool "$@"; }
keys() { x key --delay 100 "$@" && sleep 0.2; }
# The visible windows whose whole title is TITLE (a regular expression).
windows() { x search --onlyvisible --name "^$1\$" 2>/dev/null; }
# other TITLE ID: a window so titled other than ID exists; it is left in $top.
other() { top=$(windows "$1" | grep -vxm 1 "$2"); }
shown() { other "$1" none; }
closed() { ! windows "$2" | grep -qx "$1"; }
no_window() { [ -z "$(windows "$1")" ]; }
no_setup() { [ -z "$(processes _setup.exe)" ]; }
ended() { ! kill -0 "$1" 2>/dev/null; }
# The Windows processes of this prefix whose command line holds TEXT (Wine gives each the
# Windows command line, which begins with a drive letter).
processes() {
  local proc line
  for proc in /proc/[0-9]*; do
    IFS= read -r -d '' line <"$proc/cmdline" 2>/dev/null
    [[ $line == [A-Z]:\\*"$1"* ]] &&
      tr '\0' '\n' <"$proc/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" &&
      echo "${proc#/proc/}"
  done
}

wizard='Application Software for K720 - InstallShield Wizard'
english=English/ApplicationK720v1.03E_setup.exe
japanese=Japanese/ApplicationK720v1.03J_setup.exe
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/K720 Companion.lnk"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
key="$uninstall_key\\K720 Companion"
files=(COPYRIGHT.txt Qt-GPL-3.txt Qt-LGPL-3.txt Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll README.md
  edition.txt k720app.exe k720ctl.exe libgcc_s_seh-1.dll libstdc++-6.dll libwinpthread-1.dll
  platforms/qwindows.dll styles/qwindowsvistastyle.dll translations/qtbase_ja.qm uninstall.exe)
# The values of the companion's key as NAME=VALUE lines; fails when there is no key.
registry() {
  timeout 30 "$wine" reg query "$key" /reg:64 </dev/null 2>/dev/null | tr -d '\r' |
    sed -n 's/^    \([^ ]*\)    REG_[A-Z_]*    \(.*\)$/\1=\2/p'
}
# nothing_left FOLDER: no install folder, shortcut or key.
nothing_left() { [ ! -e "$1" ] && [ ! -e "$shortcut" ] && ! registry >/dev/null; }
left() {
  [ ! -e "$1" ] || echo -n " the folder: $(cd "$1" && find . -type f | tr '\n' ' ')"
  [ ! -e "$shortcut" ] || echo -n " the shortcut"
  ! registry >/dev/null || echo -n " the key"
}

# --- The launcher, started from another working folder on a prefix where nothing is installed.
program_files="$WINEPREFIX/drive_c/Program Files/K720"
folder_en='C:\Program Files\K720'
cd "$scratch/elsewhere" || exit 1
# launch NUMBER: starts the launcher by its Unix path; waits for its window, given the focus.
launch() {
  timeout 120 "$wine" "$dist/install.exe" </dev/null >"$scratch/launcher$1.out" 2>&1 &
  launcher=$!
  pids+=("$launcher")
  wait_for 60 "window of launcher $1" shown install && x windowfocus --sync "$top"
}
# done_launcher NUMBER: the launcher ends by itself with status 0.
done_launcher() {
  wait_for 30 "end of launcher $1" ended "$launcher" || return
  wait "$launcher"; local status=$?
  check "launcher $1 ends by itself (status $status)" [ "$status" -eq 0 ]
}
launcher_flow() {
  launch 1 && keys Tab Tab Return || return # CANCEL, Japanese, English
  wait_for 60 "wizard window" shown "$wizard" || return
  local wizard_window=$top setups
  setups=$(processes "${english//\//\\}")
  check "Tab Tab Return in the launcher starts the English setup, its wizard titled '$wizard'" \
    [ -n "$setups" -a -z "$(processes "${japanese//\//\\}")" ]
  done_launcher 1

  # A second launcher while the wizard is open: a box titled as the launcher comes instead, and
  # the launcher closes after it (with "shell error  " it would stay open).
  launch 2 || return
  local second=$top box
  keys Tab Tab Return && wait_for 20 "message box of launcher 2" other install "$second" &&
    box=$top || return
  echo "ok: launcher 2 shows a box titled 'install'"
  echo "SKIPPED: the box's text (already opened): X shows no text drawn in a window"
  x windowfocus --sync "$box" && keys Return &&
    wait_for 10 "closing of the box" closed "$box" install
  done_launcher 2
  check "no second wizard and no second setup came" \
    [ "$(windows "$wizard" | wc -l)" -eq 1 -a "$(processes _setup.exe)" = "$setups" ]

  # Escape on the wizard asks whether to abort (a box with the wizard's title); Return is Yes.
  x windowfocus --sync "$wizard_window" && keys Escape || return
  wait_for 10 "abort question of the wizard" other "$wizard" "$wizard_window" || return
  x windowfocus --sync "$top" && keys Return || return
  wait_for 30 "closing of the wizard after Escape and Return" no_window "$wizard" &&
    wait_for 30 "end of the setup after Escape and Return" no_setup || return
  check "Escape and Return end the wizard, and nothing was installed$(left "$program_files")" \
    nothing_left "$program_files"
}
launcher_flow
cd "$scratch" || exit 1

# --- Silent setups.
# setup WHAT PROGRAM ARGUMENTS...: runs a setup program; ok when it ends with status 0.
setup() {
  timeout 120 "$wine" "${@:2}" </dev/null >"$scratch/setup.out" 2>&1; local status=$?
  check "$1 (status $status)" [ "$status" -eq 0 ]
}
# installed WHAT FOLDER UNIX_FOLDER: exactly the files, the shortcut and the key's values.
installed() {
  local what=$1 folder=$2 unix=$3 found missing extra values value wrong=()
  found=$(cd "$unix" 2>/dev/null && find . -type f | sed 's,^\./,,' | sort)
  missing=$(comm -23 <(printf '%s\n' "${files[@]}" | sort) <(echo "$found") | xargs)
  extra=$(comm -13 <(printf '%s\n' "${files[@]}" | sort) <(echo "$found") | xargs)
  check "$what: $folder holds the programs, DLLs, plugins, documents, uninstall.exe and no more" \
    [ -z "$missing$extra" ] || echo "  missing: $missing; unexpected: $extra"
  check "$what: the Start-menu shortcut points to $folder\\k720app.exe" \
    grep -aqF "$folder\\k720app.exe" "$shortcut"
  values=$(registry) || { fail "$what: no key $key"; return; }
  for value in 'DisplayName=K720 Companion' DisplayVersion=1.03 "DisplayIcon=$folder\\k720app.exe" \
    "UninstallString=\"$folder\\uninstall.exe\"" "InstallLocation=$folder"; do
    grep -qxF "$value" <<<"$values" || wrong+=("$value")
  done
  grep -q '^Publisher=.' <<<"$values" || wrong+=(Publisher)
  check "$what: the key of the installed programs with its values" [ ${#wrong[@]} -eq 0 ] ||
    echo "  not as expected: ${wrong[*]}; the key holds: $(tr '\n' ' ' <<<"$values")"
  check "$what: one key of the companion among the installed programs" \
    [ "$(timeout 30 "$wine" reg query "$uninstall_key" /reg:64 </dev/null | grep -c K720)" -eq 1 ]
}
# uninstalled WHAT FOLDER UNIX_FOLDER: uninstall.exe /S, which ends in the background.
uninstalled() {
  timeout 60 "$wine" "$2\\uninstall.exe" /S </dev/null >/dev/null 2>&1; local status=$?
  check "$1: $2\\uninstall.exe /S (status $status)" [ "$status" -eq 0 ]
  wait_for 60 "end of the uninstall from $2" nothing_left "$3" &&
    echo "ok: $1: the uninstall left no folder, no shortcut and no key" ||
    echo "  left:$(left "$3")"
}

setup "the English setup /S" "$dist/$english" /S
installed English 'C:\Program Files\K720' "$program_files"

# --- The installed programs against fresh demo instruments.
# serve PORT: a fresh demo instrument mapped as COM<PORT>; its pseudo-terminal in $device.
serve() {
  local out
  exec {out}< <(exec "$sim" --log "$scratch/com$1.log")
  pids+=("$!")
  read -r -t 10 -u "$out" device || { fail "the simulator for COM$1 did not start"; return 1; }
  ln -sfn "$device" "$WINEPREFIX/dosdevices/com$1"
}
masked() { sed 's/^Date,.*/(date)/' "$1"; }
if serve 30; then
  timeout 60 "$wine" 'C:\Program Files\K720\k720ctl.exe' --port COM30 read --unit all \
    --out 'C:\k720pkg\all.csv' </dev/null >"$scratch/ctl.out" 2>&1; status=$?
  check "the installed k720ctl.exe reads every unit (status $status)" \
    [ "$status" -eq 0 -a -n "$(grep 'Data received' "$scratch/ctl.out")" ]
fi
if serve 31; then
  timeout 60 "$linux_k720ctl" --port "$device" read --unit all \
    --out "$scratch/linux/all.csv" </dev/null >/dev/null 2>&1 || fail "Linux k720ctl: status $?"
  # The "Date," line carries the PC's date, which differs only when the runs straddle midnight.
  check "its all.csv is the Linux k720ctl's, byte for byte (the date line masked)" \
    cmp -s <(masked "$WINEPREFIX/drive_c/k720pkg/all.csv") <(masked "$scratch/linux/all.csv")
fi
# scanned PORT: the start-up scan has asked the instrument on COM<PORT> who it is.
scanned() { [ "$(grep -c '^command QPID' "$scratch/com$1.log" 2>/dev/null)" -ge 2 ]; }
queries() { scanned 32; }
main='K720 Application   Ver1\.03'
if serve 32; then
  timeout 120 "$wine" 'C:\Program Files\K720\k720app.exe' --port COM32 </dev/null \
    >"$scratch/app.out" 2>&1 &
  app=$!
  pids+=("$app")
  wait_for 60 "main window of the installed k720app.exe" shown "$main" &&
    echo "ok: the installed k720app.exe opens its main window '${main//\\/}'"
  wait_for 20 "start-up scan of COM32" queries && echo "ok: k720app.exe scans COM32 at start"
  kill "$app"; wait "$app" 2>/dev/null
  wait_for 10 "closing of the main window" no_window "$main"
fi

# --- The edition: an installed program speaks its setup's language, whatever the system's, unless
# --lang says otherwise. Each observation is compared with the same program told its language by
# --lang, and with the other language, so that a comparison that cannot tell them apart is seen.
# picture NAME FOLDER PORT ARGUMENTS...: the main window of FOLDER\k720app.exe with ARGUMENTS,
# against a fresh demo instrument on COM<PORT>, once its start-up check (an untitled window, which
# Wine titles "k720app") has found the instrument, in NAME.png.
picture() {
  local name=$1 folder=$2 port=$3 app window status=1
  serve "$port" || return
  timeout 120 "$wine" "$folder\\k720app.exe" --port "COM$port" "${@:4}" </dev/null \
    >"$scratch/$name.out" 2>&1 &
  app=$!
  pids+=("$app")
  if wait_for 60 "main window ($name)" shown "$main" && window=$top &&
    wait_for 20 "start-up scan of COM$port ($name)" scanned "$port" &&
    wait_for 20 "end of the start-up check window ($name)" no_window k720app; then
    # The main window draws again where the check window was.
    sleep 1
    import -window "$window" "$scratch/$name.png" 2>/dev/null ||
      fail "no picture of the main window ($name)"
    status=0
  fi
  kill "$app"; wait "$app" 2>/dev/null
  wait_for 10 "closing of the main window ($name)" no_window "$main"
  return $status
}
# said NAME FOLDER PORT ARGUMENTS...: what FOLDER\k720ctl.exe with ARGUMENTS prints reading unit A
# of a fresh demo instrument on COM<PORT>, in NAME.said (the port's number and the file's name
# masked: they differ from run to run).
said() {
  serve "$3" || return
  timeout 60 "$wine" "$2\\k720ctl.exe" --port "COM$3" "${@:4}" read --unit A \
    --out "C:\\k720pkg\\$1.csv" </dev/null >"$scratch/said.out" 2>&1 ||
    fail "k720ctl.exe $* (status $?)"
  sed -e "s/$3/(port)/g" -e "s/$1\.csv/(file)/g" "$scratch/said.out" >"$scratch/$1.said"
}
# Pixels in which two pictures differ ("error" when they cannot be compared).
pixels_apart() { compare -metric AE "$scratch/$1.png" "$scratch/$2.png" null: 2>&1 || true; }
# speaks WHAT EDITION ASKED OTHER: the window of EDITION looks as the one ASKED (--lang), and
# unlike OTHER, which must itself differ from ASKED.
speaks() {
  local asked other
  asked=$(pixels_apart "$2" "$3") other=$(pixels_apart "$2" "$4")
  check "$1 (pixels unlike --lang: $asked; unlike the other language: $other)" \
    alike_and_apart "$asked" "$other"
}
alike_and_apart() { [[ $1 == 0 && $2 =~ ^[0-9.e+]+$ && $2 != 0 ]]; }
# writes WHAT EDITION ASKED OTHER: k720ctl.exe's messages as with --lang ASKED; skipped when the
# catalogue gives these messages no Japanese, since then no comparison could tell.
writes() {
  if cmp -s "$scratch/$3.said" "$scratch/$4.said"; then
    echo "SKIPPED: $1: k720ctl.exe's read messages are the same in both languages"
  else
    check "$1" cmp -s "$scratch/$2.said" "$scratch/$3.said" ||
      echo "  it printed: $(cat "$scratch/$2.said"); with --lang: $(cat "$scratch/$3.said")"
  fi
}
if ! command -v compare >/dev/null || ! command -v import >/dev/null; then
  echo "SKIPPED: the English edition under a Japanese locale: no ImageMagick to compare windows"
elif [ "$japanese_locale" = no ]; then
  echo "SKIPPED: the English edition under a Japanese locale: localedef made no ja_JP.UTF-8"
else
  # A copy of the installed programs without edition.txt is no installation: it follows the
  # locale, which shows that Wine took the Japanese locale.
  copy=$WINEPREFIX/drive_c/k720copy
  cp -r "$program_files" "$copy" && rm "$copy/edition.txt"
  in_japanese picture en_default "$folder_en" 33 &&
    in_japanese picture en_en "$folder_en" 34 --lang en &&
    in_japanese picture en_ja "$folder_en" 35 --lang ja &&
    in_japanese picture copy_default 'C:\k720copy' 36 &&
    speaks "a copy outside the installation follows the Japanese locale" copy_default en_ja en_en &&
    speaks "the English setup's k720app.exe stays English under a Japanese locale" \
      en_default en_en en_ja
  in_japanese said en_default "$folder_en" 40
  in_japanese said en_en "$folder_en" 41 --lang en
  in_japanese said en_ja "$folder_en" 42 --lang ja
  writes "the English setup's k720ctl.exe stays English under a Japanese locale" \
    en_default en_en en_ja
  rm -rf "$copy"
fi

# --- A second setup over the installed one: it uninstalls the old one first, then installs.
setup "the English setup /S over the installed one" "$dist/$english" /S
installed "English over English" 'C:\Program Files\K720' "$program_files"
uninstalled English 'C:\Program Files\K720' "$program_files"

# --- The Japanese setup into a folder of the user's choice.
japanese_folder=$WINEPREFIX/drive_c/Tools/K720J
setup "the Japanese setup /S /D=C:\\Tools\\K720J" "$dist/$japanese" /S '/D=C:\Tools\K720J'
installed Japanese 'C:\Tools\K720J' "$japanese_folder"
check "Japanese: nothing in C:\\Program Files\\K720" [ ! -e "$program_files" ]
if command -v compare >/dev/null && command -v import >/dev/null; then
  picture ja_default 'C:\Tools\K720J' 50 && picture ja_ja 'C:\Tools\K720J' 51 --lang ja &&
    picture ja_en 'C:\Tools\K720J' 52 --lang en &&
    speaks "the Japanese setup's k720app.exe opens its window in Japanese on an English system" \
      ja_default ja_ja ja_en
else
  echo "SKIPPED: the Japanese edition's window: no ImageMagick to compare windows"
fi
said ja_default 'C:\Tools\K720J' 53
said ja_ja 'C:\Tools\K720J' 54 --lang ja
said ja_en 'C:\Tools\K720J' 55 --lang en
writes "the Japanese setup's k720ctl.exe speaks Japanese on an English system" \
  ja_default ja_ja ja_en
uninstalled Japanese 'C:\Tools\K720J' "$japanese_folder"

[ "$failures" -eq 0 ] || { echo "$failures checks failed"; exit 1; }
