#!/usr/bin/env bash
# The bash completion, driven the way bash drives it (COMP_WORDS, COMP_CWORD, COMP_LINE,
# COMP_POINT, then the function that `complete -p zk77q3` names), run by ctest:
#   completion_test.sh ZK77Q3 COMPLETION [PAGE]
# ZK77Q3 is the built zk77q3: every option its commands print in their --help must be offered.
# PAGE, the built manual page, when given: every option offered must be documented there, which
# holds the completion to the page for commands the program does not have yet.
# Exit status 77 means skipped (no bash-completion).

zk=$(realpath "$1") completion=$(realpath "$2") page=${3:+$(realpath "$3")}

main=$(pkg-config --variable=completionsdir bash-completion 2>/dev/null)
main=${main%/completions}/bash_completion
[[ -f $main ]] || main=/usr/share/bash-completion/bash_completion
if [[ ! -f $main ]]; then
    echo "SKIP: bash-completion is not installed (Debian: apt-get install bash-completion)"
    exit 77
fi
# shellcheck source=/dev/null
. "$main"
# shellcheck source=/dev/null
. "$completion" || { echo "FAIL: $completion does not load" >&2; exit 1; }

read -r -a registered <<<"$(complete -p zk77q3 2>/dev/null)"
function=
for ((i = 0; i < ${#registered[@]}; i++)); do
    [[ ${registered[i]} == -F ]] && function=${registered[i + 1]}
done
if [[ -z $function ]]; then
    echo "FAIL: the completion registers no function for zk77q3" >&2
    exit 1
fi

failures=0
fail() {
    echo "FAIL: $*" >&2
    ((failures++))
}

# Completes at the end of LINE, split into words as bash splits it (at blanks, and around the
# characters of COMP_WORDBREAKS "=" and ":"), and leaves the candidates, sorted, one a line, in
# $got.
complete_line() {
    local line=$1 word= c i
    COMP_WORDS=()
    for ((i = 0; i < ${#line}; i++)); do
        c=${line:i:1}
        if [[ $c == " " ]]; then
            [[ -n $word ]] && COMP_WORDS+=("$word")
            word=
        elif [[ $c == [=:] ]]; then
            [[ -n $word ]] && COMP_WORDS+=("$word")
            COMP_WORDS+=("$c")
            word=
        else
            word+=$c
        fi
    done
    COMP_WORDS+=("$word")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE=$line
    COMP_POINT=${#line}
    COMPREPLY=()
    "$function" zk77q3 "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    got=$(printf '%s\n' "${COMPREPLY[@]}" | sed 's:/$::' | sort -u | sed '/^$/d')
}

# expect_exactly "LINE" "CANDIDATES..."
expect_exactly() {
    complete_line "$1"
    local want
    want=$(printf '%s\n' $2 | sort -u | sed '/^$/d')
    [[ $got == "$want" ]] || fail "'$1' gave [$(echo $got)], not [$(echo $want)]"
}

# expect_among "LINE" "MUST..." "MUST NOT..."
expect_among() {
    complete_line "$1"
    local word
    for word in $2; do
        grep -qxF -- "$word" <<<"$got" || fail "'$1' does not offer $word (gave [$(echo $got)])"
    done
    for word in ${3-}; do
        grep -qxF -- "$word" <<<"$got" && fail "'$1' offers $word, which does not belong there"
    done
}

commands='generate play check profile tone dtmf log verify listen devices'
settings='--user-open --user-close --admin-open --admin-close --user-mode --dtmf --max-record
  --period --beep-length --beep-level --squelch --threshold --rx-filter --tx-filter --adc-gain
  --dac-atten --hang --sleep'

# Commands: all of them at the start, and still after options that come with a value.
expect_exactly "zk77q3 " "$commands"
expect_exactly "zk77q3 p" "play profile"
expect_exactly "zk77q3 d" "dtmf devices"
expect_exactly "zk77q3 -" "--help -h --version -V"

# Each command's own options, and none of another command's.
keying='--ptt --ptt-lead --ptt-tail --ptt-limit'
expect_among "zk77q3 play --" "$settings --config --directory --device --delay --json --strict
  --check-with --retries $keying" \
    "--expect-wav --seconds --rate --last"
expect_among "zk77q3 verify --" "--expect-wav --channel --json --config $settings" "--delay --seconds"
expect_among "zk77q3 listen --" "--device --rate --count --timeout --json" "--expect-wav --delay"
expect_exactly "zk77q3 tone --" "--seconds --device --help $keying"
expect_exactly "zk77q3 log --" "--json --last --profile --output --name --help"
expect_exactly "zk77q3 devices --" "--json --all --help"
expect_among "zk77q3 profile --" "--name --output" "--device --delay"
expect_among "zk77q3 dtmf --" "--code --device --user-open --config $keying" "--json --expect-wav"
expect_among "zk77q3 check --" "--json --config $settings" "--strict --device --delay"
# The command is found past an option's value, even one that looks like a command.
expect_among "zk77q3 play --user-open 1590 --period 1:0:0 --" "--delay --sleep"
expect_among "zk77q3 dtmf --code play --" "--code" "--delay"
expect_exactly "zk77q3 generate --user-close=# " ""

# Values of the options that have a fixed set of them; "--opt=value" as bash splits it too.
expect_exactly "zk77q3 play --squelch " "audio sql-high sql-low"
expect_exactly "zk77q3 play --squelch sql" "sql-high sql-low"
expect_exactly "zk77q3 play --squelch=sql-h" "sql-high"
for option in --dtmf --rx-filter --tx-filter --hang --sleep; do
    expect_exactly "zk77q3 generate $option " "on off"
done
expect_exactly "zk77q3 dtmf --code admin" "admin-open admin-close"
expect_exactly "zk77q3 dtmf --code " "user-open user-close admin-open admin-close user-mode"
expect_exactly "zk77q3 play --ptt " "none rts: dtr: cat: cm108: rigctld"
expect_exactly "zk77q3 tone --ptt r" "rts: rigctld"
# The PTT's timing and the number of sends are typed; the option after them is still found.
expect_exactly "zk77q3 play --ptt-lead " ""
expect_among "zk77q3 play --retries 2 --" "--check-with --delay"
# Values the operator types are not guessed at: no options, no files.
expect_exactly "zk77q3 play --user-open " ""
expect_exactly "zk77q3 tone --seconds " ""
expect_exactly "zk77q3 play --name " ""

# Files and folders, in a folder of known contents.
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cd "$tmp" || exit 1
mkdir rec
: >club.toml
: >air.wav
: >notes.txt
expect_among "zk77q3 play --config " "club.toml air.wav notes.txt rec"
expect_exactly "zk77q3 generate -C " "rec"
expect_exactly "zk77q3 verify --directory r" "rec"
expect_among "zk77q3 verify --expect-wav " "air.wav rec" "club.toml notes.txt"
expect_among "zk77q3 verify --json " "air.wav club.toml rec"
expect_exactly "zk77q3 generate " ""
# After -C, files are those of its folder, wherever -C stands and however its value is given;
# the folder itself is still completed from here.
mkdir rec/inner
: >rec/take.wav
: >rec/north.toml
expect_among "zk77q3 play -C rec --config " "north.toml take.wav inner" "club.toml air.wav"
expect_among "zk77q3 -C rec verify " "take.wav inner" "air.wav club.toml"
expect_among "zk77q3 verify --directory=rec --expect-wav " "take.wav inner" "air.wav"
expect_among "zk77q3 verify -C . -Crec --expect-wav " "take.wav" "air.wav"
expect_exactly "zk77q3 profile -C nowhere --output " ""
expect_exactly "zk77q3 dtmf -C rec --directory " "rec"
# -C where the command takes it, and only there.
expect_among "zk77q3 listen -" "-C --directory" ""
expect_among "zk77q3 verify -" "-C --directory" "--strict"
expect_among "zk77q3 log -" "" "-C --directory"

# Device names from `zk77q3 devices` (the program on PATH): those that play, or for listen those
# that capture, and "default" always.
printf '%s\n' 'pcm.radio { type null hint.description "Radio" }' \
    'pcm.scanner { type null hint.description "Scanner|IOIDInput" }' \
    'pcm.speaker { type null hint.description "Speaker|IOIDOutput" }' >asound.conf
PATH=$(dirname "$zk"):$PATH ALSA_CONFIG_PATH=$tmp/asound.conf \
    expect_exactly "zk77q3 tone --device " "default radio speaker"
PATH=$(dirname "$zk"):$PATH ALSA_CONFIG_PATH=$tmp/asound.conf \
    expect_exactly "zk77q3 listen --device " "default radio scanner"
PATH=$(dirname "$zk"):$PATH ALSA_CONFIG_PATH=$tmp/asound.conf \
    expect_exactly "zk77q3 play --check-with " "default radio scanner"

# Every option that the program's commands define in their --help is offered for that command; commands this
# zk77q3 does not list yet are reported and skipped.
if help=$("$zk" --help 2>&1); then
    for command in $commands; do
        if ! grep -qE "(zk77q3 $command([^a-z0-9-]|\$)|^[[:space:]]+$command([[:space:]]|\$))" <<<"$help"; then
            echo "SKIP: this zk77q3 has no command '$command' yet"
            continue
        fi
        own=$("$zk" "$command" --help 2>&1) || { fail "zk77q3 $command --help failed"; continue; }
        complete_line "zk77q3 $command -"
        # Options where they are defined, at the start of a line ("  -C,--directory DIR  ..."),
        # not where the text of another one mentions them.
        for option in $(grep -oE -- '^[[:space:]]+(-[A-Za-z], ?)?--[a-z0-9][a-z0-9-]*' <<<"$own" |
            grep -oE -- '--[a-z0-9][a-z0-9-]*' | sort -u); do
            case $option in --help | --version) continue ;; esac
            grep -qxF -- "$option" <<<"$got" ||
                fail "zk77q3 $command --help prints $option, which the completion does not offer"
        done
    done
else
    fail "zk77q3 --help failed: $help"
fi

# Nothing is offered that the manual page does not know (a misspelt option would be).
if [[ -n $page ]]; then
    text=$(sed -e 's/\\f[BIRP]//g' -e 's/\\-/-/g' -e 's/\\&//g' "$page")
    for command in $commands; do
        complete_line "zk77q3 $command -"
        for option in $got; do
            grep -qE -- "(^|[^A-Za-z0-9-])$option([^A-Za-z0-9-]|\$)" <<<"$text" ||
                fail "the completion offers $option for $command, which the manual page lacks"
        done
    done
fi

if ((failures)); then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "all completions as expected"
