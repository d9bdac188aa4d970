#!/usr/bin/env bash
# Installs what is missing (Debian packages), configures and builds Halvane, then either runs every
# test ("test") or opens the strongest program's window ("run"). Safe to run again: it installs and
# rebuilds only what is missing or changed.
set -euo pipefail

mode=${1:-test}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${HALVANE_BUILD_DIR:-$root/build}
jobs=$(nproc 2>/dev/null || echo 2)

# Build tools, test and benchmark libraries, Qt 6 Widgets with its Japanese translation, clang (for the
# fuzzer), a Japanese font, and the X tools the window tests and screenshots use.
packages=(build-essential cmake pkg-config git libgtest-dev libgmock-dev googletest libbenchmark-dev
          qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libgl1-mesa-dev clang libclang-rt-dev fonts-ipafont-gothic
          xvfb xauth xdotool desktop-file-utils)

# Optional: a strong USI engine to try the window's analyst and opponent against (no test needs it); a
# machine without it builds and tests all the same.
optional_packages=(fairy-stockfish)

step() { printf '==> %s\n' "$*"; }

# Builds quietly: warnings and errors are shown, the rest of the compiler's chatter only on failure.
compile() {
  local log
  log=$(mktemp)
  if ! cmake --build "$@" -j "$jobs" >"$log" 2>&1; then
    grep -E -A3 'error' "$log" | head -80 || tail -40 "$log"
    rm -f "$log"
    echo "halvane: build failed" >&2
    exit 1
  fi
  grep -E 'warning:' "$log" | sort -u | head -20 || true
  rm -f "$log"
}

# The packages of those named that are not installed, one a line.
not_installed() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || echo "$p"
  done
}
if [ "$(id -u)" -ne 0 ]; then sudo=sudo; else sudo=; fi

mapfile -t missing < <(not_installed "${packages[@]}")
if [ ${#missing[@]} -gt 0 ]; then
  step "installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

mapfile -t optional_missing < <(not_installed "${optional_packages[@]}")
if [ ${#optional_missing[@]} -gt 0 ]; then
  step "installing ${optional_missing[*]} (optional)"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${optional_missing[@]}" >/dev/null 2>&1 ||
    echo "halvane: ${optional_missing[*]} not installed (optional; only for trying a foreign engine)" >&2
fi

step "configuring in $build"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo ${HALVANE_CMAKE_ARGS:-} >/dev/null

case "$mode" in
  test)
    step "building"
    compile "$build"
    step "running the tests"
    cd "$build"
    ctest --output-on-failure -j "$jobs" --timeout 1200
    ;;
  run)
    step "building halvane-gekikara"
    compile "$build" --target halvane-gekikara
    if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
      echo "halvane: no display to open a window on; start it under a virtual one with: xvfb-run -a $build/bin/halvane-gekikara" >&2
      exit 1
    fi
    cd "$root"
    step "starting halvane-gekikara"
    exec "$build/bin/halvane-gekikara"
    ;;
  *)
    echo "usage: $0 [test|run]" >&2
    exit 2
    ;;
esac
