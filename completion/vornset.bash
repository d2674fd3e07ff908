# bash completion for vornset: option keys with their "=", the words each key takes,
# and file names for the image.

_vornset_values()
{
    case $1 in
    vm) echo "text 640x480 800x600 1024x768 1280x1024" ;;
    cnt | stf | zan | int19h) echo "on off" ;;
    dbt) echo "off profile floppy cdrom usb" ;;
    stm) echo "menu hidden" ;;
    fnt) echo "bt bios" ;;
    usb1) echo "off 1 2" ;;
    hotkey) echo "yes no" ;;
    btdrv) echo "80h 81h 82h 83h 84h 85h 86h 87h 88h 89h" ;;
    esac
}

_vornset()
{
    # Read the word from the line itself: bash may or may not split it at "=".
    local line=${COMP_LINE:0:COMP_POINT}
    local word=${line##*[[:space:]]}
    local keys="vm= stm= cnt= cntval= dbt= dprf= stf= zan= fnt= usb1= usbmdev= int19h= hotkey= prf= prfname= btdrv= btprt= btlog="
    local IFS=$'\n'
    COMPREPLY=()

    if [[ $word == *=* ]]; then
        local key=${word%%=*} value=${word#*=}
        COMPREPLY=($(compgen -W "$(_vornset_values "$key" | tr ' ' '\n')" -- "$value"))
        # Where "=" does not break words, the whole key=value word is replaced.
        [[ $COMP_WORDBREAKS == *=* ]] || COMPREPLY=("${COMPREPLY[@]/#/$key=}")
        return
    fi

    COMPREPLY=($(compgen -W "$(tr ' ' '\n' <<<"$keys")" -- "$word"))
    if ((${#COMPREPLY[@]} > 0)); then
        compopt -o nospace 2>/dev/null
        return
    fi
    compopt -o filenames 2>/dev/null
    COMPREPLY=($(compgen -f -- "$word"))
}

complete -F _vornset vornset
