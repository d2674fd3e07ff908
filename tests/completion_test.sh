#!/usr/bin/env bash
# Drives the bash completion function as bash does and checks what it offers.
#
#   completion_test.sh COMPLETION-SCRIPT
set -u
source "$1"

failures=0

# Prints what completing the line, with the cursor at its end, offers, sorted.
offers() {
    COMP_LINE=$1
    COMP_POINT=${#1}
    COMPREPLY=()
    _vornset
    ((${#COMPREPLY[@]} == 0)) || printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort | paste -sd ' '
}

expect() {
    local got
    got=$(offers "$1")
    if [[ $got != "$2" ]]; then
        echo "FAIL: '$1' offers '$got', expected '$2'"
        failures=$((failures + 1))
    fi
}

cd "$(mktemp -d)" || exit 1
touch vornbm.bin vornbm-backup.bin

COMP_WORDBREAKS=$' \t\n"\'><=;|&(:'
expect "vornset " "btdrv= btlog= btprt= cnt= cntval= dbt= dprf= fnt= hotkey= int19h= prf= prfname= stf= stm= usb1= usbmdev= vm= zan="
expect "vornset cn" "cnt= cntval="
expect "vornset prf" "prf= prfname="
expect "vornset vm=" "1024x768 1280x1024 640x480 800x600 text"
expect "vornset vm=1" "1024x768 1280x1024"
expect "vornset stm=hidden cnt=" "off on"
expect "vornset dbt=c" "cdrom"
expect "vornset usb1=" "1 2 off"
expect "vornset hotkey=" "no yes"
expect "vornset btdrv=8" "80h 81h 82h 83h 84h 85h 86h 87h 88h 89h"
expect "vornset cntval=" ""
expect "vornset prfname=" ""
expect "vornset dbt=usb vornbm" "vornbm-backup.bin vornbm.bin"
expect "vornset vornbm." "vornbm.bin"

# Where "=" does not break words, the whole word is completed.
COMP_WORDBREAKS=$' \t\n"\'><;|&(:'
expect "vornset stm=h" "stm=hidden"
expect "vornset fnt=" "fnt=bios fnt=bt"

((failures == 0)) && echo "completion: all offers as expected"
exit $((failures > 0))
