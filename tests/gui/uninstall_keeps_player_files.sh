#!/usr/bin/env bash
# The uninstall under prefixes whose path holds "[", "]", "*", "?" or a blank, with the programs
# the build folder already holds (nothing is built; no display needed). Into each prefix: the
# install as the README says, a saved game in SaveData/ and the settings file rymds.dat put in the
# program's folder, the uninstall as the README says. Both must stay, with the folders that hold
# them; every other file and folder is gone, and the uninstall's last message names exactly what is
# left. Once more with SaveData/ empty: nothing may be left under the prefix. The uninstall's own
# messages are the lines that begin with "-- ": the build tool (make, ninja) adds lines of its own
# before and after them.
# Exit 77 (skipped) when the build folder holds no game program (a build of some targets only).
#   uninstall_keeps_player_files.sh BUILD_FOLDER
set -u
build=$1
[ -x "$build/RyuumondenLV" ] || { echo "$build holds no built RyuumondenLV: nothing to install, skipped"; exit 77; }
top=$(mktemp -d)
trap 'rm -rf "$top"' EXIT
failures=0
fail() { echo "FAILED ($1): $(printf '%s\n' "$2" | head -n 12)"; failures=$((failures + 1)); }

# Installs into the prefix; prints the program's folder.
install_into() {
  cmake --install "$build" --prefix "$1" >"$top/install.log" 2>&1 || { cat "$top/install.log"; return 1; }
  dirname "$(readlink -f "$1/bin/rymdcli")"
}

uninstall() {
  cmake --build "$build" --target uninstall >"$top/uninstall.log" 2>&1 || { cat "$top/uninstall.log"; return 1; }
}

# The last message of the uninstall script itself, whatever the build tool printed around it.
last_message() {
  grep '^-- ' "$top/uninstall.log" | tail -n 1
}

for name in 'games[1]' 'games[' 'games]' 'games*' 'games?' 'my games' 'my [games]*?'; do
  prefix="$top/$name" before=$failures
  mkdir -p "$prefix"
  folder=$(install_into "$prefix") || { fail "$name" "cmake --install"; continue; }
  mkdir -p "$folder/SaveData"
  printf 'saved game' >"$folder/SaveData/mygame.rsd"
  head -c 337 /dev/zero >"$folder/rymds.dat"
  uninstall || { fail "$name" "uninstall"; continue; }
  expected=$(
    printf '%s\n' "$folder/SaveData" "$folder/SaveData/mygame.rsd" "$folder/rymds.dat"
    up=$folder
    while [ "$up" != "$prefix" ]; do
      printf '%s\n' "$up"
      up=$(dirname "$up")
    done
  )
  left=$(find "$prefix" -mindepth 1 | LC_ALL=C sort)
  [ "$left" = "$(printf '%s\n' "$expected" | LC_ALL=C sort)" ] || fail "$name" "left after the uninstall: $left"
  last=$(last_message)
  [ "$last" = "-- Left in place (the player's saved games and settings): $folder/SaveData, $folder/rymds.dat" ] ||
    fail "$name" "the uninstall's last message: $last"
  rm -rf "$prefix"

  # SaveData/ made by the program and left empty goes with the rest.
  mkdir -p "$prefix"
  folder=$(install_into "$prefix") || { fail "$name" "cmake --install"; continue; }
  mkdir -p "$folder/SaveData"
  uninstall || { fail "$name" "uninstall"; continue; }
  [ -d "$prefix" ] || fail "$name" "the prefix itself was removed"
  left=$(find "$prefix" -mindepth 1)
  [ -z "$left" ] || fail "$name" "left after the uninstall with SaveData/ empty: $left"
  case $(last_message) in
    *"Left in place"*) fail "$name" "names something left when nothing is: $(last_message)" ;;
  esac
  [ $failures != $before ] || echo "$name: the saved game and rymds.dat stay, nothing else"
  rm -rf "$prefix"
done
[ $failures = 0 ]
