#!/usr/bin/env bash
# Starts the client on the built-in "debug" review.
#   tools/demo.sh [--screenshot FILE]   (a screenshot run works without a display, under Xvfb)
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")/.."
BUILD=build/debug
SHOT=""
if [ "${1:-}" = "--screenshot" ]; then SHOT="$(readlink -f "${2:?--screenshot needs a file}")"; fi

DEMO_HOME="${QUILL_DEMO_HOME:-$HOME/.local/share/quillmark-demo}"
mkdir -p "$DEMO_HOME/registry" "$DEMO_HOME/install"
export QUILLMARK_REGISTRY_ROOT="$DEMO_HOME/registry"

mkdir -p "$QUILLMARK_REGISTRY_ROOT/SOFTWARE/ORVANE/QUILLMARK"
printf 'INSTALL_DIR=%s\n' "$DEMO_HOME/install" > "$QUILLMARK_REGISTRY_ROOT/SOFTWARE/ORVANE/QUILLMARK/values.reg"
export QUILLMARK_PROBE_URL="${QUILLMARK_PROBE_URL:-http://127.0.0.1:8087/}"

run_client() {
  if [ -n "$SHOT" ]; then
    QUILLMARK_SCREENSHOT="$SHOT" xvfb-run -a -s "-screen 0 1600x1000x24" "$BUILD/src/Quillmark" debug
  elif [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: running under Xvfb (use --screenshot FILE to see it)." >&2
    xvfb-run -a "$BUILD/src/Quillmark" debug
  else
    "$BUILD/src/Quillmark" debug
  fi
}
run_client
