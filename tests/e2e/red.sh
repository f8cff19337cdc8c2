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
WORK=$(mktemp -d)
SERVER_PIDS=()
declare -A PID
cleanup() {
  for p in "${PID[@]}"; do kill -9 "$p" 2>/dev/null || true; done
  stop_x
  rm -rf "$WORK"
}
trap cleanup EXIT
source "$(dirname "$0")/utiles.inc"

PORT=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')

# A program folder for each team, with its own profile and settings.
prepare() {  # team player
  local dir="$WORK/$1"
  mkdir -p "$dir"
  cp "$GAME" "$dir/rodavia"
  "$DATA" "$dir" > /dev/null
  mv "$dir/Jugadores/Jugador 1.ini" "$dir/Jugadores/$2.ini"
  printf '[Perfil]\r\nNombre=%s\r\n[Conexiones]\r\nIP=127.0.0.1:%s\r\nDescubrir=127.255.255.255\r\nEquipo=%s\r\n' \
    "$2" "$PORT" "$1" > "$dir/Rodavia.ini"
}
declare -A SCREEN
launch() {  # team
  ( cd "$WORK/$1" && DISPLAY=":${SCREEN[$1]}" SDL_VIDEODRIVER=x11 ALSOFT_DRIVERS=null RODAVIA_TRAZA_CHAT="$WORK/$1.chat" \
      exec ./rodavia > "$WORK/$1.log" 2>&1 ) &
  PID[$1]=$!
}
window_of() { DISPLAY=":${SCREEN[$1]}" xdotool search --name '^Rodavia$' > /dev/null 2>&1; }
# Starts a team's game on its own X server; a start that shows no window in
# 30 s is reported with the game's threads and tried once more.
start() {  # team
  start_x "SCREEN[$1]"
  launch "$1"
  if ! wait_until 30 window_of "$1"; then
    echo "$1: no window after 30 s (running: $(kill -0 "${PID[$1]}" 2>/dev/null && echo yes || echo no))" >&2
    command -v gdb > /dev/null &&
      timeout 20 gdb -batch -p "${PID[$1]}" -ex "thread apply all bt 12" 2>/dev/null | grep -A14 "^Thread 1 " >&2 || true
    kill -9 "${PID[$1]}" 2>/dev/null || true
    wait "${PID[$1]}" 2>/dev/null || true
    launch "$1"
    wait_until 30 window_of "$1" || fail "$1: no window ($(cat "$WORK/$1.log"))"
  fi
  sleep 1
}
on() { local team=$1; shift; DISPLAY=":${SCREEN[$team]}" "$@"; }
click() { on "$1" xdotool mousemove "$2" "$3" click 1; }
said() { [[ -f "$WORK/$1.chat" ]] && grep -qF -- "$2" "$WORK/$1.chat"; }
expect_line() {  # team seconds line
  wait_until "$2" said "$1" "$3" || fail "$1 never wrote \"$3\"; its chat: $(cat "$WORK/$1.chat" 2>/dev/null)"
}
shot() { on "$1" import -window root "$2"; }

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
