#!/usr/bin/env bash
# Builds the Debian package from a build tree's programs (CPack) and checks it from the outside:
# its files and their modes, the dependencies dpkg-shlibdeps found, the desktop entry, the manual
# page, the programs run from the unpacked tree, and the launcher's distribution folder with the
# two setup programs (against a stand-in for apt-get and pkexec: nothing is installed here).
#
#   tests/package_test.sh BUILD_DIR SOURCE_DIR
#
# Exits 77 (skipped) when a Debian packaging tool is missing; scripts/setup installs them.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/support/start_simulator.sh"
build=$1
source=$2

for tool in cpack dpkg-deb dpkg-shlibdeps desktop-file-validate flock readelf; do
    if ! command -v "$tool" >/dev/null; then
        echo "skipped: $tool is not installed (scripts/setup installs it)"
        exit 77
    fi
done

scratch=$(mktemp -d)
sim_pid=
cleanup() {
    if [ -n "$sim_pid" ]; then
        kill "$sim_pid" 2>/dev/null || true
        wait "$sim_pid" 2>/dev/null || true
    fi
    rm -rf "$scratch"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# --- The package ---------------------------------------------------------------------------
cpack --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log"; fail "cpack did not build the package"; }
arch=$(dpkg --print-architecture)
deb="$scratch/out/k720_1.03-1_${arch}.deb"
[ -f "$deb" ] || fail "no k720_1.03-1_${arch}.deb among: $(ls "$scratch/out")"

expected="\
-rwxr-xr-x root/root ./usr/bin/k720-install
-rwxr-xr-x root/root ./usr/bin/k720-sim
-rwxr-xr-x root/root ./usr/bin/k720app
-rwxr-xr-x root/root ./usr/bin/k720ctl
-rw-r--r-- root/root ./usr/lib/udev/rules.d/60-k720.rules
-rw-r--r-- root/root ./usr/share/applications/k720app.desktop
-rw-r--r-- root/root ./usr/share/doc/k720/README.md
-rw-r--r-- root/root ./usr/share/doc/k720/changelog.Debian.gz
-rw-r--r-- root/root ./usr/share/doc/k720/copyright
-rw-r--r-- root/root ./usr/share/icons/hicolor/16x16/apps/k720app.png
-rw-r--r-- root/root ./usr/share/icons/hicolor/256x256/apps/k720app.png
-rw-r--r-- root/root ./usr/share/icons/hicolor/32x32/apps/k720app.png
-rw-r--r-- root/root ./usr/share/icons/hicolor/48x48/apps/k720app.png
-rw-r--r-- root/root ./usr/share/man/man1/k720-install.1.gz
-rw-r--r-- root/root ./usr/share/man/man1/k720-sim.1.gz
-rw-r--r-- root/root ./usr/share/man/man1/k720app.1.gz
-rw-r--r-- root/root ./usr/share/man/man1/k720ctl.1.gz"
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $1, $2, $6 }' | sort -k3)
diff <(echo "$expected") <(echo "$files") || fail "the package's files differ (< expected, > packed)"
if dpkg-deb -c "$deb" | awk '$1 ~ /^d/ && $1 != "drwxr-xr-x" { bad = 1 } END { exit !bad }'; then
    fail "a folder of the package is not drwxr-xr-x"
fi

depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6widgets6 libudev1 libxcb1 libc6 fonts-dejavu-core fonts-ipafont-gothic \
    qt6-translations-l10n; do
    [[ $depends == *"$package"* ]] || fail "Depends lacks $package: $depends"
done

dpkg -x "$deb" "$scratch/unpacked"
usr="$scratch/unpacked/usr"
for program in k720app k720ctl k720-sim k720-install; do
    if readelf -S "$usr/bin/$program" | grep -q '\.debug_info'; then
        fail "$program is packed with its debugging information"
    fi
done

# --- The desktop entry and the manual page --------------------------------------------------
entry="$usr/share/applications/k720app.desktop"
desktop-file-validate "$entry" || fail "desktop-file-validate rejects the desktop entry"
grep -qx 'Exec=k720app' "$entry" || fail "the desktop entry does not start k720app"
icon=$(sed -n 's/^Icon=//p' "$entry")
[ -f "$usr/share/icons/hicolor/48x48/apps/$icon.png" ] || fail "no icon named $icon"

page="$usr/share/man/man1/k720ctl.1.gz"
if command -v man >/dev/null; then
    shown=$(MANWIDTH=100 man -P cat -l "$page" 2>&1)
else
    echo "note: man is not installed; the page's source is checked instead"
    shown=$(gzip -dc "$page")
fi
for text in 'usage: k720ctl' 'k720ctl read' 'k720ctl delete'; do
    [[ $shown == *"$text"* ]] || fail "the manual page of k720ctl lacks \"$text\""
done

# --- The packed programs --------------------------------------------------------------------
"$usr/bin/k720ctl" --help | grep -q '^usage: k720ctl' || fail "k720ctl --help"
"$usr/bin/k720-install" --help | grep -q '^usage: k720-install' || fail "k720-install --help"

start_simulator "$usr/bin/k720-sim" "$scratch/sim.out" || fail "k720-sim did not start"
"$usr/bin/k720ctl" --port "$device" read --unit C --out "$scratch/unitC.csv" >"$scratch/read.out" 2>&1 ||
    { cat "$scratch/read.out"; fail "k720ctl read from the packed k720-sim"; }
readings=$(grep -c '^[0-9]' "$scratch/unitC.csv" || true)
[ "$readings" -gt 0 ] || fail "the CSV file holds no reading: $(head -n 5 "$scratch/unitC.csv")"

# --- The launcher's distribution folder and its setup programs ------------------------------
dist="$scratch/K720 dist"
"$source/packaging/make_distribution" "$deb" "$usr/bin/k720-install" "$dist"
for member in k720-install English/ApplicationK720v1.03E_setup Japanese/ApplicationK720v1.03J_setup; do
    [ -x "$dist/$member" ] || fail "the distribution folder lacks an executable $member"
done
cmp -s "$deb" "$dist/k720_1.03-1_${arch}.deb" || fail "the distribution folder lacks the package"

# Stand-ins that record how they were called: the setup programs must ask apt-get to install the
# package beside them, through pkexec unless they already run as root.
mkdir "$scratch/bin"
for tool in apt-get pkexec; do
    printf '#!/bin/sh\nprintf "%%s\\n" "%s $*" >>"%s"\n' "$tool" "$scratch/calls" >"$scratch/bin/$tool"
    chmod +x "$scratch/bin/$tool"
done
if [ "$(id -u)" -eq 0 ]; then
    wanted="apt-get install -y $dist/k720_1.03-1_${arch}.deb"
else
    wanted="pkexec $scratch/bin/apt-get install -y $dist/k720_1.03-1_${arch}.deb"
fi
run_setup() {
    (cd / && env -u DISPLAY -u WAYLAND_DISPLAY PATH="$scratch/bin:$PATH" "$dist/$1" </dev/null)
}
for setup in English/ApplicationK720v1.03E_setup:Installed. \
    Japanese/ApplicationK720v1.03J_setup:インストールしました; do
    rm -f "$scratch/calls"
    said=$(run_setup "${setup%%:*}") || fail "${setup%%:*} failed: $said"
    [[ $said == *"${setup#*:}"* ]] || fail "${setup%%:*} did not say \"${setup#*:}\": $said"
    [ "$(cat "$scratch/calls")" = "$wanted" ] ||
        fail "${setup%%:*} ran \"$(cat "$scratch/calls")\" instead of \"$wanted\""
done

# While one setup runs (it holds the package's lock), a second one installs nothing.
rm -f "$scratch/calls"
exec 8<"$dist/k720_1.03-1_${arch}.deb"
flock -n 8
if said=$(run_setup English/ApplicationK720v1.03E_setup); then
    fail "a second setup succeeded: $said"
fi
exec 8<&-
[[ $said == *"already running"* ]] || fail "the second setup did not say so: $said"
[ ! -e "$scratch/calls" ] || fail "the second setup ran $(cat "$scratch/calls")"

echo "package test: $(basename "$deb") checked"
