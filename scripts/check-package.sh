#!/usr/bin/env bash
# Builds the Debian package from a build folder, installs it, runs the installed programs from
# their installed place, and removes the package again.
# As root it installs with apt-get; otherwise it unpacks into a scratch root and runs from there.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$top/build}" && pwd)"
scratch="$(mktemp -d)"
installed=0

fail() { echo "check-package: $*" >&2; exit 1; }

cleanup()
{
  if [ "$installed" -eq 1 ]; then
    DEBIAN_FRONTEND=noninteractive apt-get remove -y -q kivexcel >/dev/null || echo "check-package: could not remove kivexcel" >&2
  fi
  rm -rf "$scratch"
}
trap cleanup EXIT

# Installed with apt-get as root, unless a kivexcel is installed already: that one is left alone.
mode=unpack
if [ "$(id -u)" -eq 0 ]; then
  mode=apt
  if dpkg-query -W -f='${Status}' kivexcel 2>/dev/null | grep -q "install ok installed"; then
    echo "kivexcel is installed on this machine already: checking an unpacked copy instead"
    mode=unpack
  fi
fi

echo "== building the package in $build"
rm -f "$build"/kivexcel_*.deb
(cd "$build" && cpack -G DEB >"$scratch/cpack.log" 2>&1) || { cat "$scratch/cpack.log" >&2; fail "cpack failed"; }
deb="$(ls "$build"/kivexcel_*.deb)"
echo "$(basename "$deb"): $(du -h "$deb" | cut -f1)"
dpkg-deb -f "$deb" Package Version Depends

if [ "$mode" = apt ]; then
  echo "== installing with apt-get"
  installed=1
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$deb" >"$scratch/apt.log" 2>&1 \
    || { cat "$scratch/apt.log" >&2; fail "apt-get install failed"; }
  root=""
else
  echo "== unpacking into a scratch root"
  root="$scratch/root"
  dpkg-deb -x "$deb" "$root"
  # The RPATH is absolute: the office's libraries are found in their real place from here too.
fi
prefix="$root/usr"

for path in bin/KivExcel bin/kivexcel-cli share/applications/kivexcel.desktop \
            share/icons/hicolor/scalable/apps/kivexcel.svg share/man/man1/kivexcel-cli.1.gz; do
  [ -e "$prefix/$path" ] || fail "not installed: /usr/$path"
done
for size in 16 32 48 64 128 256; do
  [ -s "$prefix/share/icons/hicolor/${size}x${size}/apps/kivexcel.png" ] || fail "no ${size}x${size} icon"
done
echo "programs, desktop entry, icons and manual page are in place"

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/kivexcel.desktop" || fail "desktop entry not valid"
  echo "desktop-file-validate: no complaints"
fi
zcat "$prefix/share/man/man1/kivexcel-cli.1.gz" | grep -q '^\.SH NAME' || fail "manual page unreadable"
if [ -z "$root" ] && command -v man >/dev/null; then
  man -w kivexcel-cli >/dev/null || fail "man does not find kivexcel-cli"
  echo "man finds $(man -w kivexcel-cli)"
fi

echo "== running from $prefix/bin"
cd "$scratch"
version="$("$prefix/bin/kivexcel-cli" --version)"
[ "$version" = "kivexcel-cli $(dpkg-deb -f "$deb" Version)" ] || fail "unexpected version: $version"
echo "$version"

cp "$top/tests/fixtures/workbooks/xlrd-sample.xlsx" "$scratch/book.xlsx"
mkdir "$scratch/out" "$scratch/new-user"
# As a new user, who has no office profile yet.
HOME="$scratch/new-user" XDG_DATA_HOME="$scratch/new-user/.local/share" \
  "$prefix/bin/kivexcel-cli" split-sheets "$scratch/book.xlsx" --out "$scratch/out" --quiet \
  || fail "split-sheets from the installed place failed"
[ -s "$scratch/out/Sheet1.xlsx" ] || fail "split-sheets wrote no Sheet1.xlsx"
echo "split-sheets wrote: $(ls "$scratch/out")"

# A file manager's "open with" passes the workbook; the launcher must still open. Its banner
# cache and settings go to a scratch home.
mkdir -p "$scratch/home"
HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/home/.config" XDG_DATA_HOME="$scratch/home/.local/share" \
  XDG_CACHE_HOME="$scratch/home/.cache" QT_QPA_PLATFORM=offscreen \
  timeout 5 "$prefix/bin/KivExcel" "$scratch/book.xlsx" >"$scratch/gui.log" 2>&1 && status=0 || status=$?
[ "$status" -eq 124 ] || { cat "$scratch/gui.log" >&2; fail "KivExcel with a file argument ended with status $status"; }
echo "KivExcel with a workbook argument starts and stays open"

echo "package check passed"
