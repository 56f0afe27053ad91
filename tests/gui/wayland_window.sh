#!/bin/sh
# SPDX-License-Identifier: MIT
# Starts the window under a headless Weston, Qt on its Wayland platform with no
# fallback, and checks that it draws: veltrane ends after its first paint.
# Usage: wayland_window.sh VELTRANE
set -eu
veltrane=$1
missing() {
  echo "$1"
  [ "${CI:-}" = true ] && exit 1
  exit 77
}
command -v weston >/dev/null || missing "weston is not installed"
plugins=$(qtpaths6 --plugin-dir 2>/dev/null || echo /usr/lib/x86_64-linux-gnu/qt6/plugins)
ls "$plugins"/platforms/libqwayland-*.so >/dev/null 2>&1 || missing "qt6-wayland is not installed"

dir=$(mktemp -d)
chmod 700 "$dir"
weston_pid=
cleanup() {
  [ -n "$weston_pid" ] && kill "$weston_pid" 2>/dev/null
  rm -rf "$dir"
}
trap cleanup EXIT
export XDG_RUNTIME_DIR="$dir" HOME="$dir" XDG_STATE_HOME="$dir/state"
weston --backend=headless-backend.so --socket=veltrane-test --idle-time=0 \
  --width=1280 --height=900 >"$dir/weston.log" 2>&1 &
weston_pid=$!
tries=0
until [ -S "$dir/veltrane-test" ]; do
  tries=$((tries + 1))
  if [ $tries -gt 100 ]; then cat "$dir/weston.log"; echo "weston did not start"; exit 1; fi
  sleep 0.1
done
cd "$dir"
unset DISPLAY
# Under the leak checker: Qt's Wayland plugin leaves objects of libwayland-client
# to the end of the process; this test is about drawing.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
if WAYLAND_DISPLAY=veltrane-test QT_QPA_PLATFORM=wayland VELTRANE_EXIT_AFTER_FIRST_PAINT=1 \
  NIRVEX_DEVICE="sim:$dir/kb.sim" timeout 60 "$veltrane"; then
  echo "the window was painted under Wayland"
else
  status=$?
  cat "$dir/weston.log"
  echo "veltrane under Wayland ended with status $status before its first paint"
  exit 1
fi
