#!/usr/bin/env bash
# Peak resident memory of the real updater while it downloads 20 files of
# 10 MiB from a local nginx and installs them, on the headless display: a
# sample installation's main program starts TevorinLiveUpdate.exe with the
# user's request, and the updater's VmHWM is read until it ends.
#
# Usage: bench/download/updater_peak_memory.sh [BUILD_DIR]   (default build/release)
set -euo pipefail
cd "$(dirname "$0")/../.."
bin=$(realpath "${1:-build/release}")
publish=$bin/tools/publish/tevorin-publish
desktop=$bin/tools/desktop/tevorin-desktop
main_program=$bin/tools/main/tevorin-main
updater=$bin/app/TevorinLiveUpdate.exe
for tool in "$publish" "$desktop" "$main_program" "$updater"; do
  [ -x "$tool" ] || { echo "missing $tool: build the project in $bin first" >&2; exit 1; }
done
nginx=$(command -v nginx || echo /usr/sbin/nginx)
[ -x "$nginx" ] || { echo "nginx is not installed" >&2; exit 1; }

work=$(mktemp -d /tmp/tevorin-memory-XXXXXX)
nginx_pid=
cleanup() {
  pkill -KILL -f "^$work/app/Tevorin.exe" 2>/dev/null || true
  if [ -n "$nginx_pid" ]; then kill "$nginx_pid" 2>/dev/null || true; wait "$nginx_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1]); s.close()')
server="http://127.0.0.1:$port"

mkdir -p "$work/input" "$work/logs"
files=()
for n in $(seq -w 1 20); do
  head -c $((10 * 1024 * 1024)) /dev/urandom > "$work/input/part$n.bin"
  files+=("$work/input/part$n.bin:parts")
done
"$publish" make --version C1A2C --action UserPrompt --description "memory benchmark" \
  --base-url "$server" --no-gzip --out "$work/site" "${files[@]}" >/dev/null

cat > "$work/nginx.conf" <<CONF
daemon off; master_process off; worker_processes 1;
pid $work/nginx.pid; error_log $work/logs/error.log;
events { worker_connections 256; }
http { access_log off; sendfile on; client_body_temp_path $work/logs;
  proxy_temp_path $work/logs; fastcgi_temp_path $work/logs;
  uwsgi_temp_path $work/logs; scgi_temp_path $work/logs;
  types { application/octet-stream bin; text/xml asp; }
  server { listen 127.0.0.1:$port; root $work/site; } }
CONF
"$nginx" -p "$work" -c "$work/nginx.conf" &
nginx_pid=$!
for _ in $(seq 1 50); do curl -fs -o /dev/null "$server/cs/update2010.asp" && break; sleep 0.1; done

"$main_program" --install "$work/app" --version C1A2B >/dev/null
cp "$updater" "$work/app/TevorinLiveUpdate.exe"
mkdir -p "$work/app/data"
printf '[Window]\nlang=en\n' > "$work/app/data/pro.ini"

export TEVORIN_DESKTOP=$work/session TEVORIN_UPDATE_SERVER=$server TEVORIN_DISPLAY=headless
unset DISPLAY TEVORIN_SNAPSHOT_DIR
# Not a job of this shell: the updater kills it, and that is no news.
( "$work/app/Tevorin.exe" --update >"$work/main.log" 2>&1 & )

# The updater's process, once the main program has started it.
pid=
for _ in $(seq 1 200); do
  pid=$(pgrep -f "^$work/app/TevorinLiveUpdate.exe" | head -1 || true)
  [ -n "$pid" ] && break
  sleep 0.05
done
[ -n "$pid" ] || { echo "the updater did not start" >&2; cat "$work/main.log" >&2; exit 1; }
peak=0
while [ -r "/proc/$pid/status" ]; do
  hwm=$(awk '/^VmHWM:/ { print $2 }' "/proc/$pid/status" 2>/dev/null || true)
  [ -n "$hwm" ] && [ "$hwm" -gt "$peak" ] && peak=$hwm
  sleep 0.02
done
stamp=$("$publish" stamp "$work/app/Tevorin.exe")
[ "$stamp" = C1A2C ] || { echo "the update was not installed (stamp $stamp)" >&2; exit 1; }
installed=$(find "$work/app/parts" -name 'part*.bin' | wc -l)
[ "$installed" = 20 ] || { echo "only $installed of 20 files were installed" >&2; exit 1; }
awk -v kib="$peak" 'BEGIN { printf "updater peak resident memory: %.1f MiB (%.1f MB)\n", kib / 1024, kib * 1.024 / 1000 }'
