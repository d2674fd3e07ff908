#!/usr/bin/env bash
# Types command lines into a real interactive bash, in a tmux pseudo-terminal with
# bash-completion loaded, presses TAB and checks the line that completion leaves.
# Only a real line shows how readline quotes and splits it: a path with a space,
# escaped or quoted, must come out whole.
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
await_line() {
    local line tries
    for ((tries = 0; tries < 100; tries++)); do
        line=$(tmux -S "$socket" capture-pane -p | grep '^\$' | tail -1)
        [[ $line == *"$1" ]] && break
        sleep 0.05
    done
    echo "$line"
}

# The line after typing TEXT, pressing TAB and typing a marker. Readline takes the
# keys in order, so the marker lands once the completion is done, and it shows
# whether a space was added.
cases=0
complete_line() {
    cases=$((cases + 1))
    tmux -S "$socket" send-keys C-u
    tmux -S "$socket" send-keys -l "$1"
    tmux -S "$socket" send-keys Tab
    tmux -S "$socket" send-keys -l "|$cases"
    await_line "|$cases" | sed "s/|$cases\$/|/"
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
expect 'vornset load=se' 'vornset load=settings.txt |'
expect 'vornset load=boot\ f' 'vornset load=boot\ files/|'
expect 'vornset prfname=' 'vornset prfname=|'
expect 'vornset dbt=usb vorn' 'vornset dbt=usb vornbm.bin |'
expect 'vornset boot\ f' 'vornset boot\ files/|'
expect 'vornset "boot f' 'vornset "boot files"/|'
expect 'vornset boot\ files/my' 'vornset boot\ files/my\ image.bin |'
expect 'vornset cnt=on "boot files/my' 'vornset cnt=on "boot files/my image.bin" |'

((failures == 0)) && echo "completion: every line completed as expected"
exit $((failures > 0))
