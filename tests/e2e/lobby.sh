#!/usr/bin/env bash
# The real program on a 1024 x 768 X server: in a fresh program folder with
# the default data and no settings it starts full screen on the lobby with the
# circuit preview, Escape closes it, and the settings file then holds exactly
# the nine keys that closing writes. Without a desktop it can use, it says
# why and fails.
# Usage: lobby.sh <rodavia executable> <data generator>
GAME=$1
DATA=$2
source "$(dirname "$0")/comun.inc"

# Full screen: the window covers the whole 1024 x 768 screen.
eval "$(xdotool getwindowgeometry --shell "$WINDOW")"
[[ "$WIDTH" == 1024 && "$HEIGHT" == 768 && "$X" == 0 && "$Y" == 0 ]] ||
  fail "window at $X,$Y size ${WIDTH}x$HEIGHT, expected full screen"

# The circuit preview shows the selected circuit: the preview area's average
# colour matches the circuit picture's.
import -window root "$WORK/shot.png"
CIRCUIT=$(ls "$WORK/Rodavia/Circuitos/"*.jpg | LC_ALL=C sort -f | head -1)
convert "$WORK/shot.png" -crop 300x222+27+67 +repage "$WORK/preview.png"
same_colour "$WORK/preview.png" "$CIRCUIT" || fail "the preview does not show the circuit"

close_game

INI="$WORK/Rodavia/Rodavia.ini"
[[ -f "$INI" ]] || fail "no Rodavia.ini written"
EXPECTED=$'[Perfil]\r\nNombre=Jugador 1\r\nColisiones=1\r\n[Circuito]\r\nNombre=__CIRCUIT__\r\nVueltas=3\r\n[Conexiones]\r\nIP=192.168.0.1\r\nEquipo=__TEAM__\r\n[Pantalla]\r\nPantallaCompleta=1\r\nVerFrames=1\r\nVerControles=1\r\n'
NAME=$(basename "$CIRCUIT" .jpg)
EXPECTED=${EXPECTED/__CIRCUIT__/$NAME}
# The default team is the computer's name without its domain, in 15 characters.
TEAM=$(hostname | cut -d. -f1 | cut -c1-15)
EXPECTED=${EXPECTED/__TEAM__/${TEAM:-Desconocido}}
cmp -s <(printf '%s' "$EXPECTED") "$INI" || { cat -A "$INI" >&2; fail "unexpected Rodavia.ini"; }

# Without a desktop it can use, and no video driver named, the game says why
# and ends with a failure instead of running on with nothing on the screen.
rc=0
env -u SDL_VIDEODRIVER DISPLAY=":$DISPLAY_NUM.9" ALSOFT_DRIVERS=null timeout 20 "$WORK/Rodavia/rodavia" \
  > "$WORK/sin-ventana.log" 2>&1 || rc=$?
[[ $rc == 1 ]] || fail "a start without a usable desktop ended with $rc, expected 1"
grep -q "No se puede abrir la ventana" "$WORK/sin-ventana.log" || fail "no reason given: $(cat "$WORK/sin-ventana.log")"
echo "lobby: ok"
