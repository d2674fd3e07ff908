# bash completion for vornset: option keys with their "=" and file names for the
# image together, the words or numbers each key takes, and file names after "load=".
# A test holds the keys and the words against the tool's own tables.

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
    dprf | prf) echo "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16" ;;
    btdrv) echo "80h 81h 82h 83h 84h 85h 86h 87h 88h 89h" ;;
    btprt | btlog) echo "1 2 3 4" ;;
    show) echo "profiles options json changes" ;;
    write) echo "yes no" ;;
    esac
}

_vornset()
{
    local cur prev words cword
    # "=" stays inside the word, so that a key and its value, or a file name that
    # holds "=", arrive whole.
    _init_completion -n = || return

    local keys="vm= stm= cnt= cntval= dbt= dprf= stf= zan= fnt= usb1= usbmdev= int19h= hotkey= prf= prfname= btdrv= btprt= btlog= show= load= write="
    local key=${cur%%=*}
    if [[ $key == load && $cur == load=* ]]; then
        # Readline replaces only what follows the "=" where "=" breaks words.
        cur=${cur#load=}
        _filedir
        [[ $COMP_WORDBREAKS == *=* ]] || COMPREPLY=("${COMPREPLY[@]/#/load=}")
        return
    fi
    if [[ $cur == *=* && " $keys " == *" $key= "* ]]; then
        COMPREPLY=($(compgen -W "$(_vornset_values "$key")" -- "${cur#*=}"))
        # Where "=" breaks words, readline replaces only the value.
        [[ $COMP_WORDBREAKS == *=* ]] || COMPREPLY=("${COMPREPLY[@]/#/$key=}")
        return
    fi

    # Keys and file names together: any word may be the image. A key waits for its
    # value, so it takes no space after it; a file name does.
    local matching_keys=($(compgen -W "$keys" -- "$cur"))
    COMPREPLY=()
    _filedir
    COMPREPLY+=("${matching_keys[@]}")
    ((${#COMPREPLY[@]} == 1 && ${#matching_keys[@]} == 1)) && compopt -o nospace
    return 0
}

complete -F _vornset vornset
