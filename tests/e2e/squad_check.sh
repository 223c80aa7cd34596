#!/usr/bin/env bash
# A whole squad check, end to end: three real Quillmark clients (the initiator and two
# participants of other disciplines), each on its own X server, against the bundled review server
# and content store, driven by X input events only. Prompts are answered through each client's
# prompt log. A screenshot of every step is kept under the build folder.
#   tests/e2e/squad_check.sh BUILD_DIR
set -euo pipefail
BUILD="$(readlink -f "${1:?usage: squad_check.sh BUILD_DIR}")"
CLIENT="$BUILD/src/Quillmark"
SERVER="$BUILD/server/quill-review-server"
PDFTOOL="$BUILD/src/quill-pdf"
SHOTS="$BUILD/e2e"
ROOT="$(mktemp -d /tmp/quill-e2e.XXXXXX)"
rm -rf "$SHOTS"
mkdir -p "$SHOTS"

PIDS=()
cleanup() {
  for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$ROOT"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  for log in "$ROOT"/prompts-*.log; do [ -f "$log" ] && { echo "== $log" >&2; cat "$log" >&2; }; done
  exit 1
}
free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'; }
wait_until() {  # wait_until SECONDS COMMAND...: polls every 0.2 s
  local limit=$(( $1 * 5 )); shift
  for _ in $(seq 1 "$limit"); do "$@" >/dev/null 2>&1 && return 0; sleep 0.2; done
  return 1
}

# ---- the server and its demo review -------------------------------------------------------
PORT=$(free_port); ECM=$(free_port)
"$SERVER" --seed demo --data "$ROOT/server" --port "$PORT" --ecm-port "$ECM" >"$ROOT/server.log" 2>&1 &
PIDS+=($!)
wait_until 15 curl -sf "http://127.0.0.1:$PORT/__health" || fail "the review server did not start"
q() { curl -sf "http://127.0.0.1:$PORT$1"; }

export QUILLMARK_REGISTRY_ROOT="$ROOT/registry"
mkdir -p "$QUILLMARK_REGISTRY_ROOT/SOFTWARE/ORVANE/QUILLMARK" "$ROOT/install"
printf 'INSTALL_DIR=%s\n' "$ROOT/install" >"$QUILLMARK_REGISTRY_ROOT/SOFTWARE/ORVANE/QUILLMARK/values.reg"
export QUILLMARK_PROBE_URL="http://127.0.0.1:$PORT/"

launch_string() {  # USERID USERKNM SITEUSENM PATCPSEQ STSCD
  printf 'HOST=127.0.0.1&PORT=%s&USERID=%s&OPENERID=opener1&SQURVWMNO=1001&PATCPSEQ=%s' "$PORT" "$1" "$4"
  printf '&REPATCPSEQ=0&RVWFILESEQ=1&ELEMENTID=sample-drawing&COMMENTCOLOR=RGB(0,102,204)'
  printf '&PATCPCLSCD=01&PROGCLSCD=10&SQUADDOCNO=QM-DWG-0001&SQUADDOCNM=Sample General Arrangement'
  printf '&NEXTPLANYMDCD=IFC&NEXTREVISNNO=B&SITEUSENM=%s&USERKNM=%s&SITECD=S01&OWNER=N' "$3" "$2"
  printf '&ECM_HOST=127.0.0.1&ECM_PORT=%s&ECM_SERVER_ID=QECM01&KESTRON=127.0.0.1:%s' "$ECM" "$PORT"
  printf '&SQUADSQNUM=1&TGTSQURVWMNO=0&STSCD=%s&APPR=N' "$5"
}

# ---- the clients ------------------------------------------------------------------------------
W=1280; H=1400
declare -A DISPLAY_OF PID_OF
start_display() {  # NAME: an X server of its own, on a display number it picks itself
  local fifo="$ROOT/display-$1"
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 ${W}x${H}x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  PIDS+=($!)
  local number
  read -r -t 15 number <"$fifo" || fail "no X server for $1"
  DISPLAY_OF[$1]=":$number"
  wait_until 10 xdpyinfo -display ":$number" || fail "no X server :$number"
}
start_client() {  # NAME LAUNCH ANSWERS
  local name=$1
  mkdir -p "$ROOT/home-$name"
  DISPLAY=${DISPLAY_OF[$name]} XDG_DATA_HOME="$ROOT/home-$name" XDG_RUNTIME_DIR="$ROOT/home-$name" \
    QUILLMARK_PROMPT_LOG="$ROOT/prompts-$name.log" QUILLMARK_PROMPT_ANSWERS="$3" \
    "$CLIENT" "$2" >"$ROOT/client-$name.log" 2>&1 &
  PID_OF[$name]=$!
  PIDS+=($!)
  DISPLAY=${DISPLAY_OF[$name]} wait_until 30 xdotool search --onlyvisible --name "Ostrel Lumaro" \
    || fail "$name: no main window"
  sleep 4  # the start step: the comments load
}
x() { local name=$1; shift; DISPLAY=${DISPLAY_OF[$name]} xdotool "$@"; }
click() { x "$1" mousemove "$2" "$3" sleep 0.1 click "${4:-1}"; sleep 0.4; }
drag() {  # NAME X1 Y1 X2 Y2
  x "$1" mousemove "$2" "$3" sleep 0.1 mousedown 1
  for i in 1 2 3 4 5 6; do
    x "$1" mousemove $(( $2 + ($4 - $2) * i / 6 )) $(( $3 + ($5 - $3) * i / 6 )) sleep 0.05
  done
  x "$1" mouseup 1; sleep 0.6
}
keys() { local name=$1; shift; x "$name" key --delay 80 "$@"; sleep 0.4; }
step=0
shot() {  # NAME WHAT
  step=$((step + 1))
  DISPLAY=${DISPLAY_OF[$1]} import -window root "$SHOTS/$(printf %02d $step)-$1-$2.png"
}
badge_lit() {  # NAME: the new-comment badge shows (its red in the shot just taken)
  local last
  last=$(ls "$SHOTS"/*.png | tail -1)
  convert "$last" -format '%[fx:int(255*p{'$((W - 36))','$((H - 176))'}.r)] %[fx:int(255*p{'$((W - 36))','$((H - 176))'}.g)]' info: |
    awk '{ exit !($1 > 150 && $2 < 110) }'
}
prompts() { cat "$ROOT/prompts-$1.log" 2>/dev/null || true; }
expect_prompt() {  # NAME TEXT: waits until the prompt log holds TEXT
  wait_until 60 grep -qF -- "$2" "$ROOT/prompts-$1.log" || fail "$1: no prompt \"$2\""
}
window_at() {  # NAME TITLE: "X Y" of the visible window so titled (nothing after 15 s)
  local id=""
  for _ in $(seq 1 75); do
    id=$(DISPLAY=${DISPLAY_OF[$1]} xdotool search --onlyvisible --name "^$2\$" 2>/dev/null | tail -1) || true
    [ -n "$id" ] && break
    sleep 0.2
  done
  [ -n "$id" ] || return 0
  DISPLAY=${DISPLAY_OF[$1]} xdotool getwindowgeometry --shell "$id" | awk -F= '/^X=/{x=$2}/^Y=/{y=$2}END{print x, y}'
}
unpublished() { q "/Comm/checkautosaved.do?docId=10011&userId=$1"; }

# Tool bar (x of the buttons, y of their centres) and the workflow buttons.
TX=$((W - 38 + 10)); ARROW=$((W - 38 + 25))
Y_DRAW=55; Y_NOTE=115; Y_MEASURE=235
FX=$((W - 39 + 17)); Y_CHECK=$((H - 145 + 17)); Y_PUBLISH=$((H - 95 + 17)); Y_FINISH=$((H - 45 + 17))
# Drawing menu: Down presses to an item, counted from the menu's first item.
draw_with_menu() {  # NAME DOWNS X1 Y1 X2 Y2
  click "$1" $ARROW $Y_DRAW
  keys "$1" $(printf 'Down %.0s' $(seq 1 "$2")) Return
  drag "$1" "$3" "$4" "$5" "$6"
}

start_display piping; start_display electrical; start_display initiator
start_client piping "$(launch_string reviewer1 'Kim Minsu' Piping 2 02)" yes,yes,yes,yes
start_client electrical "$(launch_string elec1 'Lee Jihoon' Electrical 3 02)" yes,yes,yes,yes
start_client initiator "$(launch_string opener1 'Choi Yuna' Process 1 02)" yes,yes,yes,yes
shot initiator started

# ---- the participants mark the drawing up ------------------------------------------------------
click piping $TX $Y_DRAW                  # the cloud, the remembered drawing tool
drag piping 420 260 600 360
# The cloud's note window: its text and a reply.
click piping $TX 25                       # the hand tool
x piping mousemove 420 300 sleep 0.2 click --repeat 2 --delay 80 1
read -r nx ny < <(window_at piping Comment) || true
[ -n "$nx" ] || fail "piping: no note window"
click piping $((nx + 260)) $((ny + 85))
x piping type --delay 30 "Pipe clashes with the cable tray"
click piping $((nx + 468)) $((ny + 157))  # Save Text
click piping $((nx + 260)) $((ny + 385))
x piping type --delay 30 "Please check the tray level"
click piping $((nx + 50)) $((ny + 437))   # Reply
shot piping note-window
click piping $((nx + 468)) $((ny + 437))  # Close
draw_with_menu piping 4 650 260 820 340   # Rectangle
draw_with_menu piping 2 430 420 600 520   # Arrow
# A scale calibrated on the drawing's scale bar, then a distance measured with it.
click piping $TX 25
click piping 1000 150 3
keys piping Down Return                   # "Calibrate Scale..."
click piping 491 531
click piping 772 531
read -r cx cy < <(window_at piping "Calibrate Scale") || true
[ -n "$cx" ] || fail "piping: no calibration dialog"
keys piping ctrl+a
x piping type --delay 30 "12.5 m"
keys piping Return
click piping $TX $Y_MEASURE               # Distance
drag piping 700 560 900 560
click piping $TX 85                       # a call-out with its text
drag piping 700 620 860 670
x piping type --delay 30 "Check the support"
keys piping ctrl+Return
shot piping drawn
draw_with_menu electrical 3 420 300 640 300   # Line
click electrical $TX $Y_MEASURE           # Distance
drag electrical 700 420 900 420
click electrical $TX 145                   # Highlight over the sheet's title
drag electrical 333 91 390 91
click electrical $TX $Y_NOTE              # a note with its text
click electrical 900 200
read -r nx ny < <(window_at electrical Comment) || true
[ -n "$nx" ] || fail "electrical: the note window did not open"
click electrical $((nx + 260)) $((ny + 85))
x electrical type --delay 30 "Cable tray support missing here"
click electrical $((nx + 468)) $((ny + 157))
click electrical $((nx + 468)) $((ny + 437))
printf 'tray T-4 load table\n' >"$ROOT/tray-loads.txt"
click electrical $TX 205                  # a file attachment
click electrical 950 250
sleep 1
x electrical type --delay 20 "$ROOT/tray-loads.txt"
keys electrical Return
sleep 1
shot electrical drawn
wait_until 60 test "$(unpublished reviewer1)" -ge 7 || fail "piping: comments not saved ($(unpublished reviewer1))"
wait_until 60 test "$(unpublished elec1)" -ge 5 || fail "electrical: comments not saved ($(unpublished elec1))"

# ---- they publish; each sees the other's new comments and checks them in ------------------------
click piping $FX $Y_PUBLISH
expect_prompt piping "Comments are published."
test "$(unpublished reviewer1)" = 0 || fail "piping: unpublished after publish"
sleep 6   # a poll of the revision watcher
shot electrical indicator
badge_lit electrical || fail "electrical: no new-comment badge after piping published"
click electrical $FX $Y_PUBLISH           # asks to take piping's comments in first: yes
expect_prompt electrical "Comments are published."
test "$(unpublished elec1)" = 0 || fail "electrical: unpublished after publish"
sleep 6
shot piping indicator
badge_lit piping || fail "piping: no new-comment badge after electrical published"
click piping $FX $Y_CHECK
sleep 2
shot piping checked
click initiator $FX $Y_CHECK
sleep 2
shot initiator checked

shot piping indicator-after-check
badge_lit piping && fail "piping: the badge still shows after the check"

# ---- the initiator decides every comment: Apply and Do Not Apply in turn ------------------------
CARD_X=110
decide() {  # CARD APPLY(1|0)
  local y=$((92 + 82 * $1 + 30))
  click initiator $CARD_X $y
  click initiator $CARD_X $y 3
  if [ "$2" = 1 ]; then keys initiator Down Return; title=Apply; else keys initiator Down Down Return; title="Do Not Apply"; fi
  read -r dx dy < <(window_at initiator "$title") || true
  [ -n "$dx" ] || fail "initiator: no review dialog \"$title\""
  click initiator $((dx + 266)) $((dy + 169))
  sleep 0.5
}
TOTAL=15
for card in $(seq 0 $((TOTAL - 1))); do decide "$card" $(( (card + 1) % 2 )); done
shot initiator decided
decisions=$(q '/Comm/revcmnt.do?squrvwmno=1001&rvwfileseq=1')
applied=$(grep -o '"Y"' <<<"$decisions" | wc -l)
[ "$(grep -o '"[YN]"' <<<"$decisions" | wc -l)" -ge "$TOTAL" ] || fail "not every comment decided: $decisions"

# ---- the feedback step: the participants come back, read the summary and answer on their cards ----
close_client() {  # NAME: the window's close button, then the process ends normally
  local id
  id=$(DISPLAY=${DISPLAY_OF[$1]} xdotool search --onlyvisible --name "Ostrel Lumaro" | head -1)
  DISPLAY=${DISPLAY_OF[$1]} python3 "$(dirname "$0")/close_window.py" "$id" || fail "$1: no close request"
  wait_until 20 bash -c "! kill -0 ${PID_OF[$1]}" || fail "$1: the client did not end on close"
  wait "${PID_OF[$1]}" || fail "$1: the client ended with an error on close"
}
feedback() {  # NAME CARD
  local y=$((92 + 82 * $2 + 30))
  read -r sx sy < <(window_at "$1" "Review Summary") || true
  [ -n "$sx" ] || fail "$1: no review summary at the start of the feedback step"
  shot "$1" review-summary
  click "$1" $((sx + 240)) $((sy + 220))
  click "$1" $CARD_X $y
  click "$1" $CARD_X $y 3
  keys "$1" Down Return
  read -r ax ay < <(window_at "$1" Agree) || true
  [ -n "$ax" ] || fail "$1: no feedback dialog"
  shot "$1" agree
  click "$1" $((ax + 266)) $((ay + 169))
}
close_client piping
close_client electrical
start_client piping "$(launch_string reviewer1 'Kim Minsu' Piping 2 03)" yes,yes,yes
feedback piping 0
start_client electrical "$(launch_string elec1 'Lee Jihoon' Electrical 3 03)" yes,yes,yes
feedback electrical 5
grep -q '^error' "$ROOT"/prompts-piping.log "$ROOT"/prompts-electrical.log && fail "an error in the feedback step"

# ---- the participants finish ----------------------------------------------------------------------
finish_participant() {  # NAME
  click "$1" $FX $Y_FINISH
  read -r dx dy < <(window_at "$1" Closed) || true
  [ -n "$dx" ] || fail "$1: no finish dialog"
  shot "$1" finish-dialog
  click "$1" $((dx + 256)) $((dy + 241))
  expect_prompt "$1" "Finish."
  wait_until 20 bash -c "! kill -0 ${PID_OF[$1]}" || fail "$1: the client did not end after finishing"
  wait "${PID_OF[$1]}" || fail "$1: the client ended with an error"
}
finish_participant piping
finish_participant electrical

# ---- the initiator takes the comment-resolution sheet away: more menu, save dialog, PDF ------------
click initiator $TX $((H - 286 + 14))
keys initiator Up Return
read -r sx sy < <(window_at initiator "Resolution sheet") || true
[ -n "$sx" ] || fail "initiator: no save dialog for the resolution sheet"
shot initiator sheet-dialog
keys initiator ctrl+a
x initiator type --delay 20 "$ROOT/sheet.pdf"
keys initiator Return
wait_until 60 test -s "$ROOT/sheet.pdf" || fail "initiator: no resolution sheet written"
sleep 1
pdftotext -layout "$ROOT/sheet.pdf" "$ROOT/sheet.txt" || fail "the resolution sheet does not read"
grep -q "clashes with the cable tray" "$ROOT/sheet.txt" || fail "the sheet lacks the cloud's text"
[ "$(grep -c 'Do Not Apply' "$ROOT/sheet.txt")" -ge $((TOTAL / 2)) ] || fail "the sheet lacks the refusals"
[ "$(grep -o 'Agree' "$ROOT/sheet.txt" | wc -l)" -ge 2 ] || fail "the sheet lacks the participants' feedback"
pictures=$(pdfimages -list "$ROOT/sheet.pdf" | tail -n +3 | wc -l)
[ "$pictures" -ge "$TOTAL" ] || fail "the sheet shows $pictures pictures for $TOTAL comments"
cp "$ROOT/sheet.pdf" "$SHOTS/"
pdftoppm -r 40 -f 1 -l 1 -png "$ROOT/sheet.pdf" "$SHOTS/sheet" || fail "pdftoppm cannot render the sheet"

# ---- the initiator consolidates: the result document goes to the content store -------------------
click initiator $FX $Y_FINISH
read -r dx dy < <(window_at initiator Closed) || true
[ -n "$dx" ] || fail "initiator: no finish dialog"
click initiator $((dx + 8 + 175)) $((dy + 52 + 11))   # the "Consolidation" tab
shot initiator consolidation
click initiator $((dx + 11 + 211 + 33)) $((dy + 75 + 177 + 14))
expect_prompt initiator "Finish."
wait_until 30 bash -c "! kill -0 ${PID_OF[initiator]}" || fail "initiator: the client did not end"
wait "${PID_OF[initiator]}" || fail "initiator: the client ended with an error"

# The store holds one PDF whose comments are exactly the applied ones, and it renders.
mapfile -t stored < <(find "$ROOT/server" -type f -name '*.bin')
[ "${#stored[@]}" = 1 ] || fail "the content store holds ${#stored[@]} documents"
cp "${stored[0]}" "$ROOT/result.pdf"
"$PDFTOOL" export-fdf "$ROOT/result.pdf" "$ROOT/result.fdf" || fail "the stored document does not open"
cp "$ROOT/result.pdf" "$ROOT/result.fdf" "$SHOTS/"
printf '%s' "$decisions" >"$ROOT/decisions.json"
python3 - "$ROOT/result.fdf" "$ROOT/decisions.json" <<'PY' || fail "the stored document's comments are not the applied ones"
import json, re, sys
decisions = json.load(open(sys.argv[2]))["cmntReview"]
fdf = open(sys.argv[1], "rb").read()
names = set(m.decode() for m in re.findall(rb"/NM\s*\(([^)]*)\)", fdf))
applied = {d["CMNT_ID"] for d in decisions if d["RVW_YN"] == "Y"}
refused = {d["CMNT_ID"] for d in decisions if d["RVW_YN"] == "N"}
print(f"stored document: {len(applied & names)} of {len(applied)} applied comments, "
      f"{len(refused & names)} of {len(refused)} refused ones")
sys.exit(0 if applied <= names and not (refused & names) and applied else 1)
PY
grep -q "check the tray level" "$ROOT/result.fdf" || fail "the applied cloud lost its reply"
grep -q "clashes with the cable tray" "$ROOT/result.fdf" || fail "the applied cloud lost its text"
grep -q "12.5" "$ROOT/result.fdf" || grep -q "Check the support" "$ROOT/result.fdf" ||
  fail "neither the calibrated distance nor the call-out was applied"
pdftoppm -r 30 -f 1 -l 1 -png "$ROOT/result.pdf" "$SHOTS/result" || fail "pdftoppm cannot render the result"

echo "squad check passed; screenshots in $SHOTS"
