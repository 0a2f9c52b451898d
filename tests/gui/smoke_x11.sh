#!/usr/bin/env bash
# Smoke test of the game program in a real window: starts RyuumondenLV on a virtual X display,
# waits until the screen shows the map (up to ten minutes: a busy machine is slow, not faulty),
# keeps a screenshot and checks that the program still runs.
#   smoke_x11.sh PROGRAM SCREENGRAB OUT.png
# Exit 77 (skipped) when the machine has no xvfb-run.
set -u
program=$1 grab=$2 out=$3
command -v xvfb-run >/dev/null || { echo "xvfb-run is not installed: skipped"; exit 77; }
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$(dirname "$out")"
export HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_RUNTIME_DIR=$home
unset QT_QPA_PLATFORM
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  "$1" & pid=$!
  for i in $(seq 1 1200); do
    sleep 0.5
    kill -0 $pid 2>/dev/null || { echo "the program ended early"; exit 1; }
    n=$("$2" "$3" | sed -n "s/^colours //p")
    if [ "${n:-0}" -gt 500 ]; then
      echo "the window shows $n colours after $i checks; picture in $3"
      kill $pid; wait $pid 2>/dev/null
      exit 0
    fi
  done
  echo "no map on the screen (colours: ${n:-none})"; kill $pid; exit 1
' smoke "$program" "$grab" "$out"
