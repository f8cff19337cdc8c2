#!/usr/bin/env bash
# Two real games on one machine, each on its own X server: Azul hosts a
# session on a free port of 127.0.0.1 and Rojo joins it by name; each adds a
# player and presses "Jugar"; both race, and Azul's car is seen driving on
# Rojo's screen. Then Azul's process is killed mid-race: Rojo takes over the
# session, says so, and goes on racing.
# Usage: red.sh <rodavia executable> <data generator>
set -euo pipefail
GAME=$1
DATA=$2
conexiones() { printf 'IP=127.0.0.1:%s' "$PORT"; }
source "$(dirname "$0")/partida.inc"

prepare Azul "Piloto Azul"
prepare Rojo "Piloto Rojo"
start Azul
start Rojo

# Azul hosts, Rojo joins by name at Azul's address.
click Azul 936 462                     # "Conectar" with "Crear partida para"
expect_line Azul 10 "<Sistema> El equipo Azul se ha unido a la sesión."
click Rojo 722 502                     # "Unirse"
click Rojo 936 462                     # "Conectar"
expect_line Rojo 15 "<Sistema> El equipo Azul está en la sesión."
expect_line Azul 10 "<Sistema> El equipo Rojo se ha unido a la sesión."

# Each adds its player; Azul's comes first, so its car takes grid position 1
# on both machines.
click Azul 517 335                     # "Añadir a la partida"
expect_line Rojo 10 "<Sistema> El jugador Piloto Azul del equipo Azul se ha unido a la partida."
click Rojo 517 335
expect_line Azul 10 "<Sistema> El jugador Piloto Rojo del equipo Rojo se ha unido a la partida."

CIRCUIT=$(ls "$WORK/Azul/Circuitos/"*.jpg | LC_ALL=C sort -f | head -1)
CFG="${CIRCUIT%.jpg}.cfg"
SX=$(sed -n 208p "$CFG" | tr -d '\r')
SY=$(sed -n 209p "$CFG" | tr -d '\r')
convert "$CIRCUIT" -crop "36x36+$SX+$SY" +repage "$WORK/box-empty.png"
box_on() {  # team: how different start box 1 on that screen is from the bare circuit
  shot "$1" "$WORK/shot.png"
  convert "$WORK/shot.png" -crop "36x36+$SX+$SY" +repage "$WORK/box.png"
  difference "$WORK/box.png" "$WORK/box-empty.png"
}
racing() {  # team: the race screen, the circuit picture over the whole screen
  shot "$1" "$WORK/shot.png"
  awk -v d="$(difference "$WORK/shot.png" "$CIRCUIT")" 'BEGIN { exit !(d < 0.12) }'
}

# Azul gets ready and waits; Rojo's press starts both.
click Azul 177 572                     # "Jugar"
sleep 1
racing Azul && fail "Azul started alone"
click Rojo 177 572
wait_until 10 racing Rojo || fail "Rojo's race did not start"
wait_until 10 racing Azul || fail "Azul's race did not start"

# On Rojo's screen Azul's car stands on box 1 once its first states arrive.
car_on_box() { awk -v d="$(box_on Rojo)" 'BEGIN { exit !(d > 0.08) }'; }
wait_until 10 car_on_box || fail "Azul's car is not on its grid box on Rojo's screen"

# After the light (4.5 s) Azul drives off; Rojo sees the box empty.
sleep 5
on Azul xdotool keydown Up
box_empty() { awk -v d="$(box_on Rojo)" 'BEGIN { exit !(d < 0.06) }'; }
wait_until 8 box_empty || fail "Azul's car did not move on Rojo's screen ($(box_on Rojo))"
on Azul xdotool keyup Up || true

# The host dies mid-race: Rojo becomes the host and races on.
kill -9 "${PID[Azul]}"
wait "${PID[Azul]}" 2>/dev/null || true
unset 'PID[Azul]'
expect_line Rojo 10 "<Sistema> El equipo Azul ha dejado la sesión."
expect_line Rojo 5 "<Sistema> Este equipo pasa a ser el servidor de la sesión."
kill -0 "${PID[Rojo]}" || fail "Rojo ended with the host"
racing Rojo || fail "Rojo left its race"

# Rojo stops its race and closes normally.
on Rojo xdotool key Escape
sleep 1
on Rojo xdotool key Escape
for _ in $(seq 100); do kill -0 "${PID[Rojo]}" 2>/dev/null || break; sleep 0.1; done
kill -0 "${PID[Rojo]}" 2>/dev/null && fail "Rojo did not close"
wait "${PID[Rojo]}" || fail "Rojo exited with an error: $(cat "$WORK/Rojo.log")"
unset 'PID[Rojo]'
echo "red: ok"
