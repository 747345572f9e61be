#!/usr/bin/env bash
# Demo: builds the project, publishes a sample release on a local web server
# (127.0.0.1 only), prepares a sample installation (the stand-in main program,
# its stamped launcher Tevorin.exe, the updater and data/pro.ini) and starts
# the updater through the main program, the way the main program does it.
# The wizard appears on the X display when there is one (DISPLAY set), and as
# PNG snapshots otherwise.
#
# Usage: scripts/demo.sh [--lang ch|tw|en] [--update]
#   --lang     the language in the main program's settings (default ch)
#   --update   start the updater as the user's own request
#              (<userupgrade>TRUE</userupgrade>); default: a check
# Installs the project's Debian packages first, so it works on a fresh machine.
set -euo pipefail
cd "$(dirname "$0")/.."

lang=ch
mode=--check
while [ $# -gt 0 ]; do
  case "$1" in
    --lang) lang=${2:?--lang needs a value}; shift 2 ;;
    --update) mode=--update; shift ;;
    *) echo "usage: $0 [--lang ch|tw|en] [--update]" >&2; exit 2 ;;
  esac
done

bash scripts/install-deps.sh

echo "== release build in build/release"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DTEVORIN_BUILD_TESTS=OFF -DTEVORIN_BUILD_BENCH=OFF >/dev/null
cmake --build build/release -j"$(nproc)"
bin=$(pwd)/build/release
publish=$bin/tools/publish/tevorin-publish
desktop=$bin/tools/desktop/tevorin-desktop
main_program=$bin/tools/main/tevorin-main
updater=$bin/app/TevorinLiveUpdate.exe

work=$(mktemp -d /tmp/tevorin-demo-XXXXXX)
site=$work/site
app=$work/app
snapshots=$work/snapshots
server_pid=
main_pid=
cleanup() {
  if [ -n "$main_pid" ]; then kill "$main_pid" 2>/dev/null || true; wait "$main_pid" 2>/dev/null || true; fi
  if [ -n "$server_pid" ]; then kill "$server_pid" 2>/dev/null || true; wait "$server_pid" 2>/dev/null || true; fi
  rm -rf "$site" "$app" "$work/session"
}
trap cleanup EXIT

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1]); s.close()')
server="http://127.0.0.1:$port"

# The sample release: version C1A2C with three files. Any static web server
# serving $site is an update server: the manifest request's query is ignored.
make_release() {
  echo "== sample release C1A2C in $site"
  mkdir -p "$site/cs" "$site/c1a2c"
  printf '#!/bin/sh\necho sample main program\n' > "$site/c1a2c/Tevorin.exe"
  gzip -9 "$site/c1a2c/Tevorin.exe"
  printf 'sample codec\n' > "$site/c1a2c/codec.dll"
  printf 'RIFF sample ring tone\n' > "$site/c1a2c/ring.wav"
  cat > "$site/cs/update2010.asp" <<XML
<?xml version="1.0" encoding="utf-8"?>
<update>
  <version>C1A2C</version>
  <action>UserPrompt</action>
  <description>Clearer calls.&lt;br&gt;Faster start.&lt;br&gt;通话更清晰，启动更快。</description>
  <filename src="$server/c1a2c/Tevorin.exe.gz" zipped="true">Tevorin.exe</filename>
  <filename src="$server/c1a2c/codec.dll" localdir="[SYSTEM]" regist="true">codec.dll</filename>
  <filename src="$server/c1a2c/ring.wav" localdir="sound">ring.wav</filename>
</update>
XML
}

# The sample installation at version C1A2B.
make_installation() {
  echo "== sample installation C1A2B in $app (language $lang)"
  "$main_program" --install "$app" --version C1A2B
  cp "$updater" "$app/TevorinLiveUpdate.exe"
  mkdir -p "$app/data"
  printf '[Window]\nlang=%s\n' "$lang" > "$app/data/pro.ini"
}

serve_release() {
  echo "== serving it at $server"
  python3 -m http.server --bind 127.0.0.1 --directory "$site" "$port" >/dev/null 2>&1 &
  server_pid=$!
  for _ in $(seq 1 50); do
    if curl -fs -o /dev/null "$server/cs/update2010.asp"; then return 0; fi
    sleep 0.1
  done
  echo "the local web server did not start" >&2
  exit 1
}

make_release
make_installation
serve_release

echo "== tevorin-publish check $server/cs/update2010.asp?ver=c1a2b"
"$publish" check "$server/cs/update2010.asp?ver=c1a2b" || true

# A desktop session of the demo's own; the updater asks our server.
export TEVORIN_DESKTOP=$work/session
export TEVORIN_UPDATE_SERVER=$server
if [ -z "${DISPLAY:-}" ]; then
  export TEVORIN_DISPLAY=headless
  export TEVORIN_SNAPSHOT_DIR=$snapshots
  mkdir -p "$snapshots"
fi

echo "== starting the main program: Tevorin.exe $mode"
"$app/Tevorin.exe" "$mode" > "$work/main.log" 2>&1 &
main_pid=$!
main_window=$("$desktop" wait Tevorin 20) || { echo "the main program did not open its window" >&2; cat "$work/main.log" >&2; exit 1; }
wizard=$("$desktop" wait "Tevorin在线升级" 30) || { echo "the wizard did not appear" >&2; "$desktop" list >&2 || true; exit 1; }
echo "the wizard is window $wizard; its controls:"
"$desktop" tree "$wizard"

if [ -z "${DISPLAY:-}" ]; then
  "$desktop" snapshot "$wizard" "$snapshots/wizard.png"
  "$desktop" close "$wizard" || true
else
  echo "== the wizard is on your display; close it (or press Cancel) to end the demo"
  while "$desktop" list | cut -f1 | grep -qx "$wizard"; do sleep 0.5; done
fi

# The main program keeps running after a check: ask it to quit (WM_QUIT).
if kill -0 "$main_pid" 2>/dev/null; then "$desktop" post "$main_window" 18 0 0 >/dev/null || true; fi
wait "$main_pid" 2>/dev/null || true
main_pid=

echo "== installed version now: $("$publish" stamp "$app/Tevorin.exe")"
if [ -z "${DISPLAY:-}" ]; then
  echo "== snapshots of every window the demo showed are in $snapshots:"
  ls -1 "$snapshots"
fi
