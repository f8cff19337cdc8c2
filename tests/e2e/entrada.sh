#!/usr/bin/env bash
# What a new player does first, on the real program: "Nuevo" opens the
# profile dialog and "Salir" leaves it; the lobby then still answers clicks,
# so "Añadir a la partida" puts the player in the roster. Keys pressed faster
# than the screen is redrawn are all typed: ten BackSpaces 12 ms apart
# delete ten characters of the team name, which closing then saves.
# Usage: entrada.sh <rodavia executable> <data generator>
GAME=$1
DATA=$2
PRESET_INI=$'[Conexiones]\r\nEquipo=Desconocido\r\n'
source "$(dirname "$0")/comun.inc"

DIALOG_TITLE="srgb(0,92,142)"  # the profile dialog's title bar at (400, 203)
dialog_shown() { [[ "$(screen_pixel 400 203)" == "$DIALOG_TITLE" ]]; }
dialog_gone() { ! dialog_shown; }

import -window root "$WORK/shot.png"
convert "$WORK/shot.png" -crop 300x250+702+62 +repage "$WORK/roster-empty.png"

xdotool mousemove 412 91 click 1   # "Nuevo"
wait_until 10 dialog_shown || fail "Nuevo did not open the profile dialog"
xdotool mousemove 662 555 click 1  # the dialog's "Salir"
wait_until 10 dialog_gone || fail "Salir did not close the profile dialog"

xdotool mousemove 517 335 click 1  # "Añadir a la partida"
roster_filled() {
  import -window root "$WORK/shot.png"
  convert "$WORK/shot.png" -crop 300x250+702+62 +repage "$WORK/roster.png"
  awk -v d="$(difference "$WORK/roster.png" "$WORK/roster-empty.png")" 'BEGIN { exit !(d > 0.02) }'
}
wait_until 5 roster_filled || fail "after Nuevo and Salir, Añadir a la partida added nobody to the roster"

# "Desconocido" in the team field loses its last ten characters.
xdotool mousemove 950 407 click 1
sleep 0.3
xdotool key End
xdotool key --delay 12 BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace
close_game  # Escape comes after the BackSpaces, as the player pressed it
team=$(grep -a '^Equipo=' "$WORK/Rodavia/Rodavia.ini" | tr -d '\r')
[[ "$team" == "Equipo=D" ]] || fail "ten fast BackSpaces left \"$team\", expected \"Equipo=D\""
echo "entrada: ok"
