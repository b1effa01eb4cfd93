#!/usr/bin/env bash
# atspi-kivaro.sh KIVARO DEMO_SITE: Kivaro against the demo site, on the display it is given, with a
# session bus of its own and the accessibility bus on it, worked by atspi-kivaro.py; then Kivaro
# must have ended through its exit button. Exits 77 (skipped) when part of the desktop's
# accessibility is not installed (scripts/setup installs it all).
set -euo pipefail
skip() { echo "atspi-kivaro: $1 is not installed: skipped" >&2; exit 77; }

if [[ -z "${KIVARO_ATSPI_PYTHON:-}" ]]; then
  command -v dbus-run-session >/dev/null && command -v dbus-send >/dev/null || skip dbus
  ls /usr/libexec/at-spi-bus-launcher >/dev/null 2>&1 || skip at-spi2-core
  # Debian's own interpreter first: pyatspi is a Debian package.
  for python in /usr/bin/python3 python3 ''; do
    [[ -n "$python" ]] && "$python" -c 'import pyatspi' 2>/dev/null && break
  done
  [[ -n "$python" ]] || skip python3-pyatspi
  exec env KIVARO_ATSPI_PYTHON="$python" dbus-run-session -- "$0" "$@"
fi

scratch=$(mktemp -d -t kivaro-atspi.XXXXXX)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; rm -rf "$scratch"' EXIT
# Accessibility on, as a screen reader turns it on.
dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.freedesktop.DBus.Properties.Set \
  string:org.a11y.Status string:IsEnabled variant:boolean:true >/dev/null

"$2" --port 0 >"$scratch/site" 2>&1 & pids+=($!)
for _ in $(seq 100); do grep -q 'serving http' "$scratch/site" && break; sleep 0.1; done
site=$(sed -n 's/.*serving \(http:[^ ]*\).*/\1/p' "$scratch/site" | head -n1)
XDG_CONFIG_HOME="$scratch" "$1" --site "$site" --vendor "$site" --shop "$site" --backend site --player true \
  --data-dir "$scratch/data" >"$scratch/kivaro" 2>&1 & kivaro=$!; pids+=($kivaro)

timeout 90 "$KIVARO_ATSPI_PYTHON" "$(dirname "$0")/atspi-kivaro.py" || { cat "$scratch/kivaro" >&2; exit 1; }
for _ in $(seq 100); do kill -0 "$kivaro" 2>/dev/null || exit 0; sleep 0.1; done
echo "atspi-kivaro: Kivaro still runs after its exit button was pressed" >&2
exit 1
