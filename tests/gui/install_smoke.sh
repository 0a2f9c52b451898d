#!/usr/bin/env bash
# Smoke test of the install, with the programs the build folder already holds (nothing is built):
# installs into a temporary prefix as the README says, then from another folder runs the
# installed rymdcli (a month of the bundled scenario), the installed game program without a
# display (it must say so and end with its own code) and in a window on a virtual X display, and
# uninstalls as the README says: nothing may be left under the prefix.
#   install_smoke.sh BUILD_FOLDER SMOKE_X11_SCRIPT SCREENGRAB OUT.png
set -u
build=$1 smoke=$2 grab=$3 out=$4
prefix=$(mktemp -d) elsewhere=$(mktemp -d)
trap 'rm -rf "$prefix" "$elsewhere"' EXIT
fail() { echo "FAILED: $*"; exit 1; }

cmake --install "$build" --prefix "$prefix" >"$elsewhere/install.log" || { cat "$elsewhere/install.log"; fail "cmake --install"; }
for program in rymdcli RyuumondenLV; do
  [ -L "$prefix/bin/$program" ] && [ -x "$prefix/bin/$program" ] || fail "no working link $prefix/bin/$program"
done
folder=$(dirname "$(readlink -f "$prefix/bin/rymdcli")")
cd "$elsewhere" || fail "cd"

summary=$("$prefix/bin/rymdcli" run "$folder/scenario/japan1560.snr" --months 1 --spectator --summary - 2>/dev/null)
status=$?
[ $status = 0 ] || fail "installed rymdcli ended with $status"
case $summary in *"1か月"*) ;; *) fail "installed rymdcli's summary: $summary" ;; esac
echo "installed rymdcli: $(echo "$summary" | head -n 1)"

export HOME=$elsewhere XDG_CONFIG_HOME=$elsewhere/config XDG_DATA_HOME=$elsewhere/data XDG_RUNTIME_DIR=$elsewhere
said=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/RyuumondenLV" 2>&1)
status=$?
[ $status = 3 ] || fail "installed program without a display ended with $status: $said"
case $said in *"needs a display"*"rymdcli"*) ;; *) fail "installed program without a display said: $said" ;; esac
echo "installed program without a display: exit code $status, $(echo "$said" | wc -l) line(s)"

bash "$smoke" "$prefix/bin/RyuumondenLV" "$grab" "$out"
status=$?
[ $status = 0 ] || exit $status

cmake --build "$build" --target uninstall >"$elsewhere/uninstall.log" || { cat "$elsewhere/uninstall.log"; fail "uninstall"; }
left=$(find "$prefix" -mindepth 1)
[ -z "$left" ] || fail "left after the uninstall: $left"
echo "uninstalled: nothing left under the prefix"
