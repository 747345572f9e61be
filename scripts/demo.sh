#!/usr/bin/env bash
# Demo: the whole update cycle on this machine. Builds the project, publishes
# a sample release C1A2C with tevorin-publish make and serves it on 127.0.0.1,
# prepares a sample installation at C1A2B (the stand-in main program, its
# stamped launcher Tevorin.exe, the updater and data/pro.ini), starts the main
# program, which starts the updater, and waits until the new version is
# stamped and the main program runs again.
# The wizard appears on the X display when there is one (DISPLAY set), and as
# PNG snapshots otherwise.
#
# Usage: scripts/demo.sh [--lang ch|tw|en] [--check | --silent]
#   --lang     the language in the main program's settings (default ch)
#   (default)  the user asks for the update: the wizard downloads at once,
#              installs, stamps and restarts the main program
#   --check    the main program's own check: the wizard waits for Next
#              (pressed for you when there is no display)
#   --silent   the action "Default": a first check downloads in the
#              background and stores the pending update, a second check
#              installs it behind the "being updated" notice
# Installs the project's Debian packages first, so it works on a fresh machine.
set -euo pipefail
cd "$(dirname "$0")/.."

lang=ch
mode=update
while [ $# -gt 0 ]; do
  case "$1" in
    --lang) lang=${2:?--lang needs a value}; shift 2 ;;
    --check) mode=check; shift ;;
    --silent) mode=silent; shift ;;
    --update) mode=update; shift ;;
    *) echo "usage: $0 [--lang ch|tw|en] [--check | --silent]" >&2; exit 2 ;;
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
  # The main program that the updater started again belongs to the demo too.
  if [ -d "$work/session" ]; then
    "$desktop" list 2>/dev/null | while IFS=$'\t' read -r handle _ _ _ title; do
      [ "$title" = Tevorin ] && "$desktop" post "$handle" 18 0 0 >/dev/null 2>&1 || true
    done
  fi
  if [ -n "$server_pid" ]; then kill "$server_pid" 2>/dev/null || true; wait "$server_pid" 2>/dev/null || true; fi
  rm -rf "$site" "$app" "$work/session" "$work/input" "$work/system"
}
trap cleanup EXIT

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1]); s.close()')
server="http://127.0.0.1:$port"

action=UserPrompt
[ "$mode" = silent ] && action=Default

# The sample release: version C1A2C with three files, built from real files.
make_release() {
  echo "== tevorin-publish make: release C1A2C ($action) in $site"
  mkdir -p "$work/input"
  printf 'sample codec\n' > "$work/input/codec.dll"
  printf 'RIFF sample ring tone\n' > "$work/input/ring.wav"
  printf 'What is new in C1A2C\n' > "$work/input/readme.txt"
  "$publish" make --version C1A2C --action "$action" \
    --description $'Clearer calls.\nFaster start.\n通话更清晰，启动更快。' \
    --base-url "$server" --out "$site" \
    "$work/input/codec.dll:[SYSTEM]:regist" "$work/input/ring.wav:sound" "$work/input/readme.txt"
}

# The sample installation at version C1A2B, with a system directory of its
# own whose regsvr32 only notes what it was asked to register.
make_installation() {
  echo "== sample installation C1A2B in $app (language $lang)"
  "$main_program" --install "$app" --version C1A2B
  cp "$updater" "$app/TevorinLiveUpdate.exe"
  mkdir -p "$app/data" "$work/system"
  printf '[Window]\nlang=%s\n' "$lang" > "$app/data/pro.ini"
  printf '#!/bin/sh\necho "regsvr32 $*" >> "%s/registered.txt"\n' "$work" > "$work/system/regsvr32"
  chmod +x "$work/system/regsvr32"
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

stamp() { "$publish" stamp "$app/Tevorin.exe"; }

# Waits (up to $2 seconds) until the stamp reads $1.
wait_for_stamp() {
  for _ in $(seq 1 $(( $2 * 10 ))); do
    [ "$(stamp)" = "$1" ] && return 0
    sleep 0.1
  done
  return 1
}

# Waits (up to $1 seconds) until no updater of the session has a window.
wait_for_updater_end() {
  for _ in $(seq 1 $(( $1 * 10 ))); do
    "$desktop" list | cut -f5 | grep -qx tevorin_abe87_liveupdate_window_xxycy || return 0
    sleep 0.1
  done
  return 1
}

# Starts the main program ("--update" or "--check"); it starts the updater.
start_main_program() {
  echo "== starting the main program: Tevorin.exe $1"
  [ -e "$work/started" ] || touch "$work/started"
  "$app/Tevorin.exe" "$1" >> "$work/main.log" 2>&1 &
  main_pid=$!
  "$desktop" wait Tevorin 20 >/dev/null || { echo "the main program did not open its window" >&2; cat "$work/main.log" >&2; exit 1; }
}

make_release
make_installation
serve_release

echo "== tevorin-publish check $server/cs/update2010.asp?ver=c1a2b"
"$publish" check "$server/cs/update2010.asp?ver=c1a2b" || true

# A desktop session of the demo's own; the updater asks our server.
export TEVORIN_DESKTOP=$work/session
export TEVORIN_UPDATE_SERVER=$server
export TEVORIN_SYSTEM_DIR=$work/system
if [ -z "${DISPLAY:-}" ]; then
  export TEVORIN_DISPLAY=headless
  export TEVORIN_SNAPSHOT_DIR=$snapshots
  mkdir -p "$snapshots"
fi

case "$mode" in
  update)
    start_main_program --update
    ;;
  check)
    start_main_program --check
    wizard=$("$desktop" wait "Tevorin在线升级" 30) || { echo "the wizard did not appear" >&2; exit 1; }
    if [ -z "${DISPLAY:-}" ]; then
      echo "== pressing Next in the wizard (window $wizard)"
      "$desktop" click "$wizard" 1
    else
      echo "== the wizard is on your display: press Next to update"
    fi
    ;;
  silent)
    start_main_program --check
    echo "== first check: the update is downloaded in the background"
    for _ in $(seq 1 600); do [ -f "$app/upgrade/C1A2C/update.lock" ] && break; sleep 0.1; done
    wait_for_updater_end 30 || true
    [ -f "$app/upgrade/C1A2C/update.lock" ] || { echo "no pending update was stored" >&2; exit 1; }
    echo "stored: $app/upgrade/C1A2C/update.lock; installed version still $(stamp)"
    wait "$main_pid" 2>/dev/null || true
    echo "== second check: the pending update is installed behind the notice"
    start_main_program --check
    ;;
esac

echo "== waiting for the new version (the updater stops the running main program first; the shell reports it as Killed)"
if ! wait_for_stamp C1A2C 120; then
  echo "the update was not installed; installed version: $(stamp)" >&2
  exit 1
fi
wait_for_updater_end 30 || true
wait "$main_pid" 2>/dev/null || true
main_pid=
restarted=$("$desktop" wait Tevorin 20) || { echo "the main program was not started again" >&2; exit 1; }

echo "== done: installed version $(stamp), main program running again (window $restarted)"
echo "installed files:"
(cd "$app" && find . -path ./upgrade -prune -o -type f -newer "$work/started" -print | sort)
echo "in the system directory: $(ls "$work/system" | grep -v regsvr32 | tr '\n' ' ')"
[ -f "$work/registered.txt" ] && echo "registered: $(cat "$work/registered.txt")"
if [ -z "${DISPLAY:-}" ]; then
  echo "== snapshots of every window the demo showed are in $snapshots:"
  ls -1 "$snapshots"
fi
