#!/usr/bin/env bash
# Checks what a build installs and packages: the files of the install tree and of the Debian
# package, the desktop entry and the AppStream metainfo through their validators, and the
# package dependencies found from the linked libraries.
# Usage: packaging/check-package.sh BUILD_DIR [PACKAGING_DIR]
set -euo pipefail
build=$(cd "$1" && pwd)
source_dir=$(cd "${2:-$(dirname "$0")}/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "package check: $*" >&2
  exit 1
}

id=org.corvane.Corvane
files=(
  bin/corvane
  bin/corvane-cli
  libexec/corvane/corvane-xls-reader
  share/applications/$id.desktop
  share/icons/hicolor/scalable/apps/$id.svg
  share/metainfo/$id.metainfo.xml
  share/mime/packages/$id.xml
  share/man/man1/corvane-cli.1.gz
  share/doc/corvane/copyright
)

# The install tree.
root=$work/root
cmake --install "$build" --prefix "$root" >/dev/null
for f in "${files[@]}"; do
  [ -f "$root/$f" ] || fail "the install tree lacks $f"
done
for f in bin/corvane bin/corvane-cli libexec/corvane/corvane-xls-reader; do
  [ -x "$root/$f" ] || fail "$f is not executable"
done
"$root/bin/corvane-cli" --help >/dev/null || fail "the installed corvane-cli does not run"
# The installed batch tool finds the installed helper for .xls workbooks, not the build tree's.
xls=$("$root/bin/corvane-cli" import "$source_dir/tests/data/written-by/xlwt_trial.xls" \
  --delimiter auto 2>&1) || fail "the installed corvane-cli does not read an .xls: $xls"
grep -q 'Excel 97-2003 workbook' <<<"$xls" || fail "the installed corvane-cli read no .xls: $xls"
extra=$(cd "$root" && find . -type f | sed 's|^\./||' | sort | comm -23 - <(printf '%s\n' "${files[@]}" | sort))
[ -z "$extra" ] || fail "the install tree holds files nobody asked for: $extra"

# The validators: any remark at all counts as a failure.
out=$(desktop-file-validate "$root/share/applications/$id.desktop" 2>&1) ||
  fail "desktop-file-validate: $out"
[ -z "$out" ] || fail "desktop-file-validate: $out"
# A file manager's "Open With" and a double click hand the program the file, for each format.
grep -qx 'Exec=corvane %f' "$root/share/applications/$id.desktop" || fail "Exec does not take %f"
for type in text/csv text/tab-separated-values application/x-spss-sav application/x-spss-por \
  application/x-stata-dta application/x-sas-data application/x-sas-xport \
  application/vnd.openxmlformats-officedocument.spreadsheetml.sheet application/vnd.ms-excel \
  application/vnd.oasis.opendocument.spreadsheet application/x-r-rds application/x-r-data; do
  grep -q "^MimeType=.*$type;" "$root/share/applications/$id.desktop" || fail "MimeType lacks $type"
done
xmllint --noout "$root/share/mime/packages/$id.xml" 2>/dev/null ||
  python3 -c 'import sys, xml.dom.minidom; xml.dom.minidom.parse(sys.argv[1])' \
    "$root/share/mime/packages/$id.xml" || fail "the MIME package is not well-formed XML"
out=$(appstreamcli validate --no-net "$root/share/metainfo/$id.metainfo.xml" 2>&1) ||
  fail "appstreamcli validate: $out"
if grep -qE '^[EWI]: ' <<<"$out"; then fail "appstreamcli validate: $out"; fi
gzip -t "$root/share/man/man1/corvane-cli.1.gz" || fail "the manual page is not a gzip file"
gzip -dc "$root/share/man/man1/corvane-cli.1.gz" | grep -q '^\.TH CORVANE-CLI 1' ||
  fail "the manual page has no title line"
grep -q 'GPL-3.0-or-later' "$root/share/doc/corvane/copyright" || fail "copyright names no license"
grep -q 'Qt Charts' "$root/share/doc/corvane/copyright" || fail "copyright does not name Qt Charts"

# The Debian package.
(cd "$build" && cpack -G DEB -B "$work/deb" >"$work/cpack.log" 2>&1) || {
  cat "$work/cpack.log" >&2
  fail "cpack -G DEB failed"
}
deb=$(find "$work/deb" -maxdepth 1 -name 'corvane_*.deb' | head -n 1)
[ -n "$deb" ] || fail "cpack made no corvane_*.deb"
listing=$(dpkg-deb -c "$deb" | awk '{print $NF}')
for f in "${files[@]}"; do
  grep -qx "\./usr/$f" <<<"$listing" || fail "the package lacks /usr/$f"
done
[ "$(dpkg-deb -f "$deb" Package)" = corvane ] || fail "the package is not named corvane"
depends=$(dpkg-deb -f "$deb" Depends)
names=$(tr ',|' '\n\n' <<<"$depends" | awk '{print $1}')
for lib in libc6 libstdc++6 libqt6widgets6 libqt6gui6 libqt6core6; do
  grep -qxF "$lib" <<<"$names" || fail "Depends lacks $lib: $depends"
done
echo "package check: $(basename "$deb") holds ${#files[@]} files; Depends: $depends"
