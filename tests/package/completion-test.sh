#!/usr/bin/env bash
# The bash completion of qnctl against the qnctl it completes: what each typed line offers,
# and that every command and option the program's usage lists can be completed.
# completion-test.sh <completion file> <qnctl>
set -uo pipefail
completion="$(realpath "$1")"
qnctl="$(realpath "$2")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/dev/serial/by-id" "$work/files"
touch "$work/dev/ttyUSB0" "$work/dev/ttyACM1" "$work/dev/ttyS0" "$work/dev/serial/by-id/usb-FTDI-if00" \
      "$work/files/setup.cam" "$work/files/gamma.csv" "$work/files/sim-link"
cd "$work/files" || exit 1

# shellcheck source=/dev/null
source "$completion" || exit 1
_qnctl_device_root="$work/dev"
failures=0

# Completes the words (the last one is the word being completed) and prints the offers.
offers()
{
    COMP_WORDS=("$qnctl" "$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _qnctl
    printf '%s\n' "${COMPREPLY[@]}"
}

# check TYPED MUST-OFFER MUST-NOT-OFFER: TYPED is a shell word list, the others blank-separated.
check()
{
    local typed=$1 wanted=$2 unwanted=$3 words offered word
    eval "words=($typed)"
    offered="$(offers "${words[@]}")"
    for word in $wanted; do
        grep -qxF -- "$word" <<<"$offered" ||
            { echo "FAIL [$typed]: $word not offered; offered: $(tr '\n' ' ' <<<"$offered")"; failures=$((failures + 1)); }
    done
    for word in $unwanted; do
        ! grep -qxF -- "$word" <<<"$offered" ||
            { echo "FAIL [$typed]: $word offered"; failures=$((failures + 1)); }
    done
}

dev="$work/dev"
# typed words                  | must be offered                                  | must not be offered
check "''"                     "identify get set dump save load shading lut station ports help" "--json setup.cam"
check "--"                     "--port --camera-link --rate --mode --json --fast --force --save-preferences --settings --wait --help --version" "--shipping --log"
check "--port ''"              "COM1 COM9 COM16 $dev/ttyUSB0 $dev/ttyACM1 $dev/serial/by-id/usb-FTDI-if00" "COM0 COM17 $dev/ttyS0 identify"
check "--port COM1"            "COM1 COM10 COM16"                                 "COM2 COM9"
check "--port = CO"            "COM1 COM16"                                       "identify $dev/ttyUSB0"
check "--port $dev/tty"        "$dev/ttyUSB0 $dev/ttyACM1"                        "$dev/ttyS0 $dev/serial/by-id/usb-FTDI-if00"
check "--port $work/files/sim" "$work/files/sim-link"                             "COM1"
check "--rate ''"              "auto 9600 19200 38400 57600 115200"               "identify BAUD"
check "--rate 1"               "19200 115200"                                     "9600 auto"
check "--mode ''"              "standard extended"                                "identify"
check "--settings s"           "setup.cam sim-link"                               "gamma.csv"
check "--camera-link 1 : 0 lo" "load load-area"                                   "lut"
check "--wait 5 ''"            "identify station"                                 "setup.cam"
check "--port COM2 --json sh"  "shading"                                          "send station"
check "shading ''"             "read write store"                                 "setup.cam"
check "shading read ''"        "setup.cam gamma.csv"                              "read store"
check "shading store ''"       ""                                                 "setup.cam read write store"
check "lut ''"                 "read write"                                       "store"
check "lut write g"            "gamma.csv"                                        "setup.cam"
check "save ''"                "setup.cam gamma.csv"                              "identify"
check "save x.cam --"          "--shipping --json --force"                        "--log --store-area"
check "station setup.cam --"   "--store-area --log"                               "--shipping"
check "station setup.cam --log ''" "gamma.csv setup.cam"                          "--log"
check "station setup.cam --store-area ''" ""                                      "setup.cam"
check "station setup.cam --log run.log ''" ""                                     "setup.cam"
check "help ''"                "identify station help"                            "setup.cam"
check "send --wait ''"         ""                                                 "identify setup.cam"
check "get ''"                 ""                                                 "setup.cam identify"
check "--json --port COM2 lut read g" "gamma.csv"                                 "setup.cam"

# Everything the usage lists is offered, read here with a plain reading of the usage text.
usage="$("$qnctl" --help)"
commands="$(sed -n '/^Commands:/,/^$/p' <<<"$usage" | awk '/^  [a-z]/ { print $1 }')"
options="$(sed -n '/^Options:/,/^$/p' <<<"$usage" | grep -oE -- '--[a-z-]+' | sort -u)"
[ "$(wc -l <<<"$commands")" -ge 10 ] || { echo "FAIL: the usage lists no commands"; failures=$((failures + 1)); }
[ "$(wc -l <<<"$options")" -ge 10 ] || { echo "FAIL: the usage lists no options"; failures=$((failures + 1)); }
check "''" "$commands" ""
check "--" "$options" ""
for command in $commands; do
    # A command's own options are in its usage line.
    check "$command --" "$("$qnctl" help "$command" | head -n 1 | grep -oE -- '--[a-z-]+' | tr '\n' ' ')" ""
done

complete -p qnctl | grep -q -- '-F _qnctl' || { echo "FAIL: qnctl has no completion"; failures=$((failures + 1)); }
[ "$failures" -eq 0 ] && echo "completion: all cases pass"
exit $((failures > 0))
