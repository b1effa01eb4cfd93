#!/usr/bin/env bash
# on-virtual-display.sh COMMAND [ARGUMENTS...]
# Runs COMMAND on a virtual X display of its own (Xvfb on a free display number, black root window,
# 1280 x 800 unless KIVARO_SCREEN says otherwise), with Qt's X11 platform, and ends the display
# with it. Exits 77, which CTest counts as skipped, when Xvfb is not installed.
set -euo pipefail

if ! command -v Xvfb >/dev/null; then
  echo "on-virtual-display: Xvfb is not installed (scripts/setup installs it): skipped" >&2
  exit 77
fi

number=$(mktemp -t kivaro-display.XXXXXX)
xvfb=
cleanup() {
  if [[ -n "$xvfb" ]]; then kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true; fi
  rm -f "$number"
}
trap cleanup EXIT

# Xvfb picks a free display and writes its number once it takes connections.
Xvfb -displayfd 3 -screen 0 "${KIVARO_SCREEN:-1280x800x24}" -br -nolisten tcp -noreset 3>"$number" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do
  [[ -s "$number" ]] && break
  kill -0 "$xvfb" 2>/dev/null || { echo "on-virtual-display: Xvfb did not start" >&2; exit 1; }
  sleep 0.1
done
[[ -s "$number" ]] || { echo "on-virtual-display: Xvfb did not start in 10 s" >&2; exit 1; }

export DISPLAY=":$(head -n1 "$number")"
export QT_QPA_PLATFORM=xcb
"$@"
