#!/usr/bin/env bash
# Builds the Debian package build/chanset_<version>-1_<arch>.deb and checks it
# without installing it: its control data (dpkg-deb -I), its files
# (dpkg-deb -c) and the Debian package checker (lintian: no errors).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --packaging
scripts/build.sh
cd build

rm -f chanset_*.deb
if ! cpack -G DEB >cpack.log 2>&1; then
  cat cpack.log
  exit 1
fi
deb=$(ls chanset_*.deb)
version=$(bin/chanset-cli --version | cut -d' ' -f2)
echo "Built build/$deb"

passed=0
failed=0
check() {  # check DESCRIPTION COMMAND...
  local what=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $what" >&2
  fi
}

info=$(dpkg-deb -I "$deb")
field() { printf '%s\n' "$info" | sed -n "s/^ $1: //p"; }
check "file name" test "$deb" = "chanset_${version}-1_$(dpkg --print-architecture).deb"
check "package name" test "$(field Package)" = chanset
check "version" test "$(field Version)" = "${version}-1"
check "section" test "$(field Section)" = hamradio
# Computed by dpkg-shlibdeps from the programs' libraries, with versions.
check "library dependencies" grep -Eq 'libqt6widgets6 \(>= [0-9.]+\)' <<<"$(field Depends)"
check "C++ library dependency" grep -Eq 'libstdc\+\+6 \(>= [0-9.]+\)' <<<"$(field Depends)"
# Looked up from the Qt plugins the programs load at run time.
check "plugin dependencies" grep -q 'libqt6sql6-sqlite' <<<"$(field Depends)"
check "conffiles" test "$(dpkg-deb --ctrl-tarfile "$deb" | tar -xOf - ./conffiles)" = /etc/chanset/Chanset.ini

contents=$(dpkg-deb -c "$deb" | awk '{ $1 = $2 = $3 = $4 = $5 = ""; sub(/^ +/, ""); print }')
expected=(
  "./usr/bin/chanset -> ../lib/chanset/Chanset"
  "./usr/bin/chanset-cli -> ../lib/chanset/chanset-cli"
  "./usr/bin/chanset-radio-sim -> ../lib/chanset/chanset-radio-sim"
  "./usr/lib/chanset/Chanset"
  "./usr/lib/chanset/chanset-cli"
  "./usr/lib/chanset/chanset-radio-sim"
  "./usr/lib/chanset/Chanset.ini -> /etc/chanset/Chanset.ini"
  "./etc/chanset/Chanset.ini"
  "./usr/lib/chanset/English.rcc"
  "./usr/lib/chanset/Chinese.rcc"
  "./usr/lib/chanset/enHelp.qch"
  "./usr/lib/chanset/chHelp.qch"
  "./usr/lib/chanset/title.ico"
  "./usr/lib/chanset/background.bmp"
  "./usr/share/applications/chanset.desktop"
  "./usr/share/metainfo/org.chanset.Chanset.metainfo.xml"
  "./usr/share/mime/packages/chanset.xml"
  "./usr/share/icons/hicolor/48x48/apps/chanset.png"
  "./usr/share/icons/hicolor/scalable/apps/chanset.svg"
  "./usr/share/man/man1/chanset.1.gz"
  "./usr/share/man/man1/chanset-cli.1.gz"
  "./usr/share/man/man1/chanset-radio-sim.1.gz"
  "./usr/share/doc/chanset/copyright"
  "./usr/share/doc/chanset/changelog.Debian.gz"
)
for path in "${expected[@]}"; do
  check "contains $path" grep -qxF "$path" <<<"$contents"
done
check "nothing under /usr/local" bash -c '! grep -q "^\./usr/local" <<<"$1"' _ "$contents"
# Stripped: no debugging sections left in the programs.
check "programs stripped" bash -c '! dpkg-deb --fsys-tarfile "$1" | tar -xOf - ./usr/lib/chanset/Chanset | grep -q "\.debug_info"' _ "$deb"

check "lintian" bash -c 'lintian --fail-on error "$1" >lintian.log 2>&1' _ "$deb"
grep -v 'running with root privileges' lintian.log || true

echo "package-deb: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
