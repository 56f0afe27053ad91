#!/bin/sh
# SPDX-License-Identifier: MIT
# Installs the build into a staging directory and checks that each folder
# installed itself: the programs run from there (libnirvex found in its
# private directory by their run path), the udev rule, the man pages.
# Usage: installed_files.sh BUILD-DIR BINDIR LIBDIR RULESDIR MANDIR GUI(ON|OFF)
set -eu
build=$1 bindir=$2 libdir=$3 rulesdir=$4 mandir=$5 gui=$6
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
DESTDIR="$stage" cmake --install "$build" >/dev/null
failed=0
expect() {  # path
  if [ -e "$stage$1" ]; then echo "ok: $1"; else echo "missing: $1"; failed=1; fi
}
expect "$bindir/veltrane-cli"
expect "$libdir/veltrane/libnirvex.so"
[ -e "$stage$libdir/libnirvex.so" ] && { echo "public: $libdir/libnirvex.so"; failed=1; }
expect "$rulesdir/70-veltrane.rules"
if command -v help2man >/dev/null; then expect "$mandir/man1/veltrane-cli.1"; fi
if [ "$gui" = ON ]; then
  expect "$bindir/veltrane"
  expect "${bindir%/bin}/share/metainfo/io.github.veltrane.veltrane.metainfo.xml"
fi
# Run from the staging directory, as from anywhere the tree is moved to.
(cd /tmp && env -u LD_LIBRARY_PATH "$stage$bindir/veltrane-cli" --version) || failed=1
exit "$failed"
