# Sourced by scripts/test-windows and tests/windows_package_test.sh: the Wine prefix of
# $WINEPREFIX (prepared on first use) and its one wineserver, started for the caller, who ends it.
#   prepare_wine_prefix WINE WINESERVER    status 0 once the prefix is ready; the server's
#                                          process is in $wine_server from its start on

# start_wineserver WINESERVER: ready once it listens in its server folder, its working folder.
start_wineserver() {
  "$1" --foreground --persistent >/dev/null 2>&1 &
  wine_server=$!
  local tries
  for ((tries = 0; tries < 200; ++tries)); do
    [ -S "/proc/$wine_server/cwd/socket" ] && return 0
    kill -0 "$wine_server" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

prepare_wine_prefix() {
  local wine=$1 wineserver=$2 font first=
  local fonts=$WINEPREFIX/drive_c/windows/Fonts
  [ -f "$WINEPREFIX/system.reg" ] || first=1
  # Wine's own fonts (package fonts-wine: MS Sans Serif, Tahoma) in the system's font folder,
  # where this Wine looks for them (it does not find them in its data folder when started as
  # wine64): the windows' dialog font, as on a Windows PC, instead of a fallback among the Linux
  # fonts. They go in before wineboot and are never touched again: with a font folder changed
  # after it, every later start of a Windows program took some 12 s.
  mkdir -p "$fonts"
  for font in /usr/share/wine/fonts/*; do
    [ -L "$fonts/${font##*/}" ] || ln -s "$font" "$fonts/${font##*/}"
  done
  # wineboot starts Wine's own background processes now, with their output away from the
  # caller's (CTest waits for everyone holding its pipes), and with the display set, so that
  # Wine's desktop process can show windows.
  start_wineserver "$wineserver" || return 1
  timeout 180 "$wine" wineboot --init </dev/null >/dev/null 2>&1 || return 1
  [ -n "$first" ] || return 0
  # The prefix's first wineboot leaves Wine's services half started (no RPC service): each
  # later start of Wine's desktop process then waits 10 s for it, and the desktop process ends
  # with every window program. A new server starts them as on a prepared prefix.
  timeout 20 "$wineserver" -k >/dev/null 2>&1
  wait "$wine_server" 2>/dev/null
  start_wineserver "$wineserver" || return 1
  timeout 180 "$wine" wineboot </dev/null >/dev/null 2>&1
}
