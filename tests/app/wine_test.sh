#!/bin/bash
# Ferolune.exe under wine, in a wine prefix of its own, on the X server and
# openbox of xsession.py, driven with the keyboard (xdotool) in the windows' Tab
# order (Text1 .. Text6, 计算, 计算原理, 退出) and read through the clipboard
# (xclip), as end_to_end.sh drives the Linux program; wine has no accessibility
# bus to find the controls by. Screenshots go to SCREENSHOT_FOLDER when given.
#
#   xsession.py --openbox wine_test.sh FEROLUNE_EXE XWIN [SCREENSHOT_FOLDER]

set -u
# xsession.py's X11 platform is Linux Qt's; the Windows Qt has its own.
unset QT_QPA_PLATFORM
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEPREFIX
WINEPREFIX=$(mktemp -d)
trap '/usr/lib/wine/wineserver -k; rm -rf "$WINEPREFIX"' EXIT
xwin=$2
shots=${3-}
fail() { echo "FAIL: $*" >&2; "$xwin" list >&2; exit 1; }
keys() { xdotool key --delay 60 "$@"; }
# A second for wine to draw what it has just mapped.
shot() { [[ -z $shots ]] || { sleep 1; /usr/bin/python3 -c 'import sys; from PIL import ImageGrab
ImageGrab.grab(xdisplay=sys.argv[1]).save(sys.argv[2])' "$DISPLAY" "$shots/wine-$1.png"; }; }

# Leaves in $copied what KEYS put on the clipboard, a marker telling a stale copy apart.
copy_with() {
    printf marker | xclip -selection clipboard -i
    until [[ $(xclip -selection clipboard -o) == marker ]]; do sleep 0.05; done
    keys "$@"
    for _ in $(seq 100); do
        copied=$(xclip -selection clipboard -o -t UTF8_STRING | tr -d '\r')
        [[ $copied != marker ]] && return
        sleep 0.1
    done
    fail "$* copied nothing"
}

# Leaves in $shown the size of the one window shown besides the main window
# (and wine's 1x1 one), once there is one.
popup() {
    for _ in $(seq 50); do
        shown=$("$xwin" list | awk '$1 != '"$main"' && $2 != "1x1" { print $2 }')
        [[ $shown =~ ^[0-9]+x[0-9]+$ ]] && return
        sleep 0.1
    done
    fail "$1 is not shown: windows $shown"
}

# After the KEYS, a box captioned "Quandel" saying TEXT with Qt's Chinese 确定,
# as Qt's box on Windows copies it; Enter closes it.
answer_box() {
    keys "${@:3}"
    box=$("$xwin" wait-title Quandel 10000) || fail "no \"Quandel\" box for \"$1\""
    copy_with ctrl+c
    line=---------------------------
    [[ $copied == "$line"$'\n'Quandel$'\n'$line$'\n'$1$'\n'$line$'\n'"确定   "$'\n'$line ]] || fail "the box says '$copied'"
    shot "$2"
    keys Return
    "$xwin" wait-gone "$box" 10000 || fail "Enter did not close the box saying \"$1\""
}

/usr/lib/wine/wine64 wineboot --init
xdotool mousemove 0 0
started=$(date +%s%N)
/usr/lib/wine/wine64 "$1" &
main=$("$xwin" wait-title 'Ferolune V1.0  -  [编程: Dromel]' 30000) || fail "no main window"
echo "main window mapped $(( ($(date +%s%N) - started) / 1000000 )) ms after starting wine"
[[ $("$xwin" geometry "$main") == *' 397 258' ]] || fail "the main window is not 397x258"
# Keys typed before openbox has given the window the focus are lost.
until [[ $(xdotool getactivewindow) == "$main" ]]; do sleep 0.1; done

keys 1 0 0 0 Tab 1 0 0 0 Tab 1 0 Tab Tab Tab Tab space
copy_with shift+Tab ctrl+a ctrl+c
[[ $copied == 0.02 ]] || fail "T after 1000, 1000, 10 is '$copied', not 0.02"

# The T box's tooltip with its waveform, under the mouse at Text6's centre in the
# form; Qt under wine waits for a move inside the box after the one into it.
read -r x y _ < <("$xwin" geometry "$main")
xdotool mousemove $((x + 316)) $((y + 156)) sleep 0.3 mousemove_relative 2 2
popup "the tooltip over T"
[[ $shown =~ ^[0-9]{3}x[0-9]{3}$ ]] || fail "the tooltip over T is $shown, too small for the waveform"
shot tooltip
xdotool mousemove 0 0

# A tone whose times the two decimals lose: the hint at the T box tells them unasked.
keys shift+Tab shift+Tab shift+Tab shift+Tab ctrl+a 6 8 0 0 Tab ctrl+a 0 period 1 Tab Tab Tab Tab space
popup "the hint after 计算 with 1000, 6800, 0.1"
shot hint

# The design window from Text1's menu, its last entry: 2 s at 90 %, Enter fills
# the best row in and calculates, Esc closes it; back at 计算 through Text6.
keys shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab Menu
popup "Text1's menu"
keys Up Return
design=$("$xwin" wait-title 按目标频率设计 10000) || fail "按目标频率设计… in Text1's menu opened no window"
until [[ $(xdotool getactivewindow 2>/dev/null) == "$design" ]]; do sleep 0.1; done
xdotool type --delay 60 '2 s'
keys Tab 9 0
shot design
keys Return Escape
"$xwin" wait-gone "$design" 10000 || fail "Esc did not close the design window"
until [[ $(xdotool getactivewindow 2>/dev/null) == "$main" ]]; do sleep 0.1; done
copy_with Tab Tab Tab Tab Tab ctrl+a ctrl+c
[[ $copied == 2.00 ]] || fail "T after 填入 of 2 s at 90 % is '$copied', not 2.00"
keys Tab

# From 计算: Text2 emptied, then Text2 back and Text1 beyond a double; then 退出.
answer_box 请填写完整的数据！ incomplete shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab ctrl+a BackSpace \
    Tab Tab Tab Tab Tab space
answer_box 数值溢出，请检查输入的数据！ overflow shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab \
    1 0 0 0 shift+Tab ctrl+a 1 e 9 9 9 Tab Tab Tab Tab Tab Tab space
keys Tab Tab space
"$xwin" wait-gone "$main" 10000 || fail "退出 did not end the program"
wait %1 || fail "exit status $? after 退出"
