#!/usr/bin/env bash
# The main window's placement under a window manager that draws frames (openbox on a virtual X
# display of 1024 x 768), start after start: each start is ended from the start menu's
# 「ゲームを終了する」. The window with its frame is 992 x 736 centred on the screen at the first
# start; the rectangle stored on closing is the window's with its frame, and the next start
# restores exactly it; the start menu keeps the size of its picture, centred over the main window.
# Then maximised: it starts maximised and keeps its normal rectangle, with the start menu centred
# on it. Only the main window can be resized or maximised: the start menu and the utility dialog
# keep their size. A window moved partly off the screen is stored where it stood.
#   placement_x11.sh PROGRAM
# Exit 77 (skipped) when the machine lacks xvfb-run, openbox, xdotool or the X utilities.
# It waits for the windows as long as they take (a busy machine is slow, not faulty).
set -u
program=$1
for tool in xvfb-run openbox xdotool xwininfo xprop; do
  command -v $tool >/dev/null || { echo "$tool is not installed: skipped"; exit 77; }
done
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_RUNTIME_DIR=$home
chmod 700 "$home"
unset QT_QPA_PLATFORM

xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  program=$1 conf=$XDG_CONFIG_HOME/MiyabeSoft/Ryuumonden.conf
  failures=0
  fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
  openbox >/dev/null 2>&1 &
  until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do sleep 0.2; done

  # The window with the title, once it is shown: its id.
  window_titled() {
    local id
    until id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1) && [ -n "$id" ]; do
      kill -0 $pid 2>/dev/null || return 1
      sleep 0.5
    done
    echo "$id"
  }
  # "left top right bottom" of the window with its frame, and of its inside.
  frame_of() {
    local x y w h l r t b
    eval "$(xwininfo -id "$1" | awk "/Absolute upper-left X/ {print \"x=\" \$4} /Absolute upper-left Y/ {print \"y=\" \$4}
                                    /Width:/ {print \"w=\" \$2} /Height:/ {print \"h=\" \$2}")"
    read -r l r t b < <(xprop -id "$1" _NET_FRAME_EXTENTS | sed "s/.*= //; s/,//g")
    echo "$((x - l)) $((y - t)) $((x + w + r)) $((y + h + b))"
  }
  inside_of() {
    xwininfo -id "$1" | awk "/Absolute upper-left X/ {x = \$4} /Absolute upper-left Y/ {y = \$4}
                             /Width:/ {w = \$2} /Height:/ {h = \$2} END {print x, y, x + w, y + h}"
  }
  size_of() {
    xwininfo -id "$1" | awk "/Width:/ {w = \$2} /Height:/ {h = \$2} END {print w \"x\" h}"
  }
  stored() {
    awk -F= "/^\\[/ {s = \$0} s == \"[Window]\" && \$1 == \"$1\" {print \$2}" "$conf"
  }
  maximised() {
    xprop -id "$1" _NET_WM_STATE | grep -q "_NET_WM_STATE_MAXIMIZED_VERT"
  }

  # The program started: its main window and its start menu, once the menu has its frame.
  launch() {
    "$program" >/dev/null 2>&1 & pid=$!
    main=$(window_titled "龍門記 ― 戦国の覇者") || { fail "$1: the program ended early"; return 1; }
    menu=$(window_titled "龍門記 スタートメニュー") || { fail "$1: the program ended early"; return 1; }
    until xprop -id "$menu" _NET_FRAME_EXTENTS | grep -q "="; do sleep 0.2; done
  }
  # A click at a point of the inside of the start menu; 「ゲームを終了する」 ends the program.
  click_menu() {
    local mx my
    read -r mx my _ _ <<<"$(inside_of "$menu")"
    xdotool mousemove $((mx + $1)) $((my + $2)) click 1
  }
  quit_from_menu() {
    click_menu 500 342
    wait $pid
  }

  # One start: the main window and the start menu as shown, then the quit button. The program
  # places a window again once the window manager has told its frame: what it shows is read
  # when it is as expected, or after two minutes of checks, long after the program settled.
  start() {
    launch "$1" || return
    for i in $(seq 1 600); do
      if [ "$2" = maximised ]; then maximised "$main" && break
      else [ "$(frame_of "$main")" = "$expected" ] && [ "$(size_of "$menu")" = 720x480 ] && break
      fi
      sleep 0.2
    done
    main_frame=$(frame_of "$main")
    menu_frame=$(frame_of "$menu")
    menu_inside=$(inside_of "$menu")
    max=0
    maximised "$main" && max=1
    quit_from_menu
  }

  expected="16 16 1008 752"
  for n in 1 2 3; do
    start "start $n" normal
    echo "start $n: the window with its frame $main_frame; stored $(stored Left) $(stored Top) $(stored Right) $(stored Bottom)"
    [ "$main_frame" = "$expected" ] || fail "start $n: the window with its frame is $main_frame, not $expected"
    [ "$(stored Left) $(stored Top) $(stored Right) $(stored Bottom)" = "$expected" ] ||
      fail "start $n: stored $(stored Left) $(stored Top) $(stored Right) $(stored Bottom), not $expected"
    [ "$(stored Maximized)" = 0 ] || fail "start $n: stored as maximised"
    read -r l t r b <<<"$menu_inside"
    [ $((r - l))x$((b - t)) = 720x480 ] || fail "start $n: the start menu inside is $((r - l))x$((b - t)), not its picture 720x480"
    read -r l t r b <<<"$menu_frame"
    [ $(((l + r) / 2 - 512)) -ge -1 ] && [ $(((l + r) / 2 - 512)) -le 1 ] &&
      [ $(((t + b) / 2 - 384)) -ge -1 ] && [ $(((t + b) / 2 - 384)) -le 1 ] ||
      fail "start $n: the start menu $menu_frame is not centred over the main window"
  done

  sed -i "s/^Maximized=0/Maximized=1/" "$conf"
  for n in 4 5; do
    start "start $n" maximised
    echo "start $n (maximised: $max): stored $(stored Left) $(stored Top) $(stored Right) $(stored Bottom), Maximized=$(stored Maximized)"
    [ $max = 1 ] || fail "start $n: not maximised"
    [ "$(stored Left) $(stored Top) $(stored Right) $(stored Bottom)" = "$expected" ] ||
      fail "start $n: stored $(stored Left) $(stored Top) $(stored Right) $(stored Bottom), not $expected"
    [ "$(stored Maximized)" = 1 ] || fail "start $n: not stored as maximised"
  done

  # A maximised start whose normal rectangle lies off the centre: the start menu stands centred
  # on the maximised window, as the player sees it.
  sed -i "s/^Left=.*/Left=120/; s/^Top=.*/Top=80/; s/^Right=.*/Right=822/; s/^Bottom=.*/Bottom=605/" "$conf"
  start "start 6" maximised
  echo "start 6 (maximised: $max): the start menu with its frame $menu_frame"
  read -r l t r b <<<"$menu_frame"
  [ $max = 1 ] && [ $(((l + r) / 2 - 512)) -ge -1 ] && [ $(((l + r) / 2 - 512)) -le 1 ] &&
    [ $(((t + b) / 2 - 384)) -ge -1 ] && [ $(((t + b) / 2 - 384)) -le 1 ] ||
    fail "start 6: the start menu $menu_frame is not centred on the maximised window"

  # Only the main window can be resized or maximised. A window that cannot is asked for another
  # size; a move asked after it shows that the window manager has taken the request, and the
  # window keeps its inside.
  actions() { xprop -id "$1" _NET_WM_ALLOWED_ACTIONS; }
  keeps_its_size() {
    local before after
    case "$(actions "$1")" in
      *_NET_WM_ACTION_RESIZE*|*_NET_WM_ACTION_MAXIMIZE_*) fail "$2 may be resized or maximised: $(actions "$1")" ;;
    esac
    before=$(inside_of "$1")
    read -r x y _ _ <<<"$before"
    xdotool windowsize "$1" 300 200
    xdotool windowmove "$1" $((x - 10)) $((y - 10))
    until after=$(inside_of "$1") && [ "${after%% *}" != "${before%% *}" ]; do sleep 0.2; done
    echo "$2: $(size_of "$1") after a request for 300x200"
    [ "$(size_of "$1")" = "$3" ] || { fail "$2 is $(size_of "$1") after a request for 300x200, not $3"; return 1; }
  }
  sed -i "s/^Maximized=1/Maximized=0/" "$conf"
  launch "start 7" || exit 1
  case "$(actions "$main")" in
    *_NET_WM_ACTION_RESIZE*_NET_WM_ACTION_MAXIMIZE_HORZ*|*_NET_WM_ACTION_MAXIMIZE_HORZ*_NET_WM_ACTION_RESIZE*) ;;
    *) fail "the main window may not be resized and maximised: $(actions "$main")" ;;
  esac
  # (A start menu of another size has its buttons elsewhere: the program is ended then.)
  keeps_its_size "$menu" "the start menu" 720x480 || { kill $pid; wait $pid; exit 1; }
  click_menu 540 432
  utility=$(window_titled "ユーティリティ") || exit 1
  until xprop -id "$utility" _NET_FRAME_EXTENTS | grep -q "="; do sleep 0.2; done
  keeps_its_size "$utility" "ユーティリティ" "$(size_of "$utility")"
  xdotool windowactivate --sync "$utility" key Escape
  while xdotool search --onlyvisible --name "^ユーティリティ\$" >/dev/null 2>&1; do sleep 0.2; done

  # The player moves the main window partly off the screen and quits from the start menu: the
  # placement stored is where the window stood.
  read -r x y _ _ <<<"$(inside_of "$main")"
  xdotool windowmove "$main" 599 480
  until [ "$(inside_of "$main" | cut -d" " -f1)" != "$x" ]; do sleep 0.2; done
  moved=$(frame_of "$main")
  quit_from_menu
  echo "start 7: moved to $moved; stored $(stored Left) $(stored Top) $(stored Right) $(stored Bottom)"
  [ "$(stored Left) $(stored Top) $(stored Right) $(stored Bottom)" = "$moved" ] ||
    fail "start 7: stored $(stored Left) $(stored Top) $(stored Right) $(stored Bottom), not where the window stood: $moved"
  [ $failures = 0 ]
' placement "$program"
