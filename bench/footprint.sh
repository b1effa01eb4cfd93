#!/usr/bin/env bash
# Resident memory after a search and CPU use while idle (timers running) of kivaro, beside the Qt
# music player qmmp started the same way in the same run: on the same virtual display, playing the
# same demo track, then left alone.
#
#   bench/footprint.sh [build-dir]        (default build/release; needs xvfb, and qmmp for the peer)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
idle_seconds=${IDLE_SECONDS:-10}
ticks=$(getconf CLK_TCK)

pids=()
cleanup() { for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done; }
trap cleanup EXIT

display=:$((150 + RANDOM % 50))
Xvfb "$display" -screen 0 1024x768x24 -noreset >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=$display QT_QPA_PLATFORM=xcb
sleep 1

site_out=$(mktemp)
"$build/tools/demo-site/kivaro-demo-site" --port 0 >"$site_out" &
pids+=($!)
for _ in $(seq 50); do grep -q serving "$site_out" && break; sleep 0.1; done
base=$(sed -n 's/.*serving \(http:[^ ]*\).*/\1/p' "$site_out" | head -n1)

rss_kib() { awk '/^VmRSS/ {print $2}' "/proc/$1/status"; }
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
measure() { # name pid
  local name=$1 pid=$2 rss before after
  rss=$(rss_kib "$pid")
  before=$(cpu_ticks "$pid")
  sleep "$idle_seconds"
  after=$(cpu_ticks "$pid")
  awk -v n="$name" -v r="$rss" -v t=$((after - before)) -v hz="$ticks" -v s="$idle_seconds" \
    'BEGIN { printf "%-8s resident %7.1f MiB   idle CPU %5.2f %%\n", n, r / 1024, 100 * t / hz / s }'
}

# kivaro: the start-up search against the demo site; the player is left out of the figures.
log=$(mktemp)
"$build/src/app/kivaro" --site "$base" --vendor "$base" --shop "$base" --player true --verbose 2>"$log" &
kivaro=$!
pids+=($kivaro)
for _ in $(seq 100); do grep -q '^kivaro: title:' "$log" && break; sleep 0.1; done
grep -q '^kivaro: title:' "$log" || { echo "kivaro found nothing"; cat "$log"; exit 1; }
sleep 2 # the frames have climbed
measure kivaro "$kivaro"

if command -v qmmp >/dev/null; then
  track=$(mktemp --suffix=.wav)
  curl -s -o "$track" "$base/player2.swf?video_id=AbCdEfGhIjK"
  home=$(mktemp -d)
  HOME=$home qmmp "$track" >/dev/null 2>&1 &
  qmmp=$!
  pids+=($qmmp)
  sleep 5 # started and playing (or given up on a sound card) by now
  measure qmmp "$qmmp"
else
  echo "qmmp is not installed: no peer figures"
fi
