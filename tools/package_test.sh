#!/usr/bin/env bash
# Checks the Debian package as installed: unpacks it into a temporary root, runs its maintainer
# script against that root, starts the installed review server and runs the installed client on
# the demo review under Xvfb until it writes a screenshot, tries the installed link handler, and
# runs lintian (an error fails).
#   tools/package_test.sh [PACKAGE.deb]   (default: the newest quillmark_*.deb in build/release)
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")/.."

DEB="${1:-$(ls -t build/release/quillmark_*.deb 2>/dev/null | head -n 1 || true)}"
[ -n "$DEB" ] && [ -f "$DEB" ] || { echo "package_test: no package (run ./quill package)" >&2; exit 1; }
DEB="$(readlink -f "$DEB")"

WORK="$(mktemp -d "${TMPDIR:-/tmp}/quillmark-package.XXXXXX")"
ROOT="$WORK/root"
SERVER_PID=""
cleanup() {
  if [ -n "$SERVER_PID" ] && kill -0 "$SERVER_PID" 2>/dev/null; then
    kill "$SERVER_PID" 2>/dev/null || true
    wait "$SERVER_PID" 2>/dev/null || true
  fi
  if [ "${KEEP_PACKAGE_ROOT:-}" = "1" ]; then echo "package_test: left $WORK" >&2; else rm -rf "$WORK"; fi
}
trap cleanup EXIT

failures=0
fail() { echo "package_test: FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "package_test: ok: $*"; }

echo "package_test: $DEB"
dpkg-deb -x "$DEB" "$ROOT"
dpkg-deb -e "$DEB" "$WORK/control"

# What the package must hold.
for f in usr/lib/quillmark/Quillmark usr/bin/Quillmark usr/bin/quillstart usr/bin/quill-review-server \
    lib/systemd/system/quill-review-server.service \
    usr/share/applications/quillmark.desktop usr/share/applications/quillstart.desktop \
    usr/share/icons/hicolor/scalable/apps/quillmark.svg \
    usr/share/man/man1/Quillmark.1.gz usr/share/man/man1/quillstart.1.gz \
    usr/share/man/man1/quill-review-server.1.gz \
    usr/share/doc/quillmark/copyright usr/share/doc/quillmark/changelog.gz; do
  [ -e "$ROOT/$f" ] || fail "missing /$f"
done
for size in 16 32 48 256; do
  png="$ROOT/usr/share/icons/hicolor/${size}x${size}/apps/quillmark.png"
  # The PNG header holds the width and height as big-endian numbers at bytes 16 and 20.
  if [ -f "$png" ] && [ "$(od -An -tx1 -j16 -N8 "$png" | tr -d ' \n')" = "$(printf '%08x%08x' "$size" "$size")" ]; then
    pass "icon ${size}x${size}"
  else
    fail "icon ${size}x${size} missing or of the wrong size"
  fi
done
grep -qx 'MimeType=x-scheme-handler/quillmark;' "$ROOT/usr/share/applications/quillstart.desktop" ||
  fail "quillstart.desktop does not register the quillmark: scheme"
grep -qx 'Icon=quillmark' "$ROOT/usr/share/applications/quillmark.desktop" ||
  fail "quillmark.desktop names no icon"
for page in Quillmark quillstart quill-review-server; do
  # A broken request to the formatter shows as a warning on standard error.
  if zcat "$ROOT/usr/share/man/man1/$page.1.gz" | groff -man -Tutf8 -ww -z 2>&1 | grep -q .; then
    fail "man page $page.1 does not format cleanly"
  fi
done
# The unit is shipped, never enabled by the package itself.
[ -z "$(find "$ROOT" -path '*wants*' -name 'quill-review-server.service' 2>/dev/null)" ] ||
  fail "the review server's unit is enabled in the package"
control="$(cat "$WORK/control/control")"
for dep in fonts-liberation2 fonts-noto-cjk qt6-qpa-plugins libqt6widgets6 libpoppler-qt6 libqpdf libcurl libsqlite3; do
  echo "$control" | grep '^Depends:' | grep -q "$dep" || fail "Depends lacks $dep"
done

# The installed programs find every library among the system's own: no search path into the
# build tree, nothing missing.
for bin in usr/lib/quillmark/Quillmark usr/bin/quillstart usr/bin/quill-review-server; do
  if readelf -d "$ROOT/$bin" | grep -qE 'RPATH|RUNPATH'; then fail "/$bin carries a library search path"; fi
  if ldd "$ROOT/$bin" | grep -q 'not found'; then fail "/$bin misses libraries: $(ldd "$ROOT/$bin" | grep 'not found')"; fi
done
pass "programs link only system libraries"

# The maintainer script writes the registry values into the root it is given.
KEY="$ROOT/var/lib/quillmark/registry/SOFTWARE/ORVANE/QUILLMARK/values.reg"
DPKG_ROOT="$ROOT" sh "$WORK/control/postinst" configure || fail "postinst failed"
if [ "$(cat "$KEY" 2>/dev/null)" = "$(printf 'INSTALL_DIR=/usr/lib/quillmark\nPROBE_URL=')" ]; then
  pass "postinst writes INSTALL_DIR and PROBE_URL"
else
  fail "postinst wrote: $(cat "$KEY" 2>/dev/null || echo nothing)"
fi
# Every reviewer's client saves the machine's tool settings and custom colours: those keys are
# open to every user, the rest of the store is not.
KEY_DIR="$(dirname "$KEY")"
if [ "$(stat -c %a "$KEY_DIR/CURRENTTOOL/CLOUDY")" = 777 ] &&
  [ "$(stat -c %a "$KEY_DIR/CUSTOMCOLORS")" = 777 ] && [ "$(stat -c %a "$KEY_DIR")" = 755 ]; then
  pass "postinst opens the tool settings and custom colours to every user"
else
  fail "postinst left the shared keys closed: $(stat -c '%a %n' "$KEY_DIR" "$KEY_DIR"/*)"
fi
# An upgrade keeps what an administrator set; a probe address given at install is stored
# escaped, and a value that is not an address is refused.
printf 'CODEPAGE=CP949\nINSTALL_DIR=/old\nPROBE_URL=http://old/\n' > "$KEY"
DPKG_ROOT="$ROOT" QUILLMARK_PROBE_URL='http://probe.example:8087/x?a=b' sh "$WORK/control/postinst" configure
if [ "$(cat "$KEY")" = "$(printf 'CODEPAGE=CP949\nINSTALL_DIR=/usr/lib/quillmark\nPROBE_URL=http://probe.example:8087/x?a\\eb')" ]; then
  pass "postinst keeps other values and escapes the probe address"
else
  fail "postinst on upgrade wrote: $(cat "$KEY")"
fi
DPKG_ROOT="$ROOT" QUILLMARK_PROBE_URL=$'http://x/\nINSTALL_DIR=/tmp' sh "$WORK/control/postinst" configure 2>/dev/null
DPKG_ROOT="$ROOT" QUILLMARK_PROBE_URL='file:///etc/passwd' sh "$WORK/control/postinst" configure 2>/dev/null
grep -qx 'INSTALL_DIR=/usr/lib/quillmark' "$KEY" && [ "$(grep -c . "$KEY")" = 3 ] &&
  grep -qx 'PROBE_URL=http://probe.example:8087/x?a\\eb' "$KEY" ||
  fail "postinst took a hostile probe address: $(cat "$KEY")"

# From here the root is used in place: its registry points at its own client folder.
export QUILLMARK_REGISTRY_ROOT="$ROOT/var/lib/quillmark/registry"
printf 'INSTALL_DIR=%s\n' "$ROOT/usr/lib/quillmark" > "$KEY"
export HOME="$WORK/home" XDG_DATA_HOME="$WORK/home/data" XDG_RUNTIME_DIR="$WORK/run"
mkdir -p "$HOME" "$XDG_DATA_HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"

# The installed link handler refuses a foreign scheme and starts INSTALL_DIR/Quillmark with the
# link's values (a recorder stands in for the client here).
status=0
"$ROOT/usr/bin/quillstart" 'https://example.com/?SERVER=x' 2>/dev/null || status=$?
[ "$status" = 2 ] && pass "quillstart refuses a foreign scheme" || fail "quillstart on a foreign scheme exited $status"
mkdir -p "$WORK/recorder"
printf '#!/bin/sh\nprintf "%%s" "$1" > "%s/started"\n' "$WORK/recorder" > "$WORK/recorder/Quillmark"
chmod 755 "$WORK/recorder/Quillmark"
printf 'INSTALL_DIR=%s\n' "$WORK/recorder" > "$KEY"
status=0
"$ROOT/usr/bin/quillstart" 'quillmark:?SERVER=review.example&PORT=8087&USERID=kim' 2>/dev/null || status=$?
for _ in $(seq 1 50); do [ -s "$WORK/recorder/started" ] && break; sleep 0.1; done
if [ "$status" = 0 ] && grep -q 'PORT=8087' "$WORK/recorder/started" 2>/dev/null; then
  pass "quillstart starts INSTALL_DIR/Quillmark"
else
  fail "quillstart exited $status, started: $(cat "$WORK/recorder/started" 2>/dev/null || echo nothing)"
fi
printf 'INSTALL_DIR=%s\n' "$ROOT/usr/lib/quillmark" > "$KEY"

# The installed server on free ports with the demo review, and the installed client on the demo
# review's launch string pointed at them.
"$ROOT/usr/bin/quill-review-server" --seed demo --data "$WORK/server" --port 0 --ecm-port 0 \
  --port-file "$WORK/ports" >"$WORK/server.log" 2>&1 &
SERVER_PID=$!
for _ in $(seq 1 100); do
  [ -s "$WORK/ports" ] && grep -q '^ecm=' "$WORK/ports" && break
  kill -0 "$SERVER_PID" 2>/dev/null || break
  sleep 0.1
done
REVIEW_PORT="$(sed -n 's/^review=//p' "$WORK/ports" 2>/dev/null || true)"
ECM_PORT="$(sed -n 's/^ecm=//p' "$WORK/ports" 2>/dev/null || true)"
if [ -z "$REVIEW_PORT" ] || [ -z "$ECM_PORT" ]; then
  cat "$WORK/server.log" >&2
  fail "the installed review server did not start"
else
  pass "the installed review server listens on $REVIEW_PORT and $ECM_PORT"
  LAUNCH="HOST=127.0.0.1&PORT=$REVIEW_PORT&USERID=reviewer1&OPENERID=opener1&SQURVWMNO=1001&PATCPSEQ=2"
  LAUNCH+="&REPATCPSEQ=0&RVWFILESEQ=1&ELEMENTID=sample-drawing&COMMENTCOLOR=RGB(0,102,204)"
  LAUNCH+="&PATCPCLSCD=01&PROGCLSCD=10&SQUADDOCNO=QM-DWG-0001&SQUADDOCNM=Sample General Arrangement"
  LAUNCH+="&NEXTPLANYMDCD=IFC&NEXTREVISNNO=B&SITEUSENM=Piping&USERKNM=Kim Minsu&SITECD=S01&OWNER=N"
  LAUNCH+="&ECM_HOST=127.0.0.1&ECM_PORT=$ECM_PORT&ECM_SERVER_ID=QECM01&KESTRON=DEV&SQUADSQNUM=1"
  LAUNCH+="&TGTSQURVWMNO=0&STSCD=02&APPR=N"
  SHOT="$WORK/demo.png"
  status=0
  QUILLMARK_PROBE_URL="http://127.0.0.1:$REVIEW_PORT/" QUILLMARK_SCREENSHOT="$SHOT" \
    timeout 180 xvfb-run -a -s "-screen 0 1600x1000x24" "$ROOT/usr/bin/Quillmark" "$LAUNCH" \
    >"$WORK/client.log" 2>&1 || status=$?
  if [ "$status" = 0 ] && [ "$(od -An -tx1 -N8 "$SHOT" 2>/dev/null | tr -d ' \n')" = 89504e470d0a1a0a ] &&
      [ "$(stat -c %s "$SHOT")" -gt 10000 ]; then
    pass "the installed client ran the demo review ($(stat -c %s "$SHOT") bytes of screenshot)"
    [ -n "${QUILL_PACKAGE_SHOT:-}" ] && cp "$SHOT" "$QUILL_PACKAGE_SHOT"
  else
    tail -20 "$WORK/client.log" >&2
    fail "the installed client exited $status without a screenshot"
  fi
fi

# Lintian on the package: errors fail, warnings are shown.
if command -v lintian >/dev/null; then
  lintian_out="$(lintian --tag-display-limit 0 "$DEB" 2>&1 || true)"
  [ -n "$lintian_out" ] && echo "$lintian_out"
  if echo "$lintian_out" | grep -q '^E: '; then fail "lintian reports errors"; else pass "lintian: no errors"; fi
else
  fail "lintian is not installed"
fi

if [ "$failures" -gt 0 ]; then
  echo "package_test: $failures failure(s)" >&2
  exit 1
fi
echo "package_test: all checks passed"
