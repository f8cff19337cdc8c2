#!/usr/bin/env bash
# A race in the real program: the first profile joins the race, "Jugar" turns
# the screen into the circuit with the starting light, holding the up arrow
# after the countdown drives the car off its grid box, and Escape brings the
# lobby back.
# Usage: carrera.sh <rodavia executable> <data generator>
GAME=$1
DATA=$2
source "$(dirname "$0")/comun.inc"

CIRCUIT=$(ls "$WORK/Rodavia/Circuitos/"*.jpg | LC_ALL=C sort -f | head -1)
CFG="${CIRCUIT%.jpg}.cfg"
# Start position 1: the top-left corner of the 36 x 36 car square.
SX=$(sed -n 208p "$CFG" | tr -d '\r')
SY=$(sed -n 209p "$CFG" | tr -d '\r')
convert "$CIRCUIT" -crop "36x36+$SX+$SY" +repage "$WORK/grid-box.png"

xdotool mousemove 517 335 click 1   # "Añadir a la partida"
sleep 0.5
xdotool mousemove 177 572 click 1   # "Jugar"
sleep 1.5

# The race screen: the circuit picture over the whole screen, the car on its box.
import -window root "$WORK/shot.png"
whole=$(difference "$WORK/shot.png" "$CIRCUIT")
awk -v d="$whole" 'BEGIN { exit !(d < 0.12) }' || fail "the race screen is not the circuit ($whole)"
convert "$WORK/shot.png" -crop "36x36+$SX+$SY" +repage "$WORK/box-before.png"
before=$(difference "$WORK/box-before.png" "$WORK/grid-box.png")
awk -v d="$before" 'BEGIN { exit !(d > 0.08) }' || fail "no car on start position 1 ($before)"

# The light counts down for 4.5 s; then the car drives.
sleep 4
xdotool keydown Up
sleep 2
xdotool keyup Up
import -window root "$WORK/shot.png"
convert "$WORK/shot.png" -crop "36x36+$SX+$SY" +repage "$WORK/box-after.png"
after=$(difference "$WORK/box-after.png" "$WORK/grid-box.png")
awk -v d="$after" -v b="$before" 'BEGIN { exit !(d < b / 2) }' ||
  fail "the car did not leave its grid box ($before -> $after)"

# Escape ends the race: the lobby's preview is back.
xdotool key --window "$WINDOW" Escape
sleep 1
import -window root "$WORK/shot.png"
convert "$WORK/shot.png" -crop 300x222+27+67 +repage "$WORK/preview.png"
convert "$CIRCUIT" -resize 300x222\! "$WORK/preview-expected.png"
same_colour "$WORK/preview.png" "$WORK/preview-expected.png" || fail "the lobby did not come back"
close_game
echo "carrera: ok"
