#!/usr/bin/env bash
# The Debian package as a player gets it: it holds the game, its default
# data, the menu entry and the icon, and depends on no development package.
# Unpacked into a read-only root, the menu entry's command starts the game,
# which copies the default data into the player's folder ($XDG_DATA_HOME),
# and a race and closing the game save the profile, the circuit's record and
# the settings there, never under the installed tree. A newer default data
# set adds its new files and leaves the player's alone. A data folder that
# cannot be made stops the start with a message naming it.
# Usage: paquete.sh <rodavia executable> <data generator> <build folder>
set -euo pipefail
BUILD=$3
WORK=$(mktemp -d)
SERVER_PIDS=()
GAME_PID=""
cleanup() {
  [[ -n "$GAME_PID" ]] && kill "$GAME_PID" 2>/dev/null || true
  stop_x
  chmod -R u+w "$WORK" 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT
source "$(dirname "$0")/utiles.inc"

cmake --build "$BUILD" --target paquete > "$WORK/paquete.log" 2>&1 || { cat "$WORK/paquete.log" >&2; fail "no package"; }
DEB=$(ls -t "$BUILD"/rodavia_*.deb | head -1)

# What the package holds and needs.
dpkg-deb -c "$DEB" | sed -n 's|^.* \(\./.*[^/]\)$|\1|p' | sort > "$WORK/contents"
grep -qvE '^\./usr/(games/rodavia|share/games/rodavia/.+|share/applications/rodavia\.desktop|share/icons/hicolor/128x128/apps/rodavia\.png)$' \
  "$WORK/contents" && fail "unexpected files in the package: $(cat "$WORK/contents")"
for wanted in games/rodavia share/games/rodavia/Jugadores/Jugador\ 1.ini share/applications/rodavia.desktop; do
  grep -qx "./usr/$wanted" "$WORK/contents" || fail "the package lacks /usr/$wanted"
done
DEPENDS=$(dpkg-deb -f "$DEB" Depends)
for lib in libsdl2-2.0-0 libopenal1 libjpeg62-turbo fonts-dejavu-extra; do
  [[ "$DEPENDS" == *"$lib"* ]] || fail "no dependency on $lib: $DEPENDS"
done
[[ "$DEPENDS" == *-dev* ]] && fail "a development package among the dependencies: $DEPENDS"

ROOT="$WORK/root"
dpkg -x "$DEB" "$ROOT"
[[ "$(identify -format '%m %wx%h' "$ROOT/usr/share/icons/hicolor/128x128/apps/rodavia.png")" == "PNG 128x128" ]] ||
  fail "the icon is not a 128 x 128 PNG"
EXEC=$(sed -n 's/^Exec=//p' "$ROOT/usr/share/applications/rodavia.desktop")
[[ -x "$ROOT$EXEC" ]] || fail "the menu entry's command $EXEC is not the game"
SHARED="$ROOT/usr/share/games/rodavia"
chmod -R a-w "$ROOT"
touch "$WORK/installed"
sleep 1  # a write under the tree has a later time than the mark

export HOME="$WORK/home" XDG_DATA_HOME="$WORK/home/datos"
mkdir -p "$HOME"
PLAYER="$XDG_DATA_HOME/rodavia"

start_x DISPLAY_NUM
export DISPLAY=":$DISPLAY_NUM"

# Starts the installed game with its output in $WORK/$1.log and waits for its window.
start_game() {
  SDL_VIDEODRIVER=x11 ALSOFT_DRIVERS=null "$ROOT$EXEC" > "$WORK/$1.log" 2>&1 &
  GAME_PID=$!
  window_shown() { WINDOW=$(xdotool search --name '^Rodavia$' 2>/dev/null | head -1) && [[ -n "$WINDOW" ]]; }
  wait_until 30 window_shown || { cat "$WORK/$1.log" >&2; fail "no window named Rodavia"; }
  grep -qxF "Rodavia: carpeta de datos $PLAYER" "$WORK/$1.log" ||
    fail "the game does not say it keeps its data in $PLAYER: $(cat "$WORK/$1.log")"
  sleep 1
}
close_game() {
  xdotool key --window "$WINDOW" Escape
  wait_until 10 eval '! kill -0 "$GAME_PID" 2>/dev/null' || fail "Escape did not close the lobby"
  wait "$GAME_PID" || fail "the game exited with an error: $(cat "$WORK"/*.log)"
  GAME_PID=""
}
newer() { [[ -n "$(find "$1" -newer "$WORK/installed")" ]]; }

# First start: a player joins, races a moment, stops the race and closes.
start_game primero
CIRCUIT=$(ls "$PLAYER/Circuitos/"*.cfg | LC_ALL=C sort -f | head -1)
xdotool mousemove 517 335 click 1   # "Añadir a la partida"
sleep 0.5
xdotool mousemove 177 572 click 1   # "Jugar"
sleep 5                             # the starting light
xdotool keydown Up
sleep 1
xdotool keyup Up
import -window root "$WORK/shot.png"
xdotool key --window "$WINDOW" Escape  # the race ends
sleep 1
close_game

newer "$PLAYER/Jugadores/Jugador 1.ini" || fail "the profile was not saved in the player's folder"
newer "$CIRCUIT" || fail "the circuit's record was not saved in the player's folder"
grep -q '^Nombre=Jugador 1' "$PLAYER/Rodavia.ini" || fail "no settings in the player's folder"
written=$(find "$ROOT" -newer "$WORK/installed")
[[ -z "$written" ]] || fail "the game wrote under the installed tree: $written"

# An upgrade: the default profile changes and a circuit is added.
chmod -R u+w "$SHARED"
echo "Nuevo=1" >> "$SHARED/Jugadores/Jugador 1.ini"
for ext in jpg cfg; do cp "${CIRCUIT%.cfg}.$ext" "$SHARED/Circuitos/Estreno.$ext"; done
chmod -R a-w "$SHARED"
sha256sum "$PLAYER/Jugadores/Jugador 1.ini" "$CIRCUIT" > "$WORK/player.sums"
start_game segundo
close_game
sha256sum --quiet -c "$WORK/player.sums" || fail "the upgrade changed the player's files"
[[ -f "$PLAYER/Circuitos/Estreno.jpg" && -f "$PLAYER/Circuitos/Estreno.cfg" ]] ||
  fail "the new circuit was not added to the player's folder"

# A data folder under a file cannot be made: a message names it, the game ends.
touch "$WORK/fichero"
status=0
XDG_DATA_HOME="$WORK/fichero" SDL_VIDEODRIVER=x11 ALSOFT_DRIVERS=null timeout 30 "$ROOT$EXEC" \
  > "$WORK/error.log" 2>&1 &
GAME_PID=$!
box_shown() { xdotool search --name '^Rodavia$' > /dev/null 2>&1; }
wait_until 30 box_shown || fail "no message box: $(cat "$WORK/error.log")"
sleep 1
import -window root "$WORK/shot.png"
xdotool key Return
wait "$GAME_PID" || status=$?
GAME_PID=""
[[ $status == 1 ]] || fail "exit status $status with an unusable data folder"
grep -qF "No se puede crear la carpeta de datos $WORK/fichero/rodavia" "$WORK/error.log" ||
  fail "the message does not name the folder: $(cat "$WORK/error.log")"
echo "paquete: ok"
