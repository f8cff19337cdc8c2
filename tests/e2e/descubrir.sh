#!/usr/bin/env bash
# Games find each other without typing an address: Azul hosts a session on a
# free port; Rojo, with no address at all, chooses "Unirse", sees Azul's
# session in the list within 2 s, picks it and joins. Azul's process is then
# killed: Rojo takes over, and a third game, Verde, still finds the session
# (at Rojo now) and joins it. Datagrams stay on this machine: sessions are
# looked for at the loopback broadcast address.
# Usage: descubrir.sh <rodavia executable> <data generator>
set -euo pipefail
GAME=$1
DATA=$2
conexiones() { printf 'IP=\r\nPuerto=%s' "$PORT"; }  # no address: found on the list
source "$(dirname "$0")/partida.inc"

prepare Azul "Piloto Azul"
prepare Rojo "Piloto Rojo"
prepare Verde "Piloto Verde"
start Azul
start Rojo

LIST="306x40+364+394"  # the first rows of the sessions list
list_shot() { shot "$1" "$WORK/shot.png"; convert "$WORK/shot.png" -crop "$LIST" +repage "$WORK/$1-list.png"; }
listed() {  # team: a row has appeared in its list since it opened empty
  shot "$1" "$WORK/shot.png"
  convert "$WORK/shot.png" -crop "$LIST" +repage "$WORK/list.png"
  awk -v d="$(difference "$WORK/list.png" "$WORK/$1-empty.png")" 'BEGIN { exit !(d > 0.01) }'
}
ADDRESS="226x22+776+422"  # the address field
address_filled() {  # team: the address field shows text since the list opened
  shot "$1" "$WORK/shot.png"
  convert "$WORK/shot.png" -crop "$ADDRESS" +repage "$WORK/address.png"
  awk -v d="$(difference "$WORK/address.png" "$WORK/$1-address.png")" 'BEGIN { exit !(d > 0.01) }'
}
join_from_list() {  # team: opens "Unirse", waits for a session, picks it, connects
  click "$1" 722 502                   # "Unirse"
  sleep 0.3
  list_shot "$1"
  cp "$WORK/$1-list.png" "$WORK/$1-empty.png"
  convert "$WORK/shot.png" -crop "$ADDRESS" +repage "$WORK/$1-address.png"
  wait_until 2 listed "$1" || fail "$1 listed no session within 2 s of opening Unirse"
  # The first session: hovered, then picked, until the address shows it (a
  # click the lobby misses is tried again, as a player would).
  local try
  for try in 1 2 3; do
    on "$1" xdotool mousemove 517 404
    sleep 0.3
    click "$1" 517 404
    wait_until 1 address_filled "$1" && break
    echo "$1: the lobby missed click $try on the session" >&2
  done
  address_filled "$1" || fail "$1: picking the session filled no address"
  click "$1" 936 462                   # "Conectar"
}

click Azul 936 462                     # "Conectar" with "Crear partida para"
expect_line Azul 10 "<Sistema> El equipo Azul se ha unido a la sesión."
join_from_list Rojo
expect_line Rojo 5 "<Sistema> Conectando con 127.0.0.1:$PORT..."
expect_line Rojo 15 "<Sistema> El equipo Azul está en la sesión."
expect_line Azul 10 "<Sistema> El equipo Rojo se ha unido a la sesión."

# The host dies: Rojo takes the session over, and a newcomer still finds it.
kill -9 "${PID[Azul]}"
wait "${PID[Azul]}" 2>/dev/null || true
unset 'PID[Azul]'
expect_line Rojo 10 "<Sistema> Este equipo pasa a ser el servidor de la sesión."
start Verde
join_from_list Verde
expect_line Verde 15 "<Sistema> El equipo Rojo está en la sesión."
expect_line Rojo 10 "<Sistema> El equipo Verde se ha unido a la sesión."
echo "descubrir: ok"
