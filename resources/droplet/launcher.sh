#!/bin/sh
# Movelark droplet. Drop movie files on it (or name them after it on a
# command line) and Movelark compresses each of them with the settings this
# droplet carries, without opening a window.
#
# The script ends at the "exit" at the bottom. What follows it in this file
# is data that is never parsed: the product word, the settings record and
# its length.

refusal='This droplet does not have the correct settings information.  Please create another droplet.'
nl='
'
cr=$(printf '\r')

say() {
    printf 'Movelark droplet: %s\n' "$1" >&2
}

has_display() {
    [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]
}

have() {
    command -v "$1" >/dev/null 2>&1
}

# Standard error always; a dialog as well when there is no terminal to
# read it on (started from a file manager): zenity, kdialog, or at least a
# notification. The texts hold no markup.
tell() {
    say "$1"
    [ ! -t 2 ] && has_display || return 0
    if have zenity; then
        zenity --error --no-markup --title=Movelark --text="$1" >/dev/null 2>&1
    elif have kdialog; then
        kdialog --title Movelark --error "$1" >/dev/null 2>&1
    elif have notify-send; then
        notify-send --app-name=Movelark --icon=org.quenwick.Movelark Movelark "$1" >/dev/null 2>&1
    fi
}

# The 9-byte product word slot at byte 29328, without its zero padding.
product_word() {
    dd if="$1" bs=1 skip=29328 count=9 2>/dev/null | tr -d '\000'
}

# The full path of this droplet, following links so that the hand-over
# file lands beside the droplet itself.
own_path() {
    p=$0
    case $p in /*) ;; *) p=${PWD%/}/${p#./} ;; esac
    hops=0
    while [ -L "$p" ] && have readlink && [ "$hops" -lt 40 ]; do
        target=$(readlink -- "$p") || break
        case $target in /*) p=$target ;; *) p=${p%/*}/$target ;; esac
        hops=$((hops + 1))
    done
    printf '%s' "$p"
}

# file:///a%20b.mov -> /a b.mov (file managers may hand over URIs).
uri_to_path() {
    rest=${1#file://}
    rest=${rest#localhost}
    out=
    while [ -n "$rest" ]; do
        case $rest in
            %[0-9A-Fa-f][0-9A-Fa-f]*)
                hex=${rest#%}
                hex=${hex%"${hex#??}"}
                rest=${rest#%??}
                # shellcheck disable=SC2059
                out=$out$(printf "\\$(printf '%03o' "0x$hex")")
                ;;
            *)
                c=${rest%"${rest#?}"}
                out=$out$c
                rest=${rest#?}
                ;;
        esac
    done
    printf '%s' "$out"
}

config_file() {
    printf '%s' "${XDG_CONFIG_HOME:-$HOME/.config}/Quenwick/Movelark.conf"
}

# The folder of the program as recorded by an earlier launch.
recorded_path() {
    conf=$(config_file)
    [ -f "$conf" ] || return 1
    while IFS= read -r line || [ -n "$line" ]; do
        key=${line%%=*}
        [ "$key" != "$line" ] || continue
        key=$(printf '%s' "$key" | tr -d ' \t')
        if [ "$key" = Path ]; then
            value=${line#*=}
            value=${value#"${value%%[! 	]*}"}
            printf '%s' "$value"
            return 0
        fi
    done <"$conf"
    return 1
}

record_path() {
    conf=$(config_file)
    mkdir -p -- "${conf%/*}" 2>/dev/null || return 1
    tmp=$conf.$$.tmp
    {
        printf 'Path=%s\n' "$1"
        if [ -f "$conf" ]; then
            while IFS= read -r line || [ -n "$line" ]; do
                key=$(printf '%s' "${line%%=*}" | tr -d ' \t')
                [ "$key" = Path ] || printf '%s\n' "$line"
            done <"$conf"
        fi
    } >"$tmp" && mv -f -- "$tmp" "$conf"
}

is_program() {
    [ -f "$1" ] && [ -x "$1" ]
}

# Sets app to the movelark program: the recorded folder, then PATH and the
# places programs are installed to, then the user's answer, which is
# recorded for next time.
find_application() {
    if folder=$(recorded_path) && [ -n "$folder" ] && is_program "$folder/movelark"; then
        app=$folder/movelark
        return 0
    fi
    if app=$(command -v movelark 2>/dev/null) && is_program "$app"; then
        return 0
    fi
    for app in "$HOME/.local/bin/movelark" /usr/local/bin/movelark /usr/bin/movelark /opt/movelark/bin/movelark; do
        is_program "$app" && return 0
    done
    has_display || return 1
    chosen=
    question='Where is the Movelark program?'
    if have zenity; then
        chosen=$(zenity --file-selection --title="$question" \
            --file-filter='Application | movelark' 2>/dev/null) || return 1
    elif have kdialog; then
        chosen=$(kdialog --title "$question" --getopenfilename "$HOME" 'movelark' 2>/dev/null) || return 1
    else
        return 1
    fi
    if [ "${chosen##*/}" != movelark ] || ! is_program "$chosen"; then
        return 1
    fi
    record_path "${chosen%/*}" || say "could not record the program's folder in $(config_file)"
    app=$chosen
}

# Writes the paths as Filename0, Filename1, ... of section FileSection
# into a hand-over file of this drop's own, named in $ini: Droplet.ini
# beside the droplet, or Droplet-2.ini, -3, ... while earlier drops' files
# wait to be read. Each is created exclusively (noclobber), so two drops
# never share one and each is read and deleted once.
write_handover() {
    folder=$1
    shift
    n=1
    while [ "$n" -le 1000 ]; do
        ini=$folder/Droplet.ini
        [ "$n" = 1 ] || ini=$folder/Droplet-$n.ini
        if (set -C && : >"$ini") 2>/dev/null; then
            if {
                printf '[FileSection]\n'
                i=0
                for path do
                    printf 'Filename%d=%s\n' "$i" "$path"
                    i=$((i + 1))
                done
            } >>"$ini"; then
                return 0
            fi
            rm -f -- "$ini"
            return 1
        fi
        # Not taken by another drop: the folder cannot be written.
        [ -e "$ini" ] || [ -L "$ini" ] || return 1
        n=$((n + 1))
    done
    return 1
}

main() {
    self=$(own_path)
    if [ "$(product_word "$self")" != MOVEPRESS ]; then
        tell "$refusal"
        return 1
    fi

    # Full paths only; a name with a line break (or a carriage return, which
    # reading the hand-over file would drop) cannot be handed over.
    count=$#
    for arg do
        case $arg in
            file://*) arg=$(uri_to_path "$arg") ;;
        esac
        [ -n "$arg" ] || continue
        case $arg in /*) ;; *) arg=${PWD%/}/${arg#./} ;; esac
        case $arg in
            *"$nl"* | *"$cr"*)
                say "skipped a file whose name holds a line break"
                continue
                ;;
        esac
        # Movelark takes paths of up to 255 bytes.
        if [ "$(printf '%s' "$arg" | wc -c)" -gt 255 ]; then
            say "skipped $arg: its path is longer than 255 bytes"
            continue
        fi
        set -- "$@" "$arg"
    done
    shift "$count"
    if [ "$#" -eq 0 ]; then
        tell 'Drop movie files on this droplet to compress them with its settings.'
        return 2
    fi

    if ! find_application; then
        tell "The Movelark program was not found: install it, or set Path= in $(config_file) to the folder that holds movelark."
        return 1
    fi

    if ! write_handover "${self%/*}" "$@"; then
        tell "Could not write a hand-over file in ${self%/*}: the droplet's folder must be writable."
        return 1
    fi
    exec "$app" BATCH "$self" "$ini"
}

main "$@"
exit
