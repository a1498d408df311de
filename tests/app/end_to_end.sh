#!/bin/bash
# Drives the real ferolune executable under a real window manager (openbox),
# with a panel at the bottom of the screen, with real X input (xdotool), and
# reads results through the clipboard (xclip), as a user would. Where the
# controls are, it asks the program's accessibility tree (a11y.py), as a screen
# reader would. Run it on a D-Bus session and an X server of its own:
#
#   a11y.py session xsession.py --openbox end_to_end.sh PROGRAM XWIN DESKTOP_ENTRY
#
# XWIN is the small X11 client built next to this test (window lookup by exact
# title, client and frame geometry, the work area, a panel, WM_DELETE_WINDOW).

set -u

program=$1
xwin=$2
desktop_entry=$3
a11y=$(dirname "$0")/a11y.py

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

panel_h=40
timeout_ms=10000

work=$(mktemp -d)
app_pid=

cleanup() {
    [[ -n $app_pid ]] && kill "$app_pid" 2>/dev/null
    # shellcheck disable=SC2046
    kill $(jobs -p) 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

fail() {
    echo "FAIL: $*" >&2
    if [[ -n ${DISPLAY:-} ]]; then
        echo "windows on the screen:" >&2
        "$xwin" list >&2
    fi
    exit 1
}

ok() { echo "ok - $*"; }

# locate NAME ROLE ACCESSIBLE_NAME [CAPTION]: sets NAME_x and NAME_y to the
# screen position of the control's centre, in the main window or the window
# with that caption.
locate() {
    local position
    position=$("$a11y" centre "${4:-$main_title}" "$2" "$3") ||
        fail "the accessibility tree has no $2 \"$3\" in \"${4:-$main_title}\""
    read -r "$1_x" "$1_y" <<<"$position"
}

# --- the desktop ----------------------------------------------------------------

# Qt joins the accessibility bus only if it is there when the program starts. The
# panel keeps the bottom of the screen, so the available area is not the whole screen.
workarea=
start_desktop() {
    "$a11y" start-bus || fail "the accessibility bus did not start"
    local screen_w screen_h
    read -r _ _ screen_w screen_h < <("$xwin" workarea)
    setpriv --pdeathsig TERM "$xwin" panel $panel_h &
    for _ in $(seq 100); do
        workarea=$("$xwin" workarea)
        [[ $workarea == "0 0 $screen_w $((screen_h - panel_h))" ]] && break
        sleep 0.1
    done
    [[ $workarea == "0 0 $screen_w $((screen_h - panel_h))" ]] ||
        fail "openbox did not leave the panel its room: work area $workarea"
    local panel
    panel=$("$xwin" wait-title "xwin panel" $timeout_ms) || fail "the panel is not shown"
    [[ $("$xwin" geometry "$panel") == "0 $((screen_h - panel_h)) $screen_w $panel_h" ]] ||
        fail "the panel is not at the bottom of the screen: $("$xwin" geometry "$panel")"
    ok "openbox on $DISPLAY, and a ${panel_h}-pixel panel: work area $workarea"
}

# --- the program ----------------------------------------------------------------

main_title=
main_x=0
main_y=0
main_wid=

start_program() {
    QT_QPA_PLATFORM=xcb setpriv --pdeathsig KILL "$program" >"$work/program.log" 2>&1 &
    app_pid=$!
    main_title=$("$a11y" window-name $timeout_ms) || fail "the program shows no window"
    main_wid=$("$xwin" wait-title "$main_title" $timeout_ms) || fail "the main window did not appear"
    local w h
    read -r main_x main_y w h < <("$xwin" geometry "$main_wid")
    [[ $w == 397 && $h == 258 ]] || fail "main window client area is ${w}x${h}, not 397x258"
    locate text1 text "$("$a11y" name Text1)"
    locate text2 text "$("$a11y" name Text2)"
    locate text3 text "$("$a11y" name Text3)"
    locate text4 text "$("$a11y" name Text4)"
    locate text5 text "$("$a11y" name Text5)"
    locate text6 text "$("$a11y" name Text6)"
    locate calc 'push button' 计算
    locate principle 'push button' 计算原理
    locate exit 'push button' 退出
}

# WINDOW NAME: is the window, frame included, centred on the work area, give
# or take a pixel? Leaves the frame's "X Y WIDTH HEIGHT" in $frame.
frame=
expect_centred() {
    local x y w h ax ay aw ah
    frame=$("$xwin" frame "$1") || fail "$2 is not shown"
    read -r x y w h <<<"$frame"
    read -r ax ay aw ah <<<"$workarea"
    local dx=$(( x - ax - (aw - w) / 2 )) dy=$(( y - ay - (ah - h) / 2 ))
    (( dx >= -1 && dx <= 1 && dy >= -1 && dy <= 1 )) ||
        fail "$2 with its frame at $x,$y ${w}x${h} is $dx,$dy off the centre of the work area $workarea"
}

running() { kill -0 "$app_pid" 2>/dev/null; }

# Waits for the program to end and checks its exit status.
expect_exit() {
    local status
    for _ in $(seq 100); do
        running || break
        sleep 0.1
    done
    running && fail "the program did not end ($1)"
    wait "$app_pid"
    status=$?
    app_pid=
    [[ $status == 0 ]] || { cat "$work/program.log" >&2; fail "exit status $status after $1, not 0"; }
}

# --- input and clipboard -------------------------------------------------------------

click_at() { xdotool mousemove "$1" "$2" click 1; }

# Replaces the text of the box under (X,Y) on the screen.
type_into() {
    click_at "$1" "$2"
    xdotool key ctrl+a BackSpace
    [[ -n $3 ]] && xdotool type --delay 15 -- "$3"
}

clipboard_serial=0
copied=

clipboard() { xclip -selection clipboard -o -t UTF8_STRING 2>/dev/null; }

# Runs the keys that copy something and leaves the clipboard in $copied once the
# program has answered; a marker put on the clipboard first tells a stale copy
# apart. The marker's owner runs as this shell's own job, so it is reaped here
# when the program takes the clipboard over.
copy_with() {
    clipboard_serial=$((clipboard_serial + 1))
    local marker="--marker-$clipboard_serial--"
    printf '%s' "$marker" | xclip -selection clipboard -i -quiet >/dev/null 2>&1 &
    for _ in $(seq 100); do
        [[ $(clipboard) == "$marker" ]] && break
        sleep 0.02
    done
    [[ $(clipboard) == "$marker" ]] || fail "could not put a marker on the clipboard"
    "$@"
    for _ in $(seq 100); do
        copied=$(clipboard)
        [[ $copied != "$marker" ]] && return 0
        sleep 0.05
    done
    fail "nothing was copied"
}

copy_box() {
    click_at "$1" "$2"
    xdotool key ctrl+a ctrl+c
}

box_text() { copy_with copy_box "$1" "$2"; }

expect_results() {
    local t1 t2 t
    box_text $text4_x $text4_y && t1=$copied
    box_text $text5_x $text5_y && t2=$copied
    box_text $text6_x $text6_y && t=$copied
    [[ $t1 == "$1" && $t2 == "$2" && $t == "$3" ]] ||
        fail "$4: results are '$t1' '$t2' '$t', expected '$1' '$2' '$3'"
    ok "$4: results $t1 $t2 $t"
}

expect_entry() {
    box_text "$1" "$2"
    [[ $copied == "$3" ]] || fail "$4: entry holds '$copied', expected '$3'"
}

# Waits for a message box titled "Quandel" saying MESSAGE, at least 200 pixels
# wide so that the title bar shows the whole caption and centred with its frame,
# and dismisses it with Enter, the window manager having given it the focus;
# leaves its client width in box_width.
box_width=
answer_message_box() {
    local wid x y h said
    wid=$("$xwin" wait-title Quandel $timeout_ms) || fail "$1: no \"Quandel\" message box"
    said=$("$a11y" names Quandel label | grep -v '^$')
    [[ $said == "$2" ]] || fail "$1: the message box says '$said', not '$2'"
    read -r x y box_width h < <("$xwin" geometry "$wid")
    ((box_width >= 200)) || fail "$1: the message box is $box_width pixels wide, less than 200"
    expect_centred "$wid" "$1: the message box"
    xdotool key Return
    "$xwin" wait-gone "$wid" $timeout_ms || fail "$1: Enter did not close the message box"
    ok "$1: message box \"Quandel\" saying '$said', ${box_width}x$h, frame $frame centred, closed by Enter"
}

# --- first run: calculate, incomplete data, overflow, principle window, 退出 ------------

start_desktop
start_program

expect_centred "$main_wid" "the main window"
shown=$("$xwin" list | grep -vc ' xwin panel$')
[[ $shown == 1 ]] || fail "$shown windows shown at start-up, expected only the main window"
ok "main window \"$main_title\", 397x258, frame $frame centred, alone"

# Docks and task bars match the window to its desktop entry by class and show
# the icon the window carries.
wm_class=$(xprop -id "$main_wid" WM_CLASS | sed -n 's/.*= "[^"]*", "\([^"]*\)"$/\1/p')
startup_class=$(sed -n 's/^StartupWMClass=//p' "$desktop_entry")
[[ -n $wm_class && $wm_class == "$startup_class" ]] ||
    fail "window class '$wm_class' does not match StartupWMClass '$startup_class' of the desktop entry"
xprop -id "$main_wid" _NET_WM_ICON | grep -q 'Icon (32 x 32)' || fail "the main window carries no 32x32 icon"
ok "window class $wm_class matches the desktop entry; the window carries the icon"

type_into $text1_x $text1_y '1000'
type_into $text2_x $text2_y ' 1000 '
type_into $text3_x $text3_y '10'
expect_entry $text2_x $text2_y ' 1000 ' "typing into Text2"
click_at $calc_x $calc_y
expect_results 0.01 0.01 0.02 "计算 with 1000, ' 1000 ', 10"

# The menu key opens a box's context menu; Up from no active entry goes to its
# last entry, which Return runs: 复制精确值 on a result box.
last_menu_entry() {
    click_at "$1" "$2"
    local shown
    shown=$("$xwin" list | wc -l)
    xdotool key Menu
    for _ in $(seq 100); do
        (( $("$xwin" list | wc -l) > shown )) && break
        sleep 0.05
    done
    (( $("$xwin" list | wc -l) > shown )) || fail "the menu key opened no menu on $3"
    xdotool key Up Return
}
copy_with last_menu_entry $text4_x $text4_y T1
[[ $copied == 0.01386 ]] || fail "复制精确值 of T1 copied '$copied', not 0.01386"
ok "menu key, 复制精确值: T1 is $copied"

type_into $text2_x $text2_y ''
click_at $calc_x $calc_y
answer_message_box "计算 with Text2 cleared" "请填写完整的数据！"
[[ $box_width == 200 ]] || fail "the incomplete-data box is $box_width pixels wide, not 200"
expect_results 0.01 0.01 0.02 "after the incomplete-data box"

type_into $text2_x $text2_y ' 1000 '
type_into $text1_x $text1_y '1e999'
click_at $calc_x $calc_y
answer_message_box "计算 with 1e999" "数值溢出，请检查输入的数据！"
running || fail "the program ended after the overflow box"
"$xwin" wait-title "$main_title" 1000 >/dev/null || fail "the main window is gone after the overflow box"
ok "the program still runs after the overflow box"

type_into $text1_x $text1_y '1000'
# A pending change that 计算 would show if the main window took clicks while
# the principle window is open: C = 20 gives 0.03, 0.01, 0.04.
type_into $text3_x $text3_y '20'
click_at $principle_x $principle_y
form2=$("$xwin" wait-title Form2 $timeout_ms) || fail "计算原理 did not open \"Form2\""
read -r f2_x f2_y f2_w f2_h < <("$xwin" geometry "$form2")
[[ $f2_w == 229 && $f2_h == 227 ]] || fail "Form2 client area is ${f2_w}x${f2_h}, not 229x227"
expect_centred "$form2" "Form2"
ok "计算原理 opens \"Form2\", 229x227, frame $frame centred"

inside_form2() {
    (( $1 >= f2_x && $1 < f2_x + f2_w && $2 >= f2_y && $2 < f2_y + f2_h ))
}
for target in "$calc_x $calc_y" "$exit_x $exit_y" "$text1_x $text1_y"; do
    # shellcheck disable=SC2086
    inside_form2 $target && fail "the main window's control at $target is hidden by Form2; the test needs it visible"
done
click_at $calc_x $calc_y
click_at $text1_x $text1_y
xdotool type --delay 15 -- '9'
click_at $exit_x $exit_y
sleep 0.5
running || fail "clicking 退出 of the main window ended the program while Form2 was open"
"$xwin" wait-title Form2 100 >/dev/null || fail "Form2 closed on clicks on the main window"
ok "clicks on the main window are ignored while Form2 is open"

# Screen readers know the principle window by what it shows, not by its caption.
locate form2_exit 'push button' 退出 计算原理
click_at $form2_exit_x $form2_exit_y
"$xwin" wait-gone "$form2" $timeout_ms || fail "退出 of Form2 did not close it"
ok "退出 of Form2 closes it"
expect_results 0.01 0.01 0.02 "after Form2, the blocked 计算 had no effect"
expect_entry $text1_x $text1_y '1000' "typing while Form2 was open"
click_at $calc_x $calc_y
expect_results 0.03 0.01 0.04 "计算 after Form2 closed, with C = 20"

# The design window from Text1's menu (its last entry, after Qt's own), typed
# into through its labelled fields; Enter fills the best row in and calculates.
last_menu_entry $text1_x $text1_y Text1
design=$("$xwin" wait-title 按目标频率设计 $timeout_ms) || fail "按目标频率设计… in Text1's menu opened no window"
read -r x y w h < <("$xwin" frame "$design")
read -r ax ay aw ah <<<"$workarea"
(( x >= ax && y >= ay && x + w <= ax + aw && y + h <= ay + ah )) ||
    fail "the design window's frame $x,$y ${w}x$h is not inside the work area $workarea"
locate target text 频率或周期 按目标频率设计
type_into $target_x $target_y '2 s'
locate duty text 占空比 按目标频率设计
type_into $duty_x $duty_y '90'
xdotool key Return Escape
"$xwin" wait-gone "$design" $timeout_ms || fail "Esc did not close the design window"
expect_results 1.78 0.22 2.00 "填入 of 2 s at 90 % from the design window"
expect_entry $text1_x $text1_y '3300000' "填入 of 2 s at 90 %"

click_at $exit_x $exit_y
expect_exit "退出"
ok "退出 ends the program with exit status 0"

# --- second run: close boxes ----------------------------------------------------------

start_program
click_at $principle_x $principle_y
form2=$("$xwin" wait-title Form2 $timeout_ms) || fail "second run: 计算原理 did not open \"Form2\""
"$xwin" close "$form2" || fail "Form2 does not take WM_DELETE_WINDOW"
"$xwin" wait-gone "$form2" $timeout_ms || fail "the close box did not close Form2"
running || fail "closing Form2 ended the program"
ok "the close box closes Form2 and the program goes on"

"$xwin" close "$main_wid" || fail "the main window does not take WM_DELETE_WINDOW"
expect_exit "WM_DELETE_WINDOW on the main window"
ok "the main window's close box ends the program with exit status 0"
