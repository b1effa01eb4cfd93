#!/usr/bin/env bash
# atspi-kivaro.sh KIVARO DEMO_SITE
# Kivaro as a screen reader (Orca) meets it: the real program, against the demo site on loopback,
# on the display it is given (on-virtual-display.sh), with its own session bus and accessibility
# bus, read and pressed through AT-SPI by atspi-kivaro.py. Exits 77 (skipped) when a piece of the
# desktop's accessibility is not installed (scripts/setup installs them all).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
kivaro=$1
site=$2

skip() { echo "atspi-kivaro: $* (scripts/setup installs it): skipped" >&2; exit 77; }

if [[ -z "${KIVARO_ATSPI_BUS:-}" ]]; then
  command -v dbus-run-session >/dev/null || skip "dbus-run-session is not installed"
  command -v dbus-send >/dev/null || skip "dbus-send is not installed"
  [[ -n "$(ls /usr/libexec/at-spi-bus-launcher /usr/lib/at-spi2-core/at-spi-bus-launcher 2>/dev/null)" ]] \
    || skip "at-spi2-core is not installed"
  python=
  # Debian's own interpreter first: pyatspi is a Debian package, not on another Python's path.
  for candidate in /usr/bin/python3 python3; do
    if "$candidate" -c 'import pyatspi' 2>/dev/null; then python=$candidate; break; fi
  done
  [[ -n "$python" ]] || skip "python3-pyatspi is not installed"
  # A session bus of its own: the accessibility bus comes up on it when asked for.
  exec env KIVARO_ATSPI_BUS=1 KIVARO_ATSPI_PYTHON="$python" dbus-run-session -- "$0" "$@"
fi

pids=()
scratch=$(mktemp -d -t kivaro-atspi.XXXXXX)
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$scratch"
}
trap cleanup EXIT

# Accessibility on, as a screen reader turns it on, before Kivaro starts.
dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
  org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:IsEnabled variant:boolean:true >/dev/null

"$site" --port 0 >"$scratch/site.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  grep -q 'serving http' "$scratch/site.log" && break
  sleep 0.1
done
base=$(sed -n 's/.*serving \(http:[^ ]*\).*/\1/p' "$scratch/site.log" | head -n1)
[[ -n "$base" ]] || { echo "atspi-kivaro: the demo site did not start" >&2; cat "$scratch/site.log" >&2; exit 1; }

"$kivaro" --site "$base" --vendor "$base" --shop "$base" --backend site --player true \
  --data-dir "$scratch/data" >"$scratch/kivaro.log" 2>&1 &
kivaro_pid=$!
pids+=("$kivaro_pid")

status=0
timeout 90 "$KIVARO_ATSPI_PYTHON" "$here/atspi-kivaro.py" || status=$?
if [[ $status -ne 0 ]]; then
  echo "--- kivaro's output" >&2
  cat "$scratch/kivaro.log" >&2
  exit "$status"
fi
# The exit button, pressed through its action, ended Kivaro.
for _ in $(seq 100); do
  kill -0 "$kivaro_pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$kivaro_pid" 2>/dev/null; then
  echo "atspi-kivaro: Kivaro still runs after its exit button was pressed" >&2
  exit 1
fi
echo "atspi-kivaro: Kivaro ended through its exit button"
