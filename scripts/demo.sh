#!/usr/bin/env bash
# Demo: builds the project, publishes a sample release on a local web server
# (127.0.0.1 only) and shows what the updater makes of its manifest.
# Installs the project's Debian packages first, so it works on a fresh machine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

echo "== release build in build/release"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DTEVORIN_BUILD_TESTS=OFF -DTEVORIN_BUILD_BENCH=OFF >/dev/null
cmake --build build/release -j"$(nproc)"
publish=build/release/tools/publish/tevorin-publish

site=$(mktemp -d)
server_pid=
cleanup() {
  if [ -n "$server_pid" ]; then kill "$server_pid" 2>/dev/null || true; wait "$server_pid" 2>/dev/null || true; fi
  rm -rf "$site"
}
trap cleanup EXIT

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1]); s.close()')
server="http://127.0.0.1:$port"

echo "== sample release C1A2C in $site"
mkdir -p "$site/cs" "$site/c1a2c"
printf 'MZ sample main program\n' > "$site/c1a2c/Tevorin.exe"
gzip -9 "$site/c1a2c/Tevorin.exe"
printf 'sample codec\n' > "$site/c1a2c/codec.dll"
printf 'RIFF sample ring tone\n' > "$site/c1a2c/ring.wav"
cat > "$site/cs/update2010.asp" <<XML
<?xml version="1.0" encoding="utf-8"?>
<update>
  <version>C1A2C</version>
  <action>UserPrompt</action>
  <description>Clearer calls.&lt;br&gt;Faster start.</description>
  <filename src="$server/c1a2c/Tevorin.exe.gz" zipped="true">Tevorin.exe</filename>
  <filename src="$server/c1a2c/codec.dll" localdir="[SYSTEM]" regist="true">codec.dll</filename>
  <filename src="$server/c1a2c/ring.wav" localdir="sound">ring.wav</filename>
</update>
XML

echo "== serving it at $server"
python3 -m http.server --bind 127.0.0.1 --directory "$site" "$port" >/dev/null 2>&1 &
server_pid=$!
for _ in $(seq 1 50); do
  if curl -fs -o /dev/null "$server/cs/update2010.asp"; then break; fi
  sleep 0.1
done

echo "== tevorin-publish check $server/cs/update2010.asp?ver=1"
status=0
"$publish" check "$server/cs/update2010.asp?ver=1" || status=$?
echo "(exit code $status: 0 means the manifest offers an update)"

echo "== version stamp of a sample main program"
head -c 64 /dev/zero > "$site/Tevorin.exe"
"$publish" stamp "$site/Tevorin.exe" C1A2B
echo "stamp now: $("$publish" stamp "$site/Tevorin.exe")"
exit "$status"
