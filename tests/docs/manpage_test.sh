#!/bin/sh
# The manual page against the program it documents, run by ctest:
#   manpage_test.sh ZK77Q3 PAGE
# ZK77Q3 is the built zk77q3, PAGE the roff page that scdoc made. Every command that
# `zk77q3 --help` lists, and every option that `zk77q3 --help` and `zk77q3 COMMAND --help` print,
# must be in the page. Commands of the documented set that this zk77q3 does not have yet are
# reported and skipped. Exit status 77 means skipped.
set -u

zk=$1 page=$2
# The commands the page documents; those the program lists are checked whatever their names.
documented="generate play check profile tone dtmf log verify listen devices"

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

[ -s "$page" ] || { echo "FAIL: the manual page $page was not built" >&2; exit 1; }
if [ -f "$page.gz" ]; then
    gzip -dc "$page.gz" | cmp -s - "$page" || fail "$page.gz does not hold $page"
fi

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# The page's text without font changes and roff escapes, as a reader sees it.
sed -e 's/\\f[BIRP]//g' -e 's/\\-/-/g' -e 's/\\&//g' -e 's/\\(aq/'"'"'/g' "$page" >"$tmp/text"

# groff reads the page without a warning (a stray escape or macro shows up here).
if command -v groff >/dev/null; then
    groff -man -Tutf8 -ww -z "$page" >"$tmp/groff" 2>&1 || fail "groff cannot read the page"
    [ ! -s "$tmp/groff" ] || fail "groff warns about the page: $(cat "$tmp/groff")"
fi

"$zk" --help >"$tmp/help" 2>&1 || { fail "zk77q3 --help failed: $(cat "$tmp/help")"; exit 1; }

# Commands the program lists: "zk77q3 NAME" in a usage line, or the first word of each entry in a
# section headed "Commands:" or "Subcommands:" (any case). An entry starts two blanks in; the
# lines of a description wrapped at the terminal's width start further in.
known=$(awk '
    { line = $0
      while (match(line, /zk77q3 [a-z][a-z0-9-]*/)) {
          print substr(line, RSTART + 7, RLENGTH - 7); line = substr(line, RSTART + RLENGTH) } }
    tolower($0) ~ /^[a-z ]*commands:[[:space:]]*$/ { section = 1; next }
    section && /^[[:space:]]*$/ { section = 0; next }
    section && /^  [a-z]/ { print $1 }
    section && /^[^[:space:]]/ { section = 0 }' "$tmp/help" | sort -u)
[ -n "$known" ] || fail "zk77q3 --help lists no command"

# Where options are printed: the program's usage, and each command's own.
cp "$tmp/help" "$tmp/all-help"
for command in $known; do
    grep -qF "\\fB$command\\fR" "$page" || fail "command '$command' is not in the page"
    if "$zk" "$command" --help >"$tmp/command-help" 2>&1; then
        cat "$tmp/command-help" >>"$tmp/all-help"
    else
        fail "zk77q3 $command --help failed: $(head -n 3 "$tmp/command-help")"
    fi
done
for command in $documented; do
    case " $(echo $known) " in
        *" $command "*) ;;
        *) echo "SKIP: this zk77q3 has no command '$command' yet; its options are not checked" ;;
    esac
done

# Long options anywhere, short ones where they stand alone ("-C DIR", "-h,--help", "[-V]").
options=$( (grep -oE -- '--[a-z0-9][a-z0-9-]*' "$tmp/all-help"
            grep -oE -- '(^|[][ ,|(])-[A-Za-z]([][ ,=|)]|$)' "$tmp/all-help" |
                sed -e 's/^[^-]*//' -e 's/[^A-Za-z]*$//') | sort -u)
for option in $options; do
    grep -qE -- "(^|[^A-Za-z0-9-])$option([^A-Za-z0-9-]|\$)" "$tmp/text" ||
        fail "option '$option' is printed by zk77q3 but is not in the page"
done

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "the page has every command ($(echo $known)) and option ($(echo $options | wc -w)) that zk77q3 prints"
