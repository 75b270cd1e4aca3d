#!/usr/bin/env bash
# Checks a built Debian package without installing it: unpacks it into a temporary root
# and looks at what a user would get. Usage: scripts/check_package.sh PACKAGE.deb
set -euo pipefail
deb=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
fail() { echo "package check: $*" >&2; exit 1; }

version=$(dpkg-deb -f "$deb" Version)
[[ $(basename "$deb") == "tornavo_${version}_$(dpkg-deb -f "$deb" Architecture).deb" ]] ||
  fail "unexpected file name $(basename "$deb")"
for file in usr/bin/tornavo usr/share/applications/tornavo.desktop \
  usr/share/icons/hicolor/scalable/apps/tornavo.svg \
  usr/share/icons/hicolor/256x256/apps/tornavo.png usr/share/man/man1/tornavo.1.gz \
  usr/share/bash-completion/completions/tornavo usr/share/tornavo/English.ini; do
  [[ -s "$root/$file" ]] || fail "missing /$file"
done
desktop-file-validate "$root/usr/share/applications/tornavo.desktop" || fail "desktop entry"
depends=$(dpkg-deb -f "$deb" Depends)
[[ $depends == *libqt6widgets6* ]] || fail "dependencies not computed from the program: $depends"
[[ -z $(dpkg-deb --ctrl-tarfile "$deb" | tar -t | grep -Ev '^\./(control|md5sums)?$' || true) ]] ||
  fail "unexpected maintainer scripts"

# The unpacked program runs (on this machine's libraries).
[[ $("$root/usr/bin/tornavo" --version) == "tornavo $version" ]] || fail "--version"
[[ $("$root/usr/bin/tornavo" frame "%EE?00010") == "%EE?00010F1" ]] || fail "frame"
zcat "$root/usr/share/man/man1/tornavo.1.gz" | grep -q '^\.SS "tornavo ports"' ||
  fail "manual page lacks the ports command"
echo "== Package $(basename "$deb") checked: $(dpkg-deb -c "$deb" | grep -c '^-') files," \
  "depends on: $depends"
