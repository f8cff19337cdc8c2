#!/usr/bin/env bash
# Sixteen players' results on a 1024 x 768 screen: sixteen computer drivers
# race one lap, and the results box stays inside the screen with its table
# in a panel that scrolls, so its last column (the sixteenth player's) can
# be brought into view.
# Usage: resultados.sh <rodavia executable> <data generator>
GAME=$1
DATA=$2
PRESET_INI=$'[Perfil]\r\nNombre=Piloto 01\r\n[Circuito]\r\nVueltas=1\r\n'
prepare_folder() {
  rm "$WORK/Rodavia/Jugadores/"*.ini
  for i in $(seq -w 1 16); do
    printf '[Perfil]\r\nNombre=Piloto %s\r\nImagenCoche=F1-Vanto-Negro.bmp\r\nOrdenador=1\r\nNivelOrdenador=10\r\n' "$i" \
      > "$WORK/Rodavia/Jugadores/Piloto $i.ini"
  done
}
source "$(dirname "$0")/comun.inc"

# Chooses profile k (0 = the first) in the profile list: its eight rows
# show the first profiles when scrolled up and the last when scrolled down.
choose() {
  local k=$1 y
  xdotool mousemove 490 50 click 1
  sleep 0.3
  if (( k < 8 )); then
    xdotool mousemove 480 150 click --repeat 10 4
    y=$(( 77 + 20 * k ))
  else
    xdotool mousemove 480 150 click --repeat 10 5
    y=$(( 217 - 20 * (15 - k) ))
  fi
  sleep 0.2
  xdotool mousemove 480 "$y" click 1
  sleep 0.2
}
for k in $(seq 0 15); do
  (( k > 0 )) && choose "$k"
  xdotool mousemove 517 335 click 1   # "Añadir a la partida"
  sleep 0.2
done
xdotool mousemove 177 572 click 1     # "Jugar"

# The race is won once a profile counts it; the results box comes next.
won() { grep -qa 'VecesJugadas=1' "$WORK/Rodavia/Jugadores/Piloto 01.ini"; }
wait_until 120 won || fail "no one won the one-lap race of sixteen"
sleep 1

# The box's title bar: the rows of the screen's middle column in its colour,
# then how far it reaches either way.
TITLE="0,92,142"
title_columns() {  # y: the first and last x of the title colour on that row
  convert "$WORK/shot.png" -crop "1024x1+0+$1" +repage txt:- |
    awk -v c="($TITLE)" 'index($0, c) { split($1, p, ","); x = p[1] + 0; if (!n++) first = x; last = x } END { print first, last }'
}
import -window root "$WORK/shot.png"
top=$(convert "$WORK/shot.png" -crop 1x768+512+0 +repage txt:- |
  awk -v c="($TITLE)" 'index($0, c) && !n++ { split($1, p, ","); sub(":", "", p[2]); print p[2] + 0 }')
[[ -n "$top" ]] || fail "no results box"
read -r left right <<< "$(title_columns $(( top + 3 )))"
echo "results box from x = $left to $right"
(( left >= 4 && right <= 1019 )) || fail "the results box runs past the screen ($left..$right)"

# Scrolling right over the table brings other columns into view.
convert "$WORK/shot.png" -crop "$(( right - left - 60 ))x200+$(( left + 30 ))+$(( top + 60 ))" +repage "$WORK/before.png"
xdotool mousemove 512 $(( top + 160 ))
for _ in $(seq 30); do xdotool keydown shift click 5 keyup shift; done
sleep 0.5
import -window root "$WORK/shot.png"
convert "$WORK/shot.png" -crop "$(( right - left - 60 ))x200+$(( left + 30 ))+$(( top + 60 ))" +repage "$WORK/after.png"
moved=$(difference "$WORK/before.png" "$WORK/after.png")
awk -v d="$moved" 'BEGIN { exit !(d > 0.02) }' || fail "the results table does not scroll to its last columns ($moved)"
xdotool key Return
sleep 0.5
close_game
echo "resultados: ok"
