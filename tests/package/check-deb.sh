#!/usr/bin/env bash
# Checks a built Kivaro package: its fields, its files, and that the unpacked program runs.
#   tests/package/check-deb.sh kivaro_<version>_<arch>.deb <version>
set -euo pipefail

deb=$1
version=$2
failures=0
fail() {
  echo "check-deb: $*" >&2
  failures=$((failures + 1))
}

[[ -f "$deb" ]] || { echo "check-deb: no package at $deb" >&2; exit 1; }
root=$(mktemp -d -t kivaro-deb.XXXXXX)
trap 'rm -rf "$root"' EXIT
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

if ((failures > 0)); then
  echo "check-deb: $failures problems in $deb" >&2
  exit 1
fi
echo "check-deb: $deb is sound ($(find "$root" -type f | wc -l) files)"
