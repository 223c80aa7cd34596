#!/usr/bin/env bash
# Runs the control's tests under 64-bit Wine on a private X display:
#   run_wine_tests.sh BUILD_DIR
# BUILD_DIR holds quillstart.dll, quillstart_tests.exe and the recorder Quillmark.exe (x64). The
# Wine prefix lives in BUILD_DIR/wineprefix and is made once.
set -euo pipefail
build="$(readlink -f "$1")"
export WINEPREFIX="$build/wineprefix"
export WINEARCH=win64
export WINEDEBUG=-all
# No Mono or Gecko install prompts while the prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml="

# A display of our own: window creation fails without one.
display=""
for n in $(seq 90 140); do
  if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || { echo "wintest: no free X display"; exit 1; }
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY="$display"

finish() {
  wineserver -k >/dev/null 2>&1 || true
  kill "$xvfb_pid" >/dev/null 2>&1 || true
  wait "$xvfb_pid" 2>/dev/null || true
}
trap finish EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi
# A crashing test program ends with its status instead of waiting in the debugger.
wine reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f \
  >/dev/null 2>&1 || true

dll="$(winepath -w "$build/quillstart.dll")"
tests="$build/quillstart_tests.exe"
failed=0
run() {  # a test group; its output, and whether it passed (a hang counts as a failure)
  if ! timeout 300 wine "$tests" "$@" 2>/dev/null | tr -d '\r'; then
    echo "wintest: $1 did not pass (crashed, hung or failed)"; failed=1
  fi
}

run unit
if timeout 120 wine regsvr32 /s "$dll" >/dev/null 2>&1; then
  run registered
else
  echo "wintest: regsvr32 failed"; failed=1
fi
if timeout 120 wine regsvr32 /s /u "$dll" >/dev/null 2>&1; then
  run unregistered
else
  echo "wintest: regsvr32 /u failed"; failed=1
fi
exit "$failed"
