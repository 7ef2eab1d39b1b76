#!/usr/bin/env bash
# package_install_test.sh BUILD_DIR
# Builds the packages, checks them with lintian, desktop-file-validate and
# appstreamcli, installs them with apt-get, runs quarvelctl and the window
# (from the desktop entry's Exec, under Xvfb) as an installed program would
# be run, then purges them and checks that nothing of theirs is left.
set -euo pipefail
build=$(cd "$1" && pwd)
packages=$build/packages
work=$(mktemp -d /tmp/quarvel-package-XXXXXX)
root_cmd=()
if [ "$(id -u)" -ne 0 ]; then root_cmd=(sudo -n); fi

fail() { echo "FAIL: $*" >&2; exit 1; }
step() { echo "== $*"; }

purge() { "${root_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get purge -y -q quarvel quarvel-server >/dev/null 2>&1 || true; }
window=""
cleanup() {
    [ -n "$window" ] && kill "$window" 2>/dev/null
    purge
    rm -rf "$work"
}
trap cleanup EXIT

step "building the packages"
rm -rf "$packages"
cmake --build "$build" --target package >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack"; }
client=$(ls "$packages"/quarvel_*.deb)
server=$(ls "$packages"/quarvel-server_*.deb)

step "lintian"
lintian --fail-on error --suppress-tags-from-file /dev/null "$client" "$server" | tee "$work/lintian.log" || fail "lintian reports errors"

step "desktop entry and metainfo"
dpkg-deb -x "$client" "$work/client"
desktop=$work/client/usr/share/applications/org.quarvel.Quarvel.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate"
grep -q '^Name\[zh_CN\]=' "$desktop" || fail "no Chinese name"
grep -q '^Comment\[zh_CN\]=' "$desktop" || fail "no Chinese comment"
appstreamcli validate --no-net "$work/client/usr/share/metainfo/org.quarvel.Quarvel.metainfo.xml" ||
    fail "appstreamcli validate"
for f in usr/share/icons/hicolor/scalable/apps/org.quarvel.Quarvel.svg usr/share/icons/hicolor/256x256/apps/org.quarvel.Quarvel.png \
         usr/share/man/man1/quarvel.1.gz usr/share/man/man1/quarvelctl.1.gz usr/share/bash-completion/completions/quarvelctl \
         usr/share/quarvel/DATA_SYS/tarvo7_0.dat usr/share/quarvel/fonts/LibreBarcode39-Regular.ttf; do
    [ -e "$work/client/$f" ] || fail "quarvel lacks /$f"
done
dpkg-deb -f "$client" Depends | grep -q libreoffice-calc || fail "quarvel does not depend on the office"
dpkg-deb -f "$client" Depends | grep -q libqt6widgets6 || fail "quarvel has no library dependencies (shlibdeps)"
# Listed to a file first: grep -q ends at its first match, and under
# pipefail the listing it cut off would count as a failure.
dpkg-deb -c "$server" >"$work/server.list"
grep -q 'lib/systemd/system/quarvel-server.service' "$work/server.list" || fail "quarvel-server lacks its unit"

step "installing"
purge
# What the packages hold, to be checked after the purge.
{ dpkg-deb -c "$client"; dpkg-deb -c "$server"; } | awk '{print substr($6, 2)}' | grep -v '/$' >"$work/files"
"${root_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$client" "$server" >"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log"; fail "apt-get install"; }
[ ! -e /etc/systemd/system/multi-user.target.wants/quarvel-server.service ] || fail "the server unit is enabled"

step "quarvelctl from /usr/bin"
export HOME=$work/home
unset XDG_DATA_HOME XDG_CONFIG_HOME
mkdir -p "$HOME"
version=$(/usr/bin/quarvelctl --version)
[[ $version =~ ^quarvelctl\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "quarvelctl --version said '$version'"
[[ $(/usr/bin/tarvo-server --version) == "tarvo-server ${version#quarvelctl }" ]] || fail "tarvo-server --version"
/usr/bin/quarvelctl --root "$(mktemp -d "$work/root-XXXX")" records list || fail "records list with --root"
/usr/bin/quarvelctl records list || fail "records list in the user's root"
[ -f "$HOME/.local/share/quarvel/DATA_SYS/tarvo7_0.dat" ] || fail "the user's root did not get the dictionary"
ls "$HOME/.local/share/quarvel/DATA_MODEL/"*.xls >/dev/null 2>&1 || fail "the user's root did not get the templates"
man -w quarvelctl >/dev/null || fail "man quarvelctl"

step "the window from the desktop entry"
exec_line=$(sed -n 's/^Exec=//p' /usr/share/applications/org.quarvel.Quarvel.desktop)
xvfb-run -a -s "-screen 0 1280x800x24" bash -c "
    $exec_line >'$work/window.log' 2>&1 &
    for i in \$(seq 60); do
        if xwininfo -root -tree | grep -q 'Quarvel'; then kill %1; exit 0; fi
        sleep 0.5
    done
    kill %1; exit 1" || { cat "$work/window.log"; fail "no window opened from '$exec_line'"; }

step "removing"
purge
left=()
while read -r f; do [ -e "/$f" ] && left+=("/$f"); done <"$work/files"
for d in /usr/share/quarvel /usr/share/quarvel-server /usr/lib/quarvel /var/lib/quarvel-server /etc/default/quarvel-server; do
    [ -e "$d" ] && left+=("$d")
done
[ ${#left[@]} -eq 0 ] || fail "left after removal: ${left[*]}"
echo "PASS"
