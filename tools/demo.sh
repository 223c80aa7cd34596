#!/usr/bin/env bash
# Starts the client on the built-in "debug" review.
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")/.."
BUILD=build/debug
exec "$BUILD/src/Quillmark" debug
