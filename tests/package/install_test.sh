#!/bin/sh
# SPDX-License-Identifier: MIT
# Installs the package into a fresh minbase Debian bookworm chroot, as a user
# would (apt-get install ./veltrane_*.deb, its dependencies from the archive),
# and checks that the programs run and that the udev rule, the AppStream
# metadata, the man pages and the bash completion are in place.
# Usage: install_test.sh VELTRANE.deb   (as root; needs debootstrap and the archive)
# The bare chroot is kept as build-deb/bookworm-minbase.tar for the next run.
set -eu
deb=$(realpath "$1")
here=$(cd "$(dirname "$0")/../.." && pwd)
cache="$here/build-deb/bookworm-minbase.tar"
mirror=$(sed -n 's/^deb \(http[^ ]*\) bookworm main.*/\1/p' /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null | head -n 1)
[ -n "$mirror" ] || mirror=$(sed -n 's/^URIs: \(http[^ ]*\)$/\1/p' /etc/apt/sources.list.d/*.sources 2>/dev/null | head -n 1)
mirror=${mirror:-http://deb.debian.org/debian}

root=$(mktemp -d /tmp/veltrane-chroot.XXXXXX)
cleanup() {
  umount "$root/proc" 2>/dev/null || true
  rm -rf "$root"
}
trap cleanup EXIT
start=$(date +%s)
if [ -f "$cache" ]; then
  tar -xf "$cache" -C "$root"
else
  debootstrap --variant=minbase bookworm "$root" "$mirror" >"$root.debootstrap.log" 2>&1 ||
    { tail -n 20 "$root.debootstrap.log"; exit 1; }
  rm -f "$root.debootstrap.log"
  mkdir -p "$(dirname "$cache")"
  tar -cf "$cache" -C "$root" .
fi
cp /etc/resolv.conf "$root/etc/resolv.conf"
mount -t proc proc "$root/proc"
cp "$deb" "$root/tmp/"
in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 "$@"; }
apt="apt-get -qq -o APT::Sandbox::User=root -o Dpkg::Use-Pty=0"
in_root $apt update
in_root sh -c "cd /tmp && DEBIAN_FRONTEND=noninteractive $apt install -y ./$(basename "$deb")" \
  >"$root.install.log" 2>&1 || { tail -n 30 "$root.install.log"; exit 1; }
rm -f "$root.install.log"
echo "== installed in the chroot ($(( $(date +%s) - start )) s)"

failed=0
check() {  # description, command...
  what=$1; shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failed=1; fi
}
version=$(dpkg-deb -f "$deb" Version)
check "veltrane-cli --version" \
  sh -c "chroot '$root' veltrane-cli --version | grep -qx 'veltrane-cli (Veltrane) $version'"
check "veltrane --version without a display" \
  sh -c "chroot '$root' env -u DISPLAY -u WAYLAND_DISPLAY veltrane --version | grep -qx 'veltrane (Veltrane) $version'"
check "veltrane-cli draw of the example" chroot "$root" sh -c \
  'cd /tmp && veltrane-cli import /usr/share/doc/veltrane/examples/desk.json -o desk.DAT &&
   veltrane-cli draw desk.DAT -o desk.pdf && veltrane-cli draw desk.DAT --layer fn1 -o desk.svg &&
   head -c 5 desk.pdf | grep -q "%PDF-" && grep -q "id=\"fn1-0-1\"" desk.svg'
rule=$(ls "$root"/lib/udev/rules.d/70-veltrane.rules "$root"/usr/lib/udev/rules.d/70-veltrane.rules 2>/dev/null | head -n 1)
check "the udev rule, uaccess only" sh -c "[ -n '$rule' ] && grep -q 'TAG+=\"uaccess\"' '$rule' && ! grep -q 'GROUP' '$rule'"
check "the AppStream metadata" test -f "$root/usr/share/metainfo/io.github.veltrane.veltrane.metainfo.xml"
check "the desktop entry" test -f "$root/usr/share/applications/io.github.veltrane.veltrane.desktop"
check "the man pages" test -f "$root/usr/share/man/man1/veltrane.1.gz" -a -f "$root/usr/share/man/man1/veltrane-cli.1.gz"
check "libnirvex in its private directory" sh -c "ls '$root'/usr/lib/*/veltrane/libnirvex.so >/dev/null"
if [ -f "$here/cli/completion/veltrane-cli.bash" ]; then
  check "the bash completion" test -f "$root/usr/share/bash-completion/completions/veltrane-cli"
else
  echo "skipped: the bash completion (not in this tree)"
fi
check "qt6-wayland, recommended, came along" sh -c "chroot '$root' dpkg -s qt6-wayland >/dev/null"
[ "$failed" -eq 0 ] && echo "== the package installs and runs ($(( $(date +%s) - start )) s)"
exit "$failed"
