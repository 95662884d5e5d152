#!/usr/bin/env bash
# The built manual pages against the programs they describe: each names every option (and,
# for qnctl, every command) the program's --help lists, has a NAME line that whatis can read,
# and is compressed without a name or time stamp so that rebuilds give the same bytes. The
# window program answers --help without a display.
# manpages-test.sh <man folder> <program>...
set -uo pipefail
man_dir=$1
shift
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

for program in "$@"; do
    name="$(basename "$program")"
    page="$man_dir/$name.1.gz"
    [ -f "$page" ] || { fail "$page missing"; continue; }

    # Without a display or a platform plugin a program that opened a window would fail here.
    usage="$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 10 "$program" --help)" ||
        fail "$name --help ends with status $?"
    text="$(MANWIDTH=200 man -l "$page" 2>&1 | col -b)"

    # Every option of the usage in the OPTIONS section, and every command of a Commands list.
    options="$(grep -E '^ +-' <<<"$usage" | grep -oE -- '(^| |,)--?[a-zA-Z][a-zA-Z-]*' | tr -d ' ,' | sort -u)"
    commands="$(sed -n '/^Commands:/,/^$/p' <<<"$usage" | awk '/^  [a-z]/ { print $1 }')"
    [ "$(grep -c . <<<"$options")" -ge 2 ] || fail "$name: no option read from its --help"
    section="$(sed -n '/^OPTIONS/,/^[A-Z]/p' <<<"$text")"
    for word in $options; do
        grep -qE -- "^ +(.*[ ,])?$word([ ,=]|$)" <<<"$section" || fail "$name(1) does not list $word"
    done
    for word in $commands; do
        grep -qE -- "^ +$word( |$)" <<<"$text" || fail "$name(1) does not list the command $word"
    done

    grep -qE "^ +$name - [a-z]" <<<"$text" || fail "$name(1) has no NAME line '$name - ...'"
    grep -qF "$name $("$program" --version | awk '{ print $NF }')" <<<"$text" || fail "$name(1) shows another version"
    for path in "$(dirname "$(realpath "$program")")" "$HOME/"; do
        grep -qF -- "$path" <<<"$text" && fail "$name(1) holds $path, a path of the build machine"
    done

    # gzip header: flags byte without FNAME (0x08), modification time zero.
    header="$(od -An -tx1 -N8 "$page" | tr -d ' \n')"
    [ "${header:0:6}" = 1f8b08 ] || fail "$page is not gzip"
    [ $((0x${header:6:2} & 0x08)) -eq 0 ] || fail "$page keeps a file name"
    [ "${header:8:8}" = 00000000 ] || fail "$page keeps a time stamp"
done
[ "$failures" -eq 0 ] && echo "manual pages: all checks pass"
exit $((failures > 0))
