#!/usr/bin/env bash
# Types command lines into a real interactive bash, in a tmux pseudo-terminal with
# bash-completion loaded, presses TAB and checks the line that completion leaves.
# Only a real line shows how readline quotes and splits it: a path with a space,
# escaped or quoted, must come out whole. Keys and file names are offered together.
#
#   completion_test.sh COMPLETION-SCRIPT
set -u
script=$(realpath "$1")
helpers=/usr/share/bash-completion/bash_completion
[[ -r $helpers ]] || {
    echo "skipped: bash-completion is not installed"
    exit 77
}
command -v tmux >/dev/null || {
    echo "skipped: tmux is not installed"
    exit 77
}

work=$(mktemp -d)
socket=$work/tmux.socket
trap 'tmux -S "$socket" kill-server 2>/dev/null; rm -rf "$work"' EXIT
mkdir -p "$work/images/boot files" "$work/home"
touch "$work/images/vornbm.bin" "$work/images/boot files/my image.bin" "$work/images/settings.txt"
cat >"$work/bashrc" <<RC
PS1='$ '
source $helpers
source $script
cd $work/images
RC
HOME=$work/home INPUTRC=/dev/null tmux -S "$socket" new-session -d -x 200 -y 50 \
    "bash --noprofile --rcfile $work/bashrc -i"

# Waits until the screen's last prompt line ends with the text, and prints that line.
# The wait ends on what the screen shows; the deadline only keeps a broken
# completion from hanging the test.
await_line() {
    local line deadline=$((SECONDS + 120))
    while ((SECONDS < deadline)); do
        line=$(tmux -S "$socket" capture-pane -p | grep '^\$' | tail -1)
        if [[ $line == *"$1" ]]; then
            echo "$line"
            return
        fi
        sleep 0.02
    done
    echo "timed out waiting for a line ending in '$1'; the screen holds:" >&2
    tmux -S "$socket" capture-pane -p >&2
}

# Types TEXT, then the keys given, then a marker. Readline takes the keys in order, so
# the marker lands once the completion is done; on a cleared screen it shows whether a
# space was added, and what was listed stands above the prompt. Each case's marker is
# its own, so that no case can take the line that the one before left on the screen.
# The count is kept in a file: the cases run in command substitutions, whose changes
# to a variable would be lost.
echo 0 >"$work/cases"
type_then_mark() {
    local marker
    marker=$(($(<"$work/cases") + 1))
    echo "$marker" >"$work/cases"
    marker="|$marker"
    tmux -S "$socket" send-keys C-u C-l
    tmux -S "$socket" send-keys -l "$1"
    shift
    tmux -S "$socket" send-keys "$@"
    tmux -S "$socket" send-keys -l "$marker"
    await_line "$marker" | sed "s/$marker\$/|/"
}

complete_line() {
    type_then_mark "$1" Tab
}

# The candidates that two TABs list for TEXT, sorted, one a line.
listed() {
    type_then_mark "$1" Tab Tab >/dev/null
    tmux -S "$socket" capture-pane -p | grep -v '^\$' | tr -s ' ' '\n' | grep -v '^$' | sort
}

failures=0
expect() {
    local got
    got=$(complete_line "$1")
    if [[ $got != "\$ $2" ]]; then
        echo "FAIL: '$1' + TAB gave '${got#\$ }', expected '$2'"
        failures=$((failures + 1))
    fi
}

await_line '$' >/dev/null # bash has started and loaded bash-completion
expect 'vornset fn' 'vornset fnt=|'
expect 'vornset cn' 'vornset cnt|'
expect 'vornset fnt=bi' 'vornset fnt=bios |'
expect 'vornset stm=h' 'vornset stm=hidden |'
expect 'vornset btdrv=89' 'vornset btdrv=89h |'
expect 'vornset show=p' 'vornset show=profiles |'
expect 'vornset show=j' 'vornset show=json |'
expect 'vornset show=c' 'vornset show=changes |'
expect 'vornset wr' 'vornset write=|'
expect 'vornset write=n' 'vornset write=no |'
expect 'vornset dprf=1' 'vornset dprf=1|'
expect 'vornset btprt=' 'vornset btprt=|'
expect 'vornset load=se' 'vornset load=settings.txt |'
expect 'vornset load=boot\ f' 'vornset load=boot\ files/|'
expect 'vornset prfname=' 'vornset prfname=|'
expect 'vornset dbt=usb vorn' 'vornset dbt=usb vornbm.bin |'
expect 'vornset boot\ f' 'vornset boot\ files/|'
expect 'vornset "boot f' 'vornset "boot files"/|'
expect 'vornset boot\ files/my' 'vornset boot\ files/my\ image.bin |'
expect 'vornset cnt=on "boot files/my' 'vornset cnt=on "boot files/my image.bin" |'

expect 'vornset vo' 'vornset vornbm.bin |'
expect 'vornset se' 'vornset settings.txt |'
got=$(listed 'vornset v' | paste -sd ' ')
if [[ $got != "vm= vornbm.bin" ]]; then
    echo "FAIL: 'vornset v' + TAB TAB listed '$got', expected 'vm= vornbm.bin'"
    failures=$((failures + 1))
fi
got=$(listed 'vornset ' | paste -sd ' ')
if [[ " $got " != *" cnt= "*" settings.txt "*" vornbm.bin "* ]]; then
    echo "FAIL: 'vornset ' + TAB TAB listed '$got', expected keys and files"
    failures=$((failures + 1))
fi

((failures == 0)) && echo "completion: every line completed as expected"
exit $((failures > 0))
