#!/usr/bin/env bash
# Builds the Debian packages as a release is built, twice, and checks them
# without installing them:
#   build-deb/chanset_<version>-1_<arch>.deb
#   build-deb/chanset-dbgsym_<version>-1_<arch>.ddeb   (debugging information)
#
# Each build configures build-deb/tree afresh with Debian's flags
# (dpkg-buildflags with hardening=+all; -ffile-prefix-map keeps the build's
# paths out), SOURCE_DATE_EPOCH from the last commit, no tests, and builds
# only what the package holds: the three programs, their files and the
# manual pages. With ccache installed the second build takes the compiler's
# results from the first (CCACHE_DISABLE=1 compiles everything again).
#
# Checks: the two builds are byte-identical; the control data (section
# agreeing with the licence, each dependency named once, placeholders said
# aloud); the files and links of the layout; no path of the build in any
# file; every program hardened (hardening-check); debugging information in
# the dbgsym package for every program; documentation compressed; manual
# pages that format cleanly; lintian without errors (on the main package).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --packaging

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null || true)
  if [ -z "$SOURCE_DATE_EPOCH" ]; then
    echo "package-deb: not a git checkout; set SOURCE_DATE_EPOCH" >&2
    exit 1
  fi
fi
export SOURCE_DATE_EPOCH
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
# CMake takes no CPPFLAGS: they go with the compiler's flags, as debhelper does.
cxxflags="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi

out=build-deb
tree=$out/tree
build_packages() {  # build_packages DEST: build in $tree, move the packages to DEST
  rm -rf "$tree" "$1"
  mkdir -p "$1"
  CXXFLAGS="$cxxflags" LDFLAGS="$ldflags" cmake -S . -B "$tree" -DCMAKE_BUILD_TYPE=None \
    -DCHANSET_BUILD_TESTS=OFF -DCHANSET_HARDENING=OFF -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
    "${launcher[@]}" >"$1.configure.log"
  cmake --build "$tree" -j"$(nproc)" --target programs manpages >"$1.build.log"
  if ! (cd "$tree" && cpack -G DEB >cpack.log 2>&1); then
    cat "$tree/cpack.log"
    exit 1
  fi
  mv "$tree"/chanset_*.deb "$tree"/chanset-dbgsym_*.ddeb "$1/"
}
rm -rf "$out"
mkdir -p "$out"
build_packages "$out/first"
# The placeholders of the home page and the maintainer are said, not hidden.
grep -A3 'CMake Warning' "$tree/cpack.log" | grep -v '^--' >&2 || true
build_packages "$out/second"
mv "$out"/first/* "$out/"

deb=$(cd "$out" && ls chanset_*.deb)
ddeb=$(cd "$out" && ls chanset-dbgsym_*.ddeb)
version=$("$tree/bin/chanset-cli" --version | cut -d' ' -f2)
arch=$(dpkg --print-architecture)
echo "Built $out/$deb and $out/$ddeb"
cd "$out"

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

# Reproducible: the second build made the same bytes.
for p in "$deb" "$ddeb"; do
  check "$p built twice is byte-identical" cmp -s "$p" "second/$p"
done

info=$(dpkg-deb -I "$deb")
field() { printf '%s\n' "$info" | sed -n "s/^ $1: //p"; }
check "file name" test "$deb" = "chanset_${version}-1_${arch}.deb"
check "dbgsym file name" test "$ddeb" = "chanset-dbgsym_${version}-1_${arch}.ddeb"
check "package name" test "$(field Package)" = chanset
check "version" test "$(field Version)" = "${version}-1"
# The licence allows no copying: such a package belongs to non-free.
if grep -q 'All rights reserved' ../LICENSE; then section=non-free/hamradio; else section=hamradio; fi
check "section $section, as the licence says" test "$(field Section)" = "$section"
depends=$(field Depends)
# Computed by dpkg-shlibdeps from the programs' libraries, with versions.
check "library dependencies" grep -Eq 'libqt6widgets6 \(>= [0-9.]+\)' <<<"$depends"
check "C++ library dependency" grep -Eq 'libstdc\+\+6 \(>= [0-9.]+\)' <<<"$depends"
# Looked up from the Qt plugins the programs load at run time.
check "plugin dependencies" grep -q 'libqt6sql6-sqlite' <<<"$depends"
check "each dependency named once" test -z "$(tr ',' '\n' <<<"$depends" | sed 's/(.*//; s/ //g' | sort | uniq -d)"
check "conffiles" test "$(dpkg-deb --ctrl-tarfile "$deb" | tar -xOf - ./conffiles)" = /etc/chanset/Chanset.ini

rm -rf files debug control debug-control
dpkg-deb -x "$deb" files
dpkg-deb -x "$ddeb" debug
dpkg-deb -e "$deb" control
dpkg-deb -e "$ddeb" debug-control
meta=files/usr/share/metainfo/org.chanset.Chanset.metainfo.xml
if [ -z "$(field Homepage)" ]; then
  echo "WARNING: no home page: the package and its AppStream data name none" >&2
  check "no home page: no URL or screenshot in the AppStream data" bash -c '! grep -Eq "<url|<screenshot" "$1"' _ "$meta"
fi
if grep -q 'example\.org' <<<"$(field Maintainer)"; then
  echo "WARNING: the maintainer is a placeholder: $(field Maintainer)" >&2
fi
check "no placeholder address in the AppStream data" bash -c '! grep -q "example\.org" "$1"' _ "$meta"

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
  "./usr/share/applications/chanset.desktop"
  "./usr/share/metainfo/org.chanset.Chanset.metainfo.xml"
  "./usr/share/mime/packages/chanset.xml"
  "./usr/share/icons/hicolor/48x48/apps/chanset.png"
  "./usr/share/icons/hicolor/scalable/apps/chanset.svg"
  "./usr/share/man/man1/chanset.1.gz"
  "./usr/share/man/man1/chanset-cli.1.gz"
  "./usr/share/man/man1/chanset-radio-sim.1.gz"
  "./usr/share/doc/chanset/copyright"
  "./usr/share/doc/chanset/README.md.gz"
  "./usr/share/doc/chanset/changelog.gz"
  "./usr/share/doc/chanset/changelog.Debian.gz"
)
# The files the programs read are the same on every architecture.
for name in English.rcc Chinese.rcc enHelp.qch chHelp.qch title.ico background.bmp; do
  expected+=("./usr/share/chanset/$name" "./usr/lib/chanset/$name -> ../../share/chanset/$name")
done
for path in "${expected[@]}"; do
  check "contains $path" grep -qxF "$path" <<<"$contents"
done
check "nothing under /usr/local" bash -c '! grep -q "^\./usr/local" <<<"$1"' _ "$contents"
check "only programs are files in /usr/lib" \
  bash -c 'for f in $(find files/usr/lib -type f); do file -b "$f" | grep -q "^ELF" || { echo "$f"; exit 1; }; done'
check "documentation compressed" bash -c '! find files/usr/share/doc files/usr/share/man -type f -size +4k ! -name "*.gz" | grep -q .'

# No path of this machine's build in any file, debugging information and
# control data included.
check "no build paths" bash -c '! grep -rlF "$1" files debug control debug-control' _ "$(cd .. && pwd)"

programs=(files/usr/lib/chanset/Chanset files/usr/lib/chanset/chanset-cli files/usr/lib/chanset/chanset-radio-sim)
# Stripped: no debugging sections left in the programs; the dbgsym package
# holds them, found by each program's build id.
for p in "${programs[@]}"; do
  name=$(basename "$p")
  check "$name stripped" bash -c '! readelf -S "$1" | grep -q "\.debug_info"' _ "$p"
  id=$(readelf -n "$p" | sed -n 's/^ *Build ID: //p')
  check "$name has a build id" test -n "$id"
  check "$name debugging information in $ddeb" \
    bash -c 'readelf -S "$1" 2>/dev/null | grep -q "\.debug_info"' _ "debug/usr/lib/debug/.build-id/${id:0:2}/${id:2}.debug"
done

# Hardened: PIE, stack protector, fortified calls, RELRO and BIND_NOW.
# Control-flow protection is left out: this Debian's dpkg-buildflags does
# not turn it on.
hardening-check --nocfprotection "${programs[@]}" >hardening.log 2>&1 || true
cat hardening.log
for p in "${programs[@]}"; do
  report=$(hardening-check --nocfprotection "$p" 2>&1) && status=0 || status=$?
  name=$(basename "$p")
  check "$name hardened" test "$status" -eq 0
  for feature in "Position Independent Executable: yes" "Stack protected: yes" \
    "Fortify Source functions: yes" "Read-only relocations: yes" "Immediate binding: yes"; do
    check "$name: $feature" grep -qF "$feature" <<<"$report"
  done
done

# The manual pages format without a warning.
for page in files/usr/share/man/man1/*.1.gz; do
  check "$(basename "$page") formats cleanly" \
    bash -c 'test -z "$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$1" 2>&1 >/dev/null)"' _ "$page"
done

# The dbgsym package is left out, as Debian's archive leaves it out: it has
# no documentation of its own by design.
check "lintian" bash -c 'lintian --fail-on error "$1" >lintian.log 2>&1' _ "$deb"
grep -v 'running with root privileges' lintian.log || true

echo "package-deb: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
