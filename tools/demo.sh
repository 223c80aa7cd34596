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

# The bundled review server with the sample review of the built-in debug string (port 8087,
# content store 2104). Its data stays in the demo folder, so comments survive the next demo.
SERVER="$BUILD/server/quill-review-server"
SERVER_LOG="$DEMO_HOME/server.log"
SERVER_PID=""
stop_server() {
  if [ -n "$SERVER_PID" ] && kill -0 "$SERVER_PID" 2>/dev/null; then
    kill "$SERVER_PID" 2>/dev/null || true
    wait "$SERVER_PID" 2>/dev/null || true
  fi
}
trap stop_server EXIT
if curl -sf -o /dev/null "http://127.0.0.1:8087/__health"; then
  echo "A review server already answers on port 8087: using it." >&2
else
  "$SERVER" --seed demo --data "$DEMO_HOME/server" --port 8087 --ecm-port 2104 >>"$SERVER_LOG" 2>&1 &
  SERVER_PID=$!
  for _ in $(seq 1 100); do
    if curl -sf -o /dev/null "http://127.0.0.1:8087/__health"; then break; fi
    if ! kill -0 "$SERVER_PID" 2>/dev/null; then
      echo "The review server did not start; see $SERVER_LOG" >&2
      exit 1
    fi
    sleep 0.1
  done
  curl -sf -o /dev/null "http://127.0.0.1:8087/__health" || { echo "The review server does not answer; see $SERVER_LOG" >&2; exit 1; }
fi

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
# The client's exit ends the demo; the trap stops the server.
run_client
