#!/bin/sh
# The manual page and the bash completion as installed, run by ctest:
#   installed_test.sh CMAKE BUILD STAGE PREFIX MANDIR DATADIR PAGE COMPLETION
# installs the build into STAGE (DESTDIR), then asks man and bash-completion's own loader to find
# what was installed there. PAGE is the built page, empty when scdoc was missing (not checked).
set -u

cmake=$1 build=$2 stage=$3 prefix=$4 mandir=$5 datadir=$6 page=$7 completion=$8

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# A folder of the installation as it lies in the stage (relative ones are under the prefix).
under() {
    case $1 in
        /*) echo "$stage$1" ;;
        *) echo "$stage$prefix/$1" ;;
    esac
}

rm -rf "$stage"
DESTDIR=$stage "$cmake" --install "$build" >"$stage.log" 2>&1 ||
    { echo "FAIL: installing failed: $(cat "$stage.log")" >&2; exit 1; }

if [ -n "$page" ]; then
    man1=$(under "$mandir")/man1
    if [ -f "$man1/zk77q3.1.gz" ]; then
        gzip -dc "$man1/zk77q3.1.gz" | cmp -s - "$page" || fail "the installed page differs from $page"
    else
        fail "no manual page at $man1/zk77q3.1.gz"
    fi
    if command -v man >/dev/null; then
        found=$(man -M "$(under "$mandir")" -w zk77q3 2>&1) || fail "man does not find the page: $found"
        text=$(MANWIDTH=80 man -M "$(under "$mandir")" zk77q3 2>&1) || fail "man cannot show the page"
        case $text in
            *"zk77q3 - program the ZK-77q3 echo repeater"*) ;;
            *) fail "man shows no NAME line: $(echo "$text" | head -n 5)" ;;
        esac
    fi
else
    echo "SKIP: no manual page was built (scdoc missing), so none is looked for"
fi

main=$(pkg-config --variable=completionsdir bash-completion 2>/dev/null)
main=${main%/completions}/bash_completion
[ -f "$main" ] || main=/usr/share/bash-completion/bash_completion
if [ -f "$main" ] && command -v bash >/dev/null; then
    # bash-completion looks in <each of XDG_DATA_DIRS>/bash-completion/completions.
    said=$(BASH_COMPLETION_USER_DIR=$stage/nothing XDG_DATA_DIRS=$(under "$datadir") bash -c '
        . "$1" || exit 1
        __load_completion zk77q3 || { echo "not found"; exit 1; }
        complete -p zk77q3' sh "$main" 2>&1) || fail "bash-completion does not load the installed completion: $said"
    case $said in
        *"-F _zk77q3 zk77q3"*) ;;
        *) fail "bash-completion loaded something else for zk77q3: $said" ;;
    esac
    installed=$(under "$datadir")/bash-completion/completions/zk77q3
    cmp -s "$completion" "$installed" || fail "$installed is not packaging/zk77q3.bash-completion"
else
    echo "SKIP: bash-completion is not installed, so its loader is not asked"
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "the page and the completion are where man and bash-completion look"
