#!/usr/bin/env bash
# The real program on a 1024 x 768 X server: in a fresh program folder with
# the default data and no settings it starts full screen on the lobby with the
# circuit preview, Escape closes it, and the settings file then holds exactly
# the nine keys that closing writes.
# Usage: lobby.sh <rodavia executable> <data generator>
set -euo pipefail
GAME=$1
DATA=$2
WORK=$(mktemp -d)
SERVER_PID=""
GAME_PID=""
cleanup() {
  [[ -n "$GAME_PID" ]] && kill "$GAME_PID" 2>/dev/null || true
  [[ -n "$SERVER_PID" ]] && kill "$SERVER_PID" 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; [[ -f "$WORK/shot.png" ]] && cp "$WORK/shot.png" /tmp/rodavia-e2e-lobby.png; exit 1; }

mkdir "$WORK/Rodavia"
cp "$GAME" "$WORK/Rodavia/rodavia"
"$DATA" "$WORK/Rodavia" > /dev/null

# A free display number.
for n in $(seq 90 120); do
  [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] || { DISPLAY_NUM=$n; break; }
done
Xvfb ":$DISPLAY_NUM" -screen 0 1024x768x24 -nolisten tcp > "$WORK/xvfb.log" 2>&1 &
SERVER_PID=$!
export DISPLAY=":$DISPLAY_NUM"
for _ in $(seq 100); do xdpyinfo > /dev/null 2>&1 && break; sleep 0.1; done
xdpyinfo > /dev/null 2>&1 || fail "the X server did not start"

ALSOFT_DRIVERS=null "$WORK/Rodavia/rodavia" > "$WORK/game.log" 2>&1 &
GAME_PID=$!

# Wait for the window, then for the lobby to be drawn.
WINDOW=""
for _ in $(seq 200); do
  WINDOW=$(xdotool search --name '^Rodavia$' 2>/dev/null | head -1 || true)
  [[ -n "$WINDOW" ]] && break
  kill -0 "$GAME_PID" 2>/dev/null || { cat "$WORK/game.log" >&2; fail "the game ended at start-up"; }
  sleep 0.1
done
[[ -n "$WINDOW" ]] || fail "no window named Rodavia"
sleep 2

# Full screen: the window covers the whole 1024 x 768 screen.
eval "$(xdotool getwindowgeometry --shell "$WINDOW")"
[[ "$WIDTH" == 1024 && "$HEIGHT" == 768 && "$X" == 0 && "$Y" == 0 ]] ||
  fail "window at $X,$Y size ${WIDTH}x$HEIGHT, expected full screen"

# The circuit preview shows the selected circuit: the preview area's average
# colour matches the circuit picture's.
import -window root "$WORK/shot.png"
CIRCUIT=$(ls "$WORK/Rodavia/Circuitos/"*.jpg | LC_ALL=C sort -f | head -1)
mean() { convert "$@" -resize 1x1\! -format '%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]\n' info:; }
read -r sr sg sb < <(mean "$WORK/shot.png" -crop 300x222+27+67 +repage)
read -r cr cg cb < <(mean "$CIRCUIT")
for pair in "$sr $cr" "$sg $cg" "$sb $cb"; do
  set -- $pair
  (( ${1} - ${2} < 30 && ${2} - ${1} < 30 )) ||
    fail "preview colour ($sr,$sg,$sb) does not match the circuit ($cr,$cg,$cb)"
done

xdotool key --window "$WINDOW" Escape
for _ in $(seq 100); do kill -0 "$GAME_PID" 2>/dev/null || break; sleep 0.1; done
kill -0 "$GAME_PID" 2>/dev/null && fail "Escape did not close the lobby"
wait "$GAME_PID" || fail "the game exited with an error: $(cat "$WORK/game.log")"
GAME_PID=""

INI="$WORK/Rodavia/Rodavia.ini"
[[ -f "$INI" ]] || fail "no Rodavia.ini written"
EXPECTED=$'[Perfil]\r\nNombre=Jugador 1\r\nColisiones=1\r\n[Circuito]\r\nNombre=__CIRCUIT__\r\nVueltas=3\r\n[Conexiones]\r\nIP=192.168.0.1\r\nEquipo=Desconocido\r\n[Pantalla]\r\nPantallaCompleta=1\r\nVerFrames=1\r\nVerControles=1\r\n'
NAME=$(basename "$CIRCUIT" .jpg)
EXPECTED=${EXPECTED/__CIRCUIT__/$NAME}
cmp -s <(printf '%s' "$EXPECTED") "$INI" || { cat -A "$INI" >&2; fail "unexpected Rodavia.ini"; }
echo "lobby: ok"
