#!/usr/bin/env bash
# Keeps the layers one-way: every #include "..." under src/ must name a header of the file's own
# layer or of a layer it is allowed to use. Prints each offending include and fails if there is one.
set -euo pipefail
src=$(cd "$(dirname "${BASH_SOURCE[0]}")/../src" && pwd)

# The layer a path below src/ belongs to: the longest folder that names one. A backend's entry
# point (main_*.cpp) is the program itself: it hands the backend's host to the game.
layer_of() {
  case "$1" in
    */main_*.cpp) echo program ;;
    base/*) echo base ;;
    platform/host/sdl/*) echo sdl ;;
    platform/host/win32/*) echo win32 ;;
    platform/host/headless/*) echo headless ;;
    platform/host/web/*) echo web ;;
    platform/host/*) echo host ;;
    platform/*) echo platform ;;
    game/rules/*) echo rules ;;
    game/*) echo game ;;
    presentation/*) echo presentation ;;
    windows/*) echo windows ;;
    assets/*) echo assets ;;
    skin/*) echo skin ;;
    *) echo program ;;
  esac
}

# What each layer may include besides itself, bottom up. The backends under platform/host/ are
# siblings on the host's contracts: none uses another, and nothing above the host uses any of them.
declare -A allowed=(
  [base]=""
  [host]="base"
  [sdl]="base host"
  [win32]="base host"
  [headless]="base host"
  [web]="base host"
  [platform]="base host"
  [rules]="base"
  [assets]=""
  [skin]=""
  [presentation]="base platform rules assets"
  [game]="base platform rules presentation assets"
  [windows]="base platform rules presentation game assets skin"
  [program]="base host sdl win32 headless web platform rules presentation game windows assets skin"
)

status=0
while IFS= read -r file; do
  relative=${file#"$src"/}
  own=$(layer_of "$relative")
  while IFS= read -r included; do
    [ -n "$included" ] || continue
    [ -e "$src/$included" ] || continue  # a header of a library outside src/
    theirs=$(layer_of "$included")
    [ "$theirs" = "$own" ] && continue
    case " ${allowed[$own]} " in
      *" $theirs "*) ;;
      *) echo "src/$relative: #include \"$included\": the $own layer may not use the $theirs layer"
         status=1 ;;
    esac
  done < <(sed -nE 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1/p' "$file")
done < <(find "$src" -type f \( -name '*.h' -o -name '*.cpp' \) | sort)

if [ "$status" -eq 0 ]; then echo "Layers are one-way."; fi
exit "$status"
