#!/usr/bin/env bash
# Start-up time: from starting the program to its first window mapped on screen (kivaro's splash),
# beside the Qt music player qmmp started the same way, on the same virtual display, runs
# interleaved, medians of all runs. Kivaro's vendor site is the local demo site, so the version
# check that comes before the splash costs what a quick site costs.
#
#   bench/startup.sh [build-dir]     (default build/release; RUNS=7; needs xvfb, x11-utils, qmmp)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
runs=${RUNS:-7}
source bench/common.sh
bench_start "$build"

have_qmmp=0
command -v qmmp >/dev/null && have_qmmp=1
mkdir -p "$scratch/qmmp-home" "$scratch/kivaro-data"

# Milliseconds from starting the command to the first window mapped on the display.
first_window_ms() { # command...
  local maps="$scratch/maps" events="$scratch/events" xev reader pid t0 t1
  : >"$maps"
  rm -f "$events"
  mkfifo "$events"
  # Top-level windows are mapped as children of the root window: watch its substructure, and note
  # the time of the first map as soon as xev reports it.
  (while IFS= read -r line; do
    [[ $line == MapNotify* && ! -s "$maps" ]] && date +%s%N >"$maps"
  done <"$events") &
  reader=$!
  stdbuf -oL xev -root -event substructure >"$events" &
  xev=$!
  sleep 0.5 # xev is listening
  t0=$(date +%s%N)
  "$@" >"$scratch/out" 2>&1 &
  pid=$!
  bench_keep "$pid"
  for _ in $(seq 1000); do [[ -s "$maps" ]] && break; sleep 0.01; done
  bench_quit "$pid"
  kill "$xev" 2>/dev/null || true
  wait "$reader" 2>/dev/null || true
  [[ -s "$maps" ]] || { echo "no window within 10 s: $*" >&2; cat "$scratch/out" >&2; return 1; }
  t1=$(head -n1 "$maps")
  echo $(((t1 - t0) / 1000000))
}

start_kivaro() {
  first_window_ms "$build/src/app/kivaro" --site "$base" --vendor "$base" --shop "$base" --player true \
    --data-dir "$scratch/kivaro-data"
}
start_qmmp() { HOME="$scratch/qmmp-home" first_window_ms qmmp "$(bench_track)"; }

# One run of each first, not counted: files in the page cache, qmmp's first-start set-up done.
start_kivaro >/dev/null || true
((have_qmmp)) && { start_qmmp >/dev/null 2>&1 || true; }
: >"$scratch/kivaro.ms"
: >"$scratch/qmmp.ms"
for run in $(seq "$runs"); do
  k=$(start_kivaro)
  echo "$k" >>"$scratch/kivaro.ms"
  q=-
  if ((have_qmmp)); then
    q=$(start_qmmp)
    echo "$q" >>"$scratch/qmmp.ms"
  fi
  printf 'run %d   kivaro %5s ms   qmmp %5s ms\n' "$run" "$k" "$q"
done
printf 'median  kivaro %5s ms   qmmp %5s ms   (%d runs; %s)\n' "$(bench_median <"$scratch/kivaro.ms")" \
  "$( ((have_qmmp)) && bench_median <"$scratch/qmmp.ms" || echo -)" "$runs" "$(uptime | sed 's/.*load/load/')"
((have_qmmp)) || echo "qmmp is not installed: no peer figures"
