#!/usr/bin/env bash
# The lobby at a player's speed, on the real program hosting a session on a
# free port: 40 characters typed 10 ms apart and Enter reach the chat within
# a second of the first key, and a line sent with "Enviar" followed 20 ms
# later by a click on another button is sent, and that click acts too, on
# every try.
# Usage: tecleo.sh <rodavia executable> <data generator>
GAME=$1
DATA=$2
PORT=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
PRESET_INI=$(printf '[Conexiones]\r\nEquipo=Azul\r\nPuerto=%s\r\n' "$PORT")
export RODAVIA_TRAZA_CHAT
RODAVIA_TRAZA_CHAT=$(mktemp)
source "$(dirname "$0")/comun.inc"
trap 'cleanup; rm -f "$RODAVIA_TRAZA_CHAT"' EXIT

said() { grep -qF -- "$1" "$RODAVIA_TRAZA_CHAT"; }
times_said() { grep -cF -- "$1" "$RODAVIA_TRAZA_CHAT" || true; }
ms() { echo $(( $(date +%s%N) / 1000000 )); }

xdotool mousemove 936 462 click 1      # "Conectar" with "Crear partida para"
wait_until 10 said "<Sistema> El equipo Azul se ha unido a la sesión." || fail "no session"

# Typing: the chat line arrives within a second of the first key (more only
# when xdotool itself took longer than the 0.4 s the keys take).
xdotool mousemove 630 716 click 1      # the chat field
sleep 0.3
LINE="abcdefghijklmnopqrstuvwxyz Hola, 0123456"
start=$(ms)
xdotool type --delay 10 "$LINE"
typed=$(ms)
xdotool key Return
wait_until 5 said "<Azul> $LINE" || fail "the typed line never arrived whole"
arrived=$(ms)
limit=$(( typed - start > 390 ? typed - start + 610 : 1000 ))
echo "40 characters: typed in $(( typed - start )) ms, in the chat $(( arrived - start )) ms after the first key"
(( arrived - start <= limit )) || fail "the line took $(( arrived - start )) ms (at most $limit)"

# The quick click: "Enviar", then 20 ms later "Añadir a la partida", "Quitar"
# (with the player chosen), "Añadir a la partida" again and "Equipos".
quick() {  # line x y
  xdotool mousemove 630 716 click 1
  sleep 0.3
  xdotool type --delay 10 "$1"
  xdotool mousemove 965 716 click 1 sleep 0.02 mousemove "$2" "$3" click 1
  wait_until 5 said "<Azul> $1" || fail "\"$1\" was not sent when another click followed Enviar"
}
joined() { [[ "$(times_said "<Sistema> El jugador Jugador 1 de este equipo se ha unido a la partida.")" == "$1" ]]; }
quick "primera prisa" 517 335
wait_until 5 joined 1 || fail "Añadir a la partida did not act after Enviar"
xdotool mousemove 750 95 click 1       # the player in the roster
sleep 0.5
quick "segunda prisa" 775 335
wait_until 5 said "<Sistema> El jugador Jugador 1 ha dejado la partida." || fail "Quitar did not act after Enviar"
quick "tercera prisa" 517 335
wait_until 5 joined 2 || fail "Añadir a la partida did not act after Enviar again"
# "Equipos", drawn before the chat line that Enviar gives the focus to, goes
# down (the accent colour) all the same.
quick "cuarta prisa" 927 44
xdotool mousemove 600 600
teams_down() { [[ "$(screen_pixel 927 40)" == "srgb(0,142,214)" ]]; }
wait_until 5 teams_down || fail "Equipos did not act after Enviar ($(screen_pixel 927 40))"
close_game
echo "tecleo: ok"
