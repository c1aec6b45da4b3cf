#!/bin/sh
# test_install.sh BUILD: installs the build into a temporary prefix and checks what a desktop needs of it.
set -eu
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$1" --prefix "$prefix" >/dev/null
cd "$prefix"
status=0
fail() { echo "FAIL: $*"; status=1; }

for f in bin/vidarro bin/vidarro-newbase libexec/vidarro/vidarro-mdbread; do
    [ -x "$f" ] || fail "$f is not installed"
done
for f in share/vidarro/Vidarro.chm share/vidarro/help/index.html share/vidarro/help/vidarro.css \
    share/man/man1/vidarro.1.gz share/man/man1/vidarro-newbase.1.gz share/doc/vidarro/copyright; do
    [ -s "$f" ] || fail "$f is missing or empty"
done
for size in 16 32 48 64 128 256; do
    file -b share/icons/hicolor/${size}x$size/apps/org.vidarro.Vidarro.png | grep -q "PNG image data, $size x $size" ||
        fail "no $size px icon"
done
for page in share/man/man1/*.gz; do
    [ -z "$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)" ] || fail "$page has roff warnings"
done
desktop-file-validate share/applications/org.vidarro.Vidarro.desktop || fail "desktop file"
grep -qx "Exec=vidarro --user-catalogue" share/applications/org.vidarro.Vidarro.desktop || fail "Exec line"
appstreamcli validate --no-net share/metainfo/org.vidarro.Vidarro.metainfo.xml >/dev/null || fail "metainfo"
# Needs no display: answered before the window system starts.
bin/vidarro --help | grep -q -- --user-catalogue || fail "vidarro --help"
export QT_QPA_PLATFORM=offscreen
for args in "a b" "--bogus" "a --user-catalogue"; do
    code=0
    bin/vidarro $args 2>/dev/null || code=$?
    [ $code -eq 2 ] || fail "vidarro $args: exit status $code, not 2"
done
# The catalogue folder is made, the catalogue is not: the first-run window waits for the user (and the timeout).
mkdir home
HOME=$prefix/home env -u XDG_DATA_HOME timeout 3 bin/vidarro --user-catalogue >/dev/null 2>&1 || true
XDG_DATA_HOME=$prefix/data timeout 3 bin/vidarro --user-catalogue >/dev/null 2>&1 || true
for dir in home/.local/share/vidarro data/vidarro; do
    [ -d $dir ] && [ -z "$(ls -A $dir)" ] || fail "--user-catalogue: no empty folder $dir"
done
exit $status
