# bash completion for orbalune and orbalune-replay: their options, and saved games for FILE.

_orbalune_complete() {
    local current=${COMP_WORDS[COMP_CWORD]}
    local previous=${COMP_WORDS[COMP_CWORD - 1]}
    local options
    case $1 in
    orbalune) options='--save --seed --daily --line --help --version' ;;
    *) options='--seed --pauses --echo --watch --speed --follow --cast --ttyrec --info --help
        --version' ;;
    esac
    case $previous in
    --save)
        compopt -o filenames 2>/dev/null
        mapfile -t COMPREPLY < <(compgen -f -- "$current")
        return
        ;;
    --seed | --speed)
        COMPREPLY=()  # a number of the player's choosing
        return
        ;;
    esac
    if [[ $current == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$options" -- "$current")
    elif [[ $1 != orbalune ]]; then
        compopt -o filenames 2>/dev/null
        mapfile -t COMPREPLY < <(compgen -f -- "$current")
    else
        COMPREPLY=()
    fi
}

complete -F _orbalune_complete orbalune orbalune-replay
