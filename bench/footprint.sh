#!/usr/bin/env bash
# What kivaro costs while it waits, beside the Qt music player qmmp on the same virtual display in
# the same run: resident memory, wake-ups per second (voluntary context switches of all threads,
# from /proc) and CPU (run time of all threads, from /proc), in three states:
#   after a search   kivaro has played the demo site's track and sits idle; qmmp has played the
#                    same track as a file
#   minimised        the same two programs, their windows minimised
#   silent site      both wait for a site that accepts the connection and never answers: kivaro's
#                    start-up search, qmmp's stream from that site
# A window manager (openbox) runs on the display, so that windows can be minimised as on a desktop.
# Both programs run side by side; their measuring windows take turns (ROUNDS each, WINDOW seconds
# long), so load from elsewhere on the machine falls on both. Wake-ups are medians of the windows,
# CPU is over all windows together.
#
#   bench/footprint.sh [build-dir]   (default build/release; ROUNDS=5 WINDOW=4 BENCH_DISPLAY=:N;
#                                     needs xvfb, openbox, xdotool, qmmp)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
rounds=${ROUNDS:-5}
window=${WINDOW:-4}
source bench/common.sh
bench_start "$build"
openbox --sm-disable >/dev/null 2>&1 &
bench_keep $!

"$build/tools/demo-site/kivaro-demo-site" --silent --port 0 >"$scratch/silent" &
bench_keep $!
for _ in $(seq 50); do grep -qs serving "$scratch/silent" && break; sleep 0.1; done
silent=$(sed -n 's/.*serving \(http:[^ ]*\).*/\1/p' "$scratch/silent" | head -n1)

have_qmmp=0
command -v qmmp >/dev/null && have_qmmp=1
[[ $have_qmmp == 1 ]] || echo "qmmp is not installed: no peer figures"

# Sums over the process's threads: voluntary context switches, and nanoseconds on a CPU.
switches() { cat /proc/"$1"/task/*/status 2>/dev/null | awk '/^voluntary_ctxt_switches/ { s += $2 } END { print s + 0 }'; }
runtime_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%.0f\n", s }'; }
rss_kib() { awk '/^VmRSS/ { print $2 }' "/proc/$1/status"; }

# One measuring window: appends "wake-ups-per-second nanoseconds" to the program's record.
measure() { # name pid
  local s0 r0 t0 s1 r1 t1
  s0=$(switches "$2") r0=$(runtime_ns "$2") t0=$(date +%s%N)
  sleep "$window"
  s1=$(switches "$2") r1=$(runtime_ns "$2") t1=$(date +%s%N)
  awk -v s=$((s1 - s0)) -v r=$((r1 - r0)) -v t=$((t1 - t0)) 'BEGIN { printf "%.1f %d %d\n", s * 1e9 / t, r, t }' >>"$scratch/$1"
}

report() { # state name pid
  local file="$scratch/$2"
  printf '%-16s %-7s resident %6.1f MiB   wake-ups %4s /s   CPU %5.2f %%\n' "$1" "$2" \
    "$(awk -v r="$(rss_kib "$3")" 'BEGIN { print r / 1024 }')" \
    "$(cut -d' ' -f1 "$file" | bench_median)" \
    "$(awk '{ run += $2; wall += $3 } END { print 100 * run / wall }' "$file")"
}

# The two programs side by side, measured in turns.
compare() { # state kivaro-pid qmmp-pid
  rm -f "$scratch/kivaro" "$scratch/qmmp"
  for _ in $(seq "$rounds"); do
    measure kivaro "$2"
    [[ -n "$3" ]] && measure qmmp "$3"
  done
  report "$1" kivaro "$2"
  [[ -n "$3" ]] && report "$1" qmmp "$3"
  return 0
}

start_kivaro() { # site; prints the pid
  local log="$scratch/kivaro-$RANDOM.log"
  "$build/src/app/kivaro" --site "$1" --vendor "$base" --shop "$base" --player true --verbose \
    --data-dir "$scratch/data" >/dev/null 2>"$log" &
  echo $!
}

# Minimises every window the program has on screen, as the window manager's minimise button does.
minimise() { # pid
  local w
  for w in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do xdotool windowminimize "$w"; done
}

start_qmmp() { # what to play; prints the pid
  ((have_qmmp)) || return 0
  HOME="$scratch/qmmp-home" qmmp "$1" >/dev/null 2>&1 &
  echo $!
}

mkdir -p "$scratch/data" "$scratch/qmmp-home"
track=$(bench_track)

kivaro=$(start_kivaro "$base")
qmmp=$(start_qmmp "$track")
bench_keep "$kivaro" $qmmp
sleep 9 # the splash has gone, the search has found its track and the frames have climbed
grep -q '^kivaro: title:' "$scratch"/kivaro-*.log || { echo "kivaro found nothing" >&2; cat "$scratch"/kivaro-*.log >&2; exit 1; }
compare "after a search" "$kivaro" "$qmmp"
minimise "$kivaro"
[[ -n "$qmmp" ]] && minimise "$qmmp"
sleep 2
[[ -z $(xdotool search --onlyvisible --pid "$kivaro" 2>/dev/null) ]] || { echo "kivaro did not minimise" >&2; exit 1; }
compare "minimised" "$kivaro" "$qmmp"
bench_quit "$kivaro"
[[ -n "$qmmp" ]] && bench_quit "$qmmp"

kivaro=$(start_kivaro "$silent")
qmmp=$(start_qmmp "$silent/player2.swf?video_id=AbCdEfGhIjK")
bench_keep "$kivaro" $qmmp
sleep 9
compare "silent site" "$kivaro" "$qmmp"
echo "($rounds windows of $window s each; $(uptime | sed 's/.*load/load/'))"
