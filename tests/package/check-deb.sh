#!/usr/bin/env bash
# Checks a built Kivaro package: its fields, its files, and that every program it installs runs
# from the unpacked tree, does its main job once and ends cleanly; a crash, a hang or an error
# status fails the check. The demo site (not in the package) stands in for the video site.
#   tests/package/check-deb.sh kivaro_<version>_<arch>.deb <version> <kivaro-demo-site>
set -euo pipefail

deb=$1
version=$2
demo_site=$3
failures=0
fail() {
  echo "check-deb: $*" >&2
  failures=$((failures + 1))
}

[[ -f "$deb" ]] || { echo "check-deb: no package at $deb" >&2; exit 1; }
[[ -x "$demo_site" ]] || { echo "check-deb: no demo site at $demo_site" >&2; exit 1; }
root=$(mktemp -d -t kivaro-deb.XXXXXX)
scratch=$(mktemp -d -t kivaro-smoke.XXXXXX)
started=()
cleanup() {
  for pid in "${started[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$root" "$scratch"
}
trap cleanup EXIT
dpkg -x "$deb" "$root"

field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Package) == kivaro ]] || fail "Package is '$(field Package)'"
[[ $(field Version) == "$version" ]] || fail "Version is '$(field Version)', not $version"
[[ $(field Architecture) == $(dpkg --print-architecture) ]] || fail "Architecture is '$(field Architecture)'"
[[ $(field Recommends) == mpv ]] || fail "Recommends is '$(field Recommends)', not mpv"
depends=$(field Depends)
# Computed from the libraries the program links: the C library, the Qt modules it uses, libsodium and
# inih.
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libqt6dbus6 libsodium23 libinih1; do
  [[ $depends == *"$library "* || $depends == *"$library," || $depends == *"$library" ]] \
    || fail "Depends lacks $library: $depends"
done

expected=(
  usr/bin/kivaro
  usr/bin/kivaro-controls
  usr/share/applications/kivaro.desktop
  usr/share/icons/hicolor/64x64/apps/kivaro.png
  usr/share/icons/hicolor/256x256/apps/kivaro.png
  usr/share/metainfo/com.kivaro.Kivaro.metainfo.xml
)
for file in "${expected[@]}"; do
  [[ -f "$root/$file" ]] || fail "missing $file"
done
[[ -x "$root/usr/bin/kivaro" ]] || fail "usr/bin/kivaro is not executable"
# The demo site is a developer's tool, not part of the product.
[[ ! -e "$root/usr/bin/kivaro-demo-site" ]] || fail "the demo site is in the package"
# Nothing outside /usr.
outside=$(cd "$root" && find . -mindepth 1 -maxdepth 1 ! -name usr)
[[ -z "$outside" ]] || fail "files outside /usr: $outside"

# The program finds every library it needs on the system, none from the build.
if ldd "$root/usr/bin/kivaro" | grep -q 'not found'; then
  fail "unresolved libraries: $(ldd "$root/usr/bin/kivaro" | grep 'not found')"
fi
if ldd "$root/usr/bin/kivaro" | grep -q "$(pwd)/build"; then
  fail "the program loads libraries from the build tree"
fi
shown=$("$root/usr/bin/kivaro" --version 2>&1) || fail "kivaro --version failed: $shown"
[[ $shown == "kivaro $version" ]] || fail "kivaro --version says '$shown'"

desktop-file-validate "$root/usr/share/applications/kivaro.desktop" || fail "the desktop entry does not validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/com.kivaro.Kivaro.metainfo.xml" >/dev/null \
  || fail "the AppStream metainfo does not validate"

# --- Every installed program, started once ------------------------------------------------------
# Headless, with folders of their own and a private session bus, so nothing of the user's is read
# or changed; each wait is bounded.
export QT_QPA_PLATFORM=offscreen
export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/config XDG_DATA_HOME=$scratch/data \
  XDG_CACHE_HOME=$scratch/cache XDG_RUNTIME_DIR=$scratch/runtime
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
wait_seconds=60

# forget PID: a process that has ended and been waited for is no longer ours to stop.
forget() {
  local kept=() pid
  for pid in "${started[@]}"; do [[ $pid == "$1" ]] || kept+=("$pid"); done
  started=("${kept[@]}")
}

# waits_for FILE TEXT PID: true once FILE holds TEXT; false when PID ends first or time runs out.
waits_for() {
  local deadline=$((SECONDS + wait_seconds))
  while ((SECONDS < deadline)); do
    grep -qF -- "$2" "$1" && return 0
    kill -0 "$3" 2>/dev/null || { grep -qF -- "$2" "$1"; return; }
    sleep 0.1
  done
  return 1
}

# ends_cleanly NAME PID LOG: waits (bounded) for PID to end and fails unless it ended with status 0.
ends_cleanly() {
  local deadline=$((SECONDS + wait_seconds))
  while kill -0 "$2" 2>/dev/null && ((SECONDS < deadline)); do sleep 0.1; done
  if kill -0 "$2" 2>/dev/null; then
    kill -KILL "$2" 2>/dev/null || true
    wait "$2" 2>/dev/null || true
    forget "$2"
    fail "$1 did not end within $wait_seconds s; its output: $(tail -n 20 "$3")"
    return
  fi
  local status=0
  wait "$2" || status=$?
  forget "$2"
  ((status == 0)) || fail "$1 ended with status $status; its output: $(tail -n 20 "$3")"
}

# kivaro: against the demo site it checks the signed version file, plays the default search with a
# player that ends at once, shows its main window, and ends when the desktop's media controls ask
# it to (MPRIS Quit).
smoke_kivaro() {
  local log=$scratch/kivaro.log site_out=$scratch/site.out bus_out=$scratch/bus.out
  : >"$log"
  : >"$site_out"
  "$demo_site" --port 0 >"$site_out" 2>&1 &
  started+=($!)
  waits_for "$site_out" "vendor key:" "$!" || { fail "the demo site did not start: $(cat "$site_out")"; return; }
  local base vendor_key
  base=$(sed -n 's/.*serving \(http:[^ ]*\).*/\1/p' "$site_out" | head -n1)
  vendor_key=$(sed -n 's/^ *vendor key: *\(RW[^ ]*\).*/\1/p' "$site_out" | head -n1)
  dbus-daemon --session --fork --print-address=1 --print-pid=1 >"$bus_out"
  local bus_pid
  bus_pid=$(sed -n 2p "$bus_out")
  started+=("$bus_pid")
  local address
  address=$(sed -n 1p "$bus_out")
  DBUS_SESSION_BUS_ADDRESS=$address "$root/usr/bin/kivaro" --site "$base" --vendor "$base" \
    --vendor-key "$vendor_key" --shop "$base" --backend site --player true --verbose >"$log" 2>&1 &
  local pid=$!
  started+=("$pid")
  if ! waits_for "$log" "release 3, not newer" "$pid"; then
    fail "kivaro did not read the demo site's signed version file; its output: $(tail -n 20 "$log")"
  elif ! waits_for "$log" "now playing: $base/player2.swf" "$pid"; then
    fail "kivaro played nothing; its output: $(tail -n 20 "$log")"
  elif ! waits_for "$log" "main window shown" "$pid"; then
    fail "kivaro showed no main window; its output: $(tail -n 20 "$log")"
  elif ! DBUS_SESSION_BUS_ADDRESS=$address dbus-send --session --print-reply --reply-timeout=10000 \
      --dest=org.mpris.MediaPlayer2.kivaro /org/mpris/MediaPlayer2 org.mpris.MediaPlayer2.Quit >/dev/null; then
    fail "kivaro did not take the media controls' Quit; its output: $(tail -n 20 "$log")"
  fi
  ends_cleanly kivaro "$pid" "$log"
}

# kivaro-controls: shows its form and ends when asked to (SIGTERM, as at the end of a session). It
# takes the signal once its form is up; a crash while showing ends it before that.
smoke_kivaro_controls() {
  local log=$scratch/controls.log
  : >"$log"
  "$root/usr/bin/kivaro-controls" >"$log" 2>&1 &
  local pid=$!
  started+=("$pid")
  local deadline=$((SECONDS + wait_seconds))
  until catches_term "$pid" "$root/usr/bin/kivaro-controls" || ! kill -0 "$pid" 2>/dev/null \
    || ((SECONDS >= deadline)); do
    sleep 0.1
  done
  kill -TERM "$pid" 2>/dev/null || true
  ends_cleanly kivaro-controls "$pid" "$log"
}

# catches_term PID PROGRAM: true when PID runs PROGRAM (not the shell's fork that is still to
# start it, which has the shell's handlers) and has a handler of its own for SIGTERM (signal 15:
# bit 14 of the SigCgt mask).
catches_term() {
  local mask
  [[ $(readlink "/proc/$1/exe" 2>/dev/null) == "$2" ]] || return 1
  mask=$(sed -n 's/^SigCgt:[[:space:]]*//p' "/proc/$1/status" 2>/dev/null) || return 1
  [[ -n "$mask" ]] && (((16#${mask: -8} >> 14) & 1))
}

for program in "$root"/usr/bin/*; do
  name=$(basename "$program")
  case $name in
    kivaro) smoke_kivaro ;;
    kivaro-controls) smoke_kivaro_controls ;;
    *) fail "usr/bin/$name is installed but has no start check here" ;;
  esac
done

if ((failures > 0)); then
  echo "check-deb: $failures problems in $deb" >&2
  exit 1
fi
echo "check-deb: $deb is sound ($(find "$root" -type f | wc -l) files)"
