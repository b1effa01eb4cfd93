# Shared by the benchmark scripts (sourced): a virtual display, the demo site, and clean-up of
# everything they start.
#
# After `bench_start`: DISPLAY points at a fresh Xvfb (BENCH_DISPLAY=:N picks its number, default a
# random one from :150), $base is the demo site's address, $scratch a private folder that goes at exit. Programs started in a command substitution are handed back to
# the script with `bench_keep PID`, so that they are ended at exit too.

bench_pids=()
bench_cleanup() {
  local pid
  # Command substitutions run the trap too; only the script itself cleans up.
  [[ $BASHPID == "$$" ]] || return 0
  for pid in "${bench_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  [[ -n "${scratch:-}" ]] && rm -rf "$scratch"
}
trap bench_cleanup EXIT

bench_start() { # build-dir
  local build=$1 display
  scratch=$(mktemp -d -t kivaro-bench.XXXXXX)
  display=${BENCH_DISPLAY:-:$((150 + RANDOM % 50))}
  Xvfb "$display" -screen 0 1024x768x24 -noreset >/dev/null 2>&1 &
  bench_pids+=($!)
  export DISPLAY=$display QT_QPA_PLATFORM=xcb
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

  "$build/tools/demo-site/kivaro-demo-site" --port 0 >"$scratch/site" &
  bench_pids+=($!)
  for _ in $(seq 50); do grep -qs serving "$scratch/site" && break; sleep 0.1; done
  base=$(sed -n 's/.*serving \(http:[^ ]*\).*/\1/p' "$scratch/site" | head -n1)
  [[ -n "$base" ]] || { echo "the demo site did not start" >&2; exit 1; }
}

# The demo site's track as a file, for the peer player.
bench_track() {
  [[ -f "$scratch/track.wav" ]] || curl -s -o "$scratch/track.wav" "$base/player2.swf?video_id=AbCdEfGhIjK"
  echo "$scratch/track.wav"
}

bench_keep() { bench_pids+=("$@"); }

bench_quit() { # pid: end it and wait until it is gone
  kill "$1" 2>/dev/null || true
  for _ in $(seq 50); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.1; done
  kill -9 "$1" 2>/dev/null || true
}

# The middle value of numbers given one per line (the mean of the two middle ones for an even count).
bench_median() {
  sort -n | awk '{ v[NR] = $1 } END { if (NR == 0) exit; m = int((NR + 1) / 2); if (NR % 2) print v[m]; else print (v[m] + v[m + 1]) / 2 }'
}
