#!/usr/bin/env bash
# Start-up time and memory of the real program under a private Xvfb:
#   - median time from launch to the lobby fully drawn, over 5 starts after
#     one warm-up start (warm shader cache);
#   - the same with an empty Mesa shader cache (the game draws in software,
#     so a machine's first start should be no slower);
#   - private memory (Anonymous in /proc/PID/smaps_rollup) of the idle lobby
#     and of a race with 16 cars, and the race's frames a second.
# "Fully drawn" is the last frame presented of the first burst of frames: the
# lobby draws a few frames after it appears and then sleeps. Frames are
# timed by a small preloaded wrapper of SDL_RenderPresent.
# Usage: bench/arranque.sh [build folder]   (default: build)
set -euo pipefail
BUILD=$(realpath "${1:-build}")
GAME="$BUILD/Rodavia/rodavia"
DATA=$(find "$BUILD" -maxdepth 2 -type f -name 'rodavia_datos*' -perm -u+x | head -1)
[[ -x "$GAME" && -n "$DATA" ]] || { echo "build rodavia and the data generator first" >&2; exit 1; }

WORK=$(mktemp -d)
SERVER_PIDS=()
GAME_PID=""
cleanup() {
  [[ -n "$GAME_PID" ]] && kill "$GAME_PID" 2>/dev/null || true
  for pid in "${SERVER_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$WORK"
}
trap cleanup EXIT
source "$(dirname "$0")/../tests/e2e/utiles.inc"

cat > "$WORK/swaps.c" <<'C'
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
void SDL_RenderPresent(void* renderer) {
  static void (*real)(void*);
  static FILE* out;
  if (!real) real = (void (*)(void*))dlsym(RTLD_NEXT, "SDL_RenderPresent");
  real(renderer);
  if (!out) out = fopen(getenv("RODAVIA_SWAPS"), "w");
  struct timespec t;
  clock_gettime(CLOCK_REALTIME, &t);
  fprintf(out, "%lld\n", (long long)t.tv_sec * 1000000000LL + t.tv_nsec);
  fflush(out);
}
C
gcc -O2 -shared -fPIC -o "$WORK/swaps.so" "$WORK/swaps.c" -ldl

mkdir "$WORK/Rodavia"
cp "$GAME" "$WORK/Rodavia/rodavia"
"$DATA" "$WORK/Rodavia" > /dev/null
start_x DISPLAY_NUM
export DISPLAY=":$DISPLAY_NUM" ALSOFT_DRIVERS=null

# Starts the game with the shader cache in $1; sets GAME_PID and START (ns).
launch() {
  rm -f "$WORK/swaps"
  START=$(date +%s%N)
  MESA_SHADER_CACHE_DIR="$1" RODAVIA_SWAPS="$WORK/swaps" LD_PRELOAD="$WORK/swaps.so" \
    "$WORK/Rodavia/rodavia" > "$WORK/game.log" 2>&1 &
  GAME_PID=$!
}
# Milliseconds from launch to the last swap of the first burst (swaps less
# than 100 ms apart), read once the lobby has been idle for a while.
drawn_ms() {
  sleep 2
  awk -v start="$START" 'NR > 1 && $1 - last > 100000000 { exit } { last = $1 }
                         END { printf "%.0f\n", (last - start) / 1e6 }' "$WORK/swaps"
}
stop_game() {
  kill -9 "$GAME_PID"
  wait "$GAME_PID" 2>/dev/null || true
  GAME_PID=""
}
private_mb() { awk '/^Anonymous:/ { printf "%.1f\n", $2 / 1024 }' "/proc/$GAME_PID/smaps_rollup"; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

CACHE="$WORK/shader-cache"
mkdir "$CACHE"
launch "$CACHE"; drawn_ms > /dev/null; stop_game   # warm-up: fills the cache
times=()
for _ in 1 2 3 4 5; do
  launch "$CACHE"; times+=("$(drawn_ms)")
  lobby_mb=$(private_mb)
  stop_game
done
warm=$(printf '%s\n' "${times[@]}" | median)
mkdir "$WORK/empty-cache"
launch "$WORK/empty-cache"; cold=$(drawn_ms); stop_game

# A race with 16 cars: 16 profiles, each picked in the profile list and
# added to the race; then "Jugar". The list shows 8 rows of 20 px from
# y = 77; it is scrolled to its start or end before each pick, since it
# opens scrolled to the profile chosen last.
for i in $(seq 2 16); do cp "$WORK/Rodavia/Jugadores/Jugador 1.ini" "$WORK/Rodavia/Jugadores/Jugador $i.ini"; done
launch "$CACHE"; drawn_ms > /dev/null
for row in $(seq 0 15); do
  xdotool mousemove 480 52 click 1    # opens the profile list
  sleep 0.5
  xdotool mousemove 480 150 click --repeat 10 --delay 30 $(( row < 8 ? 4 : 5 ))
  sleep 0.4
  xdotool mousemove 480 $(( 77 + 20 * (row % 8) )) click 1
  sleep 0.5
  xdotool mousemove 517 335 click 1   # "Añadir a la partida"
  sleep 0.5
done
xdotool mousemove 177 572 click 1
sleep 10   # the start lights take a few seconds
race_mb=$(private_mb)
# Frames presented a second over the race's last 3 s.
race_fps=$(awk -v now="$(date +%s%N)" '$1 > now - 3e9 { n++ } END { printf "%.1f\n", n / 3 }' "$WORK/swaps")
import -window root "$WORK/race.png"; cp "$WORK/race.png" /tmp/rodavia-arranque-race.png
stop_game

printf 'warm start, median of 5 (ms): %s   [%s]\n' "$warm" "${times[*]}"
printf 'empty shader cache start (ms): %s\n' "$cold"
printf 'idle lobby private memory (MB): %s\n' "$lobby_mb"
printf 'race private memory (MB):      %s\n' "$race_mb"
printf 'race frames a second:          %s\n' "$race_fps"
