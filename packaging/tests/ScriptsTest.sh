#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The packaging's shell parts: the fresh-machine checks find a Debian mirror in either form of apt sources,
# and bash completes the program's options and their values.
# Usage: ScriptsTest.sh PACKAGING_DIR
set -uo pipefail
packaging=$1
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$packaging/tests/DebianRoot.sh"

# name | sources.list content | debian.sources content | expected mirror ("" when none)
mirror_rows=(
    "deb822 only||Types: deb\nURIs: http://deb.example/debian\nSuites: bookworm\n|http://deb.example/debian"
    "one line with options|deb [arch=amd64 signed-by=/k.gpg] https://m.example/debian/ bookworm main\n||https://m.example/debian/"
    "commented lines and another archive first|# deb http://old.example/debian bookworm main\ndeb http://other.example/ubuntu jammy main\n|URIs: http://x.example/ubuntu http://y.example/debian\n|http://y.example/debian"
    "no Debian archive at all|deb http://other.example/ubuntu jammy main\n||"
)
for row in "${mirror_rows[@]}"; do
    IFS='|' read -r name list sources expected <<<"$row"
    printf "$list" >"$work/sources.list"
    printf "$sources" >"$work/debian.sources"
    got=$(debian_mirror "$work/sources.list" "$work/debian.sources" "$work/missing.list")
    [[ $got == "$expected" ]] || fail "mirror, $name: got '$got', expected '$expected'"
done

# name | command line typed so far | words expected among the completions
completion_rows=(
    "long options|Brelmont --pro|--probability"
    "options of the multi-bet calculator|Brelmont --m|--max-risk --method"
    "devig methods|Brelmont --method |multiplicative additive power shin"
    "standard input for a batch|Brelmont --batch |-"
    "no guess for a number|Brelmont --odds |"
)
for row in "${completion_rows[@]}"; do
    IFS='|' read -r name line expected <<<"$row"
    got=$(bash -c '
        source /usr/share/bash-completion/bash_completion
        source "$1"
        read -ra COMP_WORDS <<<"$2"
        [[ $2 == *" " ]] && COMP_WORDS+=("")
        COMP_CWORD=$((${#COMP_WORDS[@]} - 1)) COMP_LINE=$2 COMP_POINT=${#2}
        cd "$3" && _brelmont && printf "%s\n" "${COMPREPLY[@]}" | sort | tr "\n" " "' \
        _ "$packaging/brelmont.bash-completion" "$line" "$work")
    want=$(printf "%s\n" $expected | sort | tr "\n" " ")
    [[ $got == "$want" ]] || fail "completion, $name: got '$got', expected '$want'"
done

exit $((failures > 0))
