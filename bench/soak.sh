#!/usr/bin/env bash
# Soak: many searches in a row typed into Kivaro's real window (xdotool, on a virtual display), against
# the demo site, with a mix of found (six in ten), not found (three in ten) and refused (one in ten:
# the demo site is stopped for that search and started again on the same port afterwards). The
# player is a `sleep 600` that ignores the address, so no sound is needed but every found video still
# starts a process, which the next search must end and reap.
#
# Prints resident memory, open descriptors, threads, child processes and zombies of kivaro at the
# start, every 100 searches and at the end, then how many searches were answered and how many were
# answered the expected way. Exits non-zero when a search went unanswered, answered the wrong way,
# or a zombie was left. KIVARO_SOAK_KEEP=FILE keeps kivaro's --verbose output there.
#
#   bench/soak.sh [SEARCHES] [build-dir]      (default 1000, build/release)
set -euo pipefail
cd "$(dirname "$0")/.."
searches=${1:-1000}
build=${2:-build/release}

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF \
  -DKIVARO_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target kivaro kivaro-demo-site >/dev/null

work=$(mktemp -d -t kivaro-soak.XXXXXX)
site_pid=
pids=()
cleanup() {
  for pid in "${pids[@]}" $site_pid; do kill "$pid" 2>/dev/null || true; done
  [[ -n "${KIVARO_SOAK_KEEP:-}" ]] && cp "$work/kivaro.log" "$KIVARO_SOAK_KEEP"
  rm -rf "$work"
}
trap cleanup EXIT INT TERM

start_site() { # port (0: any free one)
  : >"$work/site.log"
  "$build/tools/demo-site/kivaro-demo-site" --port "$1" >"$work/site.log" 2>&1 &
  site_pid=$!
  for _ in $(seq 200); do
    grep -q serving "$work/site.log" && return 0
    sleep 0.02
  done
  echo "soak: the demo site did not start" >&2
  cat "$work/site.log" >&2
  exit 1
}
stop_site() {
  kill "$site_pid"
  wait "$site_pid" 2>/dev/null || true
  site_pid=
}

start_site 0
base=$(sed -n 's/.*serving \(http:[^ ]*\).*/\1/p' "$work/site.log" | head -n1)
port=${base##*:}

display=:$((200 + RANDOM % 50))
Xvfb "$display" -screen 0 1024x768x24 -noreset >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=$display QT_QPA_PLATFORM=xcb
for _ in $(seq 100); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.05; done

"$build/src/app/kivaro" --site "$base" --vendor "$base" --shop "$base" --player 'sh -c "exec sleep 600" player' \
  --data-dir "$work/data" --verbose 2>"$work/kivaro.log" &
kivaro=$!
pids+=("$kivaro")

# The main window appears six seconds after start; the splash (500 x 300) goes then.
window=
for _ in $(seq 300); do
  for w in $(xdotool search --onlyvisible --name '^Kivaro$' 2>/dev/null || true); do
    if ! xdotool getwindowgeometry "$w" 2>/dev/null | grep -q 'Geometry: 500x300'; then
      window=$w
    fi
  done
  [[ -n "$window" ]] && break
  sleep 0.1
done
if [[ -z "$window" ]]; then
  echo "soak: the main window did not appear" >&2
  exit 1
fi

answers() { grep -cE 'now playing|no music found|connect failed' "$work/kivaro.log" || true; }
last_answer() { grep -E 'now playing|no music found|connect failed' "$work/kivaro.log" | tail -n1; }
figures() { # label
  local status rss threads fds children zombies
  status=/proc/$kivaro/status
  rss=$(awk '/^VmRSS/ {print $2}' "$status")
  threads=$(awk '/^Threads/ {print $2}' "$status")
  fds=$(find "/proc/$kivaro/fd" -mindepth 1 -maxdepth 1 | wc -l)
  children=$( (ps --ppid "$kivaro" --no-headers || true) | wc -l)
  zombies=$( (ps --ppid "$kivaro" -o stat= || true) | grep -c Z || true)
  printf '%-14s resident %7.1f MiB  fds %4d  threads %3d  children %2d  zombies %d\n' \
    "$1" "$(awk -v r="$rss" 'BEGIN { print r / 1024 }')" "$fds" "$threads" "$children" "$zombies"
  last_zombies=$zombies
}

found=("red band" "nova ellis" "copper fox" "marta lind" "quiet engines" "echo atlas" "kite compass"
       "dj lumen" "harbour lights" "grey meadow")
answered=0
expected=0
unanswered=0
last_zombies=0

# Wait for the default search's answer, then start counting.
for _ in $(seq 250); do (($(answers) > 0)) && break; sleep 0.02; done
figures "start"
started=$(date +%s)

for ((i = 1; i <= searches; i++)); do
  case $((i % 10)) in
    5) kind=refused query="red band" ;;
    7 | 8 | 9) kind="no music" query="zz nothing $i" ;;
    *) kind=found query=${found[$((i / 10 % ${#found[@]}))]} ;;
  esac
  [[ $kind == refused ]] && stop_site

  before=$(answers)
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  xdotool key --clearmodifiers ctrl+a
  xdotool type --delay 2 "$query"
  xdotool key Return
  now=$before
  for _ in $(seq 750); do
    now=$(answers)
    ((now > before)) && break
    sleep 0.02
  done
  if ((now > before)); then
    answered=$((answered + 1))
    line=$(last_answer)
    case $kind in
      found) [[ $line == *"now playing"* ]] && expected=$((expected + 1)) ;;
      "no music") [[ $line == *"no music found"* ]] && expected=$((expected + 1)) ;;
      refused) [[ $line == *"connect failed"* ]] && expected=$((expected + 1)) ;;
    esac
  else
    unanswered=$((unanswered + 1))
    echo "soak: search $i ($kind: $query) was not answered" >&2
  fi

  [[ $kind == refused ]] && start_site "$port"
  if ((i % 100 == 0)); then
    sleep 0.2 # the player starts just after the answer
    figures "after $i"
  fi
done

figures "end"
seconds=$(($(date +%s) - started))
echo "searches $searches in ${seconds} s: answered $answered, as expected $expected, unanswered $unanswered"
((unanswered == 0 && expected == searches && last_zombies == 0))
